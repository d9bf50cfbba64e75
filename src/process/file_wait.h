#pragma once
// The poll for a file that an outside program is expected to write, on an injected clock so
// that both platforms share it and the tests can run it on a fake one.
#include <cstdint>
#include <functional>
#include <string>

namespace tesnova {

struct FileWaitClock {
  std::function<std::uint32_t()> tickMs;               // a 32-bit millisecond counter that may wrap
  std::function<void(std::uint32_t)> sleepMs;          // blocks the thread
  std::function<bool(const std::string&)> fileExists;  // a file, not a folder
};

inline constexpr std::uint32_t kFilePollMs = 200;

// Returns once the file exists. Tests first, then sleeps kFilePollMs between tests; after each
// sleep, raises Error "SVG ファイルの生成がタイムアウトしました: " + fileName when more than
// timeoutMs have passed (the unsigned 32-bit difference, right across the counter's wrap).
// timeoutMs 0 waits for ever.
void WaitForFileOn(const FileWaitClock& clock, const std::string& fileName,
                   std::uint32_t timeoutMs);

// The thread's own clock and sleep, and the file system: what the platforms' WaitForFile use.
FileWaitClock SystemFileWaitClock();

}  // namespace tesnova
