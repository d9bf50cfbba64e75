#pragma once
// Cubic Bezier curves as short straight steps.
#include "centerline/polyline.h"

namespace tesnova {

// The curve at t, in Bernstein form: u^3 P0 + 3u^2 t P1 + 3u t^2 P2 + t^3 P3 with u = 1 - t.
TPoint2D CubicBezierPoint(TPoint2D p0, TPoint2D p1, TPoint2D p2, TPoint2D p3, double t);

// Appends the curve at t = step, 2 step, ... while t < 1 (t summed up step by step), so
// neither end point is appended: with step 0.05 that is 19 points.
void FlattenCubicBezier(TPoint2D p0, TPoint2D p1, TPoint2D p2, TPoint2D p3, double step,
                        Polyline& polyline);

}  // namespace tesnova
