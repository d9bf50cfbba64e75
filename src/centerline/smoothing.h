#pragma once
// One pass of a three-point moving average.
#include "centerline/polyline.h"

namespace tesnova {

// The end points stay; every inner point becomes the mean of itself and its two neighbours
// in the input. Up to two points come back unchanged, an empty polyline empty.
Polyline SmoothPolyline(const Polyline& polyline);

}  // namespace tesnova
