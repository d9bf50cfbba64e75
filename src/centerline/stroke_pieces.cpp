#include "centerline/stroke_pieces.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "centerline/shape_fit.h"

namespace tesnova {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;
constexpr std::size_t kArcPoints = 6;  // fewest support points of an arc
constexpr double kMaxArcRadius = 1e5;

double Distance(TPoint2D a, TPoint2D b) { return std::hypot(a.X - b.X, a.Y - b.Y); }

double MeanOf(const std::vector<double>& v, std::size_t first, std::size_t last) {
  double sum = 0;
  for (std::size_t i = first; i <= last; ++i) sum += v[i];
  return sum / static_cast<double>(last - first + 1);
}

bool ArcFits(const RunFitter& fitter, const std::vector<TPoint2D>& points, std::size_t first,
             std::size_t last, double tolerance) {
  if (last - first + 1 < kArcPoints) return false;
  CircleFit c = fitter.Circle(first, last, tolerance);
  if (!c.ok || !c.deviation.Within(tolerance) || c.radius < 1.5 || c.radius > kMaxArcRadius)
    return false;
  std::vector<TPoint2D> run(points.begin() + first, points.begin() + last + 1);
  double sweep = 0;
  return ArcSweep(run, c.center, c.radius, sweep) && std::fabs(sweep) < kTwoPi * 0.97;
}

// The last index e > first such that [first, e] passes the test, found by doubling then halving.
template <typename Test>
std::size_t LongestRun(std::size_t first, std::size_t lastIndex, std::size_t minimum, Test fits) {
  std::size_t good = first;  // nothing yet
  std::size_t step = std::max<std::size_t>(minimum, 2);
  std::size_t bad = lastIndex + 1;
  for (std::size_t e = first + step;; e = first + (step *= 2)) {
    if (e > lastIndex) e = lastIndex;
    if (e <= good) break;
    if (fits(e)) {
      good = e;
      if (e == lastIndex) return good;
    } else {
      bad = e;
      break;
    }
  }
  while (bad - good > 1) {
    std::size_t mid = good + (bad - good) / 2;
    if (mid <= first || !fits(mid))
      bad = mid;
    else
      good = mid;
  }
  return good;
}

}  // namespace

double StrokePiece::Length() const {
  switch (kind) {
    case PieceKind::kLine:
      return Distance(start, end);
    case PieceKind::kArc:
      return std::fabs(sweep) * radius;
    case PieceKind::kCircle:
      return kTwoPi * radius;
    case PieceKind::kPolyline: {
      double length = 0;
      for (std::size_t i = 1; i < vertices.size(); ++i)
        length += Distance(vertices[i - 1], vertices[i]);
      return length;
    }
  }
  return 0;
}

TPoint2D PointAtAngle(TPoint2D c, double r, double a) {
  return {c.X + r * std::cos(a), c.Y + r * std::sin(a)};
}

void ExtendPieceEnd(StrokePiece& p, int side, double length) {
  if (length <= 0) return;
  switch (p.kind) {
    case PieceKind::kLine:
    case PieceKind::kPolyline: {
      TPoint2D& end = side == 0 ? p.start : p.end;
      const TPoint2D from = p.kind == PieceKind::kLine ? (side == 0 ? p.end : p.start)
                            : side == 0                ? p.vertices[1]
                                                       : p.vertices[p.vertices.size() - 2];
      const double l = Distance(from, end);
      if (l < 1e-9) return;
      end = {end.X + (end.X - from.X) / l * length, end.Y + (end.Y - from.Y) / l * length};
      if (p.kind == PieceKind::kPolyline)
        (side == 0 ? p.vertices.front() : p.vertices.back()) = end;
      break;
    }
    case PieceKind::kArc: {
      const double turn = length / p.radius * (p.sweep >= 0 ? 1 : -1);
      if (side == 0) {
        p.startAngle -= turn;
        p.sweep += turn;
      } else {
        p.sweep += turn;
      }
      if (std::fabs(p.sweep) >= kTwoPi) p.sweep = std::copysign(kTwoPi * 0.999, p.sweep);
      p.start = PointAtAngle(p.center, p.radius, p.startAngle);
      p.end = PointAtAngle(p.center, p.radius, p.startAngle + p.sweep);
      break;
    }
    case PieceKind::kCircle:
      break;
  }
}

bool ArcSweep(const std::vector<TPoint2D>& points, TPoint2D c, double r, double& sweep) {
  sweep = 0;
  double forward = 0, backward = 0;
  double previous = std::atan2(points.front().Y - c.Y, points.front().X - c.X);
  for (std::size_t i = 1; i < points.size(); ++i) {
    double a = std::atan2(points[i].Y - c.Y, points[i].X - c.X);
    double d = std::remainder(a - previous, kTwoPi);
    (d > 0 ? forward : backward) += std::fabs(d);
    sweep += d;
    previous = a;
  }
  // Noise of a pixel may step back a little; a real arc never turns back by more than that.
  const double noise = std::min(1.0, 2.0 / std::max(r, 1e-9)) + 0.02 * std::fabs(sweep);
  return std::min(forward, backward) <= noise;
}

bool MakeLinePiece(std::vector<TPoint2D> support, double width, double tolerance,
                   StrokePiece& out) {
  if (support.size() < 2) return false;
  LineFit fit = FitLine(support.data(), support.size());
  if (!fit.deviation.Within(tolerance)) return false;
  out = StrokePiece{};
  out.kind = PieceKind::kLine;
  out.start = ProjectOnLine(fit, support.front());
  out.end = ProjectOnLine(fit, support.back());
  out.width = width;
  out.support = std::move(support);
  return true;
}

bool MakeArcPiece(std::vector<TPoint2D> support, double width, double tolerance, StrokePiece& out) {
  CircleFit fit = FitCircle(support.data(), support.size());
  if (!fit.ok || !fit.deviation.Within(tolerance) || fit.radius > kMaxArcRadius) return false;
  double sweep = 0;
  if (!ArcSweep(support, fit.center, fit.radius, sweep)) return false;
  out = StrokePiece{};
  out.center = fit.center;
  out.radius = fit.radius;
  out.width = width;
  if (std::fabs(sweep) >= kTwoPi * 0.97) {
    out.kind = PieceKind::kCircle;
  } else {
    out.kind = PieceKind::kArc;
    out.startAngle = std::atan2(support.front().Y - fit.center.Y, support.front().X - fit.center.X);
    out.sweep = sweep;
    out.start = PointAtAngle(fit.center, fit.radius, out.startAngle);
    out.end = PointAtAngle(fit.center, fit.radius, out.startAngle + sweep);
  }
  out.support = std::move(support);
  return true;
}

std::vector<StrokePiece> FitStrokePieces(const std::vector<TPoint2D>& input,
                                         const std::vector<double>& inputWidths, bool closed,
                                         const PieceFitOptions& options) {
  std::vector<StrokePiece> pieces;
  if (input.empty()) return pieces;
  const double tol = options.tolerance;
  if (closed && input.size() >= 8) {
    StrokePiece circle;
    if (MakeArcPiece(input, MeanOf(inputWidths, 0, input.size() - 1), tol, circle)) {
      circle.kind = PieceKind::kCircle;
      pieces.push_back(std::move(circle));
      return pieces;
    }
  }
  std::vector<TPoint2D> points = input;
  std::vector<double> widths = inputWidths;
  if (closed) {
    points.push_back(input.front());
    widths.push_back(inputWidths.front());
  }
  if (points.size() == 1) {
    points.push_back(points.front());
    widths.push_back(widths.front());
  }
  const std::size_t last = points.size() - 1;
  RunFitter fitter(points);

  // Greedy from the start: the longest run that a line fits, or a longer one that an arc fits.
  struct Run {
    std::size_t first, last;
    bool arc;
  };
  std::vector<Run> runs;
  for (std::size_t s = 0; s < last;) {
    std::size_t lineEnd = LongestRun(s, last, 1, [&](std::size_t e) {
      return e == s + 1 || fitter.Line(s, e).deviation.Within(tol);
    });
    lineEnd = std::max(lineEnd, s + 1);
    // An arc run grows through stretches that are straight to the pixel (the top of a large
    // circle), where no circle is defined yet, and wins only when it reaches clearly further.
    std::size_t arcEnd = s;
    if (lineEnd < last) {
      arcEnd = LongestRun(s, last, kArcPoints - 1, [&](std::size_t e) {
        return fitter.Line(s, e).deviation.Within(tol) || ArcFits(fitter, points, s, e, tol);
      });
      if (arcEnd <= lineEnd || !ArcFits(fitter, points, s, arcEnd, tol)) arcEnd = s;
    }
    const std::size_t margin = std::max<std::size_t>(2, (lineEnd - s) / 5);
    if (arcEnd > lineEnd + margin)
      runs.push_back({s, arcEnd, true});
    else
      runs.push_back({s, lineEnd, false});
    s = runs.back().last;
  }

  auto runLength = [&](const Run& r) { return Distance(points[r.first], points[r.last]); };
  for (std::size_t i = 0; i < runs.size();) {
    // Two or more short pieces in a row: one polyline through their ends.
    std::size_t j = i;
    while (j < runs.size() && !runs[j].arc && runLength(runs[j]) < options.shortPiece) ++j;
    if (j - i >= 2) {
      StrokePiece poly;
      poly.kind = PieceKind::kPolyline;
      poly.support.assign(points.begin() + runs[i].first, points.begin() + runs[j - 1].last + 1);
      poly.width = MeanOf(widths, runs[i].first, runs[j - 1].last);
      poly.vertices.push_back(points[runs[i].first]);
      for (std::size_t k = i; k < j; ++k) poly.vertices.push_back(points[runs[k].last]);
      poly.start = poly.vertices.front();
      poly.end = poly.vertices.back();
      pieces.push_back(std::move(poly));
      i = j;
      continue;
    }
    const Run& r = runs[i];
    std::vector<TPoint2D> support(points.begin() + r.first, points.begin() + r.last + 1);
    const double width = MeanOf(widths, r.first, r.last);
    StrokePiece piece;
    if (!(r.arc && MakeArcPiece(support, width, tol * 1.05, piece)))
      if (!MakeLinePiece(support, width, 1e300, piece)) continue;
    pieces.push_back(std::move(piece));
    ++i;
  }
  return pieces;
}

}  // namespace tesnova
