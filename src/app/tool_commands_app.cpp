// The tool commands: direct trace, Potrace start, WinTopo.
#include "app/commands.h"
#include "app/form_controls.h"
#include "app/form_options.h"
#include "app/view_sink.h"
#include "base/error.h"
#include "ports/desktop.h"
#include "ports/processes.h"
#include "tools/direct_trace.h"
#include "tools/tracer_command_lines.h"
#include "tools/wintopo.h"

namespace tesnova {
namespace {

// Where the program was given no launcher or desktop (a test of other commands), nothing can
// be started and no other window is seen.
class NoProcesses : public Processes {
 public:
  ProcessResult RunProcess(const ProcessOptions&) override {
    return {.errorCode = 2};  // not found
  }
  void WaitForFile(const std::string& fileName, std::uint32_t) override {
    throw Error("SVG ファイルの生成がタイムアウトしました: " + fileName);
  }
};

class NoDesktop : public Desktop {
 public:
  std::vector<WindowId> TopLevelWindows() override { return {}; }
  std::string WindowTitle(WindowId) override { return {}; }
  WindowId FindTopLevelWindow(std::string_view) override { return 0; }
  WindowId FindChildWindow(WindowId, std::string_view, std::string_view) override { return 0; }
  std::uint32_t MenuItemId(WindowId, int, int) override { return 0xFFFFFFFFu; }
  bool Post(WindowId, std::uint32_t, std::uintptr_t, std::intptr_t) override { return false; }
  std::intptr_t Send(WindowId, std::uint32_t, std::uintptr_t, std::intptr_t) override { return 0; }
  bool IsWindow(WindowId) override { return false; }
  bool IsMinimised(WindowId) override { return false; }
  void Restore(WindowId) override {}
  void BringToFront(WindowId) override {}
  WindowId ForegroundWindow() override { return 0; }
  void KeyEvent(std::uint8_t, std::uint8_t, bool) override {}
  void Sleep(std::uint32_t) override {}
};

Processes& ProcessesOf(AppContext& context) {
  static NoProcesses none;
  return context.processes ? *context.processes : none;
}

Desktop& DesktopOf(AppContext& context) {
  static NoDesktop none;
  return context.desktop ? *context.desktop : none;
}

}  // namespace

void Button1Click(AppContext& context, std::string_view) {
  ViewSink sink(context.view);
  TraceWorkBitmapDirectly(ReadTracerSettings(context.view), WorkFilesIn(context.folder),
                          ProcessesOf(context), sink);
}

void Button8Click(AppContext& context, std::string_view) {
  ViewSink sink(context.view);
  StartPotraceOnWorkBitmap(ReadTracerSettings(context.view), WorkFilesIn(context.folder),
                           context.shell, sink);
}

void Button18Click(AppContext& context, std::string_view) {
  ViewSink sink(context.view, {form::kVectoriseInWinTopo});
  VectoriseInWinTopo(DesktopOf(context), WorkFilesIn(context.folder), sink);
}

void Button19Click(AppContext& context, std::string_view) {
  ViewSink sink(context.view, {form::kSaveWinTopoDxf});
  SaveWinTopoDxf(DesktopOf(context), WorkFilesIn(context.folder), sink);
}

void Button24Click(AppContext& context, std::string_view) {
  ViewSink sink(context.view);
  TestWinTopoMenus(DesktopOf(context), sink);
}

}  // namespace tesnova
