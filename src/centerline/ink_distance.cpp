#include "centerline/ink_distance.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace tesnova {

InkPlane MeasureInkDistance(const Bitmap& picture, int inkBelow) {
  InkPlane plane;
  plane.width = picture.empty() ? 0 : picture.width;
  plane.height = picture.empty() ? 0 : picture.height;
  const std::ptrdiff_t stride = plane.stride();
  plane.values.assign(static_cast<std::size_t>(stride) * (plane.height + 2), 0);
  if (plane.width == 0) return plane;
  constexpr int kStraight = kInkDistanceUnit, kDiagonal = 7, kCap = kMaxInkDistance;

  // Forward pass: ink gets the least of its upper and left neighbours plus a step.
  constexpr int kRun = 16;  // pixels looked at together on paper
  for (int y = 0; y < plane.height; ++y) {
    const std::uint8_t* px = picture.row(y);
    std::uint8_t* v = plane.values.data() + plane.Index(0, y);
    for (int x = 0; x < plane.width; ++x, px += 3, ++v) {
      // A run of pixels none of whose bytes is below inkBelow is paper (its plane values stay
      // 0); the least byte of a run is a loop the compiler vectorises.
      if (x % kRun == 0 && x + kRun <= plane.width && inkBelow <= 256) {
        std::uint8_t least = 255;
        for (int k = 0; k < 3 * kRun; ++k) least = std::min(least, px[k]);
        if (least >= inkBelow) {
          x += kRun - 1, px += 3 * (kRun - 1), v += kRun - 1;
          continue;
        }
      }
      if ((px[0] + px[1] + px[2]) >= 3 * inkBelow) continue;  // mean grey >= inkBelow
      int d = std::min({v[-1] + kStraight, v[-stride] + kStraight, v[-stride - 1] + kDiagonal,
                        v[-stride + 1] + kDiagonal});
      *v = static_cast<std::uint8_t>(std::min(d, kCap));
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
