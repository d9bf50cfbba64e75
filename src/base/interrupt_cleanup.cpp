#include "base/interrupt_cleanup.h"

#include <mutex>

namespace tesnova {
namespace {

std::mutex& Lock() {
  static std::mutex lock;
  return lock;
}

std::list<std::function<void()>>& Entries() {
  static std::list<std::function<void()>> entries;
  return entries;
}

}  // namespace

InterruptCleanup::InterruptCleanup(std::function<void()> undo) {
  std::lock_guard<std::mutex> hold(Lock());
  entry_ = Entries().insert(Entries().end(), std::move(undo));
}

InterruptCleanup::~InterruptCleanup() {
  std::lock_guard<std::mutex> hold(Lock());
  Entries().erase(entry_);
}

void RunInterruptCleanups() {
  // Held for good: the process ends right after this, and nothing may change the list or the
  // files meanwhile.
  Lock().lock();
  for (auto it = Entries().rbegin(); it != Entries().rend(); ++it) {
    try {
      (*it)();
    } catch (...) {
    }
  }
}

}  // namespace tesnova
