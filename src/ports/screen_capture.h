#pragma once
// Copies pixels as another program shows them on the screen.
#include "ports/desktop.h"

namespace tesnova {

struct Bitmap;

class ScreenCapture {
 public:
  virtual ~ScreenCapture() = default;

  // Copies width x height pixels at (left, top) of the window's client area into a new 24-bit
  // bitmap. Parts outside the client area come out as whatever the screen holds there.
  // Raises Error when the window's pixels cannot be reached.
  virtual Bitmap CopyClientArea(WindowId window, int left, int top, int width, int height) = 0;
};

}  // namespace tesnova
