#pragma once
// Sorting contours by orientation: the first clockwise one (negative area, y up) is walked
// along, the first other one is looked across to.
#include "centerline/centerline_notice.h"
#include "centerline/polyline.h"

namespace tesnova {

// Shoelace area over the closed ring (last point joined back to the first); 0 for fewer
// than 3 points. Negative means clockwise with y up.
double SignedArea(const Polyline& polyline);

// SignedArea below 0, or not a number.
bool HasNegativeArea(const Polyline& polyline);

struct ContourClasses {
  ContourList negativeArea;
  ContourList nonNegativeArea;
};

// Tells the number of contours ("paths=" and the count), then sorts them, each list keeping the
// input order.
ContourClasses ClassifyContours(const ContourList& contours, const CenterlineNotice& notice);

}  // namespace tesnova
