#pragma once
// The deskew rule: a picture placed turned by a little more than some quarter turns is turned
// back by the little, and the quarter turns are left to the insertion.
namespace tesnova {

// Reduces an angle in radians by quarter turns into -pi/4..pi/4 (both ends kept as they
// are), as many as it takes, so that an image turned by 180.2 degrees leaves 0.2 degrees.
// Angles that are not finite give 0.
double NormalizeSkewAngle(double angle);

// Skews smaller than this (radians, 0.005 degrees) are not applied.
inline constexpr double kSkewLimit = 8.726646259971648e-05;
inline constexpr double kDegreesPerRadian = 57.29577951308232;

// The turn (radians) that deskewing a picture placed at this rotation takes back: the part
// below a quarter turn, or 0 when that part is within kSkewLimit.
double SkewToTakeBack(double rotation);

}  // namespace tesnova
