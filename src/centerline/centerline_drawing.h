#pragma once
// What the centerline tracer hands back: one entity a stroke piece (line, arc, circle, or a
// polyline where no primitive fits), in the picture's pixel frame (1 unit = 1 pixel, origin at
// the bottom-left corner of the picture, Y up), each with the stroke width it was traced from.
#include <cstddef>
#include <vector>

#include "vector/point_types.h"

namespace tesnova {

enum class CenterlineEntityKind { kLine, kArc, kCircle, kPolyline };

struct CenterlineEntity {
  CenterlineEntityKind kind = CenterlineEntityKind::kLine;
  TPoint2D start;   // line: first end; arc: the point at startAngle
  TPoint2D end;     // line: second end; arc: the point at endAngle
  TPoint2D center;  // arc, circle
  double radius = 0;
  // Arc: degrees, counter-clockwise from start to end, as DXF keeps them.
  double startAngle = 0;
  double endAngle = 0;
  std::vector<TPoint2D> points;  // polyline vertices
  bool closed = false;           // polyline
  double strokeWidth = 0;        // pixels, mean along the piece
};

// A patch of ink too wide to be a stroke, left out of the entities: its bounding box and width.
struct FilledArea {
  double left = 0, bottom = 0, right = 0, top = 0;
  double strokeWidth = 0;
};

struct CenterlineDrawing {
  int width = 0;
  int height = 0;
  std::vector<CenterlineEntity> entities;
  std::vector<FilledArea> filledAreas;

  std::size_t Count(CenterlineEntityKind kind) const {
    std::size_t n = 0;
    for (const auto& e : entities) n += e.kind == kind;
    return n;
  }
};

}  // namespace tesnova
