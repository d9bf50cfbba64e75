#pragma once
// Loading the picture files the image pick accepts (PNG, BMP, TIFF, JPEG) into the 24-bit
// form. Pictures with alpha are laid onto white; palettes, grey and 16-bit samples become
// 8-bit blue-green-red; CMYK becomes RGB; a TIFF gives its first page.
#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

#include "raster/bitmap.h"
#include "raster/bmp_file.h"

namespace tesnova {

enum class PictureKind { kPng, kBmp, kTiff, kJpeg };

// True for ".PNG", ".BMP", ".TIFF", ".TIF", ".JPEG" and ".JPG" in any case.
bool IsAcceptedPictureFile(const std::filesystem::path& path);

// The kind of picture the bytes hold, by their signature, whatever the file is called.
std::optional<PictureKind> SniffPictureKind(std::string_view bytes);

// Loads a picture file with an accepted extension. Raises FileError naming the file when the
// extension is not accepted, the file cannot be read, or it holds no picture that can be
// decoded (truncated, corrupt, zero-sized or larger than kMaxPicturePixels).
Bitmap LoadPicture(const std::filesystem::path& path);

// Decodes picture bytes of any of the four kinds: BMP with ReadBmp, the others with the
// platform's decoders. fileName names the file in messages.
Bitmap DecodePicture(std::string_view bytes, std::string_view fileName,
                     std::size_t maxPixels = kMaxPicturePixels);

// The platform's decoder for PNG, TIFF and JPEG bytes (kind as sniffed), in src/posix or
// src/win32.
Bitmap DecodeCompressedPicture(std::string_view bytes, std::string_view fileName, PictureKind kind,
                               std::size_t maxPixels);

// For the decoders, once the declared size has passed the size check: the result takes that
// size and its storage is reserved in one piece, but the rows are filled in as they are decoded,
// so that a file that declares a large picture and then holds little data touches no more
// memory than it decodes, and a picture is never moved while it grows.
void BeginRows(Bitmap& bitmap, int width, int height);
// Row y, with storage for rows 0 to y (new rows white).
std::uint8_t* GrowToRow(Bitmap& bitmap, int y);

}  // namespace tesnova
