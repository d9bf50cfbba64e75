#include "raster/threshold.h"

#include <gtest/gtest.h>

#include "raster/grey_levels.h"
#include "raster/prepare.h"

namespace tesnova {
namespace {

// A bitmap whose pixels take the given grey levels in turn.
Bitmap Greys(std::initializer_list<int> levels, int copies = 1) {
  Bitmap b(static_cast<int>(levels.size()) * copies, 1);
  int i = 0;
  for (int c = 0; c < copies; ++c)
    for (int level : levels) {
      b.at(i, 0)[0] = b.at(i, 0)[1] = b.at(i, 0)[2] = static_cast<std::uint8_t>(level);
      ++i;
    }
  return b;
}

TEST(GreyRules, DifferForColours) {
  EXPECT_EQ(Luminance(0, 0, 255), 76);  // pure red
  EXPECT_EQ(MeanGrey(0, 0, 255), 85);
  EXPECT_EQ(Luminance(255, 255, 255), 255);
  EXPECT_EQ(MeanGrey(255, 255, 254), 254);
}

TEST(OtsuThreshold, IsTheFirstLevelOfTheBrightClass) {
  const struct {
    const char* name;
    Bitmap bitmap;
    int expected;
  } cases[] = {
      {"black and white", Greys({0, 255}, 50), 1},
      {"one level", Greys({77}, 9), 0},
      {"half 10, half 200", Greys({10, 200}, 8), 11},
      {"three levels", Greys({20, 20, 100, 240, 240, 240}, 4), 101},
      {"empty", Bitmap(), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(OtsuThreshold(c.bitmap), c.expected) << c.name;
}

TEST(Binarize, OtsuKeepsTheDarkClassBlack) {
  Bitmap bw = Greys({0, 255}, 4);
  BinarizeOtsu(bw);
  EXPECT_EQ(bw, Greys({0, 255}, 4));

  // Grey ink on grey paper: the ink is the dark class, all of it.
  Bitmap grey = Greys({200, 60, 200, 200}, 5);
  BinarizeOtsu(grey);
  EXPECT_EQ(grey, Greys({255, 0, 255, 255}, 5));

  Bitmap three = Greys({20, 20, 100, 240, 240, 240}, 2);
  BinarizeOtsu(three);
  EXPECT_EQ(three, Greys({0, 0, 0, 255, 255, 255}, 2));

  Bitmap empty;
  BinarizeOtsu(empty);
  EXPECT_TRUE(empty.empty());
}

TEST(Binarize, ByThresholdUsesTheLuminance) {
  Bitmap b = Greys({199, 200, 201, 0});
  b.at(3, 0)[2] = 255;  // pure red: luminance 76, mean grey 85
  Bitmap atRed = b;
  BinarizeByThreshold(b, 200);
  EXPECT_EQ(b, Greys({0, 255, 255, 0}));
  BinarizeByThreshold(atRed, 77);
  EXPECT_EQ(atRed, Greys({255, 255, 255, 0}));
}

TEST(ThresholdFromText, TakesTheFieldsIntegerWithinLimits) {
  const struct {
    const char* text;
    int threshold;
  } texts[] = {{"0", 1},  {"300", 254}, {"", 200},   {"abc", 200},        {"128", 128},
               {"-5", 1}, {"12x", 200}, {"+77", 77}, {"99999999999", 200}};
  for (const auto& t : texts) EXPECT_EQ(ThresholdFromText(t.text), t.threshold) << t.text;
}

}  // namespace
}  // namespace tesnova
