#pragma once
// Thresholds and binarisation of the work bitmap.
#include <cstdint>
#include <string>
#include <string_view>

#include "raster/bitmap.h"

namespace tesnova {

// The threshold by Otsu's method on the mean grey: the first level of the bright class, one above
// the level of Otsu's best split (the lowest among equal maxima), so a picture of two levels
// g1 < g2 gives g1 + 1 and its g1 pixels turn black. 0 for a bitmap of one level or none.
int OtsuThreshold(const Bitmap& bitmap);

// Pixels whose mean grey is at least OtsuThreshold become white, the others black.
void BinarizeOtsu(Bitmap& bitmap);

// Pixels whose luminance is at least the threshold become white, the others black.
void BinarizeByThreshold(Bitmap& bitmap, std::uint8_t threshold);

// The thresholds the monochrome step applies.
inline constexpr int kMinThreshold = 1;
inline constexpr int kMaxThreshold = 254;
inline constexpr int kDefaultThreshold = 200;

// The threshold that a threshold field's text gives: its integer value, kDefaultThreshold when
// it holds no integer, limited to kMinThreshold..kMaxThreshold.
int ThresholdFromText(std::string_view text);

}  // namespace tesnova
