#include "tools/wintopo.h"

#include <cstdio>
#include <filesystem>
#include <string>

#include "base/files.h"
#include "base/text_file.h"

namespace tesnova {
namespace {

constexpr std::string_view kTitlePrefix = "WinTopo";
constexpr std::string_view kNotFound = "WinTopo Freeware が見つかりません。";
constexpr std::string_view kSaveDialogTitle = "名前を付けて保存";
constexpr std::intptr_t kF10Down = 3866625;   // repeat 1, scan code 0x3B
constexpr std::intptr_t kF10Up = 3225092097;  // the same, previous state and transition set
constexpr int kSaveDialogLooks = 51;

// Keeps the command's button greyed out while it runs, whatever way the command ends.
class BusyWhileRunning {
 public:
  explicit BusyWhileRunning(CommandSink& sink) : sink_(sink) { sink_.SetBusy(true); }
  ~BusyWhileRunning() { sink_.SetBusy(false); }
  BusyWhileRunning(const BusyWhileRunning&) = delete;
  BusyWhileRunning& operator=(const BusyWhileRunning&) = delete;

 private:
  CommandSink& sink_;
};

void RestoreAndRaise(Desktop& desktop, CommandSink& sink, WindowId w) {
  for (int round = 0; round < 2; ++round) {
    if (desktop.IsMinimised(w)) desktop.Restore(w);
    sink.Dispatch();
    desktop.Sleep(100);
  }
  desktop.BringToFront(w);
}

// The steps both commands begin with; 0 when the command cannot go on (already told).
WindowId FindWinTopoForCommand(Desktop& desktop, const WorkFiles& files, CommandSink& sink) {
  if (!FileExists(PathFromUtf8(files.bmp))) {
    sink.Message(files.bmp + "\nファイルが見つかりません。");
    return 0;
  }
  WindowId w = FindWinTopoWindow(desktop);
  desktop.Sleep(100);
  if (w == 0) sink.Message(kNotFound);
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

void VectoriseInWinTopo(Desktop& desktop, const WorkFiles& files, CommandSink& sink) {
  BusyWhileRunning busy(sink);
  WindowId w = FindWinTopoForCommand(desktop, files, sink);
  if (w == 0) return;
  RestoreAndRaise(desktop, sink, w);
  desktop.Post(w, kWmKeyDown, kVkF10, kF10Down);
  desktop.Post(w, kWmKeyUp, kVkF10, kF10Up);
}

void SaveWinTopoDxf(Desktop& desktop, const WorkFiles& files, CommandSink& sink) {
  BusyWhileRunning busy(sink);
  WindowId w = FindWinTopoForCommand(desktop, files, sink);
  if (w == 0) return;
  RestoreAndRaise(desktop, sink, w);
  desktop.Sleep(100);

  // An old DXF would make the dialog ask about overwriting it.
  if (!RemoveStaleFile(PathFromUtf8(files.dxf))) {
    sink.Message(files.dxf + "\nの削除に失敗しました。使用中？");
    return;
  }

  desktop.BringToFront(w);
  PostMenuCommand(desktop, w, 1, 8);
  WindowId dialog = 0;
  for (int look = 0; look < kSaveDialogLooks && dialog == 0; ++look) {
    desktop.Sleep(50);
    sink.Dispatch();
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

void TestWinTopoMenus(Desktop& desktop, CommandSink& sink) {
  WindowId w = FindWinTopoWindow(desktop);
  char caption[32];
  std::snprintf(caption, sizeof caption, "%08llX", static_cast<unsigned long long>(w));
  sink.ShowCaption(caption);
  if (desktop.IsMinimised(w)) desktop.Restore(w);
  desktop.Sleep(500);
  PostMenuCommand(desktop, w, 1, 8);
  PostMenuCommand(desktop, w, 0, 6);
  desktop.Send(w, kWmSysCommand, kScClose, 0);
}

}  // namespace tesnova
