#include "centerline/polyline.h"

#include <cmath>

namespace tesnova {

double Hypot(double dx, double dy) {
  double a = std::fabs(dx);
  double b = std::fabs(dy);
  double big = a > b ? a : b;
  double small = a > b ? b : a;
  if (big == 0) return 0;
  double q = small / big;
  return big * std::sqrt(1 + q * q);
}

}  // namespace tesnova
