#pragma once
// Where the strokes really end. Thinning leaves a stroke's skeleton short of its end by up to
// about half the stroke's width; the picture itself shows how far the ink goes on, and the
// middle line ends half a width before the ink does.
#include "centerline/stroke_graph.h"
#include "raster/black_white_picture.h"

namespace tesnova {

// For every end node (one edge), how far the stroke's middle line goes on beyond the skeleton's
// last pixel, in pixels (0 where the ink ends sooner): measured along the run's last few pixels'
// direction through the picture's ink (its black), less half the stroke's width. Kept in
// StrokeNode::extension; never more than the stroke's width.
void MeasureStrokeTips(StrokeGraph& graph, const BlackWhitePicture& ink);
// The same on a 24-bit picture whose ink is the mean grey below inkBelow.
void MeasureStrokeTips(StrokeGraph& graph, const Bitmap& picture, int inkBelow);

}  // namespace tesnova
