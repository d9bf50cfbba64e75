#pragma once
// Even spacing along a polyline.
#include "centerline/polyline.h"

namespace tesnova {

// The points at arc length 0, step, 2 step, ... up to and including the total length,
// interpolated on the segment where each length falls. Empty for fewer than 2 points;
// the last input point is only included when the length is a whole multiple of step.
// A step that is not above 0 gives the first point only.
Polyline ResamplePolyline(const Polyline& polyline, double step);

// The number of points ResamplePolyline gives for that step, found without making them (an
// upper bound for a length that is not finite: the points up to the first endless segment).
double ResampledPointCount(const Polyline& polyline, double step);

// The most points one resampling may make: beyond it the centerline bench stops with a message
// instead of running out of memory (Potrace's outlines of a huge picture, or wild coordinates).
inline constexpr double kMaxResampledPoints = 4'000'000;

}  // namespace tesnova
