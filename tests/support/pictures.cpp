#include "support/pictures.h"

#include <algorithm>
#include <cstdlib>
#include <random>
#include <sstream>

#include "base/error.h"
#include "base/text_file.h"

namespace tesnova::testing {

Bitmap ReadPpm(const std::filesystem::path& path) {
  const std::string bytes = ReadFileBytes(path);
  std::istringstream in(bytes);
  std::string magic;
  int w = 0, h = 0, maxval = 0;
  in >> magic >> w >> h >> maxval;
  in.get();
  if (magic != "P6" || maxval != 255 || w <= 0 || h <= 0)
    throw Error(PathToUtf8(path) + ": not a P6 PPM");
  const std::size_t start = static_cast<std::size_t>(in.tellg());
  Bitmap out(w, h);
  if (bytes.size() < start + out.pixels.size()) throw Error(PathToUtf8(path) + ": truncated");
  for (std::size_t i = 0; i < out.pixels.size(); i += 3) {
    out.pixels[i] = static_cast<std::uint8_t>(bytes[start + i + 2]);
    out.pixels[i + 1] = static_cast<std::uint8_t>(bytes[start + i + 1]);
    out.pixels[i + 2] = static_cast<std::uint8_t>(bytes[start + i]);
  }
  return out;
}

Bitmap RandomBitmap(int width, int height, std::uint32_t seed) {
  Bitmap out(width, height);
  std::mt19937 random(seed);
  for (auto& byte : out.pixels) byte = static_cast<std::uint8_t>(random() >> 24);
  return out;
}

int MaxDifference(const Bitmap& a, const Bitmap& b) {
  if (a.width != b.width || a.height != b.height || a.pixels.size() != b.pixels.size()) return 256;
  int worst = 0;
  for (std::size_t i = 0; i < a.pixels.size(); ++i)
    worst = std::max(worst, std::abs(int(a.pixels[i]) - int(b.pixels[i])));
  return worst;
}

std::string FirstDifference(const Bitmap& a, const Bitmap& b) {
  if (a.width != b.width || a.height != b.height)
    return "size " + std::to_string(a.width) + "x" + std::to_string(a.height) + " vs " +
           std::to_string(b.width) + "x" + std::to_string(b.height);
  for (int y = 0; y < a.height; ++y)
    for (int x = 0; x < a.width; ++x) {
      const auto* p = a.at(x, y);
      const auto* q = b.at(x, y);
      if (p[0] != q[0] || p[1] != q[1] || p[2] != q[2]) {
        std::ostringstream s;
        s << x << "," << y << ": " << int(p[0]) << " " << int(p[1]) << " " << int(p[2]) << " vs "
          << int(q[0]) << " " << int(q[1]) << " " << int(q[2]);
        return s.str();
      }
    }
  return "";
}

}  // namespace tesnova::testing
