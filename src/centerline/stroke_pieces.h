#pragma once
// One stroke's run of skeleton points cut into the fewest pieces that each stay within the
// tolerance of the points: straight lines first, then circular arcs, a whole circle for a
// closed round run, and a polyline only where short pieces follow one another and nothing fits.
#include <vector>

#include "vector/point_types.h"

namespace tesnova {

enum class PieceKind { kLine, kArc, kCircle, kPolyline };

struct StrokePiece {
  PieceKind kind = PieceKind::kLine;
  std::vector<TPoint2D> support;  // the points the piece was fitted to, in stroke order
  double width = 0;               // mean stroke width over the support, pixels
  // Line and polyline: start and end are the ends. Arc: start and end lie on the circle.
  TPoint2D start, end;
  TPoint2D center;
  double radius = 0;
  double startAngle = 0;           // arc: radians, the angle of start about the center
  double sweep = 0;                // arc: radians from start to end, positive counter-clockwise
  std::vector<TPoint2D> vertices;  // polyline

  double Length() const;
};

struct PieceFitOptions {
  double tolerance = 1.0;   // largest distance of a support point from its piece
  double shortPiece = 3.0;  // pieces shorter than this, two or more in a row, become a polyline
};

// Fits a stroke: points in order, widths per point. A closed stroke's last point is taken to
// join its first.
std::vector<StrokePiece> FitStrokePieces(const std::vector<TPoint2D>& points,
                                         const std::vector<double>& widths, bool closed,
                                         const PieceFitOptions& options);

// Makes a line piece, an arc piece or a circle piece from support points, with the fit's
// geometry; false when the support does not fit within the tolerance.
bool MakeLinePiece(std::vector<TPoint2D> support, double width, double tolerance, StrokePiece& out);
bool MakeArcPiece(std::vector<TPoint2D> support, double width, double tolerance, StrokePiece& out);

// The sweep of an arc about center through points in order, positive counter-clockwise; false
// when the points turn back by more than noise allows.
bool ArcSweep(const std::vector<TPoint2D>& points, TPoint2D center, double radius, double& sweep);

TPoint2D PointAtAngle(TPoint2D center, double radius, double angle);

// Carries an end of a line, arc or polyline on by the given length, the way it runs out.
void ExtendPieceEnd(StrokePiece& piece, int side, double length);

}  // namespace tesnova
