#include "centerline/contour_classes.h"

#include <cmath>
#include <string>

namespace tesnova {

double SignedArea(const Polyline& polyline) {
  const size_t n = polyline.size();
  double sum = 0;
  for (size_t i = 0; i < n; ++i) {
    const TPoint2D& a = polyline[i];
    const TPoint2D& b = polyline[(i + 1) % n];
    sum += a.X * b.Y - b.X * a.Y;
  }
  return 0.5 * sum;
}

bool HasNegativeArea(const Polyline& polyline) {
  double area = SignedArea(polyline);
  return area < 0 || std::isnan(area);
}

ContourClasses ClassifyContours(const ContourList& contours, const CenterlineNotice& notice) {
  if (notice) notice("paths=" + std::to_string(contours.size()));
  ContourClasses classes;
  for (const Polyline& contour : contours)
    (HasNegativeArea(contour) ? classes.negativeArea : classes.nonNegativeArea).push_back(contour);
  return classes;
}

}  // namespace tesnova
