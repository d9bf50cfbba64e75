#include "support/stroke_pictures.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace tesnova::testing {
namespace {

template <typename Distance>
void Paint(Bitmap& picture, double left, double top, double right, double bottom, double width,
           Distance distance) {
  const int x0 = std::max(0, static_cast<int>(std::floor(left - width)));
  const int y0 = std::max(0, static_cast<int>(std::floor(top - width)));
  const int x1 = std::min(picture.width - 1, static_cast<int>(std::ceil(right + width)));
  const int y1 = std::min(picture.height - 1, static_cast<int>(std::ceil(bottom + width)));
  for (int y = y0; y <= y1; ++y)
    for (int x = x0; x <= x1; ++x)
      if (distance(x + 0.5, y + 0.5) <= width / 2) std::fill_n(picture.at(x, y), 3, 0);
}

}  // namespace

void DrawSegment(Bitmap& picture, double x0, double y0, double x1, double y1, double width) {
  const double dx = x1 - x0, dy = y1 - y0, ll = dx * dx + dy * dy;
  Paint(picture, std::min(x0, x1), std::min(y0, y1), std::max(x0, x1), std::max(y0, y1), width,
        [&](double px, double py) {
          double t = ll > 0 ? std::clamp(((px - x0) * dx + (py - y0) * dy) / ll, 0.0, 1.0) : 0;
          return std::hypot(px - x0 - t * dx, py - y0 - t * dy);
        });
}

void DrawArc(Bitmap& picture, double cx, double cy, double r, double a0, double a1, double width) {
  const double twoPi = 2 * std::numbers::pi;
  Paint(picture, cx - r, cy - r, cx + r, cy + r, width, [&](double px, double py) {
    const double ux = px - cx, uy = cy - py;  // Y up about the centre
    double a = std::fmod(std::atan2(uy, ux) - a0, twoPi);
    if (a < 0) a += twoPi;
    if (a <= a1 - a0) return std::fabs(std::hypot(ux, uy) - r);
    return std::min(std::hypot(ux - r * std::cos(a0), uy - r * std::sin(a0)),
                    std::hypot(ux - r * std::cos(a1), uy - r * std::sin(a1)));
  });
}

}  // namespace tesnova::testing
