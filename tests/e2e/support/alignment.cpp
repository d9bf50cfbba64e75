#include "e2e/support/alignment.h"

#include <algorithm>
#include <cmath>

namespace tesnova::testing {

std::vector<double> AlongThePath(const std::vector<double>& coords, double step) {
  std::vector<double> out;
  for (size_t i = 0; i + 1 < coords.size(); i += 2) {
    if (i >= 2) {
      const double x0 = coords[i - 2], y0 = coords[i - 1], x1 = coords[i], y1 = coords[i + 1];
      const int pieces =
          std::max(1, static_cast<int>(std::ceil(std::hypot(x1 - x0, y1 - y0) / step)));
      for (int k = 1; k < pieces; ++k) {
        out.push_back(x0 + (x1 - x0) * k / pieces);
        out.push_back(y0 + (y1 - y0) * k / pieces);
      }
    }
    out.push_back(coords[i]);
    out.push_back(coords[i + 1]);
  }
  return out;
}

double ShareOverThePicture(const std::vector<std::vector<double>>& polylines,
                           const PlacedPicture& picture, double tolerance) {
  int hits = 0, total = 0;
  double c = std::cos(-picture.rotation), s = std::sin(-picture.rotation);
  double k = picture.unitsPerPixel;
  int reach = static_cast<int>(std::ceil(tolerance / k)) + 1;
  for (const auto& coords : polylines) {
    for (size_t i = 0; i + 1 < coords.size(); i += 2) {
      double dx = coords[i] - picture.origin.x, dy = coords[i + 1] - picture.origin.y;
      double u = (dx * c - dy * s) / k;                   // pixels from the left
      double v = picture.height - (dx * s + dy * c) / k;  // pixels from the top
      ++total;
      bool found = false;
      int u0 = static_cast<int>(std::floor(u)), v0 = static_cast<int>(std::floor(v));
      for (int y = v0 - reach; y <= v0 + reach && !found; ++y)
        for (int x = u0 - reach; x <= u0 + reach && !found; ++x) {
          if (x < 0 || y < 0 || x >= picture.width || y >= picture.height || !picture.dark(x, y))
            continue;
          // Distance from the vertex to the pixel's square, in drawing units.
          double ex = std::max({x - u, 0.0, u - (x + 1)});
          double ey = std::max({y - v, 0.0, v - (y + 1)});
          found = std::hypot(ex, ey) * k <= tolerance;
        }
      hits += found;
    }
  }
  return total ? static_cast<double>(hits) / total : 0;
}

}  // namespace tesnova::testing
