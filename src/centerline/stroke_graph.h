#pragma once
// The skeleton as a graph of strokes: nodes where strokes end or meet, edges the runs of
// skeleton pixels between them, and closed runs that meet nothing (rings).
#include <cstdint>
#include <vector>

#include "centerline/ink_distance.h"

namespace tesnova {

struct SkeletonPixel {
  int x = 0;  // column and row of the picture, rows from the top
  int y = 0;
  int distance = 0;  // the ink distance value there
};

struct StrokeNode {
  double x = 0, y = 0;     // the middle of the node's pixels, in pixel indices
  int distance = 0;        // the largest ink distance among its pixels
  std::vector<int> edges;  // edge ids, a loop's twice
  double extension = 0;    // end nodes: pixels the stroke goes on beyond them (MeasureStrokeTips)
  bool removed = false;
  int Degree() const { return static_cast<int>(edges.size()); }
};

struct StrokeEdge {
  int from = -1, to = -1;             // node ids; both -1 for a closed run
  std::vector<SkeletonPixel> pixels;  // from the from-node's pixel to the to-node's pixel
  bool closed = false;
  bool removed = false;
  double Length() const;  // along the pixels, 1 per straight and sqrt 2 per diagonal step
};

struct StrokeGraph {
  std::vector<StrokeNode> nodes;
  std::vector<StrokeEdge> edges;
  std::vector<SkeletonPixel> dots;  // skeleton pixels with no neighbour at all
};

// Builds the graph from a thinned plane and its skeleton pixels (as ThinToSkeleton gives them).
// Pixels with one neighbour are end nodes, touching pixels with three or more form one junction
// node. Uses the plane's top bit as a mark and clears it again.
StrokeGraph TraceStrokeGraph(InkPlane& plane, const std::vector<std::uint32_t>& skeleton);

}  // namespace tesnova
