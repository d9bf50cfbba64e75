#include "raster/black_white_picture.h"

#include <algorithm>
#include <cstring>

namespace tesnova {

void PackRow(const std::uint8_t* p, int width, const BlackRule& black, std::uint8_t* bits) {
  // Eight white pixels at once make a zero byte, when white is not black by the rule.
  static constexpr std::uint8_t kWhite[3] = {255, 255, 255};
  const bool skipWhite = !black(kWhite);
  for (int x = 0; x < width; x += 8) {
    const int count = std::min(8, width - x);
    if (skipWhite && count == 8) {
      std::uint64_t w[3];
      std::memcpy(w, p, sizeof w);
      if ((w[0] & w[1] & w[2]) == ~std::uint64_t{0}) {
        *bits++ = 0;
        p += 24;
        continue;
      }
    }
    unsigned byte = 0;
    for (int k = 0; k < count; ++k, p += 3) byte |= (black(p) ? 1u : 0u) << (7 - k);
    *bits++ = static_cast<std::uint8_t>(byte);
  }
}

BlackWhitePicture BlackWhiteOf(const Bitmap& bitmap, const BlackRule& black) {
  if (bitmap.empty()) return {};
  BlackWhitePicture picture(bitmap.width, bitmap.height);
  for (int y = 0; y < bitmap.height; ++y)
    PackRow(bitmap.row(y), bitmap.width, black, picture.row(y));
  return picture;
}

void BlackWhiteRowSink::Begin(int width, int height) {
  picture_ = BlackWhitePicture(width, height);
  row_.assign(static_cast<std::size_t>(width) * 3, 255);
}

std::uint8_t* BlackWhiteRowSink::RowStorage(int) { return row_.data(); }

void BlackWhiteRowSink::RowDone(int y) {
  PackRow(row_.data(), picture_.width, black_, picture_.row(y));
}

}  // namespace tesnova
