#pragma once
// Douglas-Peucker simplification of an open polyline.
#include "centerline/polyline.h"

namespace tesnova {

// Keeps the end points and, between two kept points, the point farthest from the segment
// joining them whenever that distance is above tolerance (a point's distance to a segment
// of no length is its distance to that point). Up to two points come back unchanged.
Polyline DouglasPeucker(const Polyline& polyline, double tolerance);

}  // namespace tesnova
