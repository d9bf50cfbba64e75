// Any bytes given to the picture decoders (PNG, JPEG, TIFF, BMP by their signature) either
// decode or raise FileError.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/error.h"
#include "raster/picture.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  try {
    const tesnova::Bitmap b = tesnova::DecodePicture(bytes, "fuzz", std::size_t{1} << 22);
    if (b.empty() || b.pixels.size() != static_cast<std::size_t>(b.width) * b.height * 3)
      __builtin_trap();
  } catch (const tesnova::FileError&) {
  }
  return 0;
}
