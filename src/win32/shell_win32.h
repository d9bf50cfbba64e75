#pragma once
// The desktop shell through ShellExecuteW.
#include "ports/shell.h"

namespace tesnova {

class WindowsShell : public Shell {
 public:
  void Execute(const std::string& verb, const std::string& file,
               const std::string& parameters) override;
};

}  // namespace tesnova
