#include "raster/deskew_pipeline.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <numbers>

#include "raster/raster_kernels.h"

namespace tesnova {

int kernels::OtsuThresholdOf(const Histogram& histogram) {
  double total = 0, sum = 0;
  for (int i = 0; i < 256; ++i) total += histogram[i];
  for (int i = 0; i < 256; ++i) sum += static_cast<double>(i) * histogram[i];
  double wB = 0, sumB = 0, best = -1.0;
  int threshold = 0;
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
      threshold = t;
    }
  }
  return threshold;
}

int OtsuThreshold(const Bitmap& bitmap) {
  if (bitmap.empty()) return 0;
  return kernels::OtsuThresholdOf(kernels::FastKernels().meanGreyHistogram(bitmap));
}

void BinarizeOtsu(Bitmap& bitmap) {
  if (bitmap.empty()) return;
  kernels::FastKernels().binarizeMeanGrey(bitmap, OtsuThreshold(bitmap));
}

void BinarizeByThreshold(Bitmap& bitmap, std::uint8_t threshold) {
  if (bitmap.empty()) return;
  kernels::FastKernels().binarizeLuminance(bitmap, threshold);
}

int ThresholdFromText(std::string_view text) {
  // An integer as the field holds it: optional sign, digits, nothing else. One too large for
  // 32 bits is no integer either.
  int value = 200;
  std::string_view digits = text;
  if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
  int parsed = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
  if (!digits.empty() && error == std::errc() && end == digits.data() + digits.size())
    value = parsed;
  return std::clamp(value, 1, 254);
}

void MakeMonochrome(Bitmap& bitmap, bool autoThreshold, std::string& thresholdText) {
  if (autoThreshold) thresholdText = std::to_string(OtsuThreshold(bitmap));
  BinarizeByThreshold(bitmap, static_cast<std::uint8_t>(ThresholdFromText(thresholdText)));
}

double NormalizeSkewAngle(double angle) {
  if (!std::isfinite(angle)) return 0;
  constexpr double kQuarter = std::numbers::pi / 2, kEighth = std::numbers::pi / 4;
  // Whole turns first, so that no angle takes more than a few steps.
  if (std::abs(angle) > 2 * std::numbers::pi) angle = std::fmod(angle, 2 * std::numbers::pi);
  while (angle > kEighth) angle -= kQuarter;
  while (angle < -kEighth) angle += kQuarter;
  return angle;
}

Bitmap RotateBitmap(const Bitmap& source, double angle) {
  Bitmap result(std::max(source.width, 0), std::max(source.height, 0), 255);
  if (result.empty()) return result;
  if (angle == 0) return source;
  kernels::FastKernels().rotate(source, result, angle);
  return result;
}

DeskewResult DeskewPicture(Bitmap& picture, double entityRotation, bool deskew, double topoDeg) {
  DeskewResult r;
  r.skew = NormalizeSkewAngle(entityRotation);
  r.insertionRotation = topoDeg;
  if (deskew && std::abs(r.skew) > kSkewLimit) {
    picture = RotateBitmap(picture, -r.skew);
    r.turned = true;
    r.insertionRotation = topoDeg - r.skew * kDegreesPerRadian;
  }
  return r;
}

}  // namespace tesnova
