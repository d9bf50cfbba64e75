#include "raster/prepare.h"

#include <algorithm>

#include "raster/deskew.h"
#include "raster/filters.h"
#include "raster/rotate.h"

namespace tesnova {

PrepareReport PrepareBitmap(Bitmap& bitmap, const PrepareOptions& options,
                            const std::function<void(PrepareStep)>& beforeStep) {
  auto announce = [&](PrepareStep step) {
    if (beforeStep) beforeStep(step);
  };
  PrepareReport report;
  if (options.deskewRotation) {
    const double skew = SkewToTakeBack(*options.deskewRotation);
    if (skew != 0) {
      announce(PrepareStep::kDeskew);
      RotateBitmapInPlace(bitmap, -skew);
      report.skewTaken = skew;
    }
  }
  if (options.median) {
    announce(PrepareStep::kMedian);
    MedianFilter3x3(bitmap);
  }
  if (options.gaussian) {
    announce(PrepareStep::kGaussian);
    GaussianFilter3x3(bitmap);
  }
  if (options.monochrome) {
    announce(PrepareStep::kMonochrome);
    int threshold = options.threshold;
    if (options.otsu) threshold = *(report.otsuThreshold = OtsuThreshold(bitmap));
    report.threshold = std::clamp(threshold, kMinThreshold, kMaxThreshold);
    BinarizeByThreshold(bitmap, static_cast<std::uint8_t>(report.threshold));
  }
  return report;
}

}  // namespace tesnova
