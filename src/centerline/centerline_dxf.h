#pragma once
// The centerline as a DXF file: one open polyline on layer "0" in the program's DXF.
#include <filesystem>

#include "centerline/polyline.h"

namespace tesnova {

// Replaces any file of that name; raises FileError naming the file.
void WriteCenterlineDxf(const std::filesystem::path& fileName, const Polyline& centerline);

}  // namespace tesnova
