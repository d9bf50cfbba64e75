// The plain versions of the raster kernels: one pixel at a time, as the rules are written.
#include <algorithm>
#include <cmath>
#include <numbers>

#include "raster/grey_levels.h"
#include "raster/raster_kernels.h"

namespace tesnova::kernels {

Rotation::Rotation(const Bitmap& source, double angle) : height(source.height) {
  // The angle passes through single precision degrees, as the drawing library takes it.
  const double degrees = static_cast<float>(angle * 180 / std::numbers::pi);
  const double radians = degrees * std::numbers::pi / 180;
  cosine = std::cos(radians);
  sine = std::sin(radians);
  du = std::llround(cosine * 4294967296.0);
  dv = std::llround(-sine * 4294967296.0);
}

// Result pixel centre (x + 0.5, y + 0.5) turned back about (0, height), less half a pixel.
std::int64_t Rotation::RowU(int y) const {
  return std::llround((cosine * 0.5 + sine * (y + 0.5 - height) - 0.5) * 4294967296.0);
}
std::int64_t Rotation::RowV(int y) const {
  return std::llround((-sine * 0.5 + cosine * (y + 0.5 - height) + height - 0.5) * 4294967296.0);
}

int OtsuThresholdOf(const Histogram& histogram) {
  double total = 0, sum = 0;
  for (int i = 0; i < 256; ++i) total += histogram[i];
  for (int i = 0; i < 256; ++i) sum += static_cast<double>(i) * histogram[i];
  double wB = 0, sumB = 0, best = -1.0;
  int level = -1;
  for (int t = 0; t < 256; ++t) {
    wB += histogram[t];
    if (wB == 0) continue;
    const double wF = total - wB;
    if (wF == 0) break;
    sumB += static_cast<double>(t) * histogram[t];
    const double mB = sumB / wB;
    const double mF = (sum - sumB) / wF;
    const double between = (wB * wF) * ((mB - mF) * (mB - mF));
    if (between > best) {
      best = between;
      level = t;
    }
  }
  // Otsu's level is the last of the dark class; the threshold is the first of the bright one,
  // since a level at the threshold turns white. No split (one level or none): 0.
  return level + 1;
}

namespace {

void Median(Bitmap& bitmap) {
  if (bitmap.width < 3 || bitmap.height < 3) return;
  const Bitmap source = bitmap;
  for (int y = 1; y < bitmap.height - 1; ++y)
    for (int x = 1; x < bitmap.width - 1; ++x)
      for (int c = 0; c < 3; ++c) {
        std::uint8_t v[9];
        int n = 0;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx) v[n++] = source.at(x + dx, y + dy)[c];
        std::sort(v, v + 9);
        bitmap.at(x, y)[c] = v[4];
      }
}

void Gaussian(Bitmap& bitmap) {
  if (bitmap.width < 3 || bitmap.height < 3) return;
  static const int kWeights[3][3] = {{1, 2, 1}, {2, 4, 2}, {1, 2, 1}};
  const Bitmap source = bitmap;
  for (int y = 1; y < bitmap.height - 1; ++y)
    for (int x = 1; x < bitmap.width - 1; ++x)
      for (int c = 0; c < 3; ++c) {
        int sum = 0;
        for (int dy = -1; dy <= 1; ++dy)
          for (int dx = -1; dx <= 1; ++dx)
            sum += kWeights[dy + 1][dx + 1] * source.at(x + dx, y + dy)[c];
        bitmap.at(x, y)[c] = static_cast<std::uint8_t>(sum / 16);
      }
}

Histogram MeanGreyHistogram(const Bitmap& bitmap) {
  Histogram h{};
  for (int y = 0; y < bitmap.height; ++y)
    for (int x = 0; x < bitmap.width; ++x) {
      const std::uint8_t* p = bitmap.at(x, y);
      ++h[MeanGrey(p[0], p[1], p[2])];
    }
  return h;
}

void SetAll(std::uint8_t* p, bool white) { p[0] = p[1] = p[2] = white ? 255 : 0; }

void BinarizeMeanGrey(Bitmap& bitmap, int threshold) {
  for (int y = 0; y < bitmap.height; ++y)
    for (int x = 0; x < bitmap.width; ++x) {
      std::uint8_t* p = bitmap.at(x, y);
      SetAll(p, MeanGrey(p[0], p[1], p[2]) >= threshold);
    }
}

void BinarizeLuminance(Bitmap& bitmap, int threshold) {
  for (int y = 0; y < bitmap.height; ++y)
    for (int x = 0; x < bitmap.width; ++x) {
      std::uint8_t* p = bitmap.at(x, y);
      SetAll(p, Luminance(p[0], p[1], p[2]) >= threshold);
    }
}

void Rotate(const Bitmap& source, Bitmap& result, double angle, int firstRow) {
  const Rotation turn(source, angle);
  auto tap = [&](std::int64_t x, std::int64_t y, int c) -> unsigned {
    if (x < 0 || y < 0 || x >= source.width || y >= source.height) return 255;
    return source.at(static_cast<int>(x), static_cast<int>(y))[c];
  };
  for (int row = 0; row < result.height; ++row) {
    const int y = firstRow + row;
    const std::int64_t rowU = turn.RowU(y), rowV = turn.RowV(y);
    for (int x = 0; x < result.width; ++x) {
      const std::int64_t u = rowU + x * turn.du, v = rowV + x * turn.dv;
      const std::int64_t ix = u >> 32, iy = v >> 32;
      const unsigned fx = static_cast<unsigned>(u >> 25) & 127;
      const unsigned fy = static_cast<unsigned>(v >> 25) & 127;
      for (int c = 0; c < 3; ++c) {
        const unsigned top = tap(ix, iy, c) * (128 - fx) + tap(ix + 1, iy, c) * fx;
        const unsigned bottom = tap(ix, iy + 1, c) * (128 - fx) + tap(ix + 1, iy + 1, c) * fx;
        result.at(x, row)[c] =
            static_cast<std::uint8_t>((top * (128 - fy) + bottom * fy + 8192) >> 14);
      }
    }
  }
}

}  // namespace

const Kernels& ReferenceKernels() {
  static const Kernels kernels{
      "reference",       Median, Gaussian, MeanGreyHistogram, BinarizeMeanGrey,
      BinarizeLuminance, Rotate};
  return kernels;
}

}  // namespace tesnova::kernels
