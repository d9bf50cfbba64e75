#include "raster/threshold.h"

#include <algorithm>
#include <charconv>

#include "raster/raster_kernels.h"

namespace tesnova {

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
  int value = kDefaultThreshold;
  std::string_view digits = text;
  if (!digits.empty() && digits[0] == '+') digits.remove_prefix(1);
  int parsed = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), parsed);
  if (!digits.empty() && error == std::errc() && end == digits.data() + digits.size())
    value = parsed;
  return std::clamp(value, kMinThreshold, kMaxThreshold);
}

}  // namespace tesnova
