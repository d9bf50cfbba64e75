#pragma once
// Potrace's SVG (its -s back end) to DXF. Potrace lays its SVG out thus: the size on the start
// tag, which may run over several lines; every path inside one group whose transform takes the
// path units (tenths of a pixel, y up) to the SVG's user units; path data continued over several
// lines, in relative commands after the first moveto, with coordinate groups repeated without
// their letter. The DXF holds the outlines in the user units (pixels at Potrace's default
// resolution), y up from the drawing's bottom edge: where Potrace's own DXF puts them.
#include <cstddef>
#include <filesystem>
#include <string_view>

namespace tesnova {

// True when the text has Potrace's layout: a group start tag with a transform before the first
// path element. The SVG VTracer writes has no group.
bool HasPotraceLayout(std::string_view svgText);

// The same test on the beginning of a file; false when it cannot be read.
bool FileHasPotraceLayout(const std::filesystem::path& svgPath);

// Writes one open polyline on layer "0" for every subpath that draws something, its start
// repeated at its end, curves in `divisions` straight pieces each (as the conversion of VTracer's
// SVG does), a point equal to the one before left out; returns their number. An SVG with no drawable path writes no DXF and gives 0. Raises FileError naming
// a file that cannot be read or written, and ConversionError naming the SVG for a malformed
// number, a transform or a layout it cannot read (a transform on a path or on a second group),
// a coordinate beyond single precision and too many vertices; no DXF is written then, and an
// old one stays as it was.
std::size_t ConvertPotraceSVGToDXF(const std::filesystem::path& svgPath,
                                   const std::filesystem::path& dxfPath, int divisions);

}  // namespace tesnova
