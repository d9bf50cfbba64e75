#include "raster/rotate.h"

#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <utility>

namespace tesnova {
namespace {

constexpr double kDegree = std::numbers::pi / 180;

// The centre of the dark pixels, weighted by their darkness.
std::pair<double, double> DarkCentre(const Bitmap& b) {
  double sx = 0, sy = 0, total = 0;
  for (int y = 0; y < b.height; ++y)
    for (int x = 0; x < b.width; ++x) {
      const double w = 255 - b.at(x, y)[1];
      sx += w * (x + 0.5);
      sy += w * (y + 0.5);
      total += w;
    }
  return {sx / total, sy / total};
}

TEST(RotateBitmap, TurnsClockwiseAboutTheBottomLeftCorner) {
  // A dark 3 x 3 block centred at (80.5, 20.5) moves as the turn about (0, H) says.
  const int w = 101, h = 61;
  Bitmap b(w, h, 255);
  for (int y = 19; y <= 21; ++y)
    for (int x = 79; x <= 81; ++x) b.at(x, y)[1] = 0;
  for (double degrees : {10.0, -7.0, 0.3}) {
    const double a = degrees * kDegree;
    const auto [cx, cy] = DarkCentre(RotateBitmap(b, a));
    const double px = 80.5, py = 20.5 - h;
    EXPECT_NEAR(cx, px * std::cos(a) - py * std::sin(a), 0.05) << degrees;
    EXPECT_NEAR(cy, px * std::sin(a) + py * std::cos(a) + h, 0.05) << degrees;
  }
}

TEST(RotateBitmap, LeavesWhiteWedgesAndKeepsFlatColour) {
  const Bitmap source(200, 100, 40);
  const Bitmap turned = RotateBitmap(source, 2 * kDegree);
  auto grey = [&](int x, int y) { return turned.at(x, y)[0]; };
  EXPECT_EQ(grey(2, 97), 40);    // near the corner, which stays
  EXPECT_EQ(grey(100, 50), 40);  // flat colour stays exact
  EXPECT_EQ(grey(199, 3), 255);  // top edge: wide at the right,
  EXPECT_EQ(grey(199, 12), 40);
  EXPECT_EQ(grey(10, 3), 40);  // narrow at the left
  EXPECT_EQ(grey(0, 5), 255);  // left edge: wide at the top,
  EXPECT_EQ(grey(3, 95), 40);  // narrow at the bottom
  EXPECT_EQ(RotateBitmap(source, 0), source);
  EXPECT_EQ(RotateBitmap(source, 1e-12), source);  // below single precision degrees
  EXPECT_TRUE(RotateBitmap(Bitmap(), 0.3).empty());
}

TEST(RotateBitmap, InPlaceGivesTheSameBytes) {
  // Small turns go by stripes held back until their source rows are read; a steep one, or a
  // picture too low for stripes, makes a whole result.
  for (auto [w, h] : {std::pair{700, 900}, {90, 64}, {5, 3}}) {
    Bitmap picture(w, h);
    std::uint32_t state = static_cast<std::uint32_t>(w);
    for (std::uint8_t& byte : picture.pixels) {
      state = state * 1664525 + 1013904223;
      byte = static_cast<std::uint8_t>(state >> 24);
    }
    for (double degrees : {0.3, -0.3, 1.0, -2.5, 17.0, 0.0}) {
      Bitmap turned = picture;
      RotateBitmapInPlace(turned, degrees * kDegree);
      EXPECT_TRUE(turned == RotateBitmap(picture, degrees * kDegree))
          << w << "x" << h << " " << degrees;
    }
  }
}

}  // namespace
}  // namespace tesnova
