#pragma once
// Pictures of windows as they are on the screen, saved as PNG for a person to look at.
#include <windows.h>

#include <cstdint>
#include <filesystem>

namespace tesnova::e2e {

// Copies the window's screen area (title bar included) into a PNG file; false on failure.
bool SaveWindowPng(HWND window, const std::filesystem::path& file);

// The colour of one screen pixel as 0x00BBGGRR.
std::uint32_t ScreenPixel(int x, int y);

}  // namespace tesnova::e2e
