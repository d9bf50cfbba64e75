#include "raster/filters.h"

#include "raster/raster_kernels.h"

namespace tesnova {

void MedianFilter3x3(Bitmap& bitmap) { kernels::FastKernels().median3x3(bitmap); }

void GaussianFilter3x3(Bitmap& bitmap) { kernels::FastKernels().gaussian3x3(bitmap); }

}  // namespace tesnova
