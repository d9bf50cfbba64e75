#include "win32/desktop_win32.h"

#include <windows.h>
// after windows.h
#include <shellapi.h>

#include "win32/wide_text.h"

namespace tesnova {

namespace {
HWND Hwnd(WindowHandle window) { return reinterpret_cast<HWND>(window); }
}  // namespace

void Win32Desktop::SetForegroundWindow(WindowHandle window) { ::SetForegroundWindow(Hwnd(window)); }

WindowHandle Win32Desktop::ForegroundWindow() {
  return reinterpret_cast<WindowHandle>(::GetForegroundWindow());
}

bool Win32Desktop::IsIconic(WindowHandle window) { return ::IsIconic(Hwnd(window)) != FALSE; }

void Win32Desktop::OpenIcon(WindowHandle window) { ::OpenIcon(Hwnd(window)); }

void Win32Desktop::KeyEvent(int virtualKey, bool up) {
  BYTE scan = static_cast<BYTE>(MapVirtualKeyW(static_cast<UINT>(virtualKey), 0));
  keybd_event(static_cast<BYTE>(virtualKey), scan, up ? KEYEVENTF_KEYUP : 0, 0);
}

void Win32Desktop::Sleep(std::uint32_t milliseconds) { ::Sleep(milliseconds); }

void Win32Desktop::ShellOpen(const std::string& program, const std::string& parameters) {
  std::wstring file = Utf8ToWide(program), params = Utf8ToWide(parameters);
  ShellExecuteW(nullptr, L"open", file.c_str(), params.c_str(), nullptr, SW_SHOWNORMAL);
}

}  // namespace tesnova
