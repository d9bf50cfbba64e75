#pragma once
// Pictures for the raster tests: expected pixels from fixture PPM files, random bitmaps.
#include <cstdint>
#include <filesystem>
#include <string>

#include "raster/bitmap.h"

namespace tesnova::testing {

// Reads a binary PPM (P6, maxval 255) fixture into the 24-bit form.
Bitmap ReadPpm(const std::filesystem::path& path);

// A bitmap of the given size filled with pseudo-random bytes from the seed.
Bitmap RandomBitmap(int width, int height, std::uint32_t seed);

// The largest difference of any byte of two bitmaps of the same size (256 if the sizes differ).
int MaxDifference(const Bitmap& a, const Bitmap& b);

// "x,y: b g r" of the first differing pixel, or "" when the bitmaps are equal.
std::string FirstDifference(const Bitmap& a, const Bitmap& b);

}  // namespace tesnova::testing
