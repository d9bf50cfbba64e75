#pragma once
// The work picture as a black-and-white portable bitmap ("P4") for Potrace: an eighth of a byte
// a pixel instead of three bytes, which Potrace reads as it would have read the 24-bit picture.
#include <cstdint>
#include <filesystem>

#include "raster/bitmap.h"
#include "raster/black_white_picture.h"

namespace tesnova {

// Potrace's own reading of a 24-bit picture (kPotraceBlack).
inline bool BlackToPotrace(const std::uint8_t* pixel) { return kPotraceBlack(pixel); }

// Writes the bitmap as a P4 file by that rule, row by row (the file is never held whole),
// replacing any file of that name; raises FileError naming the file. An empty bitmap gives a
// 0 x 0 file.
void WriteBlackWhitePbm(const std::filesystem::path& path, const Bitmap& bitmap);
// Writes the black-and-white picture as a P4 file, as above.
void WriteBlackWhitePbm(const std::filesystem::path& path, const BlackWhitePicture& picture);

}  // namespace tesnova
