// SVG text of any bytes through the line reader: a complete DXF document or the number error.
// What it writes is checked too: it ends with EOF, and no value is INF or NAN (strict readers
// refuse those).
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/error.h"
#include "vector/svg_to_dxf.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  tesnova::TDxfLines lines;
  try {
    tesnova::ConvertSVGTextToDXF(text, 2, lines);
  } catch (const tesnova::ConversionError&) {
    return 0;
  }
  const std::string& bytes = lines.Text();
  static constexpr std::string_view kEnd = "0\r\nENDSEC\r\n0\r\nEOF\r\n";
  if (bytes.size() < kEnd.size() ||
      bytes.compare(bytes.size() - kEnd.size(), kEnd.size(), kEnd) != 0)
    __builtin_trap();
  // Every line holds no line break of its own: the group code / value pairs stay aligned.
  if (lines.Count() % 2 != 0) __builtin_trap();
  for (std::string_view bad : {"INF\r\n", "NAN\r\n"})
    if (bytes.find(bad) != std::string::npos) __builtin_trap();
  return 0;
}
