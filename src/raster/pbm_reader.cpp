#include "raster/pbm_reader.h"

#include <cstdint>
#include <fstream>
#include <string>

#include "base/error.h"
#include "base/text_file.h"

namespace tesnova {

BlackWhitePicture ReadBlackWhitePbm(const std::filesystem::path& path, std::size_t maxPixels) {
  const std::string name = PathToUtf8(path);
  auto fail = [&](const std::string& why) {
    throw FileError(name, "を PBM 画像として読み込めません (" + why + ")");
  };
  std::ifstream in(path, std::ios::binary);
  if (!in) throw FileError(name, "を開けません");
  char magic[2] = {};
  if (!in.read(magic, 2) || magic[0] != 'P' || magic[1] != '4') fail("P4 で始まっていません");
  auto isBlank = [](int c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
  };
  // A number after at least one blank or comment.
  auto number = [&]() -> std::uint64_t {
    int c = in.get();
    if (!isBlank(c) && c != '#') fail("ヘッダーが不正です");
    while (isBlank(c) || c == '#') {
      if (c == '#')
        while (c != '\n' && c != '\r' && c != EOF) c = in.get();
      c = in.get();
    }
    if (c < '0' || c > '9') fail("ヘッダーが不正です");
    std::uint64_t n = 0;
    for (; c >= '0' && c <= '9'; c = in.get()) {
      n = n * 10 + static_cast<unsigned>(c - '0');
      if (n > maxPixels) fail("大きさが大きすぎます");
    }
    in.unget();
    return n;
  };
  const std::uint64_t width = number(), height = number();
  if (width == 0 || height == 0 || width * height > maxPixels)
    fail("大きさ " + std::to_string(width) + " x " + std::to_string(height) + " は扱えません");
  if (!isBlank(in.get())) fail("ヘッダーが不正です");
  // A header that declares more rows than the file holds allocates nothing.
  const std::streamoff start = in.tellg();
  in.seekg(0, std::ios::end);
  const std::streamoff end = in.tellg();
  in.seekg(start);
  if (start < 0 || end < start ||
      static_cast<std::uint64_t>(end - start) <
          BlackWhitePicture::stride(static_cast<int>(width)) * height)
    fail("画素データが途中で切れています");
  BlackWhitePicture picture(static_cast<int>(width), static_cast<int>(height));
  if (!in.read(reinterpret_cast<char*>(picture.bits.data()),
               static_cast<std::streamsize>(picture.bits.size())))
    fail("画素データが途中で切れています");
  // Spare bits at the end of each row do not count.
  if (const int spare = static_cast<int>(picture.stride() * 8 - width); spare != 0)
    for (int y = 0; y < picture.height; ++y)
      picture.row(y)[picture.stride() - 1] &= static_cast<std::uint8_t>(0xFF << spare);
  return picture;
}

}  // namespace tesnova
