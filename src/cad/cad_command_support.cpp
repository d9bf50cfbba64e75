#include "cad/cad_command_support.h"

namespace tesnova {

void SendEscapeToCad(Desktop& desktop, WindowId cadWindow) {
  constexpr std::uint8_t kVkEscape = 27;
  constexpr std::uint8_t kEscapeScanCode = 1;
  desktop.BringToFront(cadWindow);
  if (desktop.ForegroundWindow() != cadWindow) return;
  desktop.KeyEvent(kVkEscape, kEscapeScanCode, false);
  desktop.Sleep(5);
  desktop.KeyEvent(kVkEscape, kEscapeScanCode, true);
  desktop.Sleep(100);
}

}  // namespace tesnova
