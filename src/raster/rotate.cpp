#include "raster/rotate.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <utility>

#include "raster/raster_kernels.h"

namespace tesnova {

Bitmap RotateBitmap(const Bitmap& source, double angle) {
  Bitmap result(std::max(source.width, 0), std::max(source.height, 0), 255);
  if (result.empty()) return result;
  if (angle == 0) return source;
  kernels::FastKernels().rotate(source, result, angle, 0);
  return result;
}

void RotateBitmapInPlace(Bitmap& bitmap, double angle) {
  if (bitmap.empty() || angle == 0) return;
  // Result row y reads the source rows y + lowest .. y + highest: the sample position is
  // linear in x and y, so the corners bound the offsets (one row of margin either side).
  const kernels::Rotation turn(bitmap, angle);
  std::int64_t lowest = 0, highest = 0;
  bool first = true;
  for (int y : {0, bitmap.height - 1})
    for (int x : {0, bitmap.width - 1}) {
      const std::int64_t offset = ((turn.RowV(y) + x * turn.dv) >> 32) - y;
      lowest = first ? offset : std::min(lowest, offset);
      highest = first ? offset : std::max(highest, offset);
      first = false;
    }
  lowest -= 1;
  // Result rows are made in stripes and held until no later row reads the source rows they
  // replace; past an eighth of the picture held, one whole result is as good.
  constexpr int kStripe = 32;
  const std::int64_t held = std::max<std::int64_t>(0, -lowest) + 2 * kStripe;
  if (held * 8 > bitmap.height) {
    bitmap = RotateBitmap(bitmap, angle);
    return;
  }
  const kernels::Kernels& set = kernels::FastKernels();
  std::deque<std::pair<int, Bitmap>> pending;  // first row and the rows made
  std::vector<Bitmap> spare;
  for (int top = 0; top < bitmap.height; top += kStripe) {
    const int rows = std::min(kStripe, bitmap.height - top);
    Bitmap stripe;
    if (!spare.empty() && spare.back().height == rows) {
      stripe = std::move(spare.back());
      spare.pop_back();
    } else {
      stripe = Bitmap(bitmap.width, rows);
    }
    set.rotate(bitmap, stripe, angle, top);
    pending.emplace_back(top, std::move(stripe));
    const int next = top + rows;  // the first row still to make
    while (!pending.empty() &&
           (next == bitmap.height ||
            pending.front().first + pending.front().second.height <= next + lowest)) {
      const auto& [at, made] = pending.front();
      std::memcpy(bitmap.row(at), made.pixels.data(), made.pixels.size());
      spare.push_back(std::move(pending.front().second));
      pending.pop_front();
    }
  }
}

}  // namespace tesnova
