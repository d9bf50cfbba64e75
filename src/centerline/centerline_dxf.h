#pragma once
// The centerline as a DXF file: one open polyline on layer "0" in a minimal R12 document,
// lines ending in CR LF. Kept apart so that the shared DXF writer can take its place.
#include <filesystem>
#include <string>
#include <vector>

#include "centerline/polyline.h"

namespace tesnova {

// A coordinate as text: at most 15 significant digits, no trailing zeros, scientific form
// ("9.5367431640625E-7") below 0.0001 and from 10^15 on.
std::string FormatCenterlineNumber(double value);

std::vector<std::string> CenterlineDxfLines(const Polyline& centerline);

// Replaces any file of that name; raises FileError naming the file.
void WriteCenterlineDxf(const std::filesystem::path& fileName, const Polyline& centerline);

}  // namespace tesnova
