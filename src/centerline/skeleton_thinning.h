#pragma once
// Thinning of the ink to a skeleton one pixel wide, 8-connected, with the topology of the ink:
// pixels are peeled in order of their distance to the paper, so the skeleton runs down the
// middle of each stroke. A pixel goes only when it is simple (taking it away neither splits
// nor joins anything) and is not the end of a stroke (it has at least two ink neighbours).
#include <cstdint>
#include <vector>

#include "centerline/ink_distance.h"

namespace tesnova {

// The bit of the eight neighbours that are ink: bit 0 east, then counter-clockwise (north-east,
// north, north-west, west, south-west, south, south-east).
std::uint8_t NeighbourMask(const InkPlane& plane, std::size_t index);

// Whether a pixel with these ink neighbours is simple: its neighbours form exactly one
// 8-connected ink group and it touches exactly one 4-connected paper group.
bool IsSimplePixel(std::uint8_t neighbours);

// Thins the plane in place: every ink pixel that is not on the skeleton becomes paper, the
// skeleton keeps its distance values. Returns the indices of the skeleton pixels in raster order.
// With listDeeper, the pixels below the ink's edge are listed once (while they are at most an
// eighth of the picture) instead of each level being found by a scan of the whole plane; the
// skeleton is the same either way.
std::vector<std::uint32_t> ThinToSkeleton(InkPlane& plane, bool listDeeper = true);

}  // namespace tesnova
