// Any bytes given to the BMP reader either decode or raise FileError.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/error.h"
#include "raster/bmp_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    // A small pixel limit keeps lying RLE headers from filling the memory limit.
    const tesnova::Bitmap b = tesnova::ReadBmp(bytes, "fuzz.bmp", std::size_t{1} << 22);
    if (b.pixels.size() != static_cast<std::size_t>(b.width) * b.height * 3) __builtin_trap();
    // What was read writes and reads back unchanged.
    if (tesnova::ReadBmp(tesnova::EncodeBmp24(b), "again.bmp") != b) __builtin_trap();
  } catch (const tesnova::FileError&) {
  }
  return 0;
}
