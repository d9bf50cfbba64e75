// The folder buttons open the file browser on the work folder, the bare folder when there is
// no work file yet. (Which file the browser is asked to select is checked with the shell's fake
// in tests/app; Wine's browser opens the folder but selects nothing.)
#include <gtest/gtest.h>

#include "e2e/support/driver.h"
// After windows.h, which it needs.
#include <commctrl.h>

#include "e2e/support/screenshot.h"
#include "win32/wide_text.h"

namespace tesnova::e2e {
namespace {

BOOL CALLBACK FindListView(HWND child, LPARAM l) {
  wchar_t cls[32];
  if (GetClassNameW(child, cls, 32) && lstrcmpW(cls, L"SysListView32") == 0) {
    *reinterpret_cast<HWND*>(l) = child;
    return FALSE;
  }
  return TRUE;
}

class FolderCommands : public ::testing::Test {
 protected:
  void SetUp() override {
    main = program.Start("Tesnova 2026.01.13");
    ASSERT_NE(main, nullptr);
  }
  void TearDown() override {
    if (main) EXPECT_TRUE(program.Close(main));
  }

  // Clicks the button and waits for the file browser's window on the work folder; the number
  // of files it lists, -1 when no browser came.
  int BrowseWith(const std::string& button, int page) {
    Click(Control(main, "Tab" + std::to_string(page)));
    Click(Control(main, button));
    std::string folder = WideToUtf8(program.folder().filename().wstring());
    HWND browser = WaitForTopWindow(folder);
    if (!browser) return -1;
    HWND list = nullptr;
    int files = -1;
    WaitUntil([&] {
      EnumChildWindows(browser, FindListView, reinterpret_cast<LPARAM>(&list));
      if (list) files = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
      return files > 0;
    });
    Sleep(300);
    EXPECT_TRUE(SaveWindowPng(browser, "tesnova-folder-" + button + ".png"));
    PostMessageW(browser, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitUntil([&] { return !IsWindow(browser); }));
    return files;
  }

  ProgramUnderTest program{BuiltProgram("Tesnova.exe")};
  HWND main = nullptr;
};

TEST_F(FolderCommands, WorkFolderWithoutWorkFilesOpensBare) {
  // Neither tesnova.bmp nor tesnova.dxf: every folder button opens the folder itself, which
  // holds the program alone; the status line stays empty.
  EXPECT_EQ(BrowseWith("Button6", 0), 1);
  EXPECT_EQ(BrowseWith("Button7", 2), 1);
  EXPECT_EQ(BrowseWith("Button12", 1), 1);
  EXPECT_EQ(WindowText(Control(main, "Edit12")), "");
}

TEST_F(FolderCommands, WorkFilesOpenTheirFolder) {
  WriteBytes(program.folder() / "tesnova.bmp", "BM");
  EXPECT_EQ(BrowseWith("Button6", 0), 2);
  WriteBytes(program.folder() / "tesnova.dxf", "0\r\nEOF\r\n");
  EXPECT_EQ(BrowseWith("Button12", 1), 3);
  EXPECT_EQ(WindowText(Control(main, "Edit12")),
            WideToUtf8((program.folder() / "tesnova.dxf").wstring()));
}

}  // namespace
}  // namespace tesnova::e2e
