#pragma once
// The work bitmap as a packed portable bitmap ("P4") for the outline tracer.
#include <filesystem>
#include <string>

#include "raster/bitmap.h"

namespace tesnova {

// A pixel is black when (blue + green + red) div 3 is below 128. Rows from the top, each
// (width + 7) div 8 bytes, leftmost pixel in the most significant bit, a set bit black,
// unused low bits of a row's last byte 0. No comments, nothing after the last row.
std::string EncodePbm(const Bitmap& bitmap);

// Writes EncodePbm(bitmap), replacing any file of that name; raises FileError naming the file.
void SaveBitmapAsPBM(const Bitmap& bitmap, const std::filesystem::path& fileName);

}  // namespace tesnova
