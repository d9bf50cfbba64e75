#include "win32/dark_style.h"

#include <uxtheme.h>

#include <map>

namespace tesnova::dark {

HBRUSH BackgroundBrush() {
  static HBRUSH brush = CreateSolidBrush(kBackground);
  return brush;
}

HBRUSH FieldBrush() {
  static HBRUSH brush = CreateSolidBrush(kField);
  return brush;
}

HFONT UiFont(int dpi) {
  static std::map<int, HFONT> fonts;
  HFONT& font = fonts[dpi];
  if (!font) {
    LOGFONTW lf{};
    lf.lfHeight = -MulDiv(12, dpi, 96);
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfQuality = CLEARTYPE_QUALITY;
    // A Japanese user-interface face; Tahoma has no Japanese glyphs.
    lstrcpynW(lf.lfFaceName, L"Meiryo UI", LF_FACESIZE);
    font = CreateFontIndirectW(&lf);
  }
  return font;
}

void PaintButton(const DRAWITEMSTRUCT& item, bool selected) {
  HDC dc = item.hDC;
  RECT r = item.rcItem;
  bool pressed = item.itemState & ODS_SELECTED;
  bool disabled = item.itemState & ODS_DISABLED;
  COLORREF face = selected ? kAccent : pressed ? kFacePressed : kFace;
  HBRUSH brush = CreateSolidBrush(face);
  FillRect(dc, &r, brush);
  DeleteObject(brush);
  HBRUSH border = CreateSolidBrush(selected ? kAccent : kBorder);
  FrameRect(dc, &r, border);
  DeleteObject(border);
  wchar_t text[256];
  GetWindowTextW(item.hwndItem, text, 256);
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, disabled ? kDimText : kText);
  HGDIOBJ old =
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
  DrawTextW(dc, text, -1, &r, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
  SelectObject(dc, old);
  if (item.itemState & ODS_FOCUS) {
    InflateRect(&r, -3, -3);
    DrawFocusRect(dc, &r);
  }
}

HBRUSH ColourControl(HDC dc, bool field, bool enabled) {
  SetTextColor(dc, enabled ? kText : kDimText);
  SetBkColor(dc, field ? kField : kBackground);
  return field ? FieldBrush() : BackgroundBrush();
}

void Unthemed(HWND control) { SetWindowTheme(control, L"", L""); }

void DarkScrollBars(HWND control) { SetWindowTheme(control, L"DarkMode_Explorer", nullptr); }

}  // namespace tesnova::dark
