#pragma once
// A uniform grid over the segments of the opposite contour, walked cell by cell along each
// normal ray, so that a ray only meets the segments near its path. It gives exactly the
// points of CastNormalRay (normal_ray.h): every candidate is tested with the same
// IntersectRaySegment and measured with the same Hypot, the nearest crossing wins and among
// equal distances the earliest segment, and the walk goes on one cell beyond the best
// crossing found so far, so that rounding near cell borders cannot drop a nearer one.
#include <cstdint>
#include <vector>

#include "centerline/polyline.h"

namespace tesnova {

class CenterlineIndex {
 public:
  // The index refers to opposite, which must outlive it.
  explicit CenterlineIndex(const Polyline& opposite);

  TPoint2D CastNormalRay(TPoint2D p, TPoint2D n) const;

 private:
  const Polyline& opposite_;
  bool usable_ = false;  // false: too few segments or coordinates that are not finite
  double minX_ = 0, minY_ = 0, cell_ = 1;
  int nx_ = 0, ny_ = 0;
  std::vector<std::uint32_t> cellStart_;  // nx_ * ny_ + 1 offsets into segments_
  std::vector<std::uint32_t> segments_;   // segment numbers per cell, ascending
};

// One midpoint per base point, as ComputeCenterlineNormalDirect, through CenterlineIndex.
Polyline ComputeCenterlineNormal(const Polyline& base, const Polyline& opposite);

}  // namespace tesnova
