#include "centerline/centerline_dxf.h"

#include <cmath>
#include <cstdio>

#include "base/text_file.h"

namespace tesnova {

std::string FormatCenterlineNumber(double value) {
  if (std::isnan(value)) return std::signbit(value) ? "-NAN" : "NAN";
  if (std::isinf(value)) return value < 0 ? "-INF" : "INF";
  char buffer[40];
  std::snprintf(buffer, sizeof buffer, "%.15g", value);
  std::string text = buffer;
  size_t e = text.find_first_of("eE");
  if (e == std::string::npos) return text == "-0" ? "0" : text;
  std::string mantissa = text.substr(0, e);
  int exponent = std::atoi(text.c_str() + e + 1);
  return mantissa + "E" + std::to_string(exponent);
}

std::vector<std::string> CenterlineDxfLines(const Polyline& centerline) {
  std::vector<std::string> lines = {"0", "SECTION", "2", "HEADER",  "9", "$ACADVER", "1", "AC1009",
                                    "0", "ENDSEC",  "0", "SECTION", "2", "ENTITIES"};
  for (const char* line : {"0", "POLYLINE", "8", "0", "70", "0", "66", "1"}) lines.push_back(line);
  for (const TPoint2D& p : centerline) {
    lines.insert(lines.end(), {"0", "VERTEX", "10", FormatCenterlineNumber(p.X), "20",
                               FormatCenterlineNumber(p.Y)});
  }
  for (const char* line : {"0", "SEQEND", "0", "ENDSEC", "0", "EOF"}) lines.push_back(line);
  return lines;
}

void WriteCenterlineDxf(const std::filesystem::path& fileName, const Polyline& centerline) {
  WriteTextLines(fileName, CenterlineDxfLines(centerline));
}

}  // namespace tesnova
