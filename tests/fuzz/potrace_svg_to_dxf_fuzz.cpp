// Any bytes as an SVG file through the converter of Potrace's layout: either a DXF that ends
// with EOF and holds no INF or NAN (strict readers refuse those), or an error of the conversion
// or file kind with no DXF left behind. Nothing drawable writes no DXF either.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "base/error.h"
#include "base/text_file.h"
#include "centerline/potrace_svg_to_dxf.h"

namespace fs = std::filesystem;

namespace {

// A folder of this run's own, removed when the run ends.
struct ScratchFolder {
  ScratchFolder()
      : path(fs::temp_directory_path() / ("potrace-svg-to-dxf-fuzz-" + std::to_string(getpid()))) {
    fs::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    fs::remove_all(path, ignored);
  }
  fs::path path;
};

const fs::path& Folder() {
  static const ScratchFolder folder;
  return folder.path;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 20000) return 0;
  const fs::path svg = Folder() / "in.svg";
  const fs::path dxf = Folder() / "out.dxf";
  fs::remove(dxf);
  std::ofstream(svg, std::ios::binary)
      .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
  std::size_t polylines = 0;
  try {
    polylines = tesnova::ConvertPotraceSVGToDXF(svg, dxf, 2);
  } catch (const tesnova::Error&) {
    if (fs::exists(dxf)) __builtin_trap();
    return 0;
  }
  if (polylines == 0) {
    if (fs::exists(dxf)) __builtin_trap();
    return 0;
  }
  const std::string bytes = tesnova::ReadFileBytes(dxf);
  static constexpr std::string_view kEnd = "0\r\nENDSEC\r\n0\r\nEOF\r\n";
  if (!std::string_view(bytes).ends_with(kEnd)) __builtin_trap();
  for (std::string_view bad : {"INF\r\n", "NAN\r\n"})
    if (bytes.find(bad) != std::string::npos) __builtin_trap();
  return 0;
}
