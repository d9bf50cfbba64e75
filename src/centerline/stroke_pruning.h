#pragma once
// Cleaning the stroke graph before fitting: spurs that thinning grows from bumps of a stroke's
// edge are cut, junctions that a thick crossing splits in two are made one, and edges that meet
// at a node of only two edges are joined into one.
#include "centerline/stroke_graph.h"

namespace tesnova {

struct PruningOptions {
  // A spur (an edge from a junction to a free end) is cut when it reaches beyond the edge of
  // the stroke it leaves by less than this many of its own widths plus a pixel, or than three
  // pixels.
  double spurWidths = 0.5;
};

void PruneStrokeGraph(StrokeGraph& graph, const PruningOptions& options = {});

// The edge's pixels oriented to start at the given node (reversed when they end there).
void OrientEdgeFrom(StrokeEdge& edge, int node);

}  // namespace tesnova
