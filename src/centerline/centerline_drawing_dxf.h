#pragma once
// The centerline drawing as DXF: LINE, ARC, CIRCLE and POLYLINE entities on layer "0" in the
// picture's pixel frame, between the usual header and trailer.
#include <filesystem>

#include "centerline/centerline_drawing.h"
#include "vector/dxf_writer.h"

namespace tesnova {

void AddCenterlineDrawing(const CenterlineDrawing& drawing, TDxfLines& lines);

// Writes the whole document; raises FileError naming the file when it cannot be written.
void SaveCenterlineDrawingAsDxf(const CenterlineDrawing& drawing,
                                const std::filesystem::path& path);

}  // namespace tesnova
