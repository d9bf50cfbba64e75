#pragma once
// From the stroke graph to fitted pieces: each edge's skeleton pixels become points in the
// picture's frame (Y up), moved onto the middle of the ink and smoothed; the points within a
// junction's reach are left out; the rest is cut into lines, arcs and circles; free ends run on
// to where the stroke ends. Pieces meet at joints: the graph's nodes, and the points where one
// piece of an edge hands over to the next. Edges wider than a stroke become filled areas.
#include <vector>

#include "centerline/centerline_drawing.h"
#include "centerline/piece_network.h"
#include "centerline/stroke_graph.h"
#include "raster/black_white_picture.h"

namespace tesnova {

struct StrokeFitOptions {
  double tolerance = 1.0;
  double maxStrokeWidth = 20.0;
};

// ink: the picture, its black the ink.
PieceNetwork FitStrokeGraph(const StrokeGraph& graph, const BlackWhitePicture& ink,
                            const StrokeFitOptions& options, std::vector<FilledArea>& filledAreas);

}  // namespace tesnova
