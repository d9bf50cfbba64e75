#include "raster/prepare.h"

#include <gtest/gtest.h>

#include <numbers>
#include <string>
#include <vector>

#include "raster/deskew.h"
#include "raster/filters.h"
#include "raster/rotate.h"
#include "support/pictures.h"

namespace tesnova {
namespace {

constexpr double kDegree = std::numbers::pi / 180;

Bitmap Greys(std::initializer_list<int> levels) {
  Bitmap b(static_cast<int>(levels.size()), 1);
  int i = 0;
  for (int level : levels) {
    b.at(i, 0)[0] = b.at(i, 0)[1] = b.at(i, 0)[2] = static_cast<std::uint8_t>(level);
    ++i;
  }
  return b;
}

TEST(PrepareBitmap, ChainsTheAskedStepsInOrder) {
  const Bitmap original = testing::RandomBitmap(40, 30, 5);
  PrepareOptions all;
  all.deskewRotation = 90.3 * kDegree;
  all.median = all.gaussian = all.monochrome = true;
  all.threshold = 128;
  std::vector<PrepareStep> steps;
  Bitmap prepared = original;
  const PrepareReport report =
      PrepareBitmap(prepared, all, [&](PrepareStep step) { steps.push_back(step); });

  EXPECT_EQ(steps, (std::vector<PrepareStep>{PrepareStep::kDeskew, PrepareStep::kMedian,
                                             PrepareStep::kGaussian, PrepareStep::kMonochrome}));
  Bitmap expected = RotateBitmap(original, -0.3 * kDegree);
  MedianFilter3x3(expected);
  GaussianFilter3x3(expected);
  BinarizeByThreshold(expected, 128);
  EXPECT_EQ(prepared, expected);
  EXPECT_NEAR(report.skewTaken, 0.3 * kDegree, 1e-12);
  EXPECT_EQ(report.threshold, 128);
  EXPECT_FALSE(report.otsuThreshold);

  // Nothing asked: nothing changes and nothing is announced.
  steps.clear();
  prepared = original;
  PrepareBitmap(prepared, PrepareOptions{}, [&](PrepareStep step) { steps.push_back(step); });
  EXPECT_EQ(prepared, original);
  EXPECT_TRUE(steps.empty());
}

TEST(PrepareBitmap, DeskewsOnlyAboveTheLimit) {
  const struct {
    double degrees;
    double taken;
  } cases[] = {{0.5, 0.5}, {90.3, 0.3}, {0.004, 0}, {180.2, 0.2}, {270.3, 0.3}, {-0.7, -0.7}};
  const Bitmap original = testing::RandomBitmap(40, 30, 9);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.degrees);
    Bitmap picture = original;
    PrepareOptions options;
    options.deskewRotation = c.degrees * kDegree;
    const PrepareReport r = PrepareBitmap(picture, options);
    EXPECT_NEAR(r.skewTaken * kDegreesPerRadian, c.taken, 1e-9);
    EXPECT_EQ(picture == original, c.taken == 0);
    if (c.taken != 0) EXPECT_EQ(picture, RotateBitmap(original, -r.skewTaken));
  }
}

TEST(PrepareBitmap, MonochromeByThresholdOrOtsu) {
  // A fixed threshold: luminance at the threshold is white; out-of-range thresholds are held
  // within the limits.
  for (const auto& [asked, applied] : {std::pair{128, 128}, {0, 1}, {300, 254}}) {
    Bitmap b = Greys({applied - 1, applied});
    PrepareOptions options;
    options.monochrome = true;
    options.threshold = asked;
    EXPECT_EQ(PrepareBitmap(b, options).threshold, applied);
    EXPECT_EQ(b, Greys({0, 255})) << asked;
  }

  // Otsu's threshold is the first level above the dark class: 1 for black and white, 61 for
  // grey ink at 60 on paper at 200, which stays ink.
  PrepareOptions otsu;
  otsu.monochrome = otsu.otsu = true;
  Bitmap bw = Greys({0, 255, 255, 0});
  PrepareReport r = PrepareBitmap(bw, otsu);
  EXPECT_EQ(r.otsuThreshold, 1);
  EXPECT_EQ(r.threshold, 1);
  EXPECT_EQ(bw, Greys({0, 255, 255, 0}));
  Bitmap grey = Greys({200, 60, 200, 200, 60});
  r = PrepareBitmap(grey, otsu);
  EXPECT_EQ(r.otsuThreshold, 61);
  EXPECT_EQ(grey, Greys({255, 0, 255, 255, 0}));

  // The threshold comes from the mean grey but is applied to the luminance.
  Bitmap colours(4, 1, 0);
  for (int i = 0; i < 2; ++i) colours.pixels[3 * i + 2] = 255;  // two pure reds
  r = PrepareBitmap(colours, otsu);
  EXPECT_EQ(r.otsuThreshold, 1);
  EXPECT_EQ(colours, Greys({255, 255, 0, 0}));
}

}  // namespace
}  // namespace tesnova
