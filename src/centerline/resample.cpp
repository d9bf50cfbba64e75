#include "centerline/resample.h"

#include <cmath>

namespace tesnova {

Polyline ResamplePolyline(const Polyline& polyline, double step) {
  Polyline out;
  if (polyline.size() < 2) return out;
  if (!(step > 0)) return {polyline.front()};
  double d = 0;  // distance from the current position to the next sample
  for (size_t i = 0; i + 1 < polyline.size(); ++i) {
    TPoint2D k = polyline[i];
    const TPoint2D b = polyline[i + 1];
    double r = Hypot(b.X - k.X, b.Y - k.Y);
    if (std::isinf(r)) break;  // no sample spacing reaches past an endless segment
    while (d <= r) {
      TPoint2D sample = k;
      if (r != 0) sample = {k.X + (b.X - k.X) * (d / r), k.Y + (b.Y - k.Y) * (d / r)};
      out.push_back(sample);
      k = sample;
      r -= d;
      d = step;
    }
    d -= r;
  }
  return out;
}

double ResampledPointCount(const Polyline& polyline, double step) {
  if (polyline.size() < 2) return 0;
  if (!(step > 0)) return 1;
  double length = 0;
  for (size_t i = 0; i + 1 < polyline.size(); ++i) {
    const double r = Hypot(polyline[i + 1].X - polyline[i].X, polyline[i + 1].Y - polyline[i].Y);
    if (std::isinf(r)) break;
    if (!std::isnan(r)) length += r;
  }
  return std::floor(length / step) + 1;
}

}  // namespace tesnova
