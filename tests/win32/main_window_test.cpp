#include "win32/main_window.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "raster/bitmap.h"
#include "win32/control_ids.h"
#include "win32/error_box.h"
#include "win32/main_window_layout.h"

namespace tesnova {
namespace {

std::uint32_t ScreenPixel(POINT p) {
  HDC screen = GetDC(nullptr);
  COLORREF c = GetPixel(screen, p.x, p.y);
  ReleaseDC(nullptr, screen);
  return c;
}

TEST(MainWindow, PictureIsScaledProportionallyAndCentred) {
  MainWindow window(GetModuleHandleW(nullptr));
  SetWindowPos(window.hwnd(), HWND_TOPMOST, 0, 0, 0, 0, SWP_NOSIZE | SWP_SHOWWINDOW);
  // Twice as wide as high: the picture fills the width and half the height of the box.
  Bitmap picture(40, 20);
  for (int y = 0; y < 20; ++y)
    for (int x = 0; x < 40; ++x) {
      std::uint8_t* p = picture.at(x, y);
      p[0] = x < 20 ? 0 : 255;  // blue byte: the right half blue
      p[1] = 0;
      p[2] = x < 20 ? 255 : 0;  // red byte: the left half red
    }
  window.ShowPicture(picture);
  UpdateWindow(window.hwnd());
  window.ProcessMessages();

  RECT box;
  GetWindowRect(GetDlgItem(window.hwnd(), ControlId("Image1")), &box);
  int midY = (box.top + box.bottom) / 2;
  EXPECT_EQ(ScreenPixel({box.left + 6, midY}), RGB(255, 0, 0));
  EXPECT_EQ(ScreenPixel({box.right - 7, midY}), RGB(0, 0, 255));
  // Above and below the picture the box keeps its own colour.
  EXPECT_EQ(ScreenPixel({(box.left + box.right) / 2, box.top + 6}), RGB(20, 20, 20));
  EXPECT_EQ(ScreenPixel({(box.left + box.right) / 2, box.bottom - 7}), RGB(20, 20, 20));
}

TEST(MainWindow, ControlsByNameAndPages) {
  MainWindow window(GetModuleHandleW(nullptr));
  window.SetText("Memo3", "一行目\n二行目");
  EXPECT_EQ(window.Text("Memo3"), "一行目\r\n二行目");
  window.AppendLine("Memo3", "三行目");
  EXPECT_EQ(window.Text("Memo3"), "一行目\r\n二行目\r\n三行目");
  window.SetChecked("CheckBox4", true);
  EXPECT_TRUE(window.Checked("CheckBox4"));
  window.SetFill("Shape1", 0x123456);
  EXPECT_EQ(window.Fill("Shape1"), 0x123456u);
  EXPECT_THROW(window.Text("Edit99"), Error);
  EXPECT_THROW(window.SetTimerEnabled("Timer2", true), Error);
  EXPECT_THROW(window.Fill("Edit1"), Error);

  HWND edit2 = GetDlgItem(window.hwnd(), ControlId("Edit2"));
  HWND edit11 = GetDlgItem(window.hwnd(), ControlId("Edit11"));
  ShowWindow(window.hwnd(), SW_SHOWNA);
  for (int page : {3, 1, 6, -1}) {
    window.SetActivePage(page);
    int expected = page >= 0 && page < 6 ? page : -1;
    EXPECT_EQ(window.ActivePage(), expected);
    EXPECT_EQ(IsWindowVisible(edit2) != FALSE, expected == 3) << page;
    EXPECT_EQ(IsWindowVisible(edit11) != FALSE, expected == 1) << page;
  }
}

TEST(MainWindow, PageKeysStepOverThePagesWithoutTabs) {
  // Tabs: 0, 1, 2 and 4; pages 3 and 5 have none; -1 is no page.
  struct Case {
    int current;
    int next;
    int previous;
  } cases[] = {{0, 1, 4}, {1, 2, 0}, {2, 4, 1}, {3, 4, 2}, {4, 0, 2}, {5, 0, 4}, {-1, 0, 4}};
  for (const Case& c : cases) {
    EXPECT_EQ(NextTabPage(c.current, 1), c.next) << c.current;
    EXPECT_EQ(NextTabPage(c.current, -1), c.previous) << c.current;
  }
}

TEST(ErrorBox, PutsAFilesPathAndTheSentenceOnLinesOfTheirOwn) {
  EXPECT_EQ(ErrorBoxText(FileError("C:\\作業\\TargetCAD_APIVersion.txt", "を作成できません")),
            "C:\\作業\\TargetCAD_APIVersion.txt\r\nを作成できません");
  EXPECT_EQ(FileError("C:\\a.txt", "を開けません").what(), std::string("C:\\a.txt を開けません"));
  EXPECT_EQ(ErrorBoxText(FileError("a.bmp を BMP 画像として読み込めません")),
            "a.bmp を BMP 画像として読み込めません");
  EXPECT_EQ(ErrorBoxText(Error("メッセージ")), "メッセージ");
}

}  // namespace
}  // namespace tesnova
