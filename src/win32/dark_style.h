#pragma once
// The program's dark look: colours, brushes, the font, and the painting of buttons and tabs.
#include <windows.h>

namespace tesnova::dark {

inline constexpr COLORREF kBackground = RGB(32, 32, 32);
inline constexpr COLORREF kField = RGB(20, 20, 20);
inline constexpr COLORREF kText = RGB(232, 232, 232);
inline constexpr COLORREF kDimText = RGB(150, 150, 150);
inline constexpr COLORREF kAccent = RGB(0, 120, 215);
inline constexpr COLORREF kFace = RGB(58, 58, 58);
inline constexpr COLORREF kFacePressed = RGB(80, 80, 80);
inline constexpr COLORREF kBorder = RGB(90, 90, 90);

HBRUSH BackgroundBrush();
HBRUSH FieldBrush();

// The user-interface font at the given dots per inch; created once per size, never freed.
HFONT UiFont(int dpi);

// Paints an owner-drawn push button; a selected tab gets the accent colour.
void PaintButton(const DRAWITEMSTRUCT& item, bool selected);

// Answers WM_CTLCOLOR* for a control: fields dark with light text, labels on the background.
HBRUSH ColourControl(HDC dc, bool field, bool enabled = true);

// Gives a control the flat unthemed or dark themed look where the platform supports it.
void Unthemed(HWND control);
void DarkScrollBars(HWND control);

}  // namespace tesnova::dark
