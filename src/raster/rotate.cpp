#include "raster/rotate.h"

#include <algorithm>

#include "raster/raster_kernels.h"

namespace tesnova {

Bitmap RotateBitmap(const Bitmap& source, double angle) {
  Bitmap result(std::max(source.width, 0), std::max(source.height, 0), 255);
  if (result.empty()) return result;
  if (angle == 0) return source;
  kernels::FastKernels().rotate(source, result, angle);
  return result;
}

}  // namespace tesnova
