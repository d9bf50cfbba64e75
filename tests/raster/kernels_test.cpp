#include <gtest/gtest.h>

#include <numbers>
#include <vector>

#include "raster/picture.h"
#include "raster/raster_kernels.h"
#include "support/pictures.h"
#include "support/test_paths.h"

namespace tesnova::kernels {
namespace {

std::vector<const Kernels*> FastSets() {
  std::vector<const Kernels*> sets{&BaselineKernels()};
  if (Avx2Kernels()) sets.push_back(Avx2Kernels());
  return sets;
}

// Random pictures of awkward sizes (one wider than the pieces and bands the fast versions work
// in), a scanned-looking drawing with a random stripe, so that every byte value occurs, and
// flat paper with scattered specks, whose runs of alike pixels the fast versions take at once.
std::vector<Bitmap> Pictures() {
  std::vector<Bitmap> pictures;
  const std::pair<int, int> sizes[] = {{0, 0},  {1, 1},  {2, 5},   {5, 2},   {3, 3},
                                       {17, 9}, {16, 4}, {33, 31}, {70, 41}, {1500, 5}};
  std::uint32_t seed = 1;
  for (auto [w, h] : sizes) pictures.push_back(testing::RandomBitmap(w, h, seed++));
  Bitmap drawing = LoadPicture(testing::TestData("pictures/drawing.png"));
  const Bitmap noise = testing::RandomBitmap(drawing.width, 5, 99);
  std::copy(noise.pixels.begin(), noise.pixels.end(), drawing.row(50));
  pictures.push_back(drawing);
  Bitmap paper(333, 7, 236);
  std::uint32_t state = 7;
  for (int i = 0; i < 40; ++i) {
    state = state * 1664525 + 1013904223;
    paper.pixels[(state >> 8) % paper.pixels.size()] = static_cast<std::uint8_t>(state >> 24);
  }
  pictures.push_back(paper);
  return pictures;
}

TEST(Kernels, FastAgreesWithReferenceByteForByte) {
  const Kernels& reference = ReferenceKernels();
  const std::vector<Bitmap> pictures = Pictures();
  for (const Kernels* fast : FastSets()) {
    SCOPED_TRACE(fast->name);
    for (const Bitmap& picture : pictures) {
      SCOPED_TRACE(std::to_string(picture.width) + "x" + std::to_string(picture.height));
      for (auto filter : {&Kernels::median3x3, &Kernels::gaussian3x3}) {
        Bitmap expected = picture, got = picture;
        (reference.*filter)(expected);
        (fast->*filter)(got);
        EXPECT_EQ(testing::FirstDifference(got, expected), "");
      }
      EXPECT_EQ(fast->meanGreyHistogram(picture), reference.meanGreyHistogram(picture));
      for (int threshold : {0, 1, 85, 128, 200, 255}) {
        for (auto binarize : {&Kernels::binarizeMeanGrey, &Kernels::binarizeLuminance}) {
          Bitmap expected = picture, got = picture;
          (reference.*binarize)(expected, threshold);
          (fast->*binarize)(got, threshold);
          EXPECT_EQ(testing::FirstDifference(got, expected), "") << threshold;
        }
      }
      for (double degrees : {0.0, 0.3, -0.3, 2.0, -17.0, 45.0, 90.0, 180.0, -135.5}) {
        const double angle = degrees * std::numbers::pi / 180;
        Bitmap expected(picture.width, picture.height), got(picture.width, picture.height);
        reference.rotate(picture, expected, angle, 0);
        fast->rotate(picture, got, angle, 0);
        EXPECT_EQ(testing::FirstDifference(got, expected), "") << degrees;
      }
    }
  }
}

}  // namespace
}  // namespace tesnova::kernels
