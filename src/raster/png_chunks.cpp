#include "raster/png_chunks.h"

#include <array>
#include <cstdint>

namespace tesnova {
namespace {

// CRC-32 as PNG defines it (polynomial 0xEDB88320, reflected).
const std::array<std::uint32_t, 256>& CrcTable() {
  static const std::array<std::uint32_t, 256> table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

std::uint32_t Crc(std::string_view bytes) {
  std::uint32_t c = 0xFFFFFFFFu;
  for (unsigned char b : bytes) c = CrcTable()[(c ^ b) & 0xFF] ^ (c >> 8);
  return c ^ 0xFFFFFFFFu;
}

std::uint32_t BigEndian(std::string_view b, std::size_t at) {
  return static_cast<std::uint32_t>(static_cast<unsigned char>(b[at])) << 24 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 1])) << 16 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 2])) << 8 |
         static_cast<std::uint32_t>(static_cast<unsigned char>(b[at + 3]));
}

}  // namespace

std::optional<std::string> PngChunkWithBadCrc(std::string_view png) {
  std::size_t at = 8;  // after the signature
  while (at + 12 <= png.size()) {
    const std::uint64_t length = BigEndian(png, at);
    if (at + 12 + length > png.size()) return std::nullopt;
    const std::string_view typeAndData = png.substr(at + 4, 4 + length);
    if (Crc(typeAndData) != BigEndian(png, at + 8 + length))
      return std::string(typeAndData.substr(0, 4));
    if (typeAndData.substr(0, 4) == "IEND") return std::nullopt;
    at += 12 + length;
  }
  return std::nullopt;
}

}  // namespace tesnova
