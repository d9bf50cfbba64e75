#include "support/centerline_ring.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "base/text_file.h"
#include "raster/bmp_file.h"
#include "tools/centerline_bench.h"

namespace tesnova::testing {

Bitmap ThickRing(int size, double inner, double outer) {
  Bitmap bitmap(size, size);
  const double c = size / 2.0;
  for (int y = 0; y < size; ++y)
    for (int x = 0; x < size; ++x) {
      double r = std::hypot(x + 0.5 - c, y + 0.5 - c);
      if (r >= inner && r <= outer) std::fill_n(bitmap.at(x, y), 3, 0);
    }
  return bitmap;
}

Polyline ReadDxfVertices(const std::filesystem::path& file) {
  std::vector<std::string> lines = ReadTextLines(file);
  Polyline points;
  for (size_t i = 0; i + 5 < lines.size(); ++i)
    if (lines[i] == "0" && lines[i + 1] == "VERTEX" && lines[i + 2] == "10" && lines[i + 4] == "20")
      points.push_back(
          {std::strtod(lines[i + 3].c_str(), nullptr), std::strtod(lines[i + 5].c_str(), nullptr)});
  return points;
}

void ExpectRingCenterline(Processes& processes, const std::string& potrace,
                          const std::filesystem::path& folder) {
  std::filesystem::create_directories(folder);
  WriteBmp24(folder / "tesnova.bmp", ThickRing(260, 100, 120));
  std::vector<std::string> notices;
  ASSERT_TRUE(RunCenterlinePipeline(
      potrace, PathToUtf8(folder / "tesnova.bmp"), PathToUtf8(folder / "tesnova.dxf"),
      [&](std::string_view text) { notices.emplace_back(text); }, processes));
  EXPECT_EQ(notices.size(), 12u);
  EXPECT_EQ(notices.at(4), "paths=2");
  Polyline centerline = ReadDxfVertices(folder / "tesnova.dxf");
  ASSERT_GE(centerline.size(), 20u);
  double worst = 0;
  for (const TPoint2D& p : centerline)
    worst = std::max(worst, std::fabs(std::hypot(p.X - 130, p.Y - 130) - 110));
  EXPECT_LE(worst, 0.5);
  // All the way round: the polyline ends where it began.
  EXPECT_LT(std::hypot(centerline.front().X - centerline.back().X,
                       centerline.front().Y - centerline.back().Y),
            3.0);
}

}  // namespace tesnova::testing
