#include "centerline/smoothing.h"

namespace tesnova {

Polyline SmoothPolyline(const Polyline& polyline) {
  Polyline out = polyline;
  for (size_t i = 1; i + 1 < polyline.size(); ++i) {
    const TPoint2D a = polyline[i - 1], b = polyline[i], c = polyline[i + 1];
    out[i] = {(a.X + b.X + c.X) / 3, (a.Y + b.Y + c.Y) / 3};
  }
  return out;
}

}  // namespace tesnova
