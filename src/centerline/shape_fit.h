#pragma once
// Least-squares lines and circles through runs of points, and how far the points stray from
// them. RunFitter keeps running sums so that any run of a point list is fitted in constant time
// before its points are checked one by one.
#include <cstddef>
#include <vector>

#include "vector/point_types.h"

namespace tesnova {

// How far points stray from a fitted shape: the farthest, and the farthest once the worst
// twentieth is set aside (a speck of noise on a stroke's edge bends the skeleton locally).
struct Deviation {
  double max = 0;
  double most = 0;
  // Within the tolerance: nineteen points in twenty within it, none beyond twice it.
  bool Within(double tolerance) const { return most <= tolerance && max <= 2 * tolerance; }
};

struct LineFit {
  TPoint2D point;      // the centroid
  TPoint2D direction;  // unit length
  Deviation deviation;
};

struct CircleFit {
  TPoint2D center;
  double radius = 0;
  Deviation deviation;
  bool ok = false;  // false for points on a line, where no circle is defined
};

// Total least squares: the line that makes the squared distances least.
LineFit FitLine(const TPoint2D* points, std::size_t count);

// The circle that makes the squared distances to its rim least (an algebraic fit, then a few
// Gauss-Newton steps on the distances themselves).
CircleFit FitCircle(const TPoint2D* points, std::size_t count);

Deviation LineDeviation(const TPoint2D* points, std::size_t count, const LineFit& line);
Deviation CircleDeviation(const TPoint2D* points, std::size_t count, TPoint2D center,
                          double radius);

// The projection of p onto the line.
TPoint2D ProjectOnLine(const LineFit& line, TPoint2D p);

// Fits over runs [first, last] of one point list.
class RunFitter {
 public:
  explicit RunFitter(const std::vector<TPoint2D>& points);
  LineFit Line(std::size_t first, std::size_t last) const;
  // The algebraic circle from the sums, refined on the points when it is close to fitting.
  CircleFit Circle(std::size_t first, std::size_t last, double tolerance) const;

 private:
  struct Sums {
    double n = 0, x = 0, y = 0, xx = 0, xy = 0, yy = 0, xxx = 0, xxy = 0, xyy = 0, yyy = 0;
  };
  Sums Range(std::size_t first, std::size_t last) const;
  const std::vector<TPoint2D>& points_;
  TPoint2D origin_;
  std::vector<Sums> prefix_;
};

}  // namespace tesnova
