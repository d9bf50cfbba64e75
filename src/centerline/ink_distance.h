#pragma once
// The ink of a picture as one byte per pixel: 0 for paper, otherwise the ink pixel's chamfer
// distance to the nearest paper pixel in fifths of a pixel (steps of 5 along rows and columns,
// 7 diagonally), capped at kMaxInkDistance. Pixels beyond the picture count as paper, so the
// plane carries a one-pixel paper frame and neighbours never need a bounds check.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "raster/bitmap.h"
#include "raster/black_white_picture.h"

namespace tesnova {

inline constexpr int kInkDistanceUnit = 5;   // distance values per pixel
inline constexpr int kMaxInkDistance = 127;  // the top bit stays free for marks

struct InkPlane {
  int width = 0;  // the picture's size; the plane is (width + 2) x (height + 2)
  int height = 0;
  std::vector<std::uint8_t> values;

  std::ptrdiff_t stride() const { return width + 2; }
  std::size_t Index(int x, int y) const {
    return static_cast<std::size_t>(y + 1) * stride() + static_cast<std::size_t>(x + 1);
  }
  int X(std::size_t index) const { return static_cast<int>(index % stride()) - 1; }
  int Y(std::size_t index) const { return static_cast<int>(index / stride()) - 1; }
  std::uint8_t& at(int x, int y) { return values[Index(x, y)]; }
  std::uint8_t at(int x, int y) const { return values[Index(x, y)]; }
};

// Ink is a pixel whose mean grey is below inkBelow (128 takes the two colours of a monochrome
// picture apart, as the PBM export does). Holes in the ink of at most maxHole pixels (specks of
// paper that a scan leaves inside thick or merged strokes) count as ink.
InkPlane MeasureInkDistance(const Bitmap& picture, int inkBelow = 128, int maxHole = 0);
// The same with the black of a black-and-white picture for ink.
InkPlane MeasureInkDistance(const BlackWhitePicture& ink, int maxHole = 0);

// The half-width of a stroke, in pixels, whose middle pixel has this distance value: the
// distance to the nearest paper pixel's centre less half a pixel (a one-pixel line gives 0.5).
inline double HalfWidthOf(int distance) {
  double h = static_cast<double>(distance) / kInkDistanceUnit - 0.5;
  return h < 0.5 ? 0.5 : h;
}

}  // namespace tesnova
