#pragma once
// Other programs' windows and the keyboard, as the CAD commands need them.
#include <cstdint>
#include <string>

namespace tesnova {

// A top-level window of any program (an HWND on Windows); 0 is none.
using WindowHandle = std::uintptr_t;

class Desktop {
 public:
  virtual ~Desktop() = default;

  virtual void SetForegroundWindow(WindowHandle window) = 0;
  virtual WindowHandle ForegroundWindow() = 0;
  virtual bool IsIconic(WindowHandle window) = 0;
  virtual void OpenIcon(WindowHandle window) = 0;

  // A key press or release (virtual-key code) sent to whatever window has the focus.
  virtual void KeyEvent(int virtualKey, bool up) = 0;

  // Blocks the calling thread; nothing is dispatched meanwhile.
  virtual void Sleep(std::uint32_t milliseconds) = 0;

  // Opens the program with the parameter text in a normal window, without waiting.
  virtual void ShellOpen(const std::string& program, const std::string& parameters) = 0;
};

}  // namespace tesnova
