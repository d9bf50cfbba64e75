#include "centerline/ink_distance.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tesnova {

namespace {

constexpr int kStraight = kInkDistanceUnit, kDiagonal = 7, kCap = kMaxInkDistance;

// Whether any of the eight bytes at p is nonzero.
bool AnyNonzero(const std::uint8_t* p) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  return w != 0;
}

// Fills the paper components of at most maxHole pixels that ink encloses (4-connected paper,
// as thinning sees paper). Every such hole has a pixel with ink to its west, where a bounded
// flood starts; a flood that grows past maxHole pixels is open paper and changes nothing.
void FillPinholes(InkPlane& plane, int maxHole) {
  if (maxHole <= 0) return;
  std::uint8_t* v = plane.values.data();
  const std::ptrdiff_t s = plane.stride();
  const std::ptrdiff_t step[4] = {1, -1, s, -s};
  std::vector<std::size_t> hole;
  for (int y = 0; y < plane.height; ++y) {
    const std::size_t rowStart = plane.Index(0, y);
    for (int x = 1; x < plane.width; ++x) {
      const std::size_t i = rowStart + x;
      if (x + 8 <= plane.width && !AnyNonzero(v + i - 1)) {  // paper: no hole starts here
        x += 7;
        continue;
      }
      if (v[i] || !v[i - 1]) continue;
      hole.assign(1, i);
      bool closed = true;
      for (std::size_t k = 0; k < hole.size() && closed; ++k) {
        const std::size_t at = hole[k];
        const int ax = plane.X(at), ay = plane.Y(at);
        if (ax <= 0 || ay <= 0 || ax >= plane.width - 1 || ay >= plane.height - 1) {
          closed = false;  // reaches the picture's edge, beyond which all is paper
          break;
        }
        for (std::ptrdiff_t d : step) {
          const std::size_t n = at + d;
          if (v[n] || std::find(hole.begin(), hole.end(), n) != hole.end()) continue;
          if (static_cast<int>(hole.size()) == maxHole) {
            closed = false;
            break;
          }
          hole.push_back(n);
        }
      }
      if (closed)
        for (std::size_t at : hole) v[at] = kCap;
    }
  }
}

}  // namespace

InkPlane MeasureInkDistance(const Bitmap& picture, int inkBelow, int maxHole) {
  return MeasureInkDistance(BlackWhiteOf(picture, BelowMeanGrey(inkBelow)), maxHole);
}

InkPlane MeasureInkDistance(const BlackWhitePicture& picture, int maxHole) {
  InkPlane plane;
  plane.width = picture.empty() ? 0 : picture.width;
  plane.height = picture.empty() ? 0 : picture.height;
  const std::ptrdiff_t stride = plane.stride();
  plane.values.assign(static_cast<std::size_t>(stride) * (plane.height + 2), 0);
  if (plane.width == 0) return plane;

  // Ink first, as the largest value; paper stays 0. A byte of the picture holds eight pixels,
  // and a zero byte eight of paper.
  for (int y = 0; y < plane.height; ++y) {
    const std::uint8_t* bits = picture.row(y);
    std::uint8_t* v = plane.values.data() + plane.Index(0, y);
    for (int x = 0; x < plane.width; x += 8, ++bits, v += 8) {
      if (*bits == 0) continue;
      const int count = std::min(8, plane.width - x);
      for (int k = 0; k < count; ++k)
        if ((*bits >> (7 - k)) & 1) v[k] = kCap;
    }
  }
  FillPinholes(plane, maxHole);

  // Forward pass: ink gets the least of its upper and left neighbours plus a step.
  for (int y = 0; y < plane.height; ++y) {
    std::uint8_t* v = plane.values.data() + plane.Index(0, y);
    for (int x = 0; x < plane.width; ++x, ++v) {
      if (x + 8 <= plane.width && !AnyNonzero(v)) {  // eight of paper
        x += 7, v += 7;
        continue;
      }
      if (!*v) continue;
      int d = std::min({static_cast<int>(*v), v[-1] + kStraight, v[-stride] + kStraight,
                        v[-stride - 1] + kDiagonal, v[-stride + 1] + kDiagonal});
      *v = static_cast<std::uint8_t>(d);
    }
  }
  // Backward pass: the lower and right neighbours.
  for (int y = plane.height - 1; y >= 0; --y) {
    std::uint8_t* v = plane.values.data() + plane.Index(plane.width - 1, y);
    for (int x = plane.width - 1; x >= 0; --x, --v) {
      // Eight values at once that are all paper or next to paper: nothing to lower.
      if (x >= 7) {
        std::uint64_t w;
        std::memcpy(&w, v - 7, sizeof w);
        constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
        if (((w + kOnes * (128 - kStraight - 1)) & (kOnes * 0x80)) == 0) {
          x -= 7, v -= 7;
          continue;
        }
      }
      if (*v <= kStraight) continue;  // paper, or ink next to paper already
      int d = std::min({static_cast<int>(*v), v[1] + kStraight, v[stride] + kStraight,
                        v[stride + 1] + kDiagonal, v[stride - 1] + kDiagonal});
      *v = static_cast<std::uint8_t>(d);
    }
  }
  return plane;
}

}  // namespace tesnova
