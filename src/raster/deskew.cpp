#include "raster/deskew.h"

#include <cmath>
#include <numbers>

namespace tesnova {

double NormalizeSkewAngle(double angle) {
  if (!std::isfinite(angle)) return 0;
  constexpr double kQuarter = std::numbers::pi / 2, kEighth = std::numbers::pi / 4;
  // Whole turns first, so that no angle takes more than a few steps.
  if (std::abs(angle) > 2 * std::numbers::pi) angle = std::fmod(angle, 2 * std::numbers::pi);
  while (angle > kEighth) angle -= kQuarter;
  while (angle < -kEighth) angle += kQuarter;
  return angle;
}

double SkewToTakeBack(double rotation) {
  const double skew = NormalizeSkewAngle(rotation);
  return std::abs(skew) > kSkewLimit ? skew : 0;
}

}  // namespace tesnova
