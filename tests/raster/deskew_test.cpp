#include "raster/deskew.h"

#include <gtest/gtest.h>

#include <limits>
#include <numbers>

namespace tesnova {
namespace {

constexpr double kDegree = std::numbers::pi / 180;

TEST(NormalizeSkewAngle, LeavesTheTiltBelowAQuarterTurn) {
  const double quarter = std::numbers::pi / 2, eighth = std::numbers::pi / 4;
  const struct {
    double angle, expected;
  } cases[] = {
      {0.5 * kDegree, 0.5 * kDegree},
      {90.3 * kDegree, 0.3 * kDegree},
      {-90.3 * kDegree, -0.3 * kDegree},
      {180.2 * kDegree, 0.2 * kDegree},
      {270.3 * kDegree, 0.3 * kDegree},
      {359.9 * kDegree, -0.1 * kDegree},
      {-179.6 * kDegree, 0.4 * kDegree},
      {eighth, eighth},
      {-eighth, -eighth},
      {3 * eighth, eighth},
      {eighth + 1e-9, eighth + 1e-9 - quarter},
      {1000 * 360 * kDegree + 0.25 * kDegree, 0.25 * kDegree},
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {std::numeric_limits<double>::infinity(), 0},
  };
  for (const auto& c : cases) EXPECT_NEAR(NormalizeSkewAngle(c.angle), c.expected, 1e-9) << c.angle;
}

TEST(SkewToTakeBack, IsTheTiltAboveTheLimit) {
  EXPECT_NEAR(SkewToTakeBack(90.3 * kDegree), 0.3 * kDegree, 1e-12);
  EXPECT_EQ(SkewToTakeBack(0.004 * kDegree), 0);
  EXPECT_EQ(SkewToTakeBack(90 * kDegree), 0);
}

}  // namespace
}  // namespace tesnova
