// Any small black-and-white picture: the tracer finishes, and every entity it returns is finite
// and lies near the picture (an arc's centre may lie far off). The first two bytes give the size
// (1..64 each), the rest the pixels, one bit each, row by row; the options vary with the third
// byte.
#include <cmath>
#include <cstddef>
#include <cstdint>

#include "centerline/centerline_drawing_dxf.h"
#include "centerline/centerline_tracer.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 3) return 0;
  const int width = data[0] % 64 + 1, height = data[1] % 64 + 1;
  tesnova::CenterlineOptions options;
  options.tolerance = 0.5 + (data[2] & 3) * 0.5;
  options.maxGap = (data[2] >> 2 & 1) ? 0 : 16;
  options.maxPinhole = (data[2] >> 3 & 1) ? 0 : 4;
  tesnova::Bitmap picture(width, height);
  std::size_t bit = 0;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x, ++bit) {
      const std::size_t byte = 3 + bit / 8;
      if (byte < size && (data[byte] >> (bit % 8) & 1))
        picture.at(x, y)[0] = picture.at(x, y)[1] = picture.at(x, y)[2] = 0;
    }
  const tesnova::CenterlineDrawing drawing = tesnova::TraceCenterlines(picture, options);
  auto near = [&](tesnova::TPoint2D p) {
    return std::isfinite(p.X) && std::isfinite(p.Y) && p.X > -width && p.X < 2 * width &&
           p.Y > -height && p.Y < 2 * height;
  };
  for (const auto& e : drawing.entities) {
    bool ok = true;
    switch (e.kind) {
      case tesnova::CenterlineEntityKind::kLine:
        ok = near(e.start) && near(e.end);
        break;
      case tesnova::CenterlineEntityKind::kArc:
        // An arc's ends lie near the picture; its centre may lie far off (a flat arc).
        ok = near(e.start) && near(e.end) && std::isfinite(e.center.X) &&
             std::isfinite(e.center.Y) && e.radius > 0 && e.radius <= 1e5 && e.startAngle >= 0 &&
             e.startAngle < 360 && e.endAngle >= 0 && e.endAngle < 360;
        break;
      case tesnova::CenterlineEntityKind::kCircle:
        ok = near(e.center) && e.radius > 0 && e.radius < width + height;
        break;
      case tesnova::CenterlineEntityKind::kPolyline:
        for (const auto& p : e.points) ok = ok && near(p);
        ok = ok && e.points.size() >= 2;
        break;
    }
    if (!ok) __builtin_trap();
  }
  tesnova::TDxfLines lines;
  tesnova::AddCenterlineDrawing(drawing, lines);
  return 0;
}
