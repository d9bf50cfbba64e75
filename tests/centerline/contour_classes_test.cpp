#include "centerline/contour_classes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace tesnova {
namespace {

TEST(ContourClasses, SignedAreaTable) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  struct Case {
    Polyline polyline;
    double area;
    bool negative;
  };
  const Case cases[] = {
      {{{0, 0}, {1, 0}, {1, 1}, {0, 1}}, 1, false},
      {{{0, 1}, {1, 1}, {1, 0}, {0, 0}}, -1, true},
      {{{0, 0}, {4, 0}, {0, 3}}, 6, false},
      {{}, 0, false},
      {{{5, 5}}, 0, false},
      {{{0, 0}, {1, 1}, {2, 2}}, 0, false},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(SignedArea(c.polyline), c.area) << c.polyline.size();
    EXPECT_EQ(HasNegativeArea(c.polyline), c.negative) << c.polyline.size();
  }
  EXPECT_TRUE(HasNegativeArea({{0, 0}, {nan, 1}, {1, 1}}));
}

TEST(ContourClasses, SortsKeepingOrderAndTellsTheCount) {
  // Right triangles with legs 2 and 2 * area, clockwise for negative areas.
  auto withArea = [](double area) {
    double h = std::fabs(area);
    Polyline t = {{0, 0}, {2, 0}, {0, h}};
    if (area < 0) std::swap(t[1], t[2]);
    return t;
  };
  const ContourList contours = {withArea(-2), withArea(5), withArea(-1), {}};
  std::vector<std::string> notices;
  auto notice = [&](std::string_view text) { notices.emplace_back(text); };
  ContourClasses classes = ClassifyContours(contours, notice);
  EXPECT_EQ(notices, std::vector<std::string>{"paths=4"});
  EXPECT_EQ(classes.negativeArea, (ContourList{contours[0], contours[2]}));
  EXPECT_EQ(classes.nonNegativeArea, (ContourList{contours[1], contours[3]}));

  notices.clear();
  ContourClasses none = ClassifyContours({}, notice);
  EXPECT_EQ(notices, std::vector<std::string>{"paths=0"});
  EXPECT_TRUE(none.negativeArea.empty() && none.nonNegativeArea.empty());
}

}  // namespace
}  // namespace tesnova
