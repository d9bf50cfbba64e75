#include "centerline/skeleton_thinning.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

namespace tesnova {
namespace {

// Neighbour offsets in mask bit order, for a plane of the given stride.
std::array<std::ptrdiff_t, 8> Offsets(std::ptrdiff_t s) {
  return {1, -s + 1, -s, -s - 1, -1, s - 1, s, s + 1};
}

// The simple-pixel test for every neighbour mask, worked out once by counting groups.
std::array<bool, 256> MakeSimpleTable() {
  std::array<bool, 256> table{};
  // Ring positions in bit order as (dx, dy); bits 0, 2, 4, 6 are the 4-neighbours.
  constexpr int dx[8] = {1, 1, 0, -1, -1, -1, 0, 1};
  constexpr int dy[8] = {0, -1, -1, -1, 0, 1, 1, 1};
  for (int mask = 0; mask < 256; ++mask) {
    auto ink = [&](int i) { return (mask >> i) & 1; };
    auto adjacent = [&](int i, int j, bool eight) {
      int ddx = std::abs(dx[i] - dx[j]), ddy = std::abs(dy[i] - dy[j]);
      return eight ? (ddx <= 1 && ddy <= 1) : (ddx + ddy == 1);
    };
    // Groups of ink neighbours under 8-adjacency, and of paper neighbours under 4-adjacency
    // that touch the centre's 4-neighbours.
    auto groups = [&](bool wantInk, bool eight, bool onlyTouchingCentre) {
      int label[8];
      std::fill(label, label + 8, -1);
      int count = 0;
      for (int i = 0; i < 8; ++i) {
        if (ink(i) != wantInk || label[i] >= 0) continue;
        int stack[8], top = 0;
        stack[top++] = i;
        label[i] = count;
        bool touches = (i % 2) == 0;
        while (top) {
          int k = stack[--top];
          for (int j = 0; j < 8; ++j)
            if (ink(j) == wantInk && label[j] < 0 && adjacent(k, j, eight)) {
              label[j] = count;
              touches |= (j % 2) == 0;
              stack[top++] = j;
            }
        }
        if (!onlyTouchingCentre || touches) ++count;
      }
      return count;
    };
    table[mask] = groups(true, true, false) == 1 && groups(false, false, true) == 1;
  }
  return table;
}

const std::array<bool, 256>& SimpleTable() {
  static const std::array<bool, 256> table = MakeSimpleTable();
  return table;
}

std::uint8_t MaskAt(const std::uint8_t* p, const std::array<std::ptrdiff_t, 8>& off) {
  std::uint8_t m = 0;
  for (int i = 0; i < 8; ++i) m |= static_cast<std::uint8_t>((p[off[i]] != 0) << i);
  return m;
}

bool Removable(const std::uint8_t* p, const std::array<std::ptrdiff_t, 8>& off,
               const std::array<bool, 256>& simple) {
  std::uint8_t m = MaskAt(p, off);
  return simple[m] && std::popcount(m) >= 2;
}

// Whether any of the eight bytes at p is at least d (1..127; bytes hold at most 127): adding
// 128 - d to each byte sets its top bit exactly when it was at least d, with no carry across.
bool AnyAtLeast(const std::uint8_t* p, int d) {
  std::uint64_t w;
  std::memcpy(&w, p, sizeof w);
  constexpr std::uint64_t kOnes = 0x0101010101010101ULL;
  return ((w + kOnes * static_cast<std::uint64_t>(128 - d)) & (kOnes * 0x80)) != 0;
}

// Peels the given pixels (indices into v) until none can go: four passes per round, one per
// side (north, south, east, west), each taking away at once every pixel that has paper on that
// side, is simple and is no end. Deciding a whole side on the picture as it was keeps a strip
// two pixels wide from being eaten along its length, as a pass in scan order would; taking away
// simple non-end border pixels of one side together preserves the topology (Rosenfeld).
// The pixels that stay are left in the list. With onlyLevel, pixels of other levels are left
// alone.
void PeelBySides(std::uint8_t* v, const std::array<std::ptrdiff_t, 8>& off,
                 const std::array<bool, 256>& simple, std::vector<std::uint32_t>& pixels,
                 int onlyLevel) {
  constexpr int kSides[4] = {2, 6, 0, 4};  // mask bits of north, south, east, west
  constexpr std::uint8_t kQueued = 0x80;
  // The first round looks at every pixel; a later one only at those next to a pixel that the
  // round before took away, as nothing else can have changed.
  std::vector<std::uint32_t> work = pixels, going, gone, next;
  while (!work.empty()) {
    gone.clear();
    for (int side : kSides) {
      going.clear();
      for (std::uint32_t i : work)
        if (v[i] && v[i + off[side]] == 0 && Removable(v + i, off, simple)) going.push_back(i);
      for (std::uint32_t i : going) v[i] = 0;
      gone.insert(gone.end(), going.begin(), going.end());
    }
    next.clear();
    for (std::uint32_t i : gone)
      for (std::ptrdiff_t o : off) {
        std::uint8_t& n = v[i + o];
        if (n && !(n & kQueued) && (onlyLevel == 0 || n == onlyLevel)) {
          n |= kQueued;
          next.push_back(static_cast<std::uint32_t>(i + o));
        }
      }
    for (std::uint32_t i : next) v[i] &= static_cast<std::uint8_t>(~kQueued);
    work.swap(next);
  }
  std::size_t n = 0;
  for (std::uint32_t i : pixels)
    if (v[i]) pixels[n++] = i;
  pixels.resize(n);
}

}  // namespace

std::uint8_t NeighbourMask(const InkPlane& plane, std::size_t index) {
  return MaskAt(plane.values.data() + index, Offsets(plane.stride()));
}

bool IsSimplePixel(std::uint8_t neighbours) { return SimpleTable()[neighbours]; }

std::vector<std::uint32_t> ThinToSkeleton(InkPlane& plane, bool listDeeper) {
  std::vector<std::uint32_t> skeleton;
  if (plane.width == 0 || plane.height == 0) return skeleton;
  const auto off = Offsets(plane.stride());
  const auto& simple = SimpleTable();
  std::uint8_t* v = plane.values.data();

  // Which levels occur, and per row the columns that still hold pixels above the last level.
  // The pixels deeper than the edge of the ink are listed too, while they are few (at most a
  // byte's worth of memory for every two pixels of the picture): the levels below the first are
  // then taken from the list instead of from a scan of the whole plane each.
  std::array<bool, 256> present{};
  const std::size_t deeperBudget = listDeeper ? static_cast<std::size_t>(plane.width) *
                                                    static_cast<std::size_t>(plane.height) / 8
                                              : 0;
  std::vector<std::uint32_t> deeper;
  bool listed = true;
  std::vector<int> lo(plane.height, plane.width), hi(plane.height, -1);
  for (int y = 0; y < plane.height; ++y) {
    const std::uint8_t* row = v + plane.Index(0, y);
    for (int x = 0; x < plane.width; ++x) {
      if (x + 8 <= plane.width && !AnyAtLeast(row + x, 1)) {
        x += 7;
        continue;
      }
      if (row[x]) {
        present[row[x]] = true;
        lo[y] = std::min(lo[y], x);
        hi[y] = x;
        if (row[x] > kInkDistanceUnit && deeper.size() < deeperBudget)
          deeper.push_back(static_cast<std::uint32_t>(row + x - v));
        else if (row[x] > kInkDistanceUnit)
          listed = false;
      }
    }
  }
  if (!listed) std::vector<std::uint32_t>().swap(deeper);

  // Each level is peeled a band of rows at a time, so that the pixels a band's passes look at
  // stay in the cache. (Every pass still takes away pixels of one side together, so the
  // topology holds; pixels beside a band that a pass reaches are just looked at early.)
  constexpr int kBand = 32;
  std::vector<std::uint32_t> level;
  for (int d = 1; d <= kMaxInkDistance; ++d) {
    if (!present[d]) continue;
    const bool fromList = listed && d > kInkDistanceUnit;
    std::size_t next = 0;  // in the list: the first entry not yet looked at for this level
    for (int top = 0; top < plane.height; top += kBand) {
      level.clear();
      if (fromList) {
        // The list's pixels of this level in the band.
        const std::size_t end = plane.Index(0, std::min(plane.height, top + kBand));
        for (; next < deeper.size() && deeper[next] < end; ++next)
          if (v[deeper[next]] == d) level.push_back(deeper[next]);
      }
      // Or the pixels of this level in the band by a scan; the row ranges shrink to what lies
      // deeper.
      for (int y = top; !fromList && y < std::min(plane.height, top + kBand); ++y) {
        if (lo[y] > hi[y]) continue;
        std::uint8_t* row = v + plane.Index(0, y);
        int first = plane.width, last = -1;
        for (int x = lo[y]; x <= hi[y]; ++x) {
          // Most of a drawing is paper or shallower ink: skip eight bytes at a time while
          // none of them reaches this level (the same as testing them one by one).
          if (x + 8 <= hi[y] + 1 && !AnyAtLeast(row + x, d)) {
            x += 7;
            continue;
          }
          if (row[x] > d) {
            first = std::min(first, x);
            last = x;
          } else if (row[x] == d) {
            level.push_back(static_cast<std::uint32_t>(row + x - v));
          }
        }
        lo[y] = first;
        hi[y] = last;
      }
      if (level.empty()) continue;
      if (d == kMaxInkDistance) {
        // The core of a blot at least 50 pixels across, reported as a filled area anyway:
        // one sweep in scan order, which collapses it at once instead of ring by ring.
        std::size_t n = 0;
        for (std::uint32_t i : level)
          if (Removable(v + i, off, simple))
            v[i] = 0;
          else
            level[n++] = i;
        level.resize(n);
      }
      PeelBySides(v, off, simple, level, d);
      skeleton.insert(skeleton.end(), level.begin(), level.end());
    }
    if (fromList)  // what this level looked at is done with
      deeper.erase(
          std::remove_if(deeper.begin(), deeper.end(), [&](std::uint32_t i) { return v[i] <= d; }),
          deeper.end());
  }

  // Pixels kept at a lower level may have become removable once their neighbours went.
  PeelBySides(v, off, simple, skeleton, 0);
  std::sort(skeleton.begin(), skeleton.end());
  return skeleton;
}

}  // namespace tesnova
