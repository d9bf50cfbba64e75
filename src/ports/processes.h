#pragma once
// Starting outside programs and waiting for them and their files.
#include <cstdint>
#include <string>

namespace tesnova {

class Processes {
 public:
  virtual ~Processes() = default;

  // Starts "program" with the argument text as given (callers quote paths themselves).
  // An empty workFolder means the program's own folder. With wait, returns after the program
  // ended, dispatching the caller's messages meanwhile. False with errorCode when the start failed.
  virtual bool RunProcess(const std::string& program, const std::string& arguments,
                          const std::string& workFolder, bool wait, bool waitForIdle,
                          bool minimised, std::uint32_t& errorCode) = 0;

  // Starts the program and blocks until it ended. False when the start failed.
  virtual bool RunProcessAndWait(const std::string& program, const std::string& arguments) = 0;

  // Returns once the file exists; raises Error after timeoutMs (0: never).
  virtual void WaitForFile(const std::string& fileName, std::uint32_t timeoutMs) = 0;
};

}  // namespace tesnova
