#pragma once
// Reads the outlines of the tracer's SVG file back as contours. A small line-oriented reader
// made for that one writer, not a general SVG parser; no transform is applied, so the
// contours stay in the tracer's path units (y up).
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "centerline/polyline.h"

namespace tesnova {

struct TSVGHeader {
  double Width = 0;
  double Height = 0;
  double ViewBoxX = 0;
  double ViewBoxY = 0;
  double ViewBoxWidth = 0;
  double ViewBoxHeight = 0;
};

struct SvgContours {
  TSVGHeader header;
  ContourList contours;
};

// The whole file as UTF-8 (a leading byte-order mark skipped), split at CR, LF or CR LF.
// Raises FileError when the file cannot be read.
std::vector<std::string> LoadSVGLines(const std::filesystem::path& fileName);

// width, height and viewBox from the first line holding "<svg", that line only.
TSVGHeader ReadSVGHeader(const std::vector<std::string>& lines);

// The value after the first name=" on the line, up to the next double quote; empty when
// either is missing. The name may be the tail of a longer one (stroke-width for width).
std::string ExtractAttribute(std::string_view line, std::string_view name);

// The number in front of a unit ("123.5pt", "100%"); 0 for a text without one.
double ParseSVGLength(std::string_view text);

// The d attribute of every line holding "<path", in file order, at most one per line. The
// value runs to its closing double quote, across lines if need be (line breaks become
// separators); a value that is never closed gives an empty text.
std::vector<std::string> ExtractPathData(const std::vector<std::string>& lines);

// Every subpath of every path element becomes a contour, in file order; a path element
// without any subpath gives one empty contour.
SvgContours ParseSVGToPolylines(const std::filesystem::path& svgFileName);

}  // namespace tesnova
