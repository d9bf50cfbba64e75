#include "centerline/shape_fit.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tesnova {
namespace {

LineFit LineFromMoments(double mx, double my, double cxx, double cxy, double cyy) {
  LineFit fit;
  fit.point = {mx, my};
  const double angle = 0.5 * std::atan2(2 * cxy, cxx - cyy);
  fit.direction = {std::cos(angle), std::sin(angle)};
  return fit;
}

// Circle from central moments (Kasa's fit in the form of the centred normal equations).
bool CircleFromMoments(double n, double mx, double my, double suu, double suv, double svv,
                       double suuu, double suuv, double suvv, double svvv, CircleFit& fit) {
  const double det = suu * svv - suv * suv;
  if (!(std::fabs(det) > 1e-9 * (suu + svv) * (suu + svv)) || n < 3) return false;
  const double bu = 0.5 * (suuu + suvv), bv = 0.5 * (svvv + suuv);
  const double uc = (bu * svv - bv * suv) / det, vc = (suu * bv - suv * bu) / det;
  fit.center = {mx + uc, my + vc};
  fit.radius = std::sqrt(uc * uc + vc * vc + (suu + svv) / n);
  return std::isfinite(fit.radius);
}

void RefineCircle(const TPoint2D* p, std::size_t n, CircleFit& fit) {
  for (int iteration = 0; iteration < 4; ++iteration) {
    // Normal equations of the distances' Gauss-Newton step in (cx, cy, r).
    double a[3][3] = {}, b[3] = {};
    for (std::size_t i = 0; i < n; ++i) {
      double dx = p[i].X - fit.center.X, dy = p[i].Y - fit.center.Y;
      double d = std::hypot(dx, dy);
      if (d < 1e-12) continue;
      double j[3] = {-dx / d, -dy / d, -1};
      double f = d - fit.radius;
      for (int r = 0; r < 3; ++r) {
        b[r] -= j[r] * f;
        for (int c = 0; c < 3; ++c) a[r][c] += j[r] * j[c];
      }
    }
    // Solve by Cramer's rule.
    auto det3 = [](double m[3][3]) {
      return m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) -
             m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
             m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    };
    double d = det3(a);
    if (!(std::fabs(d) > 1e-12)) return;
    double step[3];
    for (int k = 0; k < 3; ++k) {
      double m[3][3];
      for (int r = 0; r < 3; ++r)
        for (int c = 0; c < 3; ++c) m[r][c] = c == k ? b[r] : a[r][c];
      step[k] = det3(m) / d;
    }
    fit.center.X += step[0];
    fit.center.Y += step[1];
    fit.radius += step[2];
    if (std::fabs(step[0]) + std::fabs(step[1]) + std::fabs(step[2]) < 1e-6) break;
  }
}

}  // namespace

LineFit FitLine(const TPoint2D* p, std::size_t n) {
  double mx = 0, my = 0;
  for (std::size_t i = 0; i < n; ++i) mx += p[i].X, my += p[i].Y;
  mx /= n;
  my /= n;
  double cxx = 0, cxy = 0, cyy = 0;
  for (std::size_t i = 0; i < n; ++i) {
    double dx = p[i].X - mx, dy = p[i].Y - my;
    cxx += dx * dx, cxy += dx * dy, cyy += dy * dy;
  }
  LineFit fit = LineFromMoments(mx, my, cxx, cxy, cyy);
  fit.deviation = LineDeviation(p, n, fit);
  return fit;
}

CircleFit FitCircle(const TPoint2D* p, std::size_t n) {
  CircleFit fit;
  if (n < 3) return fit;
  double mx = 0, my = 0;
  for (std::size_t i = 0; i < n; ++i) mx += p[i].X, my += p[i].Y;
  mx /= n;
  my /= n;
  double suu = 0, suv = 0, svv = 0, suuu = 0, suuv = 0, suvv = 0, svvv = 0;
  for (std::size_t i = 0; i < n; ++i) {
    double u = p[i].X - mx, v = p[i].Y - my;
    suu += u * u, suv += u * v, svv += v * v;
    suuu += u * u * u, suuv += u * u * v, suvv += u * v * v, svvv += v * v * v;
  }
  if (!CircleFromMoments(n, mx, my, suu, suv, svv, suuu, suuv, suvv, svvv, fit)) return fit;
  RefineCircle(p, n, fit);
  fit.ok = std::isfinite(fit.radius) && fit.radius > 0;
  fit.deviation = CircleDeviation(p, n, fit.center, fit.radius);
  return fit;
}

namespace {

// The deviation of distances d (reordered in place).
Deviation DeviationOf(std::vector<double>& d) {
  Deviation dev;
  if (d.empty()) return dev;
  const std::size_t setAside = d.size() / 20;
  auto most = d.end() - 1 - setAside;
  std::nth_element(d.begin(), most, d.end());
  dev.most = *most;
  dev.max = *std::max_element(most, d.end());
  return dev;
}

}  // namespace

Deviation LineDeviation(const TPoint2D* p, std::size_t n, const LineFit& line) {
  thread_local std::vector<double> d;
  d.resize(n);
  for (std::size_t i = 0; i < n; ++i)
    d[i] = std::fabs((p[i].X - line.point.X) * line.direction.Y -
                     (p[i].Y - line.point.Y) * line.direction.X);
  return DeviationOf(d);
}

Deviation CircleDeviation(const TPoint2D* p, std::size_t n, TPoint2D c, double r) {
  thread_local std::vector<double> d;
  d.resize(n);
  for (std::size_t i = 0; i < n; ++i) d[i] = std::fabs(std::hypot(p[i].X - c.X, p[i].Y - c.Y) - r);
  return DeviationOf(d);
}

TPoint2D ProjectOnLine(const LineFit& line, TPoint2D p) {
  double t = (p.X - line.point.X) * line.direction.X + (p.Y - line.point.Y) * line.direction.Y;
  return {line.point.X + t * line.direction.X, line.point.Y + t * line.direction.Y};
}

RunFitter::RunFitter(const std::vector<TPoint2D>& points) : points_(points) {
  if (!points.empty()) origin_ = points.front();
  prefix_.resize(points.size() + 1);
  for (std::size_t i = 0; i < points.size(); ++i) {
    const double x = points[i].X - origin_.X, y = points[i].Y - origin_.Y;
    Sums s = prefix_[i];
    s.n += 1, s.x += x, s.y += y, s.xx += x * x, s.xy += x * y, s.yy += y * y;
    s.xxx += x * x * x, s.xxy += x * x * y, s.xyy += x * y * y, s.yyy += y * y * y;
    prefix_[i + 1] = s;
  }
}

RunFitter::Sums RunFitter::Range(std::size_t first, std::size_t last) const {
  const Sums& a = prefix_[last + 1];
  const Sums& b = prefix_[first];
  return {a.n - b.n,   a.x - b.x,     a.y - b.y,     a.xx - b.xx,   a.xy - b.xy,
          a.yy - b.yy, a.xxx - b.xxx, a.xxy - b.xxy, a.xyy - b.xyy, a.yyy - b.yyy};
}

LineFit RunFitter::Line(std::size_t first, std::size_t last) const {
  const Sums s = Range(first, last);
  const double mx = s.x / s.n, my = s.y / s.n;
  LineFit fit =
      LineFromMoments(mx, my, s.xx - s.n * mx * mx, s.xy - s.n * mx * my, s.yy - s.n * my * my);
  fit.point.X += origin_.X;
  fit.point.Y += origin_.Y;
  fit.deviation = LineDeviation(points_.data() + first, last - first + 1, fit);
  return fit;
}

CircleFit RunFitter::Circle(std::size_t first, std::size_t last, double tolerance) const {
  CircleFit fit;
  const Sums s = Range(first, last);
  if (s.n < 3) return fit;
  const double a = s.x / s.n, b = s.y / s.n;
  const double suu = s.xx - s.n * a * a, svv = s.yy - s.n * b * b, suv = s.xy - s.n * a * b;
  const double suuu = s.xxx - 3 * a * s.xx + 3 * a * a * s.x - s.n * a * a * a;
  const double svvv = s.yyy - 3 * b * s.yy + 3 * b * b * s.y - s.n * b * b * b;
  const double suuv =
      s.xxy - b * s.xx - 2 * a * s.xy + 2 * a * b * s.x + a * a * s.y - s.n * a * a * b;
  const double suvv =
      s.xyy - a * s.yy - 2 * b * s.xy + 2 * a * b * s.y + b * b * s.x - s.n * a * b * b;
  if (!CircleFromMoments(s.n, a, b, suu, suv, svv, suuu, suuv, suvv, svvv, fit)) return fit;
  fit.center.X += origin_.X;
  fit.center.Y += origin_.Y;
  const TPoint2D* p = points_.data() + first;
  const std::size_t n = last - first + 1;
  fit.deviation = CircleDeviation(p, n, fit.center, fit.radius);
  if (!fit.deviation.Within(tolerance) && fit.deviation.most < 2 * tolerance) {
    RefineCircle(p, n, fit);
    fit.deviation = CircleDeviation(p, n, fit.center, fit.radius);
  }
  fit.ok = std::isfinite(fit.radius) && fit.radius > 0 && std::isfinite(fit.deviation.max);
  return fit;
}

}  // namespace tesnova
