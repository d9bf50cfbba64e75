#pragma once
// A black-and-white picture, one bit a pixel, packed as a P4 file packs it: rows from the top,
// each a whole number of bytes, the leftmost pixel in the top bit, a set bit black, spare bits
// 0. An eighth of a byte a pixel where the 24-bit bitmap takes three bytes.
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "raster/bitmap.h"
#include "raster/grey_levels.h"
#include "raster/picture_rows.h"

namespace tesnova {

struct BlackWhitePicture {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> bits;  // stride() * height bytes

  BlackWhitePicture() = default;
  // All white.
  BlackWhitePicture(int w, int h)
      : width(w), height(h), bits(static_cast<std::size_t>(stride(w)) * h, 0) {}

  static std::size_t stride(int w) { return (static_cast<std::size_t>(w) + 7) / 8; }
  std::size_t stride() const { return stride(width); }
  bool empty() const { return width <= 0 || height <= 0; }
  std::uint8_t* row(int y) { return bits.data() + y * stride(); }
  const std::uint8_t* row(int y) const { return bits.data() + y * stride(); }
  bool Black(int x, int y) const { return (row(y)[x >> 3] >> (7 - (x & 7))) & 1; }
  bool operator==(const BlackWhitePicture&) const = default;
};

// Which 24-bit pixels are black.
struct BlackRule {
  enum class Measure {
    kSum,        // blue + green + red
    kLuminance,  // the monochrome step's luminance
  };
  Measure measure = Measure::kSum;
  int below = 383;  // black when the measure is below this

  bool operator()(const std::uint8_t* p) const {
    return (measure == Measure::kSum ? p[0] + p[1] + p[2] : Luminance(p[0], p[1], p[2])) < below;
  }
};

// Potrace's own reading of a 24-bit picture at its default threshold (0.5): black when
// blue + green + red is at most 382, below half of 3 x 255.
inline constexpr BlackRule kPotraceBlack{BlackRule::Measure::kSum, 383};
// Black where the monochrome step at this threshold turns a pixel black: luminance below it.
inline BlackRule BelowLuminance(int threshold) {
  return {BlackRule::Measure::kLuminance, threshold};
}
// Black where the mean grey is below the level.
inline BlackRule BelowMeanGrey(int level) { return {BlackRule::Measure::kSum, 3 * level}; }

// The bitmap in black and white by the rule.
BlackWhitePicture BlackWhiteOf(const Bitmap& bitmap, const BlackRule& black);

// A picture's rows straight into black and white by the rule, a row at a time: the picture is
// allocated once, when the decoder has checked the size, and no 24-bit bitmap is ever held.
class BlackWhiteRowSink final : public PictureRowSink {
 public:
  explicit BlackWhiteRowSink(BlackRule black) : black_(black) {}
  void Begin(int width, int height) override;
  std::uint8_t* RowStorage(int y) override;
  void RowDone(int y) override;
  BlackWhitePicture Take() { return std::move(picture_); }

 private:
  BlackRule black_;
  BlackWhitePicture picture_;
  std::vector<std::uint8_t> row_;
};

// Packs one 24-bit row of the given width into black-and-white bits by the rule.
void PackRow(const std::uint8_t* bgr, int width, const BlackRule& black, std::uint8_t* bits);

}  // namespace tesnova
