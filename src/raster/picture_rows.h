#pragma once
// A picture's rows as a decoder produces them, in the 24-bit form (blue, green, red), handed to
// a receiver one at a time: whoever needs no more than a row at once (a black-and-white picture,
// a histogram) never holds the whole 24-bit bitmap.
#include <cstdint>
#include <utility>

#include "raster/bitmap.h"

namespace tesnova {

class PictureRowSink {
 public:
  virtual ~PictureRowSink() = default;
  // The picture's size, once it has passed the size check, before any row.
  virtual void Begin(int width, int height) = 0;
  // Storage of width * 3 bytes for row y (counted from the top), which the decoder fills and
  // then hands back with RowDone(y). Rows may come in any order (a bottom-up BMP), each once.
  virtual std::uint8_t* RowStorage(int y) = 0;
  virtual void RowDone(int y) = 0;
};

// The rows into a whole 24-bit bitmap. Its storage is reserved in one piece once the size is
// known, but the rows are filled in as they are decoded, so that a file that declares a large
// picture and then holds little data touches no more memory than it decodes, and the picture is
// never moved while it grows. Rows a decoder leaves out are white.
class BitmapRowSink final : public PictureRowSink {
 public:
  void Begin(int width, int height) override;
  std::uint8_t* RowStorage(int y) override;
  void RowDone(int) override {}
  // The bitmap, as far as it was decoded.
  Bitmap Take() { return std::move(bitmap_); }

 private:
  Bitmap bitmap_;
};

}  // namespace tesnova
