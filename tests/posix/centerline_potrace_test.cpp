// The centerline bench with the real Potrace of the system, when there is one.
#include <gtest/gtest.h>

#include <filesystem>

#include "ports/processes.h"
#include "support/centerline_ring.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

TEST(CenterlineWithPotrace, RingGivesItsMiddleCircle) {
  const std::filesystem::path potrace = "/usr/bin/potrace";
  if (!std::filesystem::exists(potrace)) GTEST_SKIP() << "no potrace in /usr/bin";
  testing::ScratchFolder dir;
  testing::ExpectRingCenterline(*MakePlatformProcesses(), potrace.string(),
                                dir.path() / "work folder");
}

}  // namespace
}  // namespace tesnova
