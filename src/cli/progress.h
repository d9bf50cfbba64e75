#pragma once
// What a subcommand is doing, on one line of standard error that each step overwrites, with the
// seconds the step has taken once it runs longer than a second. Shown only while standard error
// is a terminal and --quiet is not given, so that redirected output holds messages alone.
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

#include "base/interrupt_cleanup.h"
#include "cli/cli_command.h"

namespace tesnova::cli {

class Progress {
 public:
  Progress(const Command& command, const Arguments& args);
  ~Progress();
  Progress(const Progress&) = delete;
  Progress& operator=(const Progress&) = delete;

  // The step now under way ("reading scan.png").
  void Step(std::string_view text);
  // Clears the line; the next step shows it again. Comes before a message or the report.
  void Clear();

 private:
  void Show();  // the line as it is now; mutex_ held
  void Tick();

  bool on_;
  std::string prefix_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::string text_;
  std::chrono::steady_clock::time_point since_;
  std::size_t width_ = 0;  // columns the line takes now
  bool stop_ = false;
  std::thread ticker_;
  std::unique_ptr<InterruptCleanup> onInterrupt_;
};

}  // namespace tesnova::cli
