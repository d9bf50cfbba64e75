#pragma once
// The desktop port over the Win32 window and input functions.
#include "ports/desktop.h"

namespace tesnova {

class Win32Desktop : public Desktop {
 public:
  void SetForegroundWindow(WindowHandle window) override;
  WindowHandle ForegroundWindow() override;
  bool IsIconic(WindowHandle window) override;
  void OpenIcon(WindowHandle window) override;
  void KeyEvent(int virtualKey, bool up) override;
  void Sleep(std::uint32_t milliseconds) override;
  void ShellOpen(const std::string& program, const std::string& parameters) override;
};

}  // namespace tesnova
