#pragma once
// The work bitmap as a black-and-white portable bitmap ("P4") for Potrace: an eighth of a byte
// a pixel instead of three bytes, which Potrace reads as it would have read the 24-bit picture.
#include <cstdint>
#include <filesystem>

#include "raster/bitmap.h"

namespace tesnova {

// Potrace's own reading of a 24-bit picture at its default threshold (0.5): a pixel is black
// when blue + green + red is at most 382, below half of 3 x 255.
inline bool BlackToPotrace(const std::uint8_t* pixel) {
  return pixel[0] + pixel[1] + pixel[2] <= 382;
}

// Writes the bitmap as a P4 file by that rule, row by row (the file is never held whole),
// replacing any file of that name; raises FileError naming the file. An empty bitmap gives a
// 0 x 0 file.
void WriteBlackWhitePbm(const std::filesystem::path& path, const Bitmap& bitmap);

}  // namespace tesnova
