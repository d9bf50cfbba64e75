#include "centerline/stroke_centring.h"

#include <algorithm>
#include <cmath>

namespace tesnova {

void CentreOnInk(std::vector<TPoint2D>& points, const std::vector<double>& halfWidths, bool closed,
                 const BlackWhitePicture& picture) {
  const std::size_t n = points.size();
  if (n < 3) return;
  const double height = picture.height;
  auto ink = [&](double x, double y) {  // picture frame, Y up
    const int px = static_cast<int>(std::floor(x)), py = static_cast<int>(std::floor(height - y));
    if (px < 0 || py < 0 || px >= picture.width || py >= picture.height) return false;
    return picture.Black(px, py);
  };
  constexpr std::size_t kSpan = 3;  // the normal from the points this far either side
  constexpr double kStep = 0.25;
  std::vector<TPoint2D> moved = points;
  for (std::size_t i = 0; i < n; ++i) {
    std::size_t a, b;
    if (closed) {
      a = (i + n - kSpan) % n;
      b = (i + kSpan) % n;
    } else {
      a = i >= kSpan ? i - kSpan : 0;
      b = std::min(n - 1, i + kSpan);
      if (b - a < 2) continue;
    }
    double tx = points[b].X - points[a].X, ty = points[b].Y - points[a].Y;
    const double l = std::hypot(tx, ty);
    if (l < 1e-9) continue;
    const double nx = -ty / l, ny = tx / l;
    const double limit = halfWidths[i] + 1.5;
    // Distance to the ink's edge either way along the normal.
    double reach[2];
    bool bounded = true;
    for (int side = 0; side < 2 && bounded; ++side) {
      const double s = side == 0 ? 1 : -1;
      auto inkAt = [&](double t) {
        return ink(points[i].X + s * nx * t, points[i].Y + s * ny * t);
      };
      // Quarter-pixel steps to the first paper, then two halvings: the edge to 1/16 pixel.
      double t = 0;
      while (t + kStep <= limit && inkAt(t + kStep)) t += kStep;
      bounded = t + kStep <= limit;
      double step = kStep;
      for (int k = 0; k < 2; ++k) {
        step /= 2;
        if (inkAt(t + step)) t += step;
      }
      reach[side] = t;
    }
    if (!bounded) continue;
    const double shift = std::clamp((reach[0] - reach[1]) / 2, -1.0, 1.0);
    moved[i] = {points[i].X + nx * shift, points[i].Y + ny * shift};
  }
  points.swap(moved);
}

}  // namespace tesnova
