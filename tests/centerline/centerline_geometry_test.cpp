#include <gtest/gtest.h>

#include "centerline/douglas_peucker.h"
#include "centerline/normal_ray.h"
#include "centerline/resample.h"
#include "centerline/smoothing.h"

namespace tesnova {
namespace {

void ExpectNear(const Polyline& actual, const Polyline& expected, const char* what) {
  ASSERT_EQ(actual.size(), expected.size()) << what;
  for (size_t i = 0; i < actual.size(); ++i) {
    EXPECT_NEAR(actual[i].X, expected[i].X, 1e-9) << what << " point " << i;
    EXPECT_NEAR(actual[i].Y, expected[i].Y, 1e-9) << what << " point " << i;
  }
}

Polyline Line(double x0, double x1, double y) {
  Polyline line;
  for (double x = x0; x <= x1; ++x) line.push_back({x, y});
  return line;
}

TEST(Resample, SpacingTable) {
  struct Case {
    const char* what;
    Polyline input;
    double step;
    Polyline expected;
  };
  const Case cases[] = {
      {"straight", {{0, 0}, {10, 0}}, 1, Line(0, 10, 0)},
      {"round a corner",
       {{0, 0}, {2.5, 0}, {2.5, 2.5}},
       1,
       {{0, 0}, {1, 0}, {2, 0}, {2.5, 0.5}, {2.5, 1.5}, {2.5, 2.5}}},
      {"last point left out", {{0, 0}, {10.5, 0}}, 1, Line(0, 10, 0)},
      {"repeated points", {{0, 0}, {0, 0}, {2, 0}, {2, 0}, {2, 0}}, 1, Line(0, 2, 0)},
      {"step 2.5", {{0, 0}, {0, 6}}, 2.5, {{0, 0}, {0, 2.5}, {0, 5}}},
      {"no length", {{3, 4}, {3, 4}}, 1, {{3, 4}}},
      {"one point", {{3, 4}}, 1, {}},
      {"empty", {}, 1, {}},
  };
  for (const Case& c : cases) ExpectNear(ResamplePolyline(c.input, c.step), c.expected, c.what);
}

TEST(NormalRay, IntersectionCases) {
  // Both segment ends count; the ray has no far end; parallel and empty directions miss.
  struct Case {
    const char* what;
    TPoint2D p, f, a, b;
    bool hit;
    TPoint2D at;
  };
  const Case cases[] = {
      {"across", {0, 0}, {0, 1}, {-1, 2}, {1, 2}, true, {0, 2}},
      {"beyond f", {0, 0}, {0, 1}, {-1, 50}, {1, 50}, true, {0, 50}},
      {"segment start", {0, 0}, {0, 1}, {0, 3}, {1, 3}, true, {0, 3}},
      {"segment end", {0, 0}, {0, 1}, {-1, 3}, {0, 3}, true, {0, 3}},
      {"beside", {0, 0}, {0, 1}, {0.5, 3}, {1, 3}, false, {}},
      {"behind", {0, 0}, {0, 1}, {-1, -2}, {1, -2}, false, {}},
      {"parallel", {0, 0}, {0, 1}, {0, 2}, {0, 5}, false, {}},
      {"no direction", {0, 0}, {0, 0}, {-1, 2}, {1, 2}, false, {}},
      {"no segment", {0, 0}, {0, 1}, {0, 2}, {0, 2}, false, {}},
  };
  for (const Case& c : cases) {
    auto hit = IntersectRaySegment(c.p, c.f, c.a, c.b);
    ASSERT_EQ(hit.has_value(), c.hit) << c.what;
    if (hit) EXPECT_EQ(*hit, c.at) << c.what;
  }
}

TEST(NormalRay, CenterlineCases) {
  const Polyline base = Line(0, 10, 0);
  ExpectNear(ComputeCenterlineNormalDirect(base, {{-5, 2}, {15, 2}}), Line(0, 10, 1), "above");
  ExpectNear(ComputeCenterlineNormalDirect(base, {{-5, -2}, {15, -2}}), base, "below: no hit");
  // Crossed twice (at distances 5 and 2): the nearer crossing counts.
  ExpectNear(ComputeCenterlineNormalDirect({{0, 0}, {1, 0}}, {{-5, 5}, {5, 5}, {5, 2}, {-5, 2}}),
             {{0, 1}, {1, 1}}, "two crossings");
  ExpectNear(ComputeCenterlineNormalDirect({{4, 4}}, {{-5, 2}, {15, 2}}), {{4, 4}}, "one point");
  ExpectNear(ComputeCenterlineNormalDirect(base, {{0, 2}}), base, "opposite of one point");
  // The opposite contour is not joined back to its start.
  ExpectNear(ComputeCenterlineNormalDirect({{0, 0}, {1, 0}}, {{5, 2}, {-5, 2}, {-5, 9}, {5, 9}}),
             {{0, 1}, {1, 1}}, "open opposite");
  ExpectNear(ComputeCenterlineNormalDirect({{0, 0}, {1, 0}}, {{-5, 9}, {5, 9}, {5, 2}}),
             {{0, 4.5}, {1, 4.5}}, "no closing segment");
  EXPECT_EQ(UnitTangent({{0, 0}, {3, 4}, {6, 8}}, 0), (TPoint2D{0.6, 0.8}));
  EXPECT_EQ(NormalOf({0.6, 0.8}), (TPoint2D{-0.8, 0.6}));
}

TEST(Smooth, ThreePointMean) {
  EXPECT_EQ(SmoothPolyline({{0, 0}, {3, 3}, {6, 0}}), (Polyline{{0, 0}, {3, 1}, {6, 0}}));
  EXPECT_EQ(SmoothPolyline({{0, 0}, {3, 3}}), (Polyline{{0, 0}, {3, 3}}));
  EXPECT_EQ(SmoothPolyline({}), Polyline{});
  // Reads the input only: the second mean does not see the first result.
  EXPECT_EQ(SmoothPolyline({{0, 0}, {3, 3}, {0, 0}, {3, 3}}),
            (Polyline{{0, 0}, {1, 1}, {2, 2}, {3, 3}}));
}

TEST(DouglasPeucker, KeepsOnlyPointsBeyondTheTolerance) {
  struct Case {
    const char* what;
    Polyline input;
    double tolerance;
    Polyline expected;
  };
  const Case cases[] = {
      {"straight", Line(0, 10, 0), 1, {{0, 0}, {10, 0}}},
      {"small bump", {{0, 0}, {5, 0.9}, {10, 0}}, 1, {{0, 0}, {10, 0}}},
      {"bump on the tolerance", {{0, 0}, {5, 1}, {10, 0}}, 1, {{0, 0}, {10, 0}}},
      {"big bump", {{0, 0}, {5, 1.1}, {10, 0}}, 1, {{0, 0}, {5, 1.1}, {10, 0}}},
      {"zigzag",
       {{0, 0}, {1, 0.1}, {2, 3}, {3, 0.1}, {4, 0}, {5, -0.1}, {6, 0}},
       1,
       {{0, 0}, {2, 3}, {3, 0.1}, {6, 0}}},
      // Both ends on one point: distances are measured to that point.
      {"loop", {{0, 0}, {3, 0}, {3, 0.5}, {0, 0}}, 1, {{0, 0}, {3, 0.5}, {0, 0}}},
      {"two points", {{0, 0}, {1, 1}}, 1, {{0, 0}, {1, 1}}},
      {"empty", {}, 1, {}},
  };
  for (const Case& c : cases) EXPECT_EQ(DouglasPeucker(c.input, c.tolerance), c.expected) << c.what;
}

}  // namespace
}  // namespace tesnova
