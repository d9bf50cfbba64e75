#pragma once
// The desktop for the command tests: it records what the commands do to other programs'
// windows and plays those windows on a clock that moves when slept on.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ports/desktop.h"

namespace tesnova::testing {

class FakeDesktop : public Desktop {
 public:
  struct Window {
    WindowId id;
    std::string title;
    std::string className;
    WindowId parent = 0;
    bool minimised = false;
    bool alive = true;
    std::vector<std::vector<std::uint32_t>> menus;
  };
  struct Call {
    std::string what;  // "post", "send", "restore", "front", "key"
    WindowId window;
    std::uint32_t message;
    std::uintptr_t wParam;
    std::intptr_t lParam;
  };

  std::vector<Window> windows;  // topmost first
  std::vector<Call> calls;
  std::uint32_t now = 0;
  WindowId foreground = 0;                  // the last live window brought to the front
  std::function<void(const Call&)> onCall;  // a window reacting to what it is sent

  Window& Add(Window w) {
    windows.push_back(std::move(w));
    return windows.back();
  }
  Window* Find(WindowId id) {
    for (Window& w : windows)
      if (w.id == id && w.alive) return &w;
    return nullptr;
  }
  std::vector<Call> CallsTo(WindowId id) const {
    std::vector<Call> out;
    for (const Call& c : calls)
      if (c.window == id) out.push_back(c);
    return out;
  }

  std::vector<WindowId> TopLevelWindows() override {
    std::vector<WindowId> ids;
    for (const Window& w : windows)
      if (w.alive && w.parent == 0) ids.push_back(w.id);
    return ids;
  }
  std::string WindowTitle(WindowId id) override {
    Window* w = Find(id);
    return w ? w->title.substr(0, 255) : std::string();
  }
  WindowId FindTopLevelWindow(std::string_view title) override {
    for (const Window& w : windows)
      if (w.alive && w.parent == 0 && w.title == title) return w.id;
    return 0;
  }
  WindowId FindChildWindow(WindowId parent, std::string_view cls, std::string_view title) override {
    for (const Window& w : windows)
      if (w.alive && parent != 0 && w.parent == parent && w.title == title &&
          (cls.empty() || w.className == cls))
        return w.id;
    return 0;
  }
  std::uint32_t MenuItemId(WindowId id, int menu, int item) override {
    Window* w = Find(id);
    if (!w || menu < 0 || static_cast<size_t>(menu) >= w->menus.size() || item < 0 ||
        static_cast<size_t>(item) >= w->menus[menu].size())
      return 0xFFFFFFFFu;
    return w->menus[menu][item];
  }
  bool Post(WindowId id, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) override {
    return Record({"post", id, m, wp, lp}) && Find(id);
  }
  std::intptr_t Send(WindowId id, std::uint32_t m, std::uintptr_t wp, std::intptr_t lp) override {
    Record({"send", id, m, wp, lp});
    return 0;
  }
  bool IsWindow(WindowId id) override { return Find(id) != nullptr; }
  bool IsMinimised(WindowId id) override {
    Window* w = Find(id);
    return w && w->minimised;
  }
  void Restore(WindowId id) override {
    Record({"restore", id, 0, 0, 0});
    if (Window* w = Find(id)) w->minimised = false;
  }
  void BringToFront(WindowId id) override {
    Record({"front", id, 0, 0, 0});
    if (Find(id)) foreground = id;
  }
  WindowId ForegroundWindow() override { return foreground; }
  void KeyEvent(std::uint8_t vk, std::uint8_t scan, bool up) override {
    Record({"key", 0, up ? 1u : 0u, vk, scan});
  }
  void Sleep(std::uint32_t ms) override { now += ms; }

 private:
  bool Record(Call c) {
    calls.push_back(c);
    if (onCall) onCall(c);
    return true;
  }
};

}  // namespace tesnova::testing
