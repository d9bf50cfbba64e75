#pragma once
// A picture file prepared straight into black and white for a tracer that reads one bit a
// pixel: the same black and white as PrepareBitmap followed by the tracer's own reading of the
// 24-bit result, with as little memory as the steps allow.
#include <filesystem>

#include "raster/black_white_picture.h"
#include "raster/prepare.h"

namespace tesnova {

// Whether every step asked for looks at each pixel alone (no deskew, median or Gaussian), so
// that the picture can be prepared a row at a time as it is decoded.
bool PreparesPixelByPixel(const PrepareOptions& options);

// Loads the picture file and prepares it by the options; tracerBlack is how the tracer reads a
// picture the monochrome step has not made black and white. Pixel by pixel, the decoded rows go
// straight into the one-bit picture and no 24-bit bitmap is held (Otsu's threshold decodes the
// file twice: once for its histogram, once for the picture); otherwise the 24-bit bitmap is
// prepared whole and then made black and white. Raises FileError naming the file as LoadPicture
// does.
BlackWhitePicture PrepareBlackWhitePicture(const std::filesystem::path& path,
                                           const PrepareOptions& options,
                                           const BlackRule& tracerBlack,
                                           PrepareReport* report = nullptr);

}  // namespace tesnova
