// The centerline tracer on small drawn pictures: which entities come out, where they lie in
// the picture's frame (Y up), and how they meet.
#include "centerline/centerline_tracer.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "base/text_file.h"
#include "centerline/centerline_drawing_dxf.h"
#include "support/stroke_pictures.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

using testing::DrawArc;
using testing::DrawSegment;
using Kind = CenterlineEntityKind;
constexpr double kPi = std::numbers::pi;

struct Counts {
  std::size_t lines, arcs, circles, polylines;
  bool operator==(const Counts&) const = default;
};

Counts CountOf(const CenterlineDrawing& d) {
  return {d.Count(Kind::kLine), d.Count(Kind::kArc), d.Count(Kind::kCircle),
          d.Count(Kind::kPolyline)};
}

std::ostream& operator<<(std::ostream& os, const Counts& c) {
  return os << c.lines << " lines, " << c.arcs << " arcs, " << c.circles << " circles, "
            << c.polylines << " polylines";
}

// Distance from p to the line through a and b.
double ToLine(TPoint2D p, TPoint2D a, TPoint2D b) {
  return std::fabs((p.X - a.X) * (b.Y - a.Y) - (p.Y - a.Y) * (b.X - a.X)) /
         std::hypot(b.X - a.X, b.Y - a.Y);
}

double Distance(TPoint2D a, TPoint2D b) { return std::hypot(a.X - b.X, a.Y - b.Y); }

// The picture frame of a drawing point given with Y down.
TPoint2D Up(const Bitmap& b, double x, double y) { return {x, b.height - y}; }

TEST(CenterlineTracer, EntitiesForTypicalShapes) {
  struct Case {
    const char* name;
    void (*draw)(Bitmap&);
    Counts expected;
  } cases[] = {
      {"line", [](Bitmap& b) { DrawSegment(b, 10, 60, 110, 20, 3); }, {1, 0, 0, 0}},
      {"circle", [](Bitmap& b) { DrawArc(b, 60, 40, 25, 0, 7, 3); }, {0, 0, 1, 0}},
      {"arc", [](Bitmap& b) { DrawArc(b, 60, 40, 30, 0.5, 2.8, 4); }, {0, 1, 0, 0}},
      {"X: two lines, not four",
       [](Bitmap& b) { DrawSegment(b, 10, 10, 110, 70, 5), DrawSegment(b, 10, 70, 110, 10, 5); },
       {2, 0, 0, 0}},
      {"T: the bar stays one line",
       [](Bitmap& b) { DrawSegment(b, 10, 15, 110, 15, 3), DrawSegment(b, 60, 15, 60, 75, 3); },
       {2, 0, 0, 0}},
      {"circle crossed by a line",
       [](Bitmap& b) { DrawArc(b, 60, 40, 28, 0, 7, 3), DrawSegment(b, 5, 42, 115, 38, 3); },
       {1, 0, 1, 0}},
      {"dashed line: one line",
       [](Bitmap& b) {
         for (int x = 5; x < 110; x += 22) DrawSegment(b, x, 40, x + 15, 40, 2);
       },
       {1, 0, 0, 0}},
      {"line broken by scan gaps: one line",
       [](Bitmap& b) {
         DrawSegment(b, 5, 10, 45, 30, 2), DrawSegment(b, 48, 31.5, 80, 47.5, 2),
             DrawSegment(b, 83, 49, 115, 65, 2);
       },
       {1, 0, 0, 0}},
      {"near-parallel lines 5 px apart stay two",
       [](Bitmap& b) { DrawSegment(b, 5, 30, 115, 34, 2), DrawSegment(b, 5, 35, 115, 39, 2); },
       {2, 0, 0, 0}},
      {"dust is dropped",
       [](Bitmap& b) { DrawArc(b, 30, 30, 0.5, 0, 7, 2.5), DrawArc(b, 80, 50, 0.3, 0, 7, 3); },
       {0, 0, 0, 0}},
      {"white paper", [](Bitmap&) {}, {0, 0, 0, 0}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap picture(120, 80);
    c.draw(picture);
    EXPECT_EQ(CountOf(TraceCenterlines(picture)), c.expected);
  }
}

TEST(CenterlineTracer, ShortBranchesOfBoldStrokesStay) {
  // A bold E: its middle arm reaches out 13 px from the middle of a stem 7 px wide, under
  // twice the arm's width beyond the stem's edge; bumps on a stroke's edge are cut, this stays,
  // and reaches its end (it once lay all within the junction's reach and was fitted on a
  // stub from its middle).
  Bitmap e(120, 80);
  DrawSegment(e, 40, 12, 40, 68, 7);
  DrawSegment(e, 40, 12, 62, 12, 7);
  DrawSegment(e, 40, 40, 53, 40, 7);
  DrawSegment(e, 40, 68, 62, 68, 7);
  CenterlineDrawing d = TraceCenterlines(e);
  int middleArms = 0;
  for (const CenterlineEntity& l : d.entities) {
    if (l.kind != Kind::kLine) continue;
    const TPoint2D a = l.start.X < l.end.X ? l.start : l.end,
                   b = l.start.X < l.end.X ? l.end : l.start;
    middleArms += Distance(a, Up(e, 40, 40)) < 1.5 && Distance(b, Up(e, 53, 40)) < 1.5;
  }
  EXPECT_EQ(middleArms, 1);
}

TEST(CenterlineTracer, GeometryInThePicturesFrame) {
  Bitmap picture(120, 80);
  DrawArc(picture, 60, 30, 22, 0, 7, 3);     // a circle
  DrawSegment(picture, 10, 70, 100, 70, 4);  // a line near the bottom
  CenterlineDrawing d = TraceCenterlines(picture);
  ASSERT_EQ(CountOf(d), (Counts{1, 0, 1, 0}));
  EXPECT_EQ(d.width, 120);
  EXPECT_EQ(d.height, 80);
  for (const CenterlineEntity& e : d.entities) {
    if (e.kind == Kind::kCircle) {
      EXPECT_NEAR(e.center.X, 60, 0.3);
      EXPECT_NEAR(e.center.Y, 50, 0.3);  // 80 - 30: Y up, origin at the bottom-left
      EXPECT_NEAR(e.radius, 22, 0.3);
      EXPECT_NEAR(e.strokeWidth, 3, 1.0);
    } else {
      // The line reaches its drawn ends, not just the skeleton's.
      const TPoint2D a = e.start.X < e.end.X ? e.start : e.end,
                     b = e.start.X < e.end.X ? e.end : e.start;
      EXPECT_NEAR(a.X, 10, 1.0);
      EXPECT_NEAR(b.X, 100, 1.0);
      EXPECT_NEAR(a.Y, 10, 0.5);
      EXPECT_NEAR(b.Y, 10, 0.5);
      EXPECT_NEAR(e.strokeWidth, 4, 1.0);
    }
  }
}

TEST(CenterlineTracer, StrokesOfEvenWidthLieOnTheirTrueMiddle) {
  // Four pixels wide: the middle falls between two pixel rows, and thinning keeps one of them.
  Bitmap picture(120, 40);
  DrawSegment(picture, 10, 22, 110, 22, 4);
  DrawSegment(picture, 20, 5, 100, 9, 2);
  CenterlineDrawing d = TraceCenterlines(picture);
  ASSERT_EQ(CountOf(d), (Counts{2, 0, 0, 0}));
  for (const CenterlineEntity& e : d.entities) {
    const bool thick = e.start.Y < 25;
    const TPoint2D a = thick ? Up(picture, 10, 22) : Up(picture, 20, 5);
    const TPoint2D b = thick ? Up(picture, 110, 22) : Up(picture, 100, 9);
    EXPECT_LT(ToLine(e.start, a, b), 0.2);
    EXPECT_LT(ToLine(e.end, a, b), 0.2);
  }
}

TEST(CenterlineTracer, StrokesMeetingAtAJunctionShareTheirEnd) {
  // T: the stem ends on the bar.
  Bitmap t(120, 80);
  DrawSegment(t, 10, 15, 110, 20, 3);
  DrawSegment(t, 60, 17.5, 65, 75, 3);
  CenterlineDrawing dt = TraceCenterlines(t);
  ASSERT_EQ(CountOf(dt), (Counts{2, 0, 0, 0}));
  const CenterlineEntity& bar =
      Distance(dt.entities[0].start, dt.entities[0].end) > 90 ? dt.entities[0] : dt.entities[1];
  const CenterlineEntity& stem = &bar == &dt.entities[0] ? dt.entities[1] : dt.entities[0];
  const TPoint2D foot = stem.start.Y > stem.end.Y ? stem.start : stem.end;
  EXPECT_LT(ToLine(foot, bar.start, bar.end), 0.01);
  EXPECT_LT(Distance(foot, Up(t, 60, 17.5)), 1.0);

  // L of two thick strokes: both ends at the corner, the same point.
  Bitmap l(120, 80);
  DrawSegment(l, 15, 10, 20, 65, 6);
  DrawSegment(l, 20, 65, 110, 60, 6);
  CenterlineDrawing dl = TraceCenterlines(l);
  ASSERT_EQ(CountOf(dl), (Counts{2, 0, 0, 0}));
  auto nearest = [&](const CenterlineEntity& e) {
    return Distance(e.start, Up(l, 20, 65)) < Distance(e.end, Up(l, 20, 65)) ? e.start : e.end;
  };
  EXPECT_EQ(nearest(dl.entities[0]), nearest(dl.entities[1]));
  EXPECT_LT(Distance(nearest(dl.entities[0]), Up(l, 20, 65)), 1.0);
}

TEST(CenterlineTracer, OptionsAndProgress) {
  Bitmap dashed(120, 40);
  for (int x = 5; x < 110; x += 22) DrawSegment(dashed, x, 20, x + 15, 20, 2);
  CenterlineOptions noBridges;
  noBridges.maxGap = 0;
  EXPECT_EQ(TraceCenterlines(dashed, noBridges).entities.size(), 5u);

  // A blot wider than the widest stroke is reported, not skeletonised into spurs.
  Bitmap blot(120, 80);
  for (int y = 10; y < 70; ++y)
    for (int x = 30; x < 90; ++x) std::fill_n(blot.at(x, y), 3, 0);
  CenterlineDrawing d = TraceCenterlines(blot);
  EXPECT_TRUE(d.entities.empty());
  ASSERT_FALSE(d.filledAreas.empty());
  EXPECT_GT(d.filledAreas[0].strokeWidth, 20);
  EXPECT_LE(d.filledAreas[0].left, 45);
  EXPECT_GE(d.filledAreas[0].right, 75);

  // Grey ink counts by the threshold given.
  Bitmap grey(120, 40);
  DrawSegment(grey, 10, 20, 110, 20, 3);
  for (auto& v : grey.pixels) v = v == 0 ? 150 : v;
  EXPECT_TRUE(TraceCenterlines(grey).entities.empty());
  CenterlineOptions lighter;
  lighter.inkBelow = 200;
  EXPECT_EQ(TraceCenterlines(grey, lighter).entities.size(), 1u);

  std::vector<CenterlineStep> steps;
  CenterlineOptions watched;
  watched.progress = [&](CenterlineStep s) { steps.push_back(s); };
  TraceCenterlines(grey, watched);
  EXPECT_EQ(steps, (std::vector<CenterlineStep>{
                       CenterlineStep::kDistance, CenterlineStep::kThinning, CenterlineStep::kGraph,
                       CenterlineStep::kFitting, CenterlineStep::kJoining, CenterlineStep::kDone}));
}

TEST(CenterlineDrawingDxf, WritesEachKindInTheGeneralNumberFormat) {
  CenterlineDrawing d;
  CenterlineEntity line;
  line.kind = Kind::kLine;
  line.start = {1, 2.5};
  line.end = {10.25, 0.1};
  CenterlineEntity arc;
  arc.kind = Kind::kArc;
  arc.center = {5, 6};
  arc.radius = 2;
  arc.startAngle = 90;
  arc.endAngle = 180;
  CenterlineEntity circle;
  circle.kind = Kind::kCircle;
  circle.center = {7, 8};
  circle.radius = 3.5;
  CenterlineEntity poly;
  poly.kind = Kind::kPolyline;
  poly.points = {{0, 0}, {1, 1}};
  d.entities = {line, arc, circle, poly};
  testing::ScratchFolder dir;
  SaveCenterlineDrawingAsDxf(d, dir / "c.dxf");
  const std::string body =
      "0\r\nLINE\r\n8\r\n0\r\n10\r\n1\r\n20\r\n2.5\r\n11\r\n10.25\r\n21\r\n0.100000001490116\r\n"
      "0\r\nARC\r\n8\r\n0\r\n10\r\n5\r\n20\r\n6\r\n40\r\n2\r\n50\r\n90\r\n51\r\n180\r\n"
      "0\r\nCIRCLE\r\n8\r\n0\r\n10\r\n7\r\n20\r\n8\r\n40\r\n3.5\r\n"
      "0\r\nPOLYLINE\r\n8\r\n0\r\n70\r\n0\r\n66\r\n1\r\n0\r\nVERTEX\r\n10\r\n0\r\n20\r\n0\r\n"
      "0\r\nVERTEX\r\n10\r\n1\r\n20\r\n1\r\n0\r\nSEQEND\r\n";
  const std::string text = ReadFileBytes(dir / "c.dxf");
  EXPECT_EQ(text.rfind("0\r\nSECTION\r\n2\r\nHEADER\r\n", 0), 0u);
  EXPECT_NE(text.find("ENTITIES\r\n" + body + "0\r\nENDSEC\r\n0\r\nEOF\r\n"), std::string::npos)
      << text;
}

}  // namespace
}  // namespace tesnova
