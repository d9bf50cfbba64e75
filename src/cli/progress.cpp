#include "cli/progress.h"

#include <cstdio>

#include "base/system.h"

namespace tesnova::cli {
namespace {

// Characters, not bytes: UTF-8 continuation bytes do not count.
std::size_t Characters(std::string_view text) {
  std::size_t n = 0;
  for (char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

}  // namespace

Progress::Progress(const Command& command, const Arguments& args)
    : on_(!args.Has("--quiet") && StandardErrorIsTerminal()),
      prefix_(std::string("tesnova-cli ") + command.name + ": ") {
  if (!on_) return;
  ticker_ = std::thread([this] { Tick(); });
  // An interrupt ends the program at once: the line is cleared for the shell's prompt.
  onInterrupt_ = std::make_unique<InterruptCleanup>([this] {
    std::lock_guard lock(mutex_);
    text_.clear();
    Show();
  });
}

Progress::~Progress() {
  if (!on_) return;
  onInterrupt_.reset();
  {
    std::lock_guard lock(mutex_);
    stop_ = true;
    text_.clear();
    Show();
  }
  wake_.notify_all();
  ticker_.join();
}

void Progress::Step(std::string_view text) {
  if (!on_) return;
  std::lock_guard lock(mutex_);
  text_ = text;
  since_ = std::chrono::steady_clock::now();
  Show();
}

void Progress::Clear() {
  if (!on_) return;
  std::lock_guard lock(mutex_);
  text_.clear();
  Show();
}

void Progress::Show() {
  std::string line;
  if (!text_.empty()) {
    line = prefix_ + text_;
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - since_)
            .count();
    if (seconds >= 1) line += " (" + std::to_string(seconds) + " s)";
  }
  // Carriage return, the new text, and blanks over what is left of the old one; no escape
  // sequences, which not every console understands.
  const std::size_t width = Characters(line);
  std::string out = "\r" + line;
  if (width < width_) out += std::string(width_ - width, ' ') + "\r" + line;
  if (line.empty() && width_ == 0) return;
  width_ = width;
  std::fputs(out.c_str(), stderr);
  std::fflush(stderr);
}

void Progress::Tick() {
  std::unique_lock lock(mutex_);
  while (!stop_) {
    wake_.wait_for(lock, std::chrono::seconds(1));
    if (!stop_ && !text_.empty()) Show();
  }
}

}  // namespace tesnova::cli
