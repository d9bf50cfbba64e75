#pragma once
// Other programs' windows through the Win32 window functions.
#include "ports/desktop.h"

namespace tesnova {

class Win32Desktop : public Desktop {
 public:
  std::vector<WindowId> TopLevelWindows() override;
  std::string WindowTitle(WindowId window) override;
  WindowId FindTopLevelWindow(std::string_view title) override;
  WindowId FindChildWindow(WindowId parent, std::string_view className,
                           std::string_view title) override;
  std::uint32_t MenuItemId(WindowId window, int menuPos, int itemPos) override;
  bool Post(WindowId window, std::uint32_t message, std::uintptr_t wParam,
            std::intptr_t lParam) override;
  std::intptr_t Send(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                     std::intptr_t lParam) override;
  bool IsWindow(WindowId window) override;
  bool IsMinimised(WindowId window) override;
  void Restore(WindowId window) override;
  void BringToFront(WindowId window) override;
  WindowId ForegroundWindow() override;
  void KeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, bool keyUp) override;
  void Sleep(std::uint32_t ms) override;
};

}  // namespace tesnova
