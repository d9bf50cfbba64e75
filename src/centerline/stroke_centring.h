#pragma once
// Moving skeleton points onto the middle of their stroke. A skeleton pixel lies on the pixel
// grid; for a stroke of even width the middle falls between two pixels, and thinning picks one
// of them. Measured across the stroke in the picture, the ink's two edges put the middle back
// to within a fraction of a pixel.
#include <vector>

#include "raster/black_white_picture.h"
#include "vector/point_types.h"

namespace tesnova {

// points: a stroke's run in the picture frame (Y up, pixel centres); halfWidths per point. Each
// point moves along the run's normal to halfway between the ink's edges, by at most one
// pixel, where both edges lie within the expected half-width (plus a pixel and a half) of it;
// elsewhere (near junctions and ends) it stays.
void CentreOnInk(std::vector<TPoint2D>& points, const std::vector<double>& halfWidths, bool closed,
                 const BlackWhitePicture& ink);

}  // namespace tesnova
