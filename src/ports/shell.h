#pragma once
// The desktop shell: opening programs, documents and folders the way the user would.
#include <string>

namespace tesnova {

class Shell {
 public:
  virtual ~Shell() = default;

  // Asks the shell to apply the verb ("open") to the file or program with the parameters,
  // in a normal window and without a working folder. The outcome is not reported.
  virtual void Execute(const std::string& verb, const std::string& file,
                       const std::string& parameters) = 0;
};

}  // namespace tesnova
