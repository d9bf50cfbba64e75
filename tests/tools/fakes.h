#pragma once
// Stand-ins for the window and the desktop in the command tests: they record what the
// commands do and play the other programs' windows on a clock that moves when slept on.
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "ports/desktop.h"
#include "ports/view.h"

namespace tesnova::testing {

// The window as the tool commands' tests look at it: public fields for every text and call.
class ToolsFakeView : public View {
 public:
  std::map<std::string, std::string, std::less<>> texts;
  std::map<std::string, bool, std::less<>> checks;
  std::map<std::string, bool, std::less<>> enabled;
  std::vector<std::string> messages;
  std::string caption;
  int dispatches = 0;
  std::function<void()> onDispatch;

  std::string Text(std::string_view c) const override {
    auto it = texts.find(c);
    return it == texts.end() ? std::string() : it->second;
  }
  void SetText(std::string_view c, std::string_view t) override { texts[std::string(c)] = t; }
  bool Checked(std::string_view c) const override {
    auto it = checks.find(c);
    return it != checks.end() && it->second;
  }
  void SetChecked(std::string_view c, bool v) override { checks[std::string(c)] = v; }
  void ShowMessage(std::string_view text) override { messages.emplace_back(text); }
  void ProcessMessages() override {
    ++dispatches;
    if (onDispatch) onDispatch();
  }
  void SetEnabled(std::string_view c, bool v) override { enabled[std::string(c)] = v; }
  void SetCaption(std::string_view text) override { caption = text; }
  void AppendLine(std::string_view memo, std::string_view line) override {
    texts[std::string(memo)] += std::string(line) + "\n";
  }
  int ActivePage() const override { return page; }
  void SetActivePage(int index) override { page = index; }
  std::uint32_t Fill(std::string_view) const override { return 0; }
  void SetFill(std::string_view, std::uint32_t) override {}
  void SetTimerEnabled(std::string_view, bool) override {}
  void ShowPicture(const Bitmap&) override {}
  void SetStayOnTop(bool) override {}
  void Minimise() override {}
  void Restore() override {}
  int page = 1;
};

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
  WindowId foreground = 0;
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
