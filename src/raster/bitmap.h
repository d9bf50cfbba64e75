#pragma once
// The work bitmap: 24-bit pixels, rows from the top, three bytes per pixel in the order
// blue, green, red, rows packed without padding.
#include <cstddef>
#include <cstdint>
#include <vector>

namespace tesnova {

struct Bitmap {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;  // width * height * 3 bytes

  Bitmap() = default;
  Bitmap(int w, int h, std::uint8_t fill = 255)
      : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 3, fill) {}

  std::size_t stride() const { return static_cast<std::size_t>(width) * 3; }
  bool empty() const { return width <= 0 || height <= 0; }
  std::uint8_t* row(int y) { return pixels.data() + y * stride(); }
  const std::uint8_t* row(int y) const { return pixels.data() + y * stride(); }
  std::uint8_t* at(int x, int y) { return row(y) + x * 3; }
  const std::uint8_t* at(int x, int y) const { return row(y) + x * 3; }
  bool operator==(const Bitmap&) const = default;
};

// One colour channel of a pixel with the given opacity (0 clear, 255 opaque) laid onto white,
// rounded to the nearest. Every picture decoder flattens alpha with this one rule.
inline std::uint8_t OnWhite(unsigned channel, unsigned alpha) {
  return static_cast<std::uint8_t>((channel * alpha + 255 * (255 - alpha) + 127) / 255);
}

}  // namespace tesnova
