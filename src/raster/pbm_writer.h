#pragma once
// The work picture as a black-and-white portable bitmap ("P4") for Potrace: an eighth of a byte
// a pixel instead of three bytes, which Potrace reads as it would have read the 24-bit picture.
#include <filesystem>

#include "raster/bitmap.h"
#include "raster/black_white_picture.h"

namespace tesnova {

// Writes the bitmap as a P4 file by Potrace's own reading of a 24-bit picture (kPotraceBlack);
// an empty bitmap gives a 0 x 0 file.
void WriteBlackWhitePbm(const std::filesystem::path& path, const Bitmap& bitmap);
// Writes the black-and-white picture as a P4 file, row by row, through a temporary beside the
// file that then replaces any file of that name; raises FileError naming the file.
void WriteBlackWhitePbm(const std::filesystem::path& path, const BlackWhitePicture& picture);

}  // namespace tesnova
