#include "centerline/cubic_bezier.h"

namespace tesnova {

TPoint2D CubicBezierPoint(TPoint2D p0, TPoint2D p1, TPoint2D p2, TPoint2D p3, double t) {
  double u = 1 - t;
  double b0 = u * u * u;
  double b1 = 3 * u * u * t;
  double b2 = 3 * u * t * t;
  double b3 = t * t * t;
  return {b0 * p0.X + b1 * p1.X + b2 * p2.X + b3 * p3.X,
          b0 * p0.Y + b1 * p1.Y + b2 * p2.Y + b3 * p3.Y};
}

void FlattenCubicBezier(TPoint2D p0, TPoint2D p1, TPoint2D p2, TPoint2D p3, double step,
                        Polyline& polyline) {
  if (!(step > 0)) return;  // a step that never reaches 1 would never end
  for (double t = step; t < 1; t += step) polyline.push_back(CubicBezierPoint(p0, p1, p2, p3, t));
}

}  // namespace tesnova
