#pragma once
// The 3 x 3 neighbourhood filters that clean a captured picture before binarisation.
#include "raster/bitmap.h"

namespace tesnova {

// Each channel of every interior pixel becomes the median of its 3 x 3 neighbourhood in the
// unfiltered picture. The first and last rows and columns keep their values; a bitmap less
// than 3 pixels wide or high stays as it is.
void MedianFilter3x3(Bitmap& bitmap);

// The same frame with the weights 1 2 1 / 2 4 2 / 1 2 1, the sum divided by 16 (integer
// division).
void GaussianFilter3x3(Bitmap& bitmap);

}  // namespace tesnova
