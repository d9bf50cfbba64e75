// The centerline bench with a Windows build of Potrace, when the test machine has one.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/text_file.h"
#include "ports/processes.h"
#include "support/centerline_ring.h"
#include "support/test_paths.h"
#include "support/windows_potrace.h"

namespace tesnova {
namespace {

TEST(CenterlineWithPotrace, RingGivesItsMiddleCircle) {
  const std::filesystem::path potrace = testing::WindowsPotrace();
  if (!std::filesystem::exists(potrace))
    GTEST_SKIP() << "no potrace.exe at " << PathToUtf8(potrace);
  testing::ScratchFolder dir;
  testing::ExpectRingCenterline(*MakePlatformProcesses(), PathToUtf8(potrace),
                                dir.path() / "work folder");
}

}  // namespace
}  // namespace tesnova
