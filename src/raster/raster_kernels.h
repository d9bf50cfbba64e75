#pragma once
// The pixel loops behind the raster operations, each in two versions: a plain reference that
// says what the result is, and a fast one that gives the same bytes. The fast versions pick
// their instruction set once at run time (AVX2 where the processor has it, else the x86-64
// baseline); tests pin either to compare them with the reference.
#include <array>
#include <cstdint>

#include "raster/bitmap.h"

namespace tesnova::kernels {

using Histogram = std::array<std::uint32_t, 256>;

// Every kernel set has the same operations.
struct Kernels {
  const char* name;
  // 3 x 3 filters of the interior pixels, in place; border pixels and bitmaps under 3 x 3
  // stay as they are.
  void (*median3x3)(Bitmap& bitmap);
  void (*gaussian3x3)(Bitmap& bitmap);
  // Counts of the mean grey levels.
  Histogram (*meanGreyHistogram)(const Bitmap& bitmap);
  // White where mean grey >= threshold, black elsewhere.
  void (*binarizeMeanGrey)(Bitmap& bitmap, int threshold);
  // White where luminance >= threshold, black elsewhere.
  void (*binarizeLuminance)(Bitmap& bitmap, int threshold);
  // The turn of RotateBitmap (see Rotation): the rows firstRow .. firstRow + result.height - 1
  // of a result of the source's size, into result's rows 0, 1, ...; result is as wide as the
  // source.
  void (*rotate)(const Bitmap& source, Bitmap& result, double angle, int firstRow);
};

// Where each result pixel samples the source in a turn about the bottom-left corner, in
// fixed point with 32 fraction bits: result pixel (x, y) samples the source at
// (rowU(y) + x * du, rowV(y) + x * dv), in pixel indices. Bilinear sampling then uses the
// top 7 fraction bits as weights and takes anything outside the source as white.
struct Rotation {
  std::int64_t du = 0, dv = 0;
  double cosine = 1, sine = 0, height = 0;
  explicit Rotation(const Bitmap& source, double angle);
  std::int64_t RowU(int y) const;
  std::int64_t RowV(int y) const;
};

// Otsu's threshold of a mean-grey histogram (the rule of OtsuThreshold): the level after Otsu's
// best split, so that the dark class, ink at the split level included, stays black.
int OtsuThresholdOf(const Histogram& histogram);

const Kernels& ReferenceKernels();
const Kernels& BaselineKernels();
// The AVX2 set, or nullptr when the processor lacks AVX2.
const Kernels* Avx2Kernels();
// The set the raster operations use: AVX2 where available, else the baseline.
const Kernels& FastKernels();

}  // namespace tesnova::kernels
