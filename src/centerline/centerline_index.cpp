#include "centerline/centerline_index.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "centerline/normal_ray.h"

namespace tesnova {
namespace {

// About this many cells per segment: few enough to build quickly, enough to keep each
// cell's list short.
constexpr double kCellsPerSegment = 16;
// A bound on the grid's memory (16 MB of cell offsets) for very long contours.
constexpr double kMostCells = 1 << 22;

}  // namespace

CenterlineIndex::CenterlineIndex(const Polyline& opposite) : opposite_(opposite) {
  if (opposite.size() < 2 || opposite.size() > (std::size_t{1} << 28)) return;
  double minX = opposite[0].X, maxX = minX, minY = opposite[0].Y, maxY = minY;
  for (const TPoint2D& q : opposite) {
    if (!std::isfinite(q.X) || !std::isfinite(q.Y)) return;
    minX = std::min(minX, q.X), maxX = std::max(maxX, q.X);
    minY = std::min(minY, q.Y), maxY = std::max(maxY, q.Y);
  }
  const double w = maxX - minX, h = maxY - minY;
  if (!std::isfinite(w) || !std::isfinite(h)) return;

  const double segmentCount = static_cast<double>(opposite.size() - 1);
  const double target = std::min(kCellsPerSegment * segmentCount, kMostCells);
  double cell = std::sqrt(w) * std::sqrt(h / target);
  if (!(cell > 0) || !std::isfinite(cell) || w / cell > target || h / cell > target)
    cell = std::max(w, h) / target;
  if (!(cell > 0) || !std::isfinite(cell)) cell = 1;  // all points on one spot
  // Room around the box, so that points on its far edges fall inside.
  const double pad =
      cell * 1e-6 + (std::fabs(minX) + std::fabs(maxX) + std::fabs(minY) + std::fabs(maxY)) * 1e-12;
  const double columns = std::floor((w + 2 * pad) / cell) + 1;
  const double rows = std::floor((h + 2 * pad) / cell) + 1;
  if (!(columns * rows <= 4 * target + 16)) return;  // rounding gone wild: search directly
  minX_ = minX - pad;
  minY_ = minY - pad;
  cell_ = cell;
  nx_ = static_cast<int>(columns);
  ny_ = static_cast<int>(rows);

  auto cellRange = [&](size_t j, int& x0, int& x1, int& y0, int& y1) {
    const TPoint2D a = opposite[j], b = opposite[j + 1];
    auto clampX = [&](double v) { return std::clamp(static_cast<int>(v), 0, nx_ - 1); };
    auto clampY = [&](double v) { return std::clamp(static_cast<int>(v), 0, ny_ - 1); };
    x0 = clampX(std::floor((std::min(a.X, b.X) - pad - minX_) / cell_));
    x1 = clampX(std::floor((std::max(a.X, b.X) + pad - minX_) / cell_));
    y0 = clampY(std::floor((std::min(a.Y, b.Y) - pad - minY_) / cell_));
    y1 = clampY(std::floor((std::max(a.Y, b.Y) + pad - minY_) / cell_));
  };
  std::vector<std::uint32_t> count(static_cast<size_t>(nx_) * ny_ + 1, 0);
  for (size_t j = 0; j + 1 < opposite.size(); ++j) {
    int x0, x1, y0, y1;
    cellRange(j, x0, x1, y0, y1);
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x) ++count[static_cast<size_t>(y) * nx_ + x + 1];
  }
  for (size_t c = 1; c < count.size(); ++c) count[c] += count[c - 1];
  cellStart_ = count;
  segments_.resize(cellStart_.back());
  for (size_t j = 0; j + 1 < opposite.size(); ++j) {
    int x0, x1, y0, y1;
    cellRange(j, x0, x1, y0, y1);
    for (int y = y0; y <= y1; ++y)
      for (int x = x0; x <= x1; ++x)
        segments_[count[static_cast<size_t>(y) * nx_ + x]++] = static_cast<std::uint32_t>(j);
  }
  usable_ = true;
}

TPoint2D CenterlineIndex::CastNormalRay(TPoint2D p, TPoint2D n) const {
  if (!usable_) return tesnova::CastNormalRay(p, n, opposite_);
  const TPoint2D f = OffsetPoint(p, n, kRayDirectionFactor);
  const double rx = f.X - p.X, ry = f.Y - p.Y;
  const double rLength = Hypot(rx, ry);
  if (!std::isfinite(p.X) || !std::isfinite(p.Y) || !std::isfinite(rLength))
    return tesnova::CastNormalRay(p, n, opposite_);
  if (rLength == 0) return p;  // no direction: nothing is ever crossed

  // The part of the ray inside the grid's box, in units of r.
  const double boxX1 = minX_ + nx_ * cell_, boxY1 = minY_ + ny_ * cell_;
  double t0 = 0, t1 = std::numeric_limits<double>::infinity();
  auto clip = [&](double start, double dir, double lo, double hi) {
    if (dir == 0) return start >= lo && start <= hi;
    double a = (lo - start) / dir, b = (hi - start) / dir;
    if (a > b) std::swap(a, b);
    t0 = std::max(t0, a);
    t1 = std::min(t1, b);
    return t0 <= t1;
  };
  if (!clip(p.X, rx, minX_, boxX1) || !clip(p.Y, ry, minY_, boxY1)) return p;

  auto cellOf = [](double v, double lo, double size, int cells) {
    return std::clamp(static_cast<int>(std::floor((v - lo) / size)), 0, cells - 1);
  };
  int ix = cellOf(p.X + t0 * rx, minX_, cell_, nx_);
  int iy = cellOf(p.Y + t0 * ry, minY_, cell_, ny_);
  const int stepX = rx > 0 ? 1 : rx < 0 ? -1 : 0;
  const int stepY = ry > 0 ? 1 : ry < 0 ? -1 : 0;
  const double inf = std::numeric_limits<double>::infinity();
  const double deltaX = stepX ? cell_ / std::fabs(rx) : inf;
  const double deltaY = stepY ? cell_ / std::fabs(ry) : inf;
  double nextX = stepX > 0   ? (minX_ + (ix + 1) * cell_ - p.X) / rx
                 : stepX < 0 ? (minX_ + ix * cell_ - p.X) / rx
                             : inf;
  double nextY = stepY > 0   ? (minY_ + (iy + 1) * cell_ - p.Y) / ry
                 : stepY < 0 ? (minY_ + iy * cell_ - p.Y) / ry
                             : inf;

  double best = 1e30;
  std::uint32_t bestSegment = 0;
  bool found = false;
  TPoint2D result = p;
  while (true) {
    const size_t c = static_cast<size_t>(iy) * nx_ + ix;
    for (std::uint32_t k = cellStart_[c]; k < cellStart_[c + 1]; ++k) {
      const std::uint32_t j = segments_[k];
      auto hit = IntersectRaySegment(p, f, opposite_[j], opposite_[j + 1]);
      if (!hit) continue;
      const double dist = Hypot(hit->X - p.X, hit->Y - p.Y);
      if (dist < best || (found && dist == best && j < bestSegment)) {
        best = dist;
        bestSegment = j;
        result = *hit;
        found = true;
      }
    }
    const double entry = std::min(nextX, nextY);  // where the ray enters the next cell
    if (found && entry * rLength > best + cell_) break;
    if (nextX < nextY) {
      ix += stepX;
      if (ix < 0 || ix >= nx_) break;
      nextX += deltaX;
    } else {
      iy += stepY;
      if (iy < 0 || iy >= ny_) break;
      nextY += deltaY;
    }
  }
  return result;
}

Polyline ComputeCenterlineNormal(const Polyline& base, const Polyline& opposite) {
  const CenterlineIndex index(opposite);
  Polyline centerline;
  centerline.reserve(base.size());
  for (size_t i = 0; i < base.size(); ++i) {
    const TPoint2D p = base[i];
    const TPoint2D q = index.CastNormalRay(p, NormalOf(UnitTangent(base, i)));
    centerline.push_back({(p.X + q.X) * 0.5, (p.Y + q.Y) * 0.5});
  }
  return centerline;
}

}  // namespace tesnova
