#include "centerline/pbm_file.h"

#include "base/text_file.h"

namespace tesnova {

std::string EncodePbm(const Bitmap& bitmap) {
  const int width = bitmap.width > 0 ? bitmap.width : 0;
  const int height = bitmap.height > 0 ? bitmap.height : 0;
  std::string out = "P4\n" + std::to_string(width) + " " + std::to_string(height) + "\n";
  if (width == 0 || height == 0) return out;
  const size_t rowBytes = (static_cast<size_t>(width) + 7) / 8;
  out.reserve(out.size() + rowBytes * height);
  for (int y = 0; y < height; ++y) {
    const std::uint8_t* px = bitmap.row(y);
    unsigned char acc = 0;
    int bit = 7;
    for (int x = 0; x < width; ++x, px += 3) {
      int gray = (px[0] + px[1] + px[2]) / 3;
      if (gray < 128) acc |= static_cast<unsigned char>(1u << bit);
      if (--bit < 0) {
        out += static_cast<char>(acc);
        acc = 0;
        bit = 7;
      }
    }
    if (bit != 7) out += static_cast<char>(acc);
  }
  return out;
}

void SaveBitmapAsPBM(const Bitmap& bitmap, const std::filesystem::path& fileName) {
  WriteFileBytes(fileName, EncodePbm(bitmap));
}

}  // namespace tesnova
