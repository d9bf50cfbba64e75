#pragma once
// Other programs' windows as the commands drive them: lookup by title, menus, posted and sent
// messages, foreground, key strokes, and the thread's pauses. Titles are UTF-8.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tesnova {

using WindowId = std::uintptr_t;  // 0: no window

// Message and key numbers as the windows understand them.
inline constexpr std::uint32_t kWmKeyDown = 0x100;
inline constexpr std::uint32_t kWmKeyUp = 0x101;
inline constexpr std::uint32_t kWmCommand = 0x111;
inline constexpr std::uint32_t kWmSysCommand = 0x112;
inline constexpr std::uint32_t kBmClick = 0xF5;
inline constexpr std::uintptr_t kScClose = 0xF060;
inline constexpr std::uint8_t kVkF10 = 0x79;

class Desktop {
 public:
  virtual ~Desktop() = default;

  // The top-level windows in the system's order, topmost first.
  virtual std::vector<WindowId> TopLevelWindows() = 0;
  // A window's title, at most 255 characters.
  virtual std::string WindowTitle(WindowId window) = 0;
  // The first top-level window with exactly this title, of any class; 0 when none.
  virtual WindowId FindTopLevelWindow(std::string_view title) = 0;
  // The first child of parent with this title and, unless className is empty, this class.
  virtual WindowId FindChildWindow(WindowId parent, std::string_view className,
                                   std::string_view title) = 0;
  // The identifier of item itemPos of the menu bar's sub-menu menuPos (counted from 0);
  // 0xFFFFFFFF when there is no such menu or item.
  virtual std::uint32_t MenuItemId(WindowId window, int menuPos, int itemPos) = 0;

  // Queues a message for the window and returns at once; false when it could not be queued.
  virtual bool Post(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                    std::intptr_t lParam) = 0;
  // Delivers a message and returns when the window has handled it.
  virtual std::intptr_t Send(WindowId window, std::uint32_t message, std::uintptr_t wParam,
                             std::intptr_t lParam) = 0;

  virtual bool IsWindow(WindowId window) = 0;
  virtual bool IsMinimised(WindowId window) = 0;
  virtual void Restore(WindowId window) = 0;  // from minimised to its former size
  virtual void BringToFront(WindowId window) = 0;
  // The window the user is working in now; 0 when none.
  virtual WindowId ForegroundWindow() = 0;

  // A key stroke into the system's input stream (to whatever window has the focus).
  virtual void KeyEvent(std::uint8_t virtualKey, std::uint8_t scanCode, bool keyUp) = 0;

  // Blocks the thread; nothing is dispatched meanwhile.
  virtual void Sleep(std::uint32_t ms) = 0;
};

}  // namespace tesnova
