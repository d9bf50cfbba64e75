// The main window opens where it can be seen.
#include "app/window_placement.h"

#include <gtest/gtest.h>

#include <climits>

namespace tesnova {
namespace {

TEST(PlaceWindow, KeepsAVisibleCornerAndCentresAnInvisibleOne) {
  const ScreenArea primary{0, 0, 1920, 1040};
  const ScreenArea left{-1280, 0, 0, 1024};  // a second monitor left of the primary one
  const std::vector<ScreenArea> monitors = {primary, left};
  const WindowOrigin centred{(1920 - 560) / 2, (1040 - 480) / 2};
  const struct {
    const char* name;
    int left, top;
    WindowOrigin expected;
  } cases[] = {
      {"on the primary monitor", 100, 200, {100, 200}},
      {"on the second monitor", -1000, 50, {-1000, 50}},
      {"half off the right edge", 1700, 10, {1700, 10}},
      {"far to the right", 99999, 100, centred},
      {"the smallest integer", INT_MIN, INT_MIN, centred},
      {"the largest integer", INT_MAX, INT_MAX, centred},
      {"caption above the screen", 100, -300, centred},
      {"only a sliver on screen", 1900, 100, centred},
      {"below the second monitor's bottom", -1000, 1030, centred},
  };
  for (const auto& c : cases)
    EXPECT_EQ(PlaceWindow(c.left, c.top, 560, 480, monitors, primary), c.expected) << c.name;
  // A primary monitor that does not start at 0, 0.
  const ScreenArea shifted{100, 50, 1380, 1074};
  EXPECT_EQ(PlaceWindow(99999, 0, 560, 480, {shifted}, shifted),
            (WindowOrigin{100 + 360, 50 + 272}));
}

}  // namespace
}  // namespace tesnova
