#include "raster/prepare_black_white.h"

#include <algorithm>
#include <vector>

#include "raster/grey_levels.h"
#include "raster/picture.h"
#include "raster/raster_kernels.h"

namespace tesnova {
namespace {

// Counts the mean grey levels of the rows, for Otsu's threshold.
class MeanGreyHistogramSink final : public PictureRowSink {
 public:
  void Begin(int width, int) override {
    width_ = width;
    row_.assign(static_cast<std::size_t>(width) * 3, 255);
  }
  std::uint8_t* RowStorage(int) override { return row_.data(); }
  void RowDone(int) override {
    const std::uint8_t* p = row_.data();
    for (int x = 0; x < width_; ++x, p += 3) ++histogram[MeanGrey(p[0], p[1], p[2])];
  }
  kernels::Histogram histogram{};

 private:
  int width_ = 0;
  std::vector<std::uint8_t> row_;
};

}  // namespace

bool PreparesPixelByPixel(const PrepareOptions& options) {
  return !options.deskewRotation && !options.median && !options.gaussian;
}

BlackWhitePicture PrepareBlackWhitePicture(const std::filesystem::path& path,
                                           const PrepareOptions& options,
                                           const BlackRule& tracerBlack, PrepareReport* report) {
  PrepareReport done;
  if (!PreparesPixelByPixel(options)) {
    Bitmap picture = LoadPicture(path);
    done = PrepareBitmap(picture, options);
    BlackWhitePicture result =
        BlackWhiteOf(picture, done.threshold ? BelowLuminance(done.threshold) : tracerBlack);
    if (report) *report = done;
    return result;
  }
  BlackRule black = tracerBlack;
  if (options.monochrome) {
    int threshold = options.threshold;
    if (options.otsu) {
      MeanGreyHistogramSink histogram;
      LoadPictureRows(path, histogram);
      threshold = *(done.otsuThreshold = kernels::OtsuThresholdOf(histogram.histogram));
    }
    done.threshold = std::clamp(threshold, kMinThreshold, kMaxThreshold);
    black = BelowLuminance(done.threshold);
  }
  BlackWhiteRowSink sink(black);
  LoadPictureRows(path, sink);
  if (report) *report = done;
  return sink.Take();
}

}  // namespace tesnova
