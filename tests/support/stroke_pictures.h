#pragma once
// Black strokes with round ends on white, for the centerline tracer's tests. Coordinates are
// pixels with Y down: pixel (x, y) is black when its centre (x + 0.5, y + 0.5) lies within half
// the width of the stroke's centre line.
#include "raster/bitmap.h"

namespace tesnova::testing {

void DrawSegment(Bitmap& picture, double x0, double y0, double x1, double y1, double width);

// An arc from angle a0 to a1 (radians, counter-clockwise as seen on the page, a1 > a0); a full
// turn draws a circle.
void DrawArc(Bitmap& picture, double cx, double cy, double r, double a0, double a1, double width);

}  // namespace tesnova::testing
