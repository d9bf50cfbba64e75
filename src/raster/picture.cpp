#include "raster/picture.h"

#include <algorithm>
#include <fstream>

#include "base/error.h"
#include "base/files.h"
#include "base/text_file.h"
#include "raster/bmp_file.h"
#include "raster/jpeg_scan.h"
#include "raster/png_chunks.h"

namespace tesnova {

bool IsAcceptedPictureFile(const std::filesystem::path& path) {
  static const char* const kAccepted[] = {".PNG", ".BMP", ".TIFF", ".TIF", ".JPEG", ".JPG"};
  const std::string ext = UpperExtension(PathToUtf8(path));
  return std::any_of(std::begin(kAccepted), std::end(kAccepted),
                     [&](const char* a) { return ext == a; });
}

std::optional<PictureKind> SniffPictureKind(std::string_view b) {
  if (b.starts_with("\x89PNG\r\n\x1A\n")) return PictureKind::kPng;
  if (b.starts_with("BM")) return PictureKind::kBmp;
  using namespace std::string_view_literals;
  if (b.starts_with("II*\0"sv) || b.starts_with("MM\0*"sv)) return PictureKind::kTiff;
  if (b.starts_with("\xFF\xD8\xFF")) return PictureKind::kJpeg;
  return std::nullopt;
}

void BitmapRowSink::Begin(int width, int height) {
  bitmap_.width = width;
  bitmap_.height = height;
  bitmap_.pixels.clear();
  bitmap_.pixels.reserve(static_cast<std::size_t>(width) * height * 3);
}

std::uint8_t* BitmapRowSink::RowStorage(int y) {
  const std::size_t end = (static_cast<std::size_t>(y) + 1) * bitmap_.stride();
  if (bitmap_.pixels.size() < end) bitmap_.pixels.resize(end, 255);
  return bitmap_.row(y);
}

void DecodePictureRows(std::string_view bytes, std::string_view fileName, PictureRowSink& sink,
                       std::size_t maxPixels) {
  const std::optional<PictureKind> kind = SniffPictureKind(bytes);
  if (!kind)
    throw FileError(std::string(fileName), "は PNG, BMP, TIFF, JPEG のどの画像でもありません");
  if (*kind == PictureKind::kBmp) return ReadBmpRows(bytes, fileName, sink, maxPixels);
  if (*kind == PictureKind::kPng)
    if (const std::optional<std::string> chunk = PngChunkWithBadCrc(bytes))
      throw FileError(std::string(fileName), "を PNG 画像として読み込めません (" + *chunk +
                                                 " チャンクが壊れています: CRC が合いません)");
  if (*kind == PictureKind::kJpeg)
    if (const std::optional<std::string> damage = JpegScanDamage(bytes, maxPixels))
      throw FileError(std::string(fileName), "を JPEG 画像として読み込めません (" + *damage + ")");
  DecodeCompressedPictureRows(bytes, fileName, *kind, maxPixels, sink);
}

Bitmap DecodePicture(std::string_view bytes, std::string_view fileName, std::size_t maxPixels) {
  BitmapRowSink sink;
  DecodePictureRows(bytes, fileName, sink, maxPixels);
  return sink.Take();
}

void LoadPictureRows(const std::filesystem::path& path, PictureRowSink& sink) {
  const std::string name = PathToUtf8(path);
  if (!IsAcceptedPictureFile(path)) {
    const std::string ext = UpperExtension(PathToUtf8(path));
    throw FileError(name + "\n" + (ext.empty() ? "拡張子のないファイル" : ext) +
                    " には対応していません。");
  }
  // A BMP is read from the file as it lies (see ReadBmp); the other kinds are decoded from
  // their bytes, compressed, in memory.
  RequireRegularFile(path);
  std::string start(2, '\0');
  if (std::ifstream in(path, std::ios::binary); in.read(start.data(), 2) && start == "BM")
    return ReadBmpRows(path, sink);
  DecodePictureRows(ReadFileBytes(path), name, sink);
}

Bitmap LoadPicture(const std::filesystem::path& path) {
  BitmapRowSink sink;
  LoadPictureRows(path, sink);
  return sink.Take();
}

}  // namespace tesnova
