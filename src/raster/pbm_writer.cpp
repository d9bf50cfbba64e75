#include "raster/pbm_writer.h"

#include <fstream>
#include <functional>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text_file.h"

namespace tesnova {
namespace {

// The header, then each row as rowBits gives it.
void WritePbm(const std::filesystem::path& path, int width, int height,
              const std::function<const std::uint8_t*(int y)>& rowBits) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw FileError(PathToUtf8(path), "を作成できません");
  out << "P4\n" << width << ' ' << height << '\n';
  const std::size_t stride = BlackWhitePicture::stride(width);
  for (int y = 0; y < height && out; ++y)
    out.write(reinterpret_cast<const char*>(rowBits(y)), static_cast<std::streamsize>(stride));
  out.close();
  if (!out) throw FileError(PathToUtf8(path), "に書き込めません");
}

}  // namespace

void WriteBlackWhitePbm(const std::filesystem::path& path, const Bitmap& bitmap) {
  const int width = bitmap.empty() ? 0 : bitmap.width, height = bitmap.empty() ? 0 : bitmap.height;
  std::vector<std::uint8_t> row(BlackWhitePicture::stride(width));
  WritePbm(path, width, height, [&](int y) {
    PackRow(bitmap.row(y), width, kPotraceBlack, row.data());
    return row.data();
  });
}

void WriteBlackWhitePbm(const std::filesystem::path& path, const BlackWhitePicture& picture) {
  const bool empty = picture.empty();
  WritePbm(path, empty ? 0 : picture.width, empty ? 0 : picture.height,
           [&](int y) { return picture.row(y); });
}

}  // namespace tesnova
