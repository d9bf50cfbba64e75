// The colour probe reading a known colour under the mouse cursor.
#include <gtest/gtest.h>

#include "e2e/support/driver.h"
#include "e2e/support/screenshot.h"
#include "win32/dark_style.h"
#include "win32/wide_text.h"

namespace tesnova::e2e {
namespace {

// A plain window of one colour at a fixed place on the screen.
class ColourPatch {
 public:
  ColourPatch(COLORREF colour, int x, int y, int size) : brush_(CreateSolidBrush(colour)) {
    WNDCLASSW wc{};
    wc.lpfnWndProc = DefWindowProcW;
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.hbrBackground = brush_;
    wc.lpszClassName = L"TesnovaColourPatch";
    RegisterClassW(&wc);
    hwnd_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, wc.lpszClassName, L"patch",
                            WS_POPUP | WS_VISIBLE, x, y, size, size, nullptr, nullptr, wc.hInstance,
                            nullptr);
    UpdateWindow(hwnd_);
  }
  ~ColourPatch() {
    DestroyWindow(hwnd_);
    UnregisterClassW(L"TesnovaColourPatch", GetModuleHandleW(nullptr));
    DeleteObject(brush_);
  }
  static void Pump() {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&msg);
  }

 private:
  HBRUSH brush_;
  HWND hwnd_;
};

POINT Centre(HWND control) {
  RECT r;
  GetWindowRect(control, &r);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

TEST(ColourProbe, ShowsColourLuminanceAndTheBinarisedColour) {
  const COLORREF colour = RGB(200, 100, 50);  // luminance (6000 + 5900 + 550) / 100 = 124
  ColourPatch patch(colour, 40, 40, 160);
  ASSERT_TRUE(WaitUntil([] {
    ColourPatch::Pump();
    return ScreenPixel(120, 120) == RGB(200, 100, 50);
  })) << "the patch did not appear";
  SetCursorPos(120, 120);

  ProgramUnderTest program(BuiltProgram("Tesnova.exe"));
  HWND main = program.Start("Tesnova 2026.01.13");
  ASSERT_NE(main, nullptr);
  HWND toggle = Control(main, "Button15");
  HWND threshold = Control(main, "Edit15");
  SetWindowTextTo(threshold, "124");  // equal to the luminance: white, as binarised
  Click(toggle);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(toggle) == "色取得 OFF"; }));
  auto pixelAt = [&](const char* shape) {
    POINT p = Centre(Control(main, shape));
    return ScreenPixel(p.x, p.y);
  };
  EXPECT_TRUE(WaitUntil([&] {
    ColourPatch::Pump();
    return WindowText(Control(main, "Label8")) == "輝度値=124 [R=200 G=100 B=50]";
  })) << WindowText(Control(main, "Label8"));
  EXPECT_TRUE(WaitUntil([&] { return pixelAt("Shape1") == colour; }));
  EXPECT_TRUE(WaitUntil([&] { return pixelAt("Shape2") == RGB(255, 255, 255); }));

  SetWindowTextTo(threshold, "125");
  EXPECT_TRUE(WaitUntil([&] {
    ColourPatch::Pump();
    return pixelAt("Shape2") == RGB(0, 0, 0);
  }));

  Click(toggle);
  EXPECT_TRUE(WaitUntil([&] { return WindowText(toggle) == "色取得 ON"; }));
  ASSERT_TRUE(program.Close(main));
}

// The probe's longest text, at the screen's usual and at one and a half times its dots per inch:
// what is drawn in the label is the whole text on one line.
class ColourProbeAtDpi : public ::testing::TestWithParam<int> {};

TEST_P(ColourProbeAtDpi, LongestTextIsDrawnWholeOnOneLine) {
  const int dpi = GetParam();
  ColourPatch patch(RGB(255, 255, 255), 40, 40, 160);
  ASSERT_TRUE(WaitUntil([] {
    ColourPatch::Pump();
    return ScreenPixel(120, 120) == RGB(255, 255, 255);
  })) << "the patch did not appear";
  SetCursorPos(120, 120);

  ScreenDpi screenDpi(dpi);
  ProgramUnderTest program(BuiltProgram("Tesnova.exe"));
  HWND main = program.Start("Tesnova 2026.01.13");
  ASSERT_NE(main, nullptr);
  RECT client;
  GetClientRect(main, &client);
  ASSERT_EQ(client.right, MulDiv(531, dpi, 96)) << "the program did not take the dpi";

  Click(Control(main, "Button15"));
  const std::string longest = "輝度値=255 [R=255 G=255 B=255]";
  HWND label = Control(main, "Label8");
  ASSERT_TRUE(WaitUntil([&] {
    ColourPatch::Pump();
    return WindowText(label) == longest;
  })) << WindowText(label);

  // The text's extent in the window's font against the label's client area.
  std::wstring text = Utf8ToWide(longest);
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, dark::UiFont(dpi));
  SIZE extent{};
  GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  RECT area;
  GetClientRect(label, &area);
  EXPECT_LE(extent.cx, area.right) << "text " << extent.cx << " px, label " << area.right << " px";
  EXPECT_LE(extent.cy, area.bottom);

  // The ink in the label: one line that reaches the closing bracket at the text's right end.
  MapWindowPoints(label, nullptr, reinterpret_cast<POINT*>(&area), 2);
  RECT ink{};
  ASSERT_TRUE(WaitUntil([&] {
    ink = InkBounds(CaptureScreenArea(area), dark::kBackground);
    return ink.right >= extent.cx - MulDiv(3, dpi, 96);
  })) << "ink ends at "
      << ink.right << " px of " << extent.cx << " px";
  EXPECT_LT(ink.right, area.right - area.left) << "the text runs into the label's edge";
  EXPECT_LE(ink.bottom - ink.top, extent.cy);

  // The probe running, for a person to look at.
  EXPECT_TRUE(SaveWindowPng(main, "tesnova-probe-" + std::to_string(dpi) + "dpi.png"));
  Click(Control(main, "Button15"));
  ASSERT_TRUE(program.Close(main));
}

INSTANTIATE_TEST_SUITE_P(Screens, ColourProbeAtDpi, ::testing::Values(96, 144));

}  // namespace
}  // namespace tesnova::e2e
