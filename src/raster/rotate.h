#pragma once
// Turning the work bitmap about its bottom-left corner.
#include "raster/bitmap.h"

namespace tesnova {

// The bitmap turned by the angle (radians; positive turns clockwise on the screen) about its
// bottom-left corner, onto a white canvas of the same size, with bilinear resampling. Canvas
// areas the turned picture does not cover stay white; an angle of 0 gives an exact copy.
Bitmap RotateBitmap(const Bitmap& source, double angle);

}  // namespace tesnova
