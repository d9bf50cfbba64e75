#include "win32/screen_win32.h"

#include <windows.h>

namespace tesnova {

bool WindowsScreen::CursorPosition(int& x, int& y) {
  POINT p;
  if (!GetCursorPos(&p)) return false;
  x = p.x;
  y = p.y;
  return true;
}

bool WindowsScreen::PixelAt(int x, int y, std::uint32_t& rgb) {
  HDC dc = GetDC(nullptr);
  if (!dc) return false;
  COLORREF c = GetPixel(dc, x, y);
  ReleaseDC(nullptr, dc);
  if (c == CLR_INVALID) return false;
  rgb = c;
  return true;
}

}  // namespace tesnova
