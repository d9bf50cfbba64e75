#include "centerline/centerline_index.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <numbers>
#include <random>

#include "centerline/normal_ray.h"
#include "centerline/resample.h"

namespace tesnova {
namespace {

Polyline RandomWalk(std::mt19937& random, size_t n, double scale) {
  std::uniform_real_distribution<double> step(-scale, scale);
  Polyline walk = {{step(random) * 10, step(random) * 10}};
  for (size_t i = 1; i < n; ++i)
    walk.push_back({walk.back().X + step(random), walk.back().Y + step(random)});
  return walk;
}

Polyline Circle(double cx, double cy, double r, size_t n, bool clockwise) {
  Polyline circle;
  for (size_t i = 0; i <= n; ++i) {
    double a = 2 * std::numbers::pi * static_cast<double>(i) / static_cast<double>(n) *
               (clockwise ? -1 : 1);
    circle.push_back({cx + r * std::cos(a), cy + r * std::sin(a)});
  }
  return circle;
}

void ExpectSame(const Polyline& base, const Polyline& opposite, const std::string& what) {
  const Polyline direct = ComputeCenterlineNormalDirect(base, opposite);
  const Polyline fast = ComputeCenterlineNormal(base, opposite);
  ASSERT_EQ(fast.size(), direct.size()) << what;
  size_t differing = 0;
  for (size_t i = 0; i < fast.size(); ++i) {
    // Bitwise equal, not merely close.
    if (std::memcmp(&fast[i], &direct[i], sizeof(TPoint2D)) != 0 && ++differing <= 3)
      ADD_FAILURE() << what << " point " << i << ": " << fast[i].X << " " << fast[i].Y
                    << " instead of " << direct[i].X << " " << direct[i].Y;
  }
  EXPECT_EQ(differing, 0u) << what;
}

TEST(CenterlineIndex, AgreesBitForBitWithTheDirectSearchOnRandomPolylines) {
  std::mt19937 random(20260113);
  for (int round = 0; round < 40; ++round) {
    double scale = round % 3 == 0 ? 1 : round % 3 == 1 ? 20 : 0.01;
    Polyline base = RandomWalk(random, 50 + round * 7, scale);
    Polyline opposite = RandomWalk(random, 30 + round * 11, scale);
    ExpectSame(base, opposite, "random walk " + std::to_string(round));
    ExpectSame(opposite, base, "swapped " + std::to_string(round));
  }
  // A ring resampled as the bench does, and an opposite contour crossed several times.
  ExpectSame(ResamplePolyline(Circle(0, 0, 100, 90, true), 1),
             ResamplePolyline(Circle(0.5, -0.25, 120, 70, false), 1), "ring");
  ExpectSame(Circle(3, 3, 10, 40, true), RandomWalk(random, 2000, 3), "tangle");
}

TEST(CenterlineIndex, AgreesOnLatticePolylinesFullOfTiesAndParallels) {
  // Integer points on a small lattice: rays through vertices, along segments and along
  // cell borders, and many crossings at equal distances.
  std::mt19937 random(7);
  std::uniform_int_distribution<int> coordinate(-6, 6);
  for (int round = 0; round < 60; ++round) {
    Polyline base, opposite;
    for (int i = 0; i < 12; ++i)
      base.push_back({double(coordinate(random)), double(coordinate(random))});
    for (int i = 0; i < 40; ++i)
      opposite.push_back({double(coordinate(random)), double(coordinate(random))});
    ExpectSame(base, opposite, "lattice " + std::to_string(round));
    ExpectSame(ResamplePolyline(base, 0.5), opposite, "resampled lattice " + std::to_string(round));
  }
}

TEST(CenterlineIndex, TiesGoToTheEarliestSegment) {
  // Every ray upwards from the base passes exactly through shared vertices and through
  // segments repeated later at the same place, all at the same distance.
  Polyline base;
  for (int x = 0; x <= 8; ++x) base.push_back({static_cast<double>(x), 0});
  Polyline opposite;
  for (int round = 0; round < 3; ++round)
    for (int x = -2; x <= 10; ++x)
      opposite.push_back({static_cast<double>(round % 2 ? 10 - x : x), 4});
  ExpectSame(base, opposite, "repeated line");
  // A zigzag whose vertices sit exactly above the base points.
  Polyline zigzag;
  for (int x = -2; x <= 10; ++x) zigzag.push_back({static_cast<double>(x), x % 2 ? 3.0 : 5.0});
  ExpectSame(base, zigzag, "zigzag");
}

TEST(CenterlineIndex, ALongSegmentMetEarlyDoesNotEndTheWalk) {
  // The long slanted segment lies in the cells the ray passes first but is crossed far up;
  // the short one later in the list is crossed nearer.
  const Polyline base = {{-0.2, 0}, {0, 0}, {0.2, 0}};
  const Polyline opposite = {{-1, 1}, {1, 100}, {0.5, 10}, {-0.5, 10}};
  ExpectSame(base, opposite, "long segment");
  EXPECT_NEAR(ComputeCenterlineNormal(base, opposite)[1].Y, 5, 1e-9);
}

TEST(CenterlineIndex, DegenerateInputs) {
  const double inf = std::numeric_limits<double>::infinity();
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Polyline base = {{0, 0}, {1, 0}, {2, 0}};
  ExpectSame(base, {}, "no opposite");
  ExpectSame(base, {{0, 2}}, "one opposite point");
  ExpectSame(base, {{-1, 2}, {-1, 2}, {3, 2}}, "repeated opposite point");
  ExpectSame(base, {{-5, 2}, {5, 2}, {7, 2}}, "flat opposite");
  ExpectSame({{1, 1}}, {{-5, 2}, {5, 2}}, "one base point");
  ExpectSame(base, {{-5, 2}, {nan, 2}, {5, 2}, {5, 7}}, "not a number");
  ExpectSame(base, {{-5, 2}, {inf, 2}, {5, 2}, {5, 7}}, "endless");
  ExpectSame({{0, 0}, {nan, 0}, {2, 0}}, {{-5, 2}, {5, 2}}, "base not a number");
  ExpectSame(base, {{-1e300, 2}, {1e300, 2}, {0, 1e300}}, "huge");
  ExpectSame(base, {{-1e-300, 2}, {1e-300, 2}}, "tiny");
}

}  // namespace
}  // namespace tesnova
