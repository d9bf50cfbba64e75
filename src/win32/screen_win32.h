#pragma once
// The cursor and the screen's pixels through GDI.
#include "ports/screen.h"

namespace tesnova {

class WindowsScreen : public Screen {
 public:
  bool CursorPosition(int& x, int& y) override;
  bool PixelAt(int x, int y, std::uint32_t& rgb) override;
};

}  // namespace tesnova
