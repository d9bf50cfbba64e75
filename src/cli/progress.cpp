#include "cli/progress.h"

#include <algorithm>
#include <cstdio>

#include "base/system.h"

namespace tesnova::cli {
namespace {

// The line must not wrap, or the carriage return would go back over its last row only.
constexpr std::size_t kMaxColumns = 78;

// Terminal columns, roughly: one for ASCII, two for anything else (Japanese is double width);
// UTF-8 continuation bytes take none.
std::size_t Columns(std::string_view text) {
  std::size_t n = 0;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    n += byte < 0x80 ? 1 : (byte & 0xC0) != 0x80 ? 2 : 0;
  }
  return n;
}

// The text cut at a character's start so that it takes at most columns columns.
std::string_view Fitted(std::string_view text, std::size_t columns) {
  std::size_t used = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    const auto byte = static_cast<unsigned char>(text[i]);
    if ((byte & 0xC0) == 0x80) continue;
    used += byte < 0x80 ? 1 : 2;
    if (used > columns) return text.substr(0, i);
  }
  return text;
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
    const auto seconds =
        std::chrono::duration_cast<std::chrono::seconds>(std::chrono::steady_clock::now() - since_)
            .count();
    const std::string time = seconds >= 1 ? " (" + std::to_string(seconds) + " s)" : "";
    line = prefix_;
    line += Fitted(text_, kMaxColumns - std::min(kMaxColumns, Columns(prefix_) + Columns(time)));
    line += time;
  }
  // Carriage return, the new text, and blanks over what is left of the old one; no escape
  // sequences, which not every console understands.
  const std::size_t width = Columns(line);
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
