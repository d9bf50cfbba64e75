#pragma once
// VTracer's SVG to the DXF that the CAD program inserts. A line-oriented reader for the layout
// VTracer writes (one element a line; every path on its own line, starting "<path d=" and
// carrying a translate transform), not a general XML reader.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string_view>

#include "vector/dxf_writer.h"

namespace tesnova {

// Shows a message to the user (a modal box in the window, stderr in tesnova-cli).
using MessageSink = std::function<void(std::string_view text)>;

// The document for SVG text (UTF-8): header frame, one open polyline on layer "0" for every
// subpath of every path line (moved by its translate and flipped about the drawing height), and
// the trailer. Raises ConversionError for a malformed number in path data. Divisions above
// kMaxDivisions count as kMaxDivisions.
void ConvertSVGTextToDXF(std::string_view svgText, int divisions, TDxfLines& lines);

// Reads the SVG file and writes the DXF file. A missing SVG file is told through showMessage
// as "<svg path>\nが、見つかりません." and writes nothing; the result says whether the DXF file
// was written. Unreadable or oversized files raise FileError naming the file; a malformed
// number raises ConversionError; in both cases no DXF file is written.
bool ConvertSVGToDXF(const std::filesystem::path& svgPath, const std::filesystem::path& dxfPath,
                     int divisions, const MessageSink& showMessage);

// Pieces per curve segment beyond this are taken as this many: a mistyped huge count would
// otherwise ask for more points than memory holds, and nothing drawn needs more.
inline constexpr int kMaxDivisions = 10000;

// SVG files larger than this are refused rather than read into memory.
inline constexpr std::uintmax_t kMaxSvgFileBytes = std::uintmax_t{512} << 20;

}  // namespace tesnova
