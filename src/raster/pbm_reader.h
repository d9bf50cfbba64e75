#pragma once
// Reading a black-and-white portable bitmap ("P4"), the work picture a tracer of Tesnova's own
// is handed.
#include <cstddef>
#include <filesystem>

#include "raster/black_white_picture.h"
#include "raster/bmp_file.h"

namespace tesnova {

// Reads a P4 file: "P4", the width and the height in decimal, separated by blanks, tabs or line
// ends with "#" comments to the end of their line between them, one such character, then the
// rows. Raises FileError naming the file when it cannot be read, is no P4 file, declares a size
// of no pixels or more than maxPixels, or stops before its last row.
BlackWhitePicture ReadBlackWhitePbm(const std::filesystem::path& path,
                                    std::size_t maxPixels = kMaxPicturePixels);

}  // namespace tesnova
