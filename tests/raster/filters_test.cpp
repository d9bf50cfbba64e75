#include "raster/filters.h"

#include <gtest/gtest.h>

#include <cstring>

#include "support/pictures.h"

namespace tesnova {
namespace {

Bitmap WithPixel(int w, int h, std::uint8_t background, int x, int y, std::uint8_t value) {
  Bitmap b(w, h, background);
  b.at(x, y)[0] = b.at(x, y)[1] = b.at(x, y)[2] = value;
  return b;
}

TEST(MedianFilter, RemovesLoneDotsAndThinLinesPerChannel) {
  Bitmap dot = WithPixel(5, 5, 255, 2, 2, 0);
  MedianFilter3x3(dot);
  EXPECT_EQ(dot, Bitmap(5, 5, 255));

  Bitmap line(7, 5, 255);
  for (int x = 0; x < 7; ++x) line.at(x, 2)[0] = line.at(x, 2)[1] = line.at(x, 2)[2] = 0;
  MedianFilter3x3(line);
  for (int x = 1; x < 6; ++x) EXPECT_EQ(line.at(x, 2)[1], 255) << x;
  EXPECT_EQ(line.at(0, 2)[1], 0);  // border column kept

  // Channels are filtered on their own: blue from one neighbour, red from another.
  Bitmap mixed(3, 3, 0);
  for (int i = 0; i < 5; ++i) mixed.pixels[3 * i] = 200;      // blue high in five pixels
  for (int i = 4; i < 9; ++i) mixed.pixels[3 * i + 2] = 100;  // red high in five others
  MedianFilter3x3(mixed);
  EXPECT_EQ(mixed.at(1, 1)[0], 200);
  EXPECT_EQ(mixed.at(1, 1)[1], 0);
  EXPECT_EQ(mixed.at(1, 1)[2], 100);
}

TEST(GaussianFilter, SpreadsAWhitePixelByTheWeights) {
  Bitmap b = WithPixel(5, 5, 0, 2, 2, 255);
  GaussianFilter3x3(b);
  const int expected[3][3] = {{15, 31, 15}, {31, 63, 31}, {15, 31, 15}};
  for (int dy = -1; dy <= 1; ++dy)
    for (int dx = -1; dx <= 1; ++dx)
      for (int c = 0; c < 3; ++c)
        EXPECT_EQ(b.at(2 + dx, 2 + dy)[c], expected[dy + 1][dx + 1]) << dx << "," << dy;
}

TEST(Filters, KeepBordersAndSmallOrEmptyBitmaps) {
  for (auto filter : {MedianFilter3x3, GaussianFilter3x3}) {
    const Bitmap original = testing::RandomBitmap(9, 6, 3);
    Bitmap b = original;
    filter(b);
    for (int x = 0; x < 9; ++x)
      for (int y : {0, 5}) EXPECT_EQ(0, std::memcmp(b.at(x, y), original.at(x, y), 3));
    for (int y = 0; y < 6; ++y)
      for (int x : {0, 8}) EXPECT_EQ(0, std::memcmp(b.at(x, y), original.at(x, y), 3));
    EXPECT_NE(b, original);

    for (auto [w, h] : {std::pair{2, 2}, {1, 7}, {7, 2}, {0, 0}}) {
      const Bitmap small = testing::RandomBitmap(w, h, 5);
      Bitmap copy = small;
      filter(copy);
      EXPECT_EQ(copy, small) << w << "x" << h;
    }
  }
}

}  // namespace
}  // namespace tesnova
