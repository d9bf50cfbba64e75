#pragma once
// The cleaning of the work bitmap, the one place its steps are chained: deskew, median,
// Gaussian, monochrome, each when asked for.
#include <functional>
#include <optional>

#include "raster/bitmap.h"
#include "raster/threshold.h"

namespace tesnova {

struct PrepareOptions {
  // The rotation (radians) the picture is placed at in the drawing; its part below a quarter
  // turn is taken back. Nothing: no deskew.
  std::optional<double> deskewRotation;
  bool median = false;
  bool gaussian = false;
  bool monochrome = false;
  bool otsu = false;                  // the threshold by Otsu's method instead of `threshold`
  int threshold = kDefaultThreshold;  // luminance at or above it turns white
};

enum class PrepareStep { kDeskew, kMedian, kGaussian, kMonochrome };

struct PrepareReport {
  double skewTaken = 0;  // radians the picture was turned back by; 0 when it was not turned
  // Otsu's level as found, which the threshold field shows; nothing without Otsu.
  std::optional<int> otsuThreshold;
  int threshold = 0;  // the threshold applied; 0 without the monochrome step
};

// Runs the asked steps in place; beforeStep hears of each just before it runs.
PrepareReport PrepareBitmap(Bitmap& bitmap, const PrepareOptions& options,
                            const std::function<void(PrepareStep)>& beforeStep = {});

}  // namespace tesnova
