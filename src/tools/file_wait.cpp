#include "tools/file_wait.h"

#include "base/error.h"

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

}  // namespace tesnova
