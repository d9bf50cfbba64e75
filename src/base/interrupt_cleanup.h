#pragma once
// What an interrupted program must undo before it ends: temporary files and folders removed,
// the programs it started ended. Whoever makes such a thing registers its undoing for as long as
// it lasts; the command-line program's interrupt handling runs every registered undoing, newest
// first, from a thread of its own (never inside a signal handler) and then ends the process.
#include <functional>
#include <list>

namespace tesnova {

class InterruptCleanup {
 public:
  explicit InterruptCleanup(std::function<void()> undo);
  ~InterruptCleanup();
  InterruptCleanup(const InterruptCleanup&) = delete;
  InterruptCleanup& operator=(const InterruptCleanup&) = delete;

 private:
  std::list<std::function<void()>>::iterator entry_;
};

// Runs every registered undoing, newest first; later registrations and removals wait until
// the process has ended.
void RunInterruptCleanups();

}  // namespace tesnova
