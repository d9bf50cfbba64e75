#pragma once
// Grey levels, thresholds, binarisation and rotation of the work bitmap.
#include <cstdint>
#include <string>
#include <string_view>

#include "raster/bitmap.h"

namespace tesnova {

// The two grey rules, integer arithmetic on the byte values; both give 0..255.
inline int MeanGrey(int blue, int green, int red) { return (blue + green + red) / 3; }
inline int Luminance(int blue, int green, int red) {
  return (30 * red + 59 * green + 11 * blue) / 100;
}

// The threshold by Otsu's method on the mean grey; 0 for an empty bitmap. The lowest level
// wins among equal maxima, so a picture of two levels g1 < g2 gives g1.
int OtsuThreshold(const Bitmap& bitmap);

// Pixels whose mean grey is at least OtsuThreshold become white, the others black.
void BinarizeOtsu(Bitmap& bitmap);

// Pixels whose luminance is at least the threshold become white, the others black.
void BinarizeByThreshold(Bitmap& bitmap, std::uint8_t threshold);

// The threshold that a threshold field's text gives: its integer value, 200 when it holds no
// integer, limited to 1..254.
int ThresholdFromText(std::string_view text);

// The monochrome step: with autoThreshold the text first becomes the Otsu threshold in
// decimal; then the bitmap is binarised by the luminance against ThresholdFromText(text).
void MakeMonochrome(Bitmap& bitmap, bool autoThreshold, std::string& thresholdText);

// Reduces an angle in radians by quarter turns into -pi/4..pi/4 (both ends kept as they
// are), as many as it takes, so that an image turned by 180.2 degrees leaves 0.2 degrees.
// Angles that are not finite give 0.
double NormalizeSkewAngle(double angle);

// The bitmap turned by the angle (radians; positive turns clockwise on the screen) about its
// bottom-left corner, onto a white canvas of the same size, with bilinear resampling. Canvas
// areas the turned picture does not cover stay white; an angle of 0 gives an exact copy.
Bitmap RotateBitmap(const Bitmap& source, double angle);

// Skews smaller than this (radians, 0.005 degrees) are not applied.
inline constexpr double kSkewLimit = 8.726646259971648e-05;
inline constexpr double kDegreesPerRadian = 57.29577951308232;

struct DeskewResult {
  bool turned = false;           // whether the picture was turned
  double skew = 0;               // the reduced angle in radians
  double insertionRotation = 0;  // degrees, for the later insertion of the traced DXF
};

// The deskew step of the image pick. entityRotation is the image entity's rotation in
// radians, topoDeg the same in degrees. When deskewing is asked for and the rotation's part
// below a quarter turn exceeds kSkewLimit, the picture is replaced by itself turned back by
// that part (counter-clockwise on the screen, as the CAD program shows it) and the insertion
// rotation keeps only the rest; otherwise the picture stays and the rotation is topoDeg.
DeskewResult DeskewPicture(Bitmap& picture, double entityRotation, bool deskew, double topoDeg);

}  // namespace tesnova
