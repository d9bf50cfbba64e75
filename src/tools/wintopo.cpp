#include "tools/wintopo.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/text_file.h"

namespace tesnova {
namespace {

constexpr std::string_view kTitlePrefix = "WinTopo";
constexpr std::string_view kNotFound = "WinTopo Freeware が見つかりません。";
constexpr std::string_view kSaveDialogTitle = "名前を付けて保存";
constexpr std::intptr_t kF10Down = 3866625;   // repeat 1, scan code 0x3B
constexpr std::intptr_t kF10Up = 3225092097;  // the same, previous state and transition set
constexpr int kSaveDialogLooks = 51;

bool FileExists(const std::string& path) {
  std::error_code ec;
  return std::filesystem::is_regular_file(PathFromUtf8(path), ec);
}

// Keeps a button greyed out while its command runs, whatever way the command ends.
class DisabledWhileRunning {
 public:
  DisabledWhileRunning(View& view, std::string_view button) : view_(view), button_(button) {
    view_.SetEnabled(button_, false);
  }
  ~DisabledWhileRunning() { view_.SetEnabled(button_, true); }
  DisabledWhileRunning(const DisabledWhileRunning&) = delete;
  DisabledWhileRunning& operator=(const DisabledWhileRunning&) = delete;

 private:
  View& view_;
  std::string button_;
};

void RestoreAndRaise(View& view, Desktop& desktop, WindowId w) {
  for (int round = 0; round < 2; ++round) {
    if (desktop.IsMinimised(w)) desktop.Restore(w);
    view.ProcessMessages();
    desktop.Sleep(100);
  }
  desktop.BringToFront(w);
}

// The steps both commands begin with; 0 when the command cannot go on (already told).
WindowId FindWinTopoForCommand(View& view, Desktop& desktop, const WorkFiles& files) {
  if (!FileExists(files.bmp)) {
    view.ShowMessage(files.bmp + "\nファイルが見つかりません。");
    return 0;
  }
  WindowId w = FindWinTopoWindow(desktop);
  desktop.Sleep(100);
  if (w == 0) view.ShowMessage(kNotFound);
  return w;
}

}  // namespace

WindowId FindWinTopoWindow(Desktop& desktop) {
  for (WindowId w : desktop.TopLevelWindows())
    if (desktop.WindowTitle(w).starts_with(kTitlePrefix)) return w;
  return 0;
}

void PostMenuCommand(Desktop& desktop, WindowId window, int menuPos, int itemPos) {
  desktop.Post(window, kWmCommand, desktop.MenuItemId(window, menuPos, itemPos), 0);
}

void CloseWinTopo(Desktop& desktop) {
  // The pauses are kept whatever happens, also when there is no WinTopo window at all; the
  // requests go only to a window that is there.
  WindowId w = FindWinTopoWindow(desktop);
  if (w != 0 && desktop.IsMinimised(w)) desktop.Restore(w);
  desktop.Sleep(100);
  if (w != 0) {
    desktop.BringToFront(w);
    desktop.Send(w, kWmSysCommand, kScClose, 0);
  }
  for (int again = 0; again < 2; ++again) {
    desktop.Sleep(50);
    if (w != 0 && desktop.IsWindow(w)) desktop.Send(w, kWmSysCommand, kScClose, 0);
  }
}

void VectoriseInWinTopo(View& view, Desktop& desktop, const WorkFiles& files) {
  DisabledWhileRunning busy(view, "Button18");
  WindowId w = FindWinTopoForCommand(view, desktop, files);
  if (w == 0) return;
  RestoreAndRaise(view, desktop, w);
  desktop.Post(w, kWmKeyDown, kVkF10, kF10Down);
  desktop.Post(w, kWmKeyUp, kVkF10, kF10Up);
}

void SaveWinTopoDxf(View& view, Desktop& desktop, const WorkFiles& files) {
  DisabledWhileRunning busy(view, "Button19");
  WindowId w = FindWinTopoForCommand(view, desktop, files);
  if (w == 0) return;
  RestoreAndRaise(view, desktop, w);
  desktop.Sleep(100);

  // An old DXF would make the dialog ask about overwriting it.
  std::error_code ec;
  std::filesystem::remove(PathFromUtf8(files.dxf), ec);
  if (std::filesystem::exists(PathFromUtf8(files.dxf), ec)) {
    view.ShowMessage(files.dxf + "\nの削除に失敗しました。使用中？");
    return;
  }

  desktop.BringToFront(w);
  PostMenuCommand(desktop, w, 1, 8);
  WindowId dialog = 0;
  for (int look = 0; look < kSaveDialogLooks && dialog == 0; ++look) {
    desktop.Sleep(50);
    view.ProcessMessages();
    dialog = desktop.FindTopLevelWindow(kSaveDialogTitle);
  }
  desktop.Sleep(100);
  WindowId button = 0;
  if (dialog != 0) {
    button = desktop.FindChildWindow(dialog, "", "保存(&S)");
    if (button == 0) button = desktop.FindChildWindow(dialog, "Button", "Save");
  }
  desktop.Sleep(500);
  if (button != 0) desktop.Send(button, kBmClick, 0, 0);
}

void TestWinTopoMenus(View& view, Desktop& desktop) {
  WindowId w = FindWinTopoWindow(desktop);
  char caption[32];
  std::snprintf(caption, sizeof caption, "%08llX", static_cast<unsigned long long>(w));
  view.SetCaption(caption);
  if (desktop.IsMinimised(w)) desktop.Restore(w);
  desktop.Sleep(500);
  PostMenuCommand(desktop, w, 1, 8);
  PostMenuCommand(desktop, w, 0, 6);
  desktop.Send(w, kWmSysCommand, kScClose, 0);
}

}  // namespace tesnova
