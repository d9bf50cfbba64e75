#include "win32/win32_desktop.h"

#include <windows.h>

#include "win32/wide_text.h"
#include "win32/window_text.h"

namespace tesnova {
namespace {

HWND H(WindowId w) { return reinterpret_cast<HWND>(w); }
WindowId Id(HWND h) { return reinterpret_cast<WindowId>(h); }

}  // namespace

std::vector<WindowId> Win32Desktop::TopLevelWindows() {
  std::vector<WindowId> windows;
  EnumWindows(
      [](HWND h, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<WindowId>*>(list)->push_back(Id(h));
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&windows));
  return windows;
}

std::string Win32Desktop::WindowTitle(WindowId window) { return WindowText(H(window)); }

WindowId Win32Desktop::FindTopLevelWindow(std::string_view title) {
  return Id(FindWindowW(nullptr, Utf8ToWide(title).c_str()));
}

WindowId Win32Desktop::FindChildWindow(WindowId parent, std::string_view className,
                                       std::string_view title) {
  if (parent == 0) return 0;  // 0 would search the top-level windows
  std::wstring cls = Utf8ToWide(className);
  return Id(FindWindowExW(H(parent), nullptr, cls.empty() ? nullptr : cls.c_str(),
                          Utf8ToWide(title).c_str()));
}

std::uint32_t Win32Desktop::MenuItemId(WindowId window, int menuPos, int itemPos) {
  return GetMenuItemID(GetSubMenu(GetMenu(H(window)), menuPos), itemPos);
}

bool Win32Desktop::Post(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                        std::intptr_t lParam) {
  // Window 0 would post to this thread's own queue.
  if (window == 0) return false;
  return PostMessageW(H(window), message, wParam, lParam) != 0;
}

std::intptr_t Win32Desktop::Send(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                                 std::intptr_t lParam) {
  if (window == 0) return 0;
  return SendMessageW(H(window), message, wParam, lParam);
}

bool Win32Desktop::IsWindow(WindowId window) { return window != 0 && ::IsWindow(H(window)); }
bool Win32Desktop::IsMinimised(WindowId window) { return window != 0 && IsIconic(H(window)); }
void Win32Desktop::Restore(WindowId window) { OpenIcon(H(window)); }
void Win32Desktop::BringToFront(WindowId window) { SetForegroundWindow(H(window)); }

WindowId Win32Desktop::ForegroundWindow() {
  return reinterpret_cast<WindowId>(GetForegroundWindow());
}

void Win32Desktop::KeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, bool keyUp) {
  keybd_event(virtualKey, scanCode, keyUp ? KEYEVENTF_KEYUP : 0, 0);
}

void Win32Desktop::Sleep(std::uint32_t ms) { ::Sleep(ms); }

}  // namespace tesnova
