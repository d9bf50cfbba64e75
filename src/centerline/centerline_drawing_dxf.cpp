#include "centerline/centerline_drawing_dxf.h"

namespace tesnova {

void AddCenterlineDrawing(const CenterlineDrawing& drawing, TDxfLines& lines) {
  constexpr std::string_view kLayer = "0";
  for (const CenterlineEntity& e : drawing.entities) {
    switch (e.kind) {
      case CenterlineEntityKind::kLine:
        AddDxfLine(e.start, e.end, kLayer, lines);
        break;
      case CenterlineEntityKind::kArc:
        AddDxfArc(e.center, e.radius, e.startAngle, e.endAngle, kLayer, lines);
        break;
      case CenterlineEntityKind::kCircle:
        AddDxfCircle(e.center, e.radius, kLayer, lines);
        break;
      case CenterlineEntityKind::kPolyline: {
        TPointList points;
        points.reserve(e.points.size());
        for (const TPoint2D& p : e.points)
          points.push_back({RoundToSingle(p.X), RoundToSingle(p.Y)});
        AddDxfPolyline(points, kLayer, e.closed, lines);
        break;
      }
    }
  }
}

void SaveCenterlineDrawingAsDxf(const CenterlineDrawing& drawing,
                                const std::filesystem::path& path) {
  TDxfLines lines;
  AddDxfHeader(lines);
  AddCenterlineDrawing(drawing, lines);
  AddDxfTrailer(lines);
  SaveDxfLines(lines, path);
}

}  // namespace tesnova
