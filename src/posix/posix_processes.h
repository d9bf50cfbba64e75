#pragma once
// Outside programs on Linux, with the same contracts as on Windows: the one command line is
// split as a Windows program would split it, the program's folder is the default working
// folder, a failed start reports the system's error number (errno). A program path without a
// folder is looked up on PATH. Minimised windows and the wait for input idle have no meaning
// for Linux programs and are ignored.
#include <sys/types.h>

#include <functional>
#include <vector>

#include "ports/processes.h"

namespace tesnova {

class PosixProcesses : public Processes {
 public:
  // dispatch runs the caller's pending events; a dispatching wait calls it while the child
  // runs (at least every dispatchIntervalMs). quitting, when given, ends such a wait early
  // once it returns true (the application is closing; the child runs on).
  explicit PosixProcesses(std::function<void()> dispatch = {}, std::function<bool()> quitting = {},
                          int dispatchIntervalMs = 10);
  ~PosixProcesses() override;

  ProcessResult RunProcess(const ProcessOptions& options) override;
  void WaitForFile(const std::string& fileName, std::uint32_t timeoutMs) override;

 private:
  void ReapFinished();

  std::function<void()> dispatch_;
  std::function<bool()> quitting_;
  int dispatchIntervalMs_;
  std::vector<pid_t> running_;  // started without a wait; reaped when they end
};

}  // namespace tesnova
