#pragma once
// Tesnova's own centerline tracer: one line down the middle of each stroke of a black-and-white
// picture, as lines, arcs and circles (polylines only where none of them fits).
//
//   picture -> ink distance -> thinned skeleton -> stroke graph (spurs cut) -> pieces fitted per
//   stroke -> pieces merged through junctions, gaps bridged, dust dropped -> shared end points
//
// Everything runs in memory on the calling thread; progress is reported through a callback.
#include <functional>

#include "centerline/centerline_drawing.h"
#include "raster/bitmap.h"
#include "raster/black_white_picture.h"

namespace tesnova {

enum class CenterlineStep { kDistance, kThinning, kGraph, kFitting, kJoining, kDone };

struct CenterlineOptions {
  int inkBelow = 128;            // ink: pixels whose mean grey is below this
  double tolerance = 1.0;        // pixels: how far the skeleton may stray from its entity
  double minLength = 3.0;        // pixels: shorter strokes standing alone are dropped as dust
  double maxGap = 16.0;          // pixels: widest gap bridged along a straight run (0: none)
  double maxStrokeWidth = 20.0;  // pixels: ink wider than this is reported as a filled area
  int maxPinhole = 4;  // pixels: holes in the ink this small count as ink (0: keep every hole)
  // Called as each step starts, and with kDone at the end.
  std::function<void(CenterlineStep)> progress;
};

// Ink: pixels whose mean grey is below options.inkBelow.
CenterlineDrawing TraceCenterlines(const Bitmap& binaryPicture,
                                   const CenterlineOptions& options = {});
// The same with the black of a black-and-white picture for ink (options.inkBelow unused).
CenterlineDrawing TraceCenterlines(const BlackWhitePicture& ink,
                                   const CenterlineOptions& options = {});

}  // namespace tesnova
