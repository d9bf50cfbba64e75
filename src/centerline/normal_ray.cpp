#include "centerline/normal_ray.h"

#include <cmath>

namespace tesnova {

TPoint2D UnitTangent(const Polyline& polyline, size_t i) {
  const size_t n = polyline.size();
  if (n == 0) return {};
  const TPoint2D prev = polyline[i == 0 ? 0 : i - 1];
  const TPoint2D next = polyline[i + 1 >= n ? n - 1 : i + 1];
  TPoint2D v{next.X - prev.X, next.Y - prev.Y};
  double length = Hypot(v.X, v.Y);
  if (length > 0) v = {v.X / length, v.Y / length};
  return v;
}

TPoint2D NormalOf(TPoint2D v) { return {-v.Y, v.X}; }

TPoint2D OffsetPoint(TPoint2D p, TPoint2D v, double k) { return {p.X + k * v.X, p.Y + k * v.Y}; }

std::optional<TPoint2D> IntersectRaySegment(TPoint2D p, TPoint2D f, TPoint2D a, TPoint2D b) {
  const TPoint2D r{f.X - p.X, f.Y - p.Y};
  const TPoint2D s{b.X - a.X, b.Y - a.Y};
  const double den = r.X * s.Y - r.Y * s.X;
  if (std::fabs(den) < 1e-12) return std::nullopt;
  const double u = ((p.Y - a.Y) * r.X - (p.X - a.X) * r.Y) / den;
  const double t = ((p.Y - a.Y) * s.X - (p.X - a.X) * s.Y) / den;
  if (u < 0 || u > 1 || t < 0) return std::nullopt;
  return TPoint2D{p.X + t * r.X, p.Y + t * r.Y};
}

TPoint2D CastNormalRay(TPoint2D p, TPoint2D n, const Polyline& opposite) {
  const TPoint2D f = OffsetPoint(p, n, kRayDirectionFactor);
  double best = 1e30;
  TPoint2D result = p;
  for (size_t j = 0; j + 1 < opposite.size(); ++j) {
    auto hit = IntersectRaySegment(p, f, opposite[j], opposite[j + 1]);
    if (!hit) continue;
    double dist = Hypot(hit->X - p.X, hit->Y - p.Y);
    if (dist < best) {
      best = dist;
      result = *hit;
    }
  }
  return result;
}

Polyline ComputeCenterlineNormalDirect(const Polyline& base, const Polyline& opposite) {
  Polyline centerline;
  centerline.reserve(base.size());
  for (size_t i = 0; i < base.size(); ++i) {
    const TPoint2D p = base[i];
    const TPoint2D q = CastNormalRay(p, NormalOf(UnitTangent(base, i)), opposite);
    centerline.push_back({(p.X + q.X) * 0.5, (p.Y + q.Y) * 0.5});
  }
  return centerline;
}

}  // namespace tesnova
