#include "raster/pbm_writer.h"

#include <algorithm>
#include <fstream>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text_file.h"

namespace tesnova {

void WriteBlackWhitePbm(const std::filesystem::path& path, const Bitmap& bitmap) {
  const int width = bitmap.empty() ? 0 : bitmap.width, height = bitmap.empty() ? 0 : bitmap.height;
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  if (!out) throw FileError(PathToUtf8(path), "を作成できません");
  out << "P4\n" << width << ' ' << height << '\n';
  // Rows from the top, the leftmost pixel in the top bit, a set bit black, spare bits 0.
  std::vector<char> row((static_cast<std::size_t>(width) + 7) / 8);
  for (int y = 0; y < height && out; ++y) {
    const std::uint8_t* p = bitmap.row(y);
    for (std::size_t i = 0; i < row.size(); ++i) {
      const int count = std::min(8, width - static_cast<int>(8 * i));
      unsigned bits = 0;
      for (int k = 0; k < count; ++k, p += 3) bits |= (BlackToPotrace(p) ? 1u : 0u) << (7 - k);
      row[i] = static_cast<char>(bits);
    }
    out.write(row.data(), static_cast<std::streamsize>(row.size()));
  }
  out.close();
  if (!out) throw FileError(PathToUtf8(path), "に書き込めません");
}

}  // namespace tesnova
