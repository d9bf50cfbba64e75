#pragma once
// Even spacing along a polyline.
#include "centerline/polyline.h"

namespace tesnova {

// The points at arc length 0, step, 2 step, ... up to and including the total length,
// interpolated on the segment where each length falls. Empty for fewer than 2 points;
// the last input point is only included when the length is a whole multiple of step.
// A step that is not above 0 gives the first point only.
Polyline ResamplePolyline(const Polyline& polyline, double step);

}  // namespace tesnova
