#include "process/file_wait.h"

#include <gtest/gtest.h>

#include "base/error.h"

namespace tesnova {
namespace {

// A clock that moves only when slept on; the file appears at a given time.
struct FakeClock {
  std::uint32_t now;
  std::uint32_t fileAt;  // the file exists from this tick on (wrapping compare)
  bool never = false;
  int sleeps = 0;

  FileWaitClock Clock() {
    return {[this] { return now; },
            [this](std::uint32_t ms) {
              ++sleeps;
              now += ms;
            },
            [this](const std::string&) {
              return !never && static_cast<std::int32_t>(now - fileAt) >= 0;
            }};
  }
};

TEST(FileWait, AnExistingFileReturnsWithoutSleeping) {
  FakeClock c{1000, 0};
  WaitForFileOn(c.Clock(), "x.svg", 30000);
  EXPECT_EQ(c.sleeps, 0);
}

TEST(FileWait, TimesOutAfterTheLimitWithTheFileNamed) {
  FakeClock c{5, 0, true};
  try {
    WaitForFileOn(c.Clock(), "C:\\w\\tesnova.svg", 30000);
    FAIL() << "no time-out";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "SVG ファイルの生成がタイムアウトしました: C:\\w\\tesnova.svg");
  }
  // 150 polls reach exactly 30000 ms, which is not yet past the limit.
  EXPECT_EQ(c.sleeps, 151);
}

TEST(FileWait, CountsTimeAcrossTheCounterWrap) {
  FakeClock late{0xFFFFFF00u, 0xFFFFFF00u + 1000};  // appears after the wrap
  WaitForFileOn(late.Clock(), "x", 30000);
  EXPECT_EQ(late.sleeps, 5);

  FakeClock never{0xFFFFF000u, 0, true};
  EXPECT_THROW(WaitForFileOn(never.Clock(), "x", 1000), Error);
  EXPECT_EQ(never.sleeps, 6);
}

TEST(FileWait, AFileArrivingDuringTheLastSleepIsNotSeen) {
  FakeClock c{0, 29950};
  EXPECT_THROW(WaitForFileOn(c.Clock(), "x", 29900), Error);
}

TEST(FileWait, ZeroWaitsForEver) {
  FakeClock c{0, 3'000'000};
  WaitForFileOn(c.Clock(), "x", 0);
  EXPECT_EQ(c.sleeps, 15000);
}

}  // namespace
}  // namespace tesnova
