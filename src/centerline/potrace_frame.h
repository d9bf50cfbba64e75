#pragma once
// From the tracer's SVG path units to the pixel frame of its own DXF output: 1 unit = 1 pixel,
// y up, origin at the bitmap's bottom-left corner.
#include <string>
#include <vector>

#include "centerline/polyline.h"

namespace tesnova {

// x' = A x + C y + E, y' = B x + D y + F: path units to SVG user units (y down).
struct SvgTransform {
  double A = 1, B = 0, C = 0, D = 1, E = 0, F = 0;
  TPoint2D Apply(TPoint2D p) const { return {A * p.X + C * p.Y + E, B * p.X + D * p.Y + F}; }
};

// The transform attribute of the first group ("<g ...") in the lines: translate, scale, rotate
// and matrix, composed left to right. Identity when there is none. Bad numbers raise
// ConversionError.
SvgTransform ReadGroupTransform(const std::vector<std::string>& lines);
SvgTransform ParseTransformList(const std::string& text);

// Path units to pixels, y up, for a bitmap heightPixels high.
Polyline ToPixelFrame(const Polyline& polyline, const SvgTransform& transform, double heightPixels);

}  // namespace tesnova
