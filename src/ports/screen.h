#pragma once
// The mouse cursor and the pixels on the screen.
#include <cstdint>

namespace tesnova {

class Screen {
 public:
  virtual ~Screen() = default;

  // The cursor position in screen coordinates; false when it cannot be read.
  virtual bool CursorPosition(int& x, int& y) = 0;

  // The colour of the screen pixel at x, y as 0x00BBGGRR; false when it cannot be read.
  virtual bool PixelAt(int x, int y, std::uint32_t& rgb) = 0;
};

}  // namespace tesnova
