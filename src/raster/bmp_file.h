#pragma once
// BMP files: reading what CAD programs, scanners and paint programs write, writing the
// 24-bit work bitmap.
#include <cstddef>
#include <filesystem>
#include <string>
#include <string_view>

#include "raster/bitmap.h"

namespace tesnova {

class PictureRowSink;

// Pictures with more pixels than this are refused before anything is allocated.
inline constexpr std::size_t kMaxPicturePixels = std::size_t{1} << 28;

// Decodes a BMP file held in memory into the 24-bit form. Reads 1, 2, 4, 8, 16, 24 and
// 32 bits per pixel, bottom-up and top-down rows, RLE4, RLE8 and bit-field masks, and the
// core, info and V2 to V5 headers. Pixels with an alpha channel are laid onto white;
// pixels that an RLE picture leaves out are white. fileName names the file in messages.
// Raises FileError for anything it cannot read, before allocating for a lying header.
Bitmap ReadBmp(std::string_view bytes, std::string_view fileName,
               std::size_t maxPixels = kMaxPicturePixels);
// The same from a file; a 24-bit file is read into the bitmap row by row, never held whole.
Bitmap ReadBmp(const std::filesystem::path& path, std::size_t maxPixels = kMaxPicturePixels);

// The same, the rows handed to the sink as they are decoded (a bottom-up file's from the
// bottom); an RLE picture is decoded whole first.
void ReadBmpRows(std::string_view bytes, std::string_view fileName, PictureRowSink& sink,
                 std::size_t maxPixels = kMaxPicturePixels);
void ReadBmpRows(const std::filesystem::path& path, PictureRowSink& sink,
                 std::size_t maxPixels = kMaxPicturePixels);

// The 24-bit bottom-up BMP file of the bitmap (an empty bitmap gives a 0 x 0 file).
std::string EncodeBmp24(const Bitmap& bitmap);
// Writes it, replacing any file of that name; raises FileError naming the file.
void WriteBmp24(const std::filesystem::path& path, const Bitmap& bitmap);

}  // namespace tesnova
