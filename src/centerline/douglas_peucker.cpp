#include "centerline/douglas_peucker.h"

#include <utility>
#include <vector>

namespace tesnova {
namespace {

double DistanceToSegment(TPoint2D p, TPoint2D a, TPoint2D b) {
  const double dx = b.X - a.X, dy = b.Y - a.Y;
  const double length2 = dx * dx + dy * dy;
  double t = 0;
  if (length2 > 0) {
    t = ((p.X - a.X) * dx + (p.Y - a.Y) * dy) / length2;
    t = t < 0 ? 0 : t > 1 ? 1 : t;
  }
  return Hypot(p.X - (a.X + t * dx), p.Y - (a.Y + t * dy));
}

}  // namespace

Polyline DouglasPeucker(const Polyline& polyline, double tolerance) {
  const size_t n = polyline.size();
  if (n <= 2) return polyline;
  std::vector<bool> keep(n, false);
  keep[0] = keep[n - 1] = true;
  std::vector<std::pair<size_t, size_t>> pending{{0, n - 1}};  // no recursion: long inputs
  while (!pending.empty()) {
    auto [first, last] = pending.back();
    pending.pop_back();
    double farthest = -1;
    size_t index = first;
    for (size_t i = first + 1; i < last; ++i) {
      double d = DistanceToSegment(polyline[i], polyline[first], polyline[last]);
      if (d > farthest) farthest = d, index = i;
    }
    if (index == first || !(farthest > tolerance)) continue;
    keep[index] = true;
    pending.push_back({first, index});
    pending.push_back({index, last});
  }
  Polyline out;
  for (size_t i = 0; i < n; ++i)
    if (keep[i]) out.push_back(polyline[i]);
  return out;
}

}  // namespace tesnova
