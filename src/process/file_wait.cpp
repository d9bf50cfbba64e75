#include "process/file_wait.h"

#include <chrono>
#include <thread>

#include "base/error.h"
#include "base/files.h"
#include "base/text_file.h"

namespace tesnova {

void WaitForFileOn(const FileWaitClock& clock, const std::string& fileName,
                   std::uint32_t timeoutMs) {
  const std::uint32_t start = clock.tickMs();
  for (;;) {
    if (clock.fileExists(fileName)) return;
    clock.sleepMs(kFilePollMs);
    const std::uint32_t elapsed = clock.tickMs() - start;
    if (timeoutMs != 0 && elapsed > timeoutMs)
      throw Error("SVG ファイルの生成がタイムアウトしました: " + fileName);
  }
}

FileWaitClock SystemFileWaitClock() {
  return {[] {
            auto now = std::chrono::steady_clock::now().time_since_epoch();
            return static_cast<std::uint32_t>(
                std::chrono::duration_cast<std::chrono::milliseconds>(now).count());
          },
          [](std::uint32_t ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); },
          [](const std::string& name) { return FileExists(PathFromUtf8(name)); }};
}

}  // namespace tesnova
