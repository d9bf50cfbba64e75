// The desktop adapter on windows of this process, where Wine reads menus as Windows does.
#include "win32/win32_desktop.h"

#include <gtest/gtest.h>
#include <windows.h>

namespace tesnova {
namespace {

// A top-level window whose menu bar has "File" and "Vector" menus; "Vector" holds nine items
// with the ids 100 + position.
class WindowWithMenu {
 public:
  WindowWithMenu() {
    menu_ = CreateMenu();
    HMENU file = CreatePopupMenu();
    AppendMenuW(file, MF_STRING, 1, L"Open");
    HMENU vector = CreatePopupMenu();
    for (UINT i = 0; i < 9; ++i) AppendMenuW(vector, MF_STRING, 100 + i, L"item");
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(file), L"File");
    AppendMenuW(menu_, MF_POPUP, reinterpret_cast<UINT_PTR>(vector), L"Vector");
    hwnd_ = CreateWindowExW(0, L"STATIC", L"WinTopo test window", WS_OVERLAPPEDWINDOW, 0, 0, 200,
                            100, nullptr, menu_, GetModuleHandleW(nullptr), nullptr);
  }
  ~WindowWithMenu() { DestroyWindow(hwnd_); }
  WindowId id() const { return reinterpret_cast<WindowId>(hwnd_); }

 private:
  HMENU menu_;
  HWND hwnd_;
};

TEST(Win32Desktop, MenuItemIdByMenuAndItemPosition) {
  WindowWithMenu window;
  ASSERT_NE(window.id(), 0u);
  Win32Desktop desktop;
  EXPECT_EQ(desktop.MenuItemId(window.id(), 1, 8), 108u);  // the DXF save item's place
  EXPECT_EQ(desktop.MenuItemId(window.id(), 0, 0), 1u);
  // Places that hold no command item give no id.
  EXPECT_EQ(desktop.MenuItemId(window.id(), 1, 9), 0xFFFFFFFFu);
  EXPECT_EQ(desktop.MenuItemId(window.id(), 2, 0), 0xFFFFFFFFu);
  EXPECT_EQ(desktop.MenuItemId(0, 1, 8), 0xFFFFFFFFu);
}

TEST(Win32Desktop, FindsWindowsByTitleAndNeverPostsToWindowZero) {
  WindowWithMenu window;
  Win32Desktop desktop;
  EXPECT_EQ(desktop.FindTopLevelWindow("WinTopo test window"), window.id());
  EXPECT_EQ(desktop.WindowTitle(window.id()), "WinTopo test window");
  EXPECT_FALSE(desktop.Post(0, WM_NULL, 0, 0));
  EXPECT_TRUE(desktop.Post(window.id(), WM_NULL, 0, 0));
}

}  // namespace
}  // namespace tesnova
