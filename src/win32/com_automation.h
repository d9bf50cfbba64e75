#pragma once
// The automation port over COM: IDispatch objects of running programs.
#include <cstdint>

#include "ports/automation.h"

namespace tesnova {

// Joins the calling thread to a single-threaded COM apartment for its lifetime (if it was not
// already) and finds running objects through the running object table.
class ComAutomationHost : public AutomationHost {
 public:
  ComAutomationHost();
  ~ComAutomationHost() override;
  ComAutomationHost(const ComAutomationHost&) = delete;
  ComAutomationHost& operator=(const ComAutomationHost&) = delete;

  AutomationRef GetActiveObject(const std::string& progId) override;

 private:
  bool uninitialise_ = false;
};

// How long a call that the server rejects as busy waits before it is tried again. Calls are
// retried for as long as the server keeps rejecting them.
inline constexpr std::uint32_t kBusyRetryMs = 1000;

}  // namespace tesnova
