#include "centerline/centerline_dxf.h"

#include "vector/dxf_writer.h"

namespace tesnova {

void WriteCenterlineDxf(const std::filesystem::path& fileName, const Polyline& centerline) {
  TPointList points;
  points.reserve(centerline.size());
  for (const TPoint2D& p : centerline) points.push_back({RoundToSingle(p.X), RoundToSingle(p.Y)});
  TDxfLines lines;
  AddDxfHeader(lines);
  AddDxfPolyline(points, "0", false, lines);
  AddDxfTrailer(lines);
  SaveDxfLines(lines, fileName);
}

}  // namespace tesnova
