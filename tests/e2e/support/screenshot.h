#pragma once
// Pictures of windows as they are on the screen, saved as PNG for a person to look at.
#include <windows.h>

#include <cstdint>
#include <filesystem>
#include <vector>

namespace tesnova::e2e {

// Copies the window's screen area (title bar included) into a PNG file; false on failure.
bool SaveWindowPng(HWND window, const std::filesystem::path& file);

// The screen's pixels in a rectangle, as 0x00BBGGRR, rows from the top.
struct ScreenArea {
  int width = 0;
  int height = 0;
  std::vector<std::uint32_t> pixels;
  std::uint32_t at(int x, int y) const { return pixels[static_cast<size_t>(y) * width + x]; }
};
ScreenArea CaptureScreenArea(const RECT& r);

// The columns and rows in which the area holds pixels other than the background colour
// (ink); an empty rectangle (right <= left) when there are none.
RECT InkBounds(const ScreenArea& area, std::uint32_t background);

// The colour of one screen pixel as 0x00BBGGRR.
std::uint32_t ScreenPixel(int x, int y);

}  // namespace tesnova::e2e
