#pragma once
// Turning the work bitmap about its bottom-left corner.
#include "raster/bitmap.h"

namespace tesnova {

// The bitmap turned by the angle (radians; positive turns clockwise on the screen) about its
// bottom-left corner, onto a white canvas of the same size, with bilinear resampling. Canvas
// areas the turned picture does not cover stay white; an angle of 0 gives an exact copy.
Bitmap RotateBitmap(const Bitmap& source, double angle);

// The same turn in place. For the small turns of deskewing it needs memory for a few dozen rows
// only, as each result row reads the source rows near its own; for larger turns it holds a
// whole second picture for a while, as RotateBitmap does.
void RotateBitmapInPlace(Bitmap& bitmap, double angle);

}  // namespace tesnova
