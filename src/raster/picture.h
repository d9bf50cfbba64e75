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
#include "raster/picture_rows.h"

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
// The same, the rows handed to the sink as they are decoded. A picture found damaged after
// some rows raises FileError after the sink has had those rows.
void LoadPictureRows(const std::filesystem::path& path, PictureRowSink& sink);

// Decodes picture bytes of any of the four kinds: BMP with ReadBmp, the others with the
// platform's decoders. fileName names the file in messages.
Bitmap DecodePicture(std::string_view bytes, std::string_view fileName,
                     std::size_t maxPixels = kMaxPicturePixels);
void DecodePictureRows(std::string_view bytes, std::string_view fileName, PictureRowSink& sink,
                       std::size_t maxPixels = kMaxPicturePixels);

// The platform's decoder for PNG, TIFF and JPEG bytes (kind as sniffed), in src/posix or
// src/win32. It begins the sink only once the declared size has passed the size check.
void DecodeCompressedPictureRows(std::string_view bytes, std::string_view fileName,
                                 PictureKind kind, std::size_t maxPixels, PictureRowSink& sink);

}  // namespace tesnova
