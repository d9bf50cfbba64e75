#pragma once
// VTracer's SVG to the DXF that the CAD program inserts. A line-oriented reader for the layout
// VTracer writes (one element a line; every path on its own line, starting "<path d=" and
// carrying a translate transform), not a general XML reader.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <optional>
#include <string_view>

#include "vector/dxf_writer.h"

namespace tesnova {

// Shows a message to the user (a modal box in the window, stderr in tesnova-cli).
using MessageSink = std::function<void(std::string_view text)>;

// The document for SVG text (UTF-8): header frame, one open polyline on layer "0" for every
// subpath of every path line (moved by its translate and flipped about the drawing height), and
// the trailer. Raises ConversionError for a malformed number in path data. Divisions above
// kMaxDivisions count as kMaxDivisions. Returns the number of polylines. Raises ConversionError
// as well for a coordinate beyond single precision (it would be written INF or NAN) and for more
// than kMaxDxfVertices vertices in all.
std::size_t ConvertSVGTextToDXF(std::string_view svgText, int divisions, TDxfLines& lines);

// Reads the SVG file and writes the DXF file, streamed as it is built and put in place of any
// old file only when whole. A missing SVG file is told through showMessage as
// "<svg path>\nが、見つかりません." and writes nothing (the result is then empty); otherwise the
// result is the number of polylines. An SVG with no drawable path gives a DXF of header and
// trailer only, unless keepEmpty is false: then no DXF is written and the result is 0.
// A folder, an unreadable or an oversized file raise FileError naming the file; a malformed
// number, a coordinate out of range or too many vertices raise ConversionError naming the SVG
// file; in all these cases no DXF file is written (an old one stays as it was).
std::optional<std::size_t> ConvertSVGToDXF(const std::filesystem::path& svgPath,
                                           const std::filesystem::path& dxfPath, int divisions,
                                           const MessageSink& showMessage, bool keepEmpty = true);

// Pieces per curve segment beyond this are taken as this many: a mistyped huge count would
// otherwise ask for more points than memory holds, and nothing drawn needs more.
inline constexpr int kMaxDivisions = 10000;

// The vertices one conversion may write: about 40 bytes of DXF each, so a few hundred megabytes.
// More comes only from a huge curve division count, and is refused rather than written.
inline constexpr std::size_t kMaxDxfVertices = 5'000'000;

// SVG files larger than this are refused rather than read into memory.
inline constexpr std::uintmax_t kMaxSvgFileBytes = std::uintmax_t{512} << 20;

}  // namespace tesnova
