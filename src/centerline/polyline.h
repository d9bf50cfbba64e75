#pragma once
// Points and open polylines of the centerline pass, in 64-bit floats.
#include <cstddef>
#include <vector>

#include "vector/point_types.h"

namespace tesnova {

// An open polyline: the last point is not joined back to the first.
using Polyline = std::vector<TPoint2D>;
// Contours in the order they were read.
using ContourList = std::vector<Polyline>;

// Euclidean length of (dx, dy) as max * sqrt(1 + (min / max)^2), 0 when both are 0.
double Hypot(double dx, double dy);

}  // namespace tesnova
