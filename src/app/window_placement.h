#pragma once
// Where the main window opens: at the saved corner when the window can be seen there, otherwise
// centred on the primary monitor. A window placed off every monitor (a monitor since removed, a
// hand-edited settings file) would look like a program that failed to start.
#include <vector>

namespace tesnova {

// A monitor's work area in screen pixels, right and bottom exclusive.
struct ScreenArea {
  int left = 0, top = 0, right = 0, bottom = 0;
};

struct WindowOrigin {
  int left = 0, top = 0;
  bool operator==(const WindowOrigin&) const = default;
};

// The saved corner when the window's caption bar, at least kVisibleCaption pixels of it, lies on
// one of the monitors; otherwise the corner that centres the window on the primary monitor.
WindowOrigin PlaceWindow(int left, int top, int width, int height,
                         const std::vector<ScreenArea>& monitors, const ScreenArea& primary);

// How much of the caption bar must show for the user to take hold of the window.
inline constexpr int kVisibleCaption = 40;

}  // namespace tesnova
