#pragma once
// Outside programs through CreateProcessW, with the message-dispatching wait.
#include <functional>

#include "ports/processes.h"

namespace tesnova {

// Removes and dispatches every pending message of the calling thread. A WM_QUIT is left in
// the queue (posted again), so that the application's own loop still ends.
void DispatchPendingMessages();

class Win32Processes : public Processes {
 public:
  // dispatch runs the application's pending messages during a dispatching wait; it must leave
  // a WM_QUIT in the queue, which ends the wait (the child runs on).
  explicit Win32Processes(std::function<void()> dispatch = DispatchPendingMessages);

  ProcessResult RunProcess(const ProcessOptions& options) override;
  void WaitForFile(const std::string& fileName, std::uint32_t timeoutMs) override;

 private:
  std::function<void()> dispatch_;
};

}  // namespace tesnova
