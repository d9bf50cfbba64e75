#include "raster/deskew_pipeline.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <numbers>

#include "support/pictures.h"

namespace tesnova {
namespace {

constexpr double kDegree = std::numbers::pi / 180;

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

TEST(OtsuThreshold, TakesTheLowestBestLevel) {
  const struct {
    const char* name;
    Bitmap bitmap;
    int expected;
  } cases[] = {
      {"black and white", Greys({0, 255}, 50), 0},
      {"one level", Greys({77}, 9), 0},
      {"half 10, half 200", Greys({10, 200}, 8), 10},
      {"three levels", Greys({20, 20, 100, 240, 240, 240}, 4), 100},
      {"empty", Bitmap(), 0},
  };
  for (const auto& c : cases) EXPECT_EQ(OtsuThreshold(c.bitmap), c.expected) << c.name;
}

TEST(Binarize, OtsuMakesTheThresholdLevelWhite) {
  Bitmap bw = Greys({0, 255}, 4);
  BinarizeOtsu(bw);  // threshold 0: everything is at least 0
  EXPECT_EQ(bw, Bitmap(8, 1, 255));

  Bitmap three = Greys({20, 20, 100, 240, 240, 240}, 2);
  BinarizeOtsu(three);
  EXPECT_EQ(three, Greys({0, 0, 255, 255, 255, 255}, 2));

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

TEST(MakeMonochrome, ReadsAndWritesTheThresholdText) {
  const struct {
    const char* text;
    int threshold;
  } texts[] = {{"0", 1},  {"300", 254}, {"", 200},   {"abc", 200},        {"128", 128},
               {"-5", 1}, {"12x", 200}, {"+77", 77}, {"99999999999", 200}};
  for (const auto& t : texts) {
    EXPECT_EQ(ThresholdFromText(t.text), t.threshold) << t.text;
    Bitmap b = Greys({t.threshold - 1, t.threshold});
    std::string text = t.text;
    MakeMonochrome(b, false, text);
    EXPECT_EQ(b, Greys({0, 255})) << t.text;
    EXPECT_EQ(text, t.text);
  }

  // Automatic: Otsu gives 0 for black and white, limited to 1, so black stays black.
  Bitmap bw = Greys({0, 255, 255, 0});
  std::string text = "200";
  MakeMonochrome(bw, true, text);
  EXPECT_EQ(text, "0");
  EXPECT_EQ(bw, Greys({0, 255, 255, 0}));

  // The threshold comes from the mean grey but is applied to the luminance.
  Bitmap colours(4, 1, 0);
  for (int i = 0; i < 2; ++i) colours.pixels[3 * i + 2] = 255;  // two pure reds
  text = "";
  MakeMonochrome(colours, true, text);
  EXPECT_EQ(text, "0");
  EXPECT_EQ(colours, Greys({255, 255, 0, 0}));
}

TEST(NormalizeSkewAngle, LeavesTheTiltBelowAQuarterTurn) {
  const double quarter = std::numbers::pi / 2, eighth = std::numbers::pi / 4;
  const struct {
    double angle, expected;
  } cases[] = {
      {0.5 * kDegree, 0.5 * kDegree},
      {90.3 * kDegree, 0.3 * kDegree},
      {-90.3 * kDegree, -0.3 * kDegree},
      {180.2 * kDegree, 0.2 * kDegree},
      {270.3 * kDegree, 0.3 * kDegree},
      {359.9 * kDegree, -0.1 * kDegree},
      {-179.6 * kDegree, 0.4 * kDegree},
      {eighth, eighth},
      {-eighth, -eighth},
      {3 * eighth, eighth},
      {eighth + 1e-9, eighth + 1e-9 - quarter},
      {1000 * 360 * kDegree + 0.25 * kDegree, 0.25 * kDegree},
      {std::numeric_limits<double>::quiet_NaN(), 0},
      {std::numeric_limits<double>::infinity(), 0},
  };
  for (const auto& c : cases) EXPECT_NEAR(NormalizeSkewAngle(c.angle), c.expected, 1e-9) << c.angle;
}

TEST(DeskewPicture, TurnsOnlyWhenAskedAndAboveTheLimit) {
  const struct {
    double degrees;
    bool ticked;
    bool turned;
    double insertion;
  } cases[] = {
      {0.5, true, true, 0},       {90.3, true, true, 90},   {0.004, true, false, 0.004},
      {90.3, false, false, 90.3}, {180.2, true, true, 180}, {270.3, true, true, 270},
      {-0.7, true, true, 0},      {45, true, true, 0},
  };
  const Bitmap original = testing::RandomBitmap(40, 30, 9);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.degrees);
    Bitmap picture = original;
    const DeskewResult r = DeskewPicture(picture, c.degrees * kDegree, c.ticked,
                                         c.degrees * kDegreesPerRadian * kDegree);
    EXPECT_EQ(r.turned, c.turned);
    EXPECT_NEAR(r.insertionRotation, c.insertion, 1e-9);
    EXPECT_EQ(picture == original, !c.turned);
    if (c.turned) EXPECT_EQ(picture, RotateBitmap(original, -r.skew));
  }
}

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

}  // namespace
}  // namespace tesnova
