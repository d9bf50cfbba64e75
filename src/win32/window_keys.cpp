#include "win32/window_keys.h"

namespace tesnova {

int PageStepOf(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || !(GetKeyState(VK_CONTROL) & 0x8000)) return 0;
  bool shift = GetKeyState(VK_SHIFT) & 0x8000;
  switch (msg.wParam) {
    case VK_TAB:
      return shift ? -1 : 1;
    case VK_NEXT:
      return 1;
    case VK_PRIOR:
      return -1;
  }
  return 0;
}

bool IsEnterOnPushButton(const MSG& msg) {
  if (msg.message != WM_KEYDOWN || msg.wParam != VK_RETURN || !msg.hwnd) return false;
  wchar_t cls[16];
  if (!GetClassNameW(msg.hwnd, cls, 16) || lstrcmpiW(cls, L"Button") != 0) return false;
  LONG type = GetWindowLongW(msg.hwnd, GWL_STYLE) & BS_TYPEMASK;
  return type == BS_PUSHBUTTON || type == BS_DEFPUSHBUTTON || type == BS_OWNERDRAW;
}

void PressButton(HWND button) {
  if (!IsWindowEnabled(button) || !IsWindowVisible(button)) return;
  SendMessageW(GetParent(button), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(button), BN_CLICKED),
               reinterpret_cast<LPARAM>(button));
}

}  // namespace tesnova
