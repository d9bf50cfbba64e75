#pragma once
// The centerline between two facing contours: from every point of the base contour a ray
// along its left normal (y up) to the nearest crossing with the opposite contour; the
// centerline point is the midpoint. This is the plain version that tests every segment;
// CenterlineIndex (centerline_index.h) gives the same points faster.
#include <optional>

#include "centerline/polyline.h"

namespace tesnova {

// (next - prev) / length around point i (one-sided at the ends); (0, 0) when of no length.
TPoint2D UnitTangent(const Polyline& polyline, size_t i);

// v turned a quarter turn counter-clockwise (y up): (-v.Y, v.X).
TPoint2D NormalOf(TPoint2D v);

// p + k v.
TPoint2D OffsetPoint(TPoint2D p, TPoint2D v, double k);

// Where the ray from p through f (not limited at f) meets the segment a-b, both ends of
// the segment included; nothing when they are parallel or either has no length.
std::optional<TPoint2D> IntersectRaySegment(TPoint2D p, TPoint2D f, TPoint2D a, TPoint2D b);

// How far along the ray direction a ray is cast.
inline constexpr double kRayDirectionFactor = 1000;

// The nearest crossing of the ray from p along n with the segments of opposite (not joined
// back to its start); among crossings at equal distance the earliest segment wins. p itself
// when there is none.
TPoint2D CastNormalRay(TPoint2D p, TPoint2D n, const Polyline& opposite);

// One midpoint per base point, testing every base ray against every opposite segment.
Polyline ComputeCenterlineNormalDirect(const Polyline& base, const Polyline& opposite);

}  // namespace tesnova
