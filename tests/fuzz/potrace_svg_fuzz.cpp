// Potrace SVG reader on arbitrary bytes: no crash, no hang, errors only of the number kind;
// and on the contours read, the grid-indexed centerline must equal the plain one bit for bit.
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "base/error.h"
#include "base/text_file.h"
#include "centerline/centerline_index.h"
#include "centerline/normal_ray.h"
#include "centerline/path_commands.h"
#include "centerline/resample.h"
#include "centerline/svg_contour_reader.h"

using namespace tesnova;

namespace {

// Short enough to resample at step 1 and search the plain way quickly.
bool Small(const Polyline& polyline) {
  double length = 0;
  for (size_t i = 0; i + 1 < polyline.size(); ++i)
    length += Hypot(polyline[i + 1].X - polyline[i].X, polyline[i + 1].Y - polyline[i].Y);
  return length <= 1500;  // also false when not a number
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size > 20000) return 0;
  std::string text(reinterpret_cast<const char*>(data), size);
  ContourList contours;
  try {
    ReadSVGHeader(SplitLines(text));
    for (const std::string& pathData : ExtractPathData(SplitLines(text)))
      for (const auto& subpath : SplitSubpaths(ParsePathCommands(pathData)))
        contours.push_back(PathCommandsToPolyline(subpath));
  } catch (const ConversionError&) {
    return 0;
  }
  for (size_t i = 0; i + 1 < contours.size() && i < 4; ++i) {
    if (!Small(contours[i]) || !Small(contours[i + 1])) continue;
    const Polyline base = ResamplePolyline(contours[i], 1.0);
    const Polyline opposite = ResamplePolyline(contours[i + 1], 1.0);
    const Polyline direct = ComputeCenterlineNormalDirect(base, opposite);
    const Polyline fast = ComputeCenterlineNormal(base, opposite);
    if (fast.size() != direct.size() ||
        (!fast.empty() &&
         std::memcmp(fast.data(), direct.data(), fast.size() * sizeof(TPoint2D)) != 0))
      std::abort();
  }
  return 0;
}
