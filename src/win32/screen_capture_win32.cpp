#include "win32/screen_capture_win32.h"

#include <windows.h>

#include <cstring>
#include <string>

#include "base/error.h"
#include "raster/bitmap.h"

namespace tesnova {

Bitmap Win32ScreenCapture::CopyClientArea(WindowId window, int left, int top, int width,
                                          int height) {
  if (width <= 0 || height <= 0) return Bitmap();
  HWND hwnd = reinterpret_cast<HWND>(window);
  HDC source = GetDC(hwnd);
  if (!source) throw Error("ウィンドウの画面を取得できません");
  HDC memory = CreateCompatibleDC(source);
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // rows from the top
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 24;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP section = CreateDIBSection(memory, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  Bitmap result;
  bool copied = false;
  if (section && memory) {
    HGDIOBJ old = SelectObject(memory, section);
    copied = BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY | CAPTUREBLT) != FALSE;
    if (!copied) {
      // Where the window's own device context gives no pixels (another process's window under
      // some systems), the same rectangle is copied from the screen.
      POINT origin{left, top};
      ClientToScreen(hwnd, &origin);
      HDC screen = GetDC(nullptr);
      copied = BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y,
                      SRCCOPY | CAPTUREBLT) != FALSE ||
               BitBlt(memory, 0, 0, width, height, screen, origin.x, origin.y, SRCCOPY) != FALSE;
      ReleaseDC(nullptr, screen);
    }
    GdiFlush();
    if (copied) {
      result = Bitmap(width, height);
      size_t sourceStride = (static_cast<size_t>(width) * 3 + 3) & ~size_t{3};
      for (int y = 0; y < height; ++y)
        std::memcpy(result.row(y), static_cast<const unsigned char*>(bits) + y * sourceStride,
                    result.stride());
    }
    SelectObject(memory, old);
  }
  if (section) DeleteObject(section);
  if (memory) DeleteDC(memory);
  ReleaseDC(hwnd, source);
  if (!copied)
    throw Error("ウィンドウの画面をコピーできません (" + std::to_string(section != nullptr) + "," +
                std::to_string(memory != nullptr) + "," + std::to_string(GetLastError()) + ")");
  return result;
}

}  // namespace tesnova
