#include "raster/pbm_writer.h"

#include <string>

#include "base/safe_write.h"

namespace tesnova {

void WriteBlackWhitePbm(const std::filesystem::path& path, const Bitmap& bitmap) {
  WriteBlackWhitePbm(path, BlackWhiteOf(bitmap, kPotraceBlack));
}

void WriteBlackWhitePbm(const std::filesystem::path& path, const BlackWhitePicture& picture) {
  const bool empty = picture.empty();
  const int width = empty ? 0 : picture.width, height = empty ? 0 : picture.height;
  SafeFileWriter out(path);
  out.Write("P4\n" + std::to_string(width) + ' ' + std::to_string(height) + '\n');
  const std::size_t stride = BlackWhitePicture::stride(width);
  for (int y = 0; y < height; ++y)
    out.Write({reinterpret_cast<const char*>(picture.row(y)), stride});
  out.Commit();
}

}  // namespace tesnova
