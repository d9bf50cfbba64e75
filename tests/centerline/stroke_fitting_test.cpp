// Fitting one stroke's points with the fewest lines, arcs and circles within the tolerance.
#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <random>

#include "centerline/shape_fit.h"
#include "centerline/stroke_pieces.h"

namespace tesnova {
namespace {

constexpr double kPi = std::numbers::pi;

std::vector<TPoint2D> Segment(TPoint2D a, TPoint2D b, int n) {
  std::vector<TPoint2D> p;
  for (int i = 0; i < n; ++i)
    p.push_back({a.X + (b.X - a.X) * i / (n - 1), a.Y + (b.Y - a.Y) * i / (n - 1)});
  return p;
}

std::vector<TPoint2D> Arc(TPoint2D c, double r, double a0, double a1, int n, bool closed = false) {
  std::vector<TPoint2D> p;
  const int steps = closed ? n : n - 1;
  for (int i = 0; i < n; ++i) {
    const double a = a0 + (a1 - a0) * i / steps;
    p.push_back({c.X + r * std::cos(a), c.Y + r * std::sin(a)});
  }
  return p;
}

// Rounds to the pixel grid's centres, as skeleton pixels are.
std::vector<TPoint2D> OnPixels(std::vector<TPoint2D> p) {
  for (TPoint2D& q : p) q = {std::floor(q.X) + 0.5, std::floor(q.Y) + 0.5};
  return p;
}

std::vector<StrokePiece> Fit(const std::vector<TPoint2D>& p, bool closed = false) {
  return FitStrokePieces(p, std::vector<double>(p.size(), 2.0), closed, PieceFitOptions{});
}

std::vector<PieceKind> Kinds(const std::vector<StrokePiece>& pieces) {
  std::vector<PieceKind> k;
  for (const auto& p : pieces) k.push_back(p.kind);
  return k;
}

using K = PieceKind;

TEST(ShapeFit, LinesAndCirclesThroughPoints) {
  std::vector<TPoint2D> line = Segment({1, 2}, {41, 32}, 30);
  LineFit l = FitLine(line.data(), line.size());
  EXPECT_NEAR(std::fabs(l.direction.X * 3 - l.direction.Y * 4), 0, 1e-9);
  EXPECT_NEAR(l.deviation.max, 0, 1e-9);

  std::vector<TPoint2D> arc = Arc({10, -5}, 25, 0.2, 1.4, 40);
  CircleFit c = FitCircle(arc.data(), arc.size());
  ASSERT_TRUE(c.ok);
  EXPECT_NEAR(c.center.X, 10, 1e-6);
  EXPECT_NEAR(c.center.Y, -5, 1e-6);
  EXPECT_NEAR(c.radius, 25, 1e-6);
  // The running sums give the same as the direct fits on any run.
  RunFitter fitter(arc);
  CircleFit run = fitter.Circle(5, 30, 1.0);
  ASSERT_TRUE(run.ok);
  EXPECT_NEAR(run.radius, 25, 1e-6);
  EXPECT_FALSE(FitCircle(line.data(), line.size()).ok);  // no circle through a straight line

  // Deviation: one point in twenty may stray up to twice the tolerance, no further.
  std::vector<TPoint2D> speck = Segment({0, 0}, {40, 0}, 41);
  speck[20].Y = 1.8;
  EXPECT_TRUE(FitLine(speck.data(), speck.size()).deviation.Within(1.0));
  speck[20].Y = 2.6;
  EXPECT_FALSE(FitLine(speck.data(), speck.size()).deviation.Within(1.0));
  speck[20].Y = 1.5;
  speck[21].Y = 1.5;
  speck[22].Y = 1.5;
  EXPECT_FALSE(FitLine(speck.data(), speck.size()).deviation.Within(1.0));
}

TEST(StrokeFitting, FewestPiecesForEachShape) {
  struct Case {
    const char* name;
    std::vector<TPoint2D> points;
    bool closed;
    std::vector<PieceKind> kinds;
  };
  std::vector<TPoint2D> l = Segment({0, 0}, {0, 40}, 41);
  std::vector<TPoint2D> leg = Segment({0, 40}, {35, 40}, 36);
  l.insert(l.end(), leg.begin() + 1, leg.end());
  std::vector<TPoint2D> s = Arc({0, 0}, 20, kPi, 0, 40);
  std::vector<TPoint2D> s2 = Arc({40, 0}, 20, kPi, 2 * kPi, 40);
  s.insert(s.end(), s2.begin() + 1, s2.end());
  std::vector<TPoint2D> slot = Segment({0, 0}, {60, 0}, 61);
  std::vector<TPoint2D> cap = Arc({60, 15}, 15, -kPi / 2, kPi / 2, 30);
  slot.insert(slot.end(), cap.begin() + 1, cap.end());
  std::vector<TPoint2D> zigzag;
  for (int i = 0; i < 12; ++i) zigzag.push_back({i * 1.5, (i % 2) * 2.5});
  const std::vector<Case> cases = {
      {"shallow line on the pixel grid",
       OnPixels(Segment({0, 0}, {120, 37}, 126)),
       false,
       {K::kLine}},
      {"arc on the pixel grid", OnPixels(Arc({50, 50}, 40, 0.3, 2.2, 80)), false, {K::kArc}},
      {"large arc, flat to the pixel at its top",
       OnPixels(Arc({100, -150}, 300, kPi / 2 - 0.3, kPi / 2 + 0.3, 180)),
       false,
       {K::kArc}},
      {"ring", OnPixels(Arc({30, 30}, 22, 0, 2 * kPi, 138, true)), true, {K::kCircle}},
      {"L", l, false, {K::kLine, K::kLine}},
      {"S of two arcs", s, false, {K::kArc, K::kArc}},
      {"line running into a half circle", slot, false, {K::kLine, K::kArc}},
      {"zigzag of short pieces", zigzag, false, {K::kPolyline}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(Kinds(Fit(c.points, c.closed)), c.kinds);
  }
}

TEST(StrokeFitting, PiecesLieOnTheirPointsAndMeetWhereTheyJoin) {
  std::mt19937 random(7);
  std::uniform_real_distribution<double> noise(-0.35, 0.35);
  std::vector<TPoint2D> arc = Arc({0, 0}, 30, 0, kPi * 0.75, 70);
  for (TPoint2D& p : arc) p = {p.X + noise(random), p.Y + noise(random)};
  std::vector<StrokePiece> pieces = Fit(arc);
  ASSERT_EQ(Kinds(pieces), std::vector<K>{K::kArc});
  EXPECT_NEAR(pieces[0].center.X, 0, 0.4);
  EXPECT_NEAR(pieces[0].center.Y, 0, 0.4);
  EXPECT_NEAR(pieces[0].radius, 30, 0.3);
  EXPECT_NEAR(pieces[0].sweep, kPi * 0.75, 0.05);
  // Ends at the projections of the first and last point.
  EXPECT_NEAR(std::hypot(pieces[0].start.X - arc.front().X, pieces[0].start.Y - arc.front().Y), 0,
              0.6);
  EXPECT_NEAR(std::hypot(pieces[0].end.X - arc.back().X, pieces[0].end.Y - arc.back().Y), 0, 0.6);

  // Clockwise runs sweep the other way.
  std::vector<TPoint2D> back(arc.rbegin(), arc.rend());
  EXPECT_NEAR(Fit(back)[0].sweep, -kPi * 0.75, 0.05);
}

TEST(StrokeFitting, ExtendsEndsTheWayTheyRun) {
  StrokePiece line;
  ASSERT_TRUE(MakeLinePiece(Segment({0, 0}, {10, 0}, 11), 2, 1, line));
  ExtendPieceEnd(line, 0, 2);
  ExtendPieceEnd(line, 1, 3);
  EXPECT_NEAR(line.start.X, -2, 1e-9);
  EXPECT_NEAR(line.end.X, 13, 1e-9);

  StrokePiece arc;
  ASSERT_TRUE(MakeArcPiece(Arc({0, 0}, 10, 0, kPi / 2, 30), 2, 1, arc));
  ExtendPieceEnd(arc, 1, 10 * kPi / 4);  // a further eighth of a turn
  EXPECT_NEAR(arc.sweep, kPi * 0.75, 1e-3);
  EXPECT_NEAR(arc.end.X, -10 / std::sqrt(2), 1e-2);
}

}  // namespace
}  // namespace tesnova
