#pragma once
// The point types that the vector code shares.
#include <cfloat>
#include <cmath>
#include <vector>

namespace tesnova {

// A point of an SVG path or a DXF polyline, in single precision.
struct TPointF {
  float X = 0;
  float Y = 0;
  friend bool operator==(const TPointF&, const TPointF&) = default;
};

// A point of the centerline geometry, in double precision.
struct TPoint2D {
  double X = 0;
  double Y = 0;
  friend bool operator==(const TPoint2D&, const TPoint2D&) = default;
};

static_assert(sizeof(TPointF) == 8 && sizeof(TPoint2D) == 16);

// An ordered, growable list of points; items are only appended and replaced.
using TPointList = std::vector<TPointF>;

// A double rounded to single precision, as every stored coordinate is; values beyond the single
// range become infinite (a plain conversion would be undefined there).
inline float RoundToSingle(double v) {
  constexpr double kOverflow = 3.4028235677973366e38;  // FLT_MAX plus half a unit in the last place
  if (std::fabs(v) <= FLT_MAX) return static_cast<float>(v);  // nearly always
  if (v >= kOverflow) return INFINITY;
  if (v <= -kOverflow) return -INFINITY;
  if (v > FLT_MAX) return FLT_MAX;
  if (v < -FLT_MAX) return -FLT_MAX;
  return static_cast<float>(v);
}

}  // namespace tesnova
