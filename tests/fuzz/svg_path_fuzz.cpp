// Path data of any bytes: the flattening either returns points or raises the number error.
// The first byte picks the curve divisions (-2 .. 13).
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/error.h"
#include "vector/number_format.h"
#include "vector/svg_path.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  int divisions = static_cast<int>(data[0] % 16) - 2;
  std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  try {
    tesnova::TPathPoints out;
    tesnova::ParseSVGPathToSubpaths(text, divisions, out);
    std::size_t previous = 0;
    for (std::size_t start : out.subpathStarts) {
      if (start < previous || start > out.points.size()) __builtin_trap();
      previous = start;
    }
    char buffer[tesnova::kGeneralNumberMaxLength];
    for (const auto& p : out.points) {
      tesnova::WriteGeneralNumber(p.X, buffer);
      tesnova::WriteGeneralNumber(p.Y, buffer);
    }
  } catch (const tesnova::ConversionError&) {
  }
  return 0;
}
