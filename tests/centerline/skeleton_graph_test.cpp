// The tracer's first steps on small drawn fixtures: ink distance, thinning, the stroke graph
// and its pruning.
#include <gtest/gtest.h>

#include <bit>
#include <cmath>

#include "centerline/ink_distance.h"
#include "centerline/skeleton_thinning.h"
#include "centerline/stroke_graph.h"
#include "centerline/stroke_pruning.h"
#include "centerline/stroke_tips.h"
#include "support/stroke_pictures.h"

namespace tesnova {
namespace {

using testing::DrawArc;
using testing::DrawSegment;

struct Skeleton {
  InkPlane plane;
  std::vector<std::uint32_t> pixels;
};

Skeleton Thin(const Bitmap& picture) {
  Skeleton s{MeasureInkDistance(picture), {}};
  s.pixels = ThinToSkeleton(s.plane);
  return s;
}

// Every skeleton pixel is thin: none could go without changing the topology or cutting an end.
void ExpectThin(const Skeleton& s) {
  for (std::uint32_t i : s.pixels) {
    const std::uint8_t m = NeighbourMask(s.plane, i);
    EXPECT_FALSE(IsSimplePixel(m) && std::popcount(m) >= 2)
        << "removable skeleton pixel at " << s.plane.X(i) << "," << s.plane.Y(i);
  }
}

StrokeGraph Graph(const Bitmap& picture, bool prune = true) {
  Skeleton s = Thin(picture);
  StrokeGraph g = TraceStrokeGraph(s.plane, s.pixels);
  MeasureStrokeTips(g, picture, 128);
  if (prune) PruneStrokeGraph(g);
  return g;
}

struct Census {
  int ends = 0, junctions = 0, edges = 0, rings = 0;
  int maxDegree = 0;
};

Census Count(const StrokeGraph& g) {
  Census c;
  for (const StrokeNode& n : g.nodes) {
    if (n.removed || n.edges.empty()) continue;
    if (n.Degree() == 1) ++c.ends;
    if (n.Degree() >= 3) ++c.junctions;
    c.maxDegree = std::max(c.maxDegree, n.Degree());
  }
  for (const StrokeEdge& e : g.edges) {
    if (e.removed) continue;
    ++c.edges;
    c.rings += e.closed;
  }
  return c;
}

TEST(InkDistance, ChamferStepsAcrossABarAndPaperBeyondThePicture) {
  Bitmap picture(12, 7);
  for (int y = 1; y <= 5; ++y)
    for (int x = 0; x < 12; ++x) std::fill_n(picture.at(x, y), 3, 0);
  const InkPlane plane = MeasureInkDistance(picture);
  for (int y = 0; y < 7; ++y) {
    const int expected[] = {0, 5, 10, 15, 10, 5, 0};
    EXPECT_EQ(plane.at(6, y), expected[y]) << "row " << y;
  }
  EXPECT_EQ(plane.at(0, 3), 5);  // the picture's edge counts as paper
  // Grey 127 is ink, 128 paper (the mean of the three channels).
  Bitmap grey(2, 1, 128);
  std::fill_n(grey.at(0, 0), 3, 127);
  const InkPlane g = MeasureInkDistance(grey);
  EXPECT_EQ(g.at(0, 0), 5);
  EXPECT_EQ(g.at(1, 0), 0);
}

TEST(InkDistance, PinholesUpToTheLimitBecomeInk) {
  // A solid block with holes of 1, 4 and 5 pixels, and a notch open to the paper.
  Bitmap picture(40, 12);
  for (int y = 1; y < 11; ++y)
    for (int x = 1; x < 39; ++x) std::fill_n(picture.at(x, y), 3, 0);
  auto paper = [&](int x, int y) { std::fill_n(picture.at(x, y), 3, 255); };
  paper(5, 5);                                             // 1 pixel
  paper(12, 5), paper(13, 5), paper(12, 6), paper(13, 6);  // 4 pixels
  for (int x = 20; x < 25; ++x) paper(x, 5);               // 5 pixels
  paper(32, 1), paper(32, 2);                              // a notch from the edge
  const InkPlane plane = MeasureInkDistance(picture, 128, 4);
  EXPECT_GT(plane.at(5, 5), 0);
  EXPECT_GT(plane.at(12, 5), 0);
  EXPECT_GT(plane.at(13, 6), 0);
  EXPECT_EQ(plane.at(22, 5), 0);
  EXPECT_EQ(plane.at(32, 2), 0);
  // Filled holes are measured as ink: the middle row is as deep as the block allows.
  EXPECT_EQ(plane.at(5, 5), MeasureInkDistance(picture, 128, 4).at(6, 5));
  EXPECT_EQ(MeasureInkDistance(picture).at(5, 5), 0);  // no filling by default
}

TEST(SkeletonThinning, SimplePixelsByTheirNeighbours) {
  struct Case {
    std::uint8_t mask;  // bit 0 east, counter-clockwise
    bool simple;
  } cases[] = {
      {0x00, false},  // alone: taking it away loses a stroke
      {0xFF, false},  // inside: taking it away makes a hole
      {0x01, true},   // one neighbour (an end; kept for that reason, not for topology)
      {0x03, true},   // east and north-east, touching each other
      {0x11, false},  // east and west: would split the stroke
      {0x44, false},  // north and south
      {0x55, false},  // a plus: its middle would become a hole
      {0x07, true},   // a corner's three
      {0x0A, true},   // north-east and north-west joined through north... no: see below
  };
  // North-east and north-west alone (bits 1 and 3) are not neighbours of each other.
  cases[8] = {0x0A, false};
  for (const Case& c : cases) EXPECT_EQ(IsSimplePixel(c.mask), c.simple) << int(c.mask);
}

TEST(SkeletonThinning, StrokesThinToTheirMiddleLinesEndToEnd) {
  struct Case {
    const char* name;
    double x0, y0, x1, y1, width;
  } cases[] = {
      // Peeling a level in scan order ate upright strips from the top down to a pixel or two.
      {"upright strip two pixels wide", 10, 5, 10, 55, 2},
      {"nearly upright bar six wide", 30.1, 5, 29.9, 55, 6},
      {"lying strip two pixels wide", 5, 10, 55, 10, 2},
      {"upright bar six wide", 15, 8, 15, 52, 6},
      {"diagonal bar five wide", 8, 8, 52, 52, 5},
      {"shallow line", 4, 20, 56, 30, 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap picture(60, 60);
    DrawSegment(picture, c.x0, c.y0, c.x1, c.y1, c.width);
    Skeleton s = Thin(picture);
    ExpectThin(s);
    // One run from end to end, every pixel within a pixel of the middle line.
    StrokeGraph g = TraceStrokeGraph(s.plane, s.pixels);
    PruneStrokeGraph(g);
    Census census = Count(g);
    EXPECT_EQ(census.edges, 1);
    EXPECT_EQ(census.junctions, 0);
    const double length = std::hypot(c.x1 - c.x0, c.y1 - c.y0);
    for (const StrokeEdge& e : g.edges) {
      if (e.removed) continue;
      EXPECT_GT(e.Length(), length - c.width - 1);  // each tip within half a width
      for (const SkeletonPixel& p : e.pixels) {
        const double px = p.x + 0.5 - c.x0, py = p.y + 0.5 - c.y0;
        const double off = std::fabs(px * (c.y1 - c.y0) - py * (c.x1 - c.x0)) / length;
        EXPECT_LE(off, 1.0) << p.x << "," << p.y;
      }
    }
  }
}

TEST(SkeletonThinning, ListingTheDeeperPixelsGivesTheSameSkeletonAsScanning) {
  Bitmap picture(160, 120);
  DrawSegment(picture, 10, 10, 150, 30, 7);
  DrawSegment(picture, 20, 110, 140, 15, 4);
  DrawArc(picture, 80, 70, 30, 0, 7, 9);
  DrawSegment(picture, 5, 60, 60, 60, 2);
  for (int y = 85; y < 115; ++y)  // a blot, deeper than the widest stroke
    for (int x = 100; x < 150; ++x) std::fill_n(picture.at(x, y), 3, 0);
  InkPlane listed = MeasureInkDistance(picture), scanned = listed;
  EXPECT_EQ(ThinToSkeleton(listed, true), ThinToSkeleton(scanned, false));
  EXPECT_EQ(listed.values, scanned.values);
}

TEST(SkeletonThinning, KeepsHolesAndCollapsesBlots) {
  Bitmap ring(60, 60);
  DrawArc(ring, 30, 30, 20, 0, 7, 5);
  StrokeGraph g = Graph(ring);
  Census c = Count(g);
  EXPECT_EQ(c.rings, 1);
  EXPECT_EQ(c.edges, 1);

  Bitmap blot(40, 40);
  for (int y = 5; y < 35; ++y)
    for (int x = 5; x < 35; ++x) std::fill_n(blot.at(x, y), 3, 0);
  Skeleton s = Thin(blot);
  ExpectThin(s);
  EXPECT_GE(s.pixels.size(), 1u);
  EXPECT_LT(s.pixels.size(), 60u);  // a small tree, not the square's area
}

TEST(StrokeGraph, JunctionsEndsAndRingsOfShapes) {
  struct Case {
    const char* name;
    void (*draw)(Bitmap&);
    Census expected;
  } cases[] = {
      {"T",
       [](Bitmap& b) { DrawSegment(b, 10, 20, 90, 20, 3), DrawSegment(b, 50, 20, 50, 70, 3); },
       {3, 1, 3, 0, 3}},
      {"thick X: two junctions made one",
       [](Bitmap& b) { DrawSegment(b, 10, 10, 90, 70, 7), DrawSegment(b, 10, 70, 90, 10, 7); },
       {4, 1, 4, 0, 4}},
      {"X of a nearly upright bar",
       [](Bitmap& b) { DrawSegment(b, 50.1, 4, 49.9, 76, 6), DrawSegment(b, 2, 55, 98, 35, 6); },
       {4, 1, 4, 0, 4}},
      {"L",
       [](Bitmap& b) { DrawSegment(b, 10, 10, 10, 70, 4), DrawSegment(b, 10, 70, 80, 70, 4); },
       {2, 0, 1, 0, 1}},
      {"circle crossed by a line",
       [](Bitmap& b) { DrawArc(b, 50, 40, 25, 0, 7, 3), DrawSegment(b, 5, 40, 95, 40, 3); },
       {2, 2, 5, 0, 4}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    Bitmap picture(100, 80);
    c.draw(picture);
    Census got = Count(Graph(picture));
    EXPECT_EQ(got.ends, c.expected.ends);
    EXPECT_EQ(got.junctions, c.expected.junctions);
    EXPECT_EQ(got.edges, c.expected.edges);
    EXPECT_EQ(got.rings, c.expected.rings);
    EXPECT_EQ(got.maxDegree, c.expected.maxDegree);
  }
}

TEST(StrokeTips, MiddleLinesGoOnToHalfAWidthBeforeTheInkEnds) {
  for (double width : {2.0, 4.0, 8.0}) {
    SCOPED_TRACE(width);
    Bitmap picture(100, 40);
    DrawSegment(picture, 20, 20, 80, 20, width);
    StrokeGraph g = Graph(picture);
    for (const StrokeNode& n : g.nodes) {
      if (n.removed || n.Degree() != 1) continue;
      // The skeleton's end plus the extension lands on the drawn end (x 20 or 80).
      const double tip = n.x + 0.5 + (n.x < 50 ? -n.extension : n.extension);
      EXPECT_NEAR(tip, n.x < 50 ? 20 : 80, 1.0);
    }
  }
}

TEST(StrokePruning, CutsSpursFromBumpsButKeepsRealBranches) {
  // A thick bar with a bump on its edge: thinning grows a spur towards the bump.
  Bitmap bumpy(100, 40);
  DrawSegment(bumpy, 10, 20, 90, 20, 9);
  for (int y = 13; y < 16; ++y)
    for (int x = 48; x < 51; ++x) std::fill_n(bumpy.at(x, y), 3, 0);
  Census raw = Count(Graph(bumpy, false));
  Census pruned = Count(Graph(bumpy));
  EXPECT_EQ(raw.junctions, 1);  // the spur, before pruning
  EXPECT_EQ(pruned.edges, 1);
  EXPECT_EQ(pruned.junctions, 0);

  // A short real branch, longer than the stroke is wide, stays.
  Bitmap branch(100, 40);
  DrawSegment(branch, 10, 20, 90, 20, 3);
  DrawSegment(branch, 50, 20, 50, 30, 3);
  EXPECT_EQ(Count(Graph(branch)).edges, 3);
}

TEST(StrokePruning, PinholeLoopsGo) {
  // A stroke with a one-pixel hole: the skeleton rings round it; pruning leaves one run.
  Bitmap picture(80, 30);
  DrawSegment(picture, 10, 15, 70, 15, 7);
  std::fill_n(picture.at(40, 15), 3, 255);
  Census c = Count(Graph(picture));
  EXPECT_EQ(c.edges, 1);
  EXPECT_EQ(c.junctions, 0);
}

}  // namespace
}  // namespace tesnova
