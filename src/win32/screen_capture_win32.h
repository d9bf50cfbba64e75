#pragma once
// Screen copies from another window's device context.
#include "ports/screen_capture.h"

namespace tesnova {

class Win32ScreenCapture : public ScreenCapture {
 public:
  Bitmap CopyClientArea(WindowId window, int left, int top, int width, int height) override;
};

}  // namespace tesnova
