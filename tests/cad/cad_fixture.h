#pragma once
// The ports of the CAD commands as fakes, and a fixture that holds them.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "base/text_file.h"
#include "cad/cad_commands.h"
#include "raster/deskew_pipeline.h"
#include "support/fake_cad.h"
#include "support/fake_view.h"
#include "support/test_paths.h"
#include "tools/fakes.h"

namespace tesnova::testing {

// The window, recording statuses, messages, dispatches and window states in one sequence.
class CadView : public FakeView {
 public:
  std::vector<std::string> events;
  void SetText(std::string_view control, std::string_view text) override {
    FakeView::SetText(control, text);
    events.push_back(std::string(control) + ":" + std::string(text));
  }
  void ShowMessage(std::string_view text) override {
    FakeView::ShowMessage(text);
    events.push_back("message:" + std::string(text));
  }
  void ProcessMessages() override { events.push_back("dispatch"); }
  void Minimise() override { events.push_back("minimise"); }
  void Restore() override { events.push_back("restore"); }
  void BringToFront() override { events.push_back("front"); }
  void SetEnabled(std::string_view control, bool enabled) override {
    events.push_back(std::string(enabled ? "enable " : "disable ") + std::string(control));
  }
  void SetCaption(std::string_view caption) override {
    FakeView::SetCaption(caption);
    events.push_back("caption:" + std::string(caption));
  }
  // The status line's texts in order.
  std::vector<std::string> Statuses() const {
    std::vector<std::string> out;
    for (const auto& e : events)
      if (e.rfind("Edit12:", 0) == 0) out.push_back(e.substr(7));
    return out;
  }
};

class FakeCapture : public ScreenCapture {
 public:
  struct Copy {
    WindowId window;
    int left, top, width, height;
  };
  std::vector<Copy> copies;
  Bitmap CopyClientArea(WindowId window, int left, int top, int width, int height) override {
    copies.push_back({window, left, top, width, height});
    return Bitmap(width, height, 0x80);
  }
};

class FakeProcesses : public Processes {
 public:
  struct Run {
    std::string program, arguments;
  };
  std::vector<Run> runs;
  std::vector<Run> opened;
  bool startWorks = true;
  std::function<void(const Run&)> onRun;
  bool RunProcess(const std::string& program, const std::string& arguments, const std::string&,
                  bool, bool, bool, std::uint32_t& errorCode) override {
    runs.push_back({program, arguments});
    if (!startWorks) {
      errorCode = 2;
      return false;
    }
    if (onRun) onRun(runs.back());
    return true;
  }
  bool RunProcessAndWait(const std::string& program, const std::string& arguments) override {
    runs.push_back({program, arguments});
    return startWorks;
  }
  void WaitForFile(const std::string&, std::uint32_t) override {}
};

// The desktop shell; what it opens is recorded with the processes' starts.
class FakeShell : public Shell {
 public:
  explicit FakeShell(FakeProcesses& processes) : processes_(processes) {}
  void Execute(const std::string& verb, const std::string& file,
               const std::string& parameters) override {
    EXPECT_EQ(verb, "open");
    processes_.opened.push_back({file, parameters});
  }

 private:
  FakeProcesses& processes_;
};

class CadCommandTest : public ::testing::Test {
 protected:
  ScratchFolder scratch;
  FakeCad cad;
  FakeAutomationHost host{cad};
  CadView view;
  ProgramValues values;
  FakeDesktop desktop;
  FakeProcesses processes;
  FakeShell shell{processes};
  FakeCapture capture;
  std::vector<std::string> rasterLog;
  RasterSteps raster{
      [this](Bitmap&) { rasterLog.push_back("median"); },
      [this](Bitmap&) { rasterLog.push_back("gaussian"); },
      [this](Bitmap&, bool autoThreshold, std::string& threshold) {
        rasterLog.push_back(autoThreshold ? "monochrome auto" : "monochrome " + threshold);
        if (autoThreshold) threshold = "128";
      },
      [this](const Bitmap& b, double radians) {
        rasterLog.push_back("rotate " + std::to_string(radians * kDegreesPerRadian));
        return b;
      }};
  ImagePickFields pick;
  CadCommandContext context{view,
                            values,
                            host,
                            desktop,
                            processes,
                            shell,
                            capture,
                            raster,
                            pick,
                            scratch.path(),
                            scratch / "Tesnova.bmp"};

  CadCommandTest() {
    desktop.Add({cad.mainWindow, "テスト CAD", "CadFrame"});
    values.targetProgId = "TesnovaTestCad.Application";
  }

  std::string Work(const char* name) { return PathToUtf8(scratch / name); }
  void QueuePick(double x, double y) { cad.picks.push_back(Variant(std::vector<double>{x, y, 0})); }
  void QueueCancel() { cad.picks.push_back(Variant()); }
  // A file that stands for an installed program.
  std::string FakeProgram(const char* name) {
    WriteFileBytes(scratch / name, "MZ");
    return Work(name);
  }
  bool LoggedBefore(const std::string& first, const std::string& second) const {
    auto a = std::find(cad.log.begin(), cad.log.end(), first);
    auto b = std::find(cad.log.begin(), cad.log.end(), second);
    return a != cad.log.end() && b != cad.log.end() && a < b;
  }
  bool Logged(const std::string& entry) const {
    return std::find(cad.log.begin(), cad.log.end(), entry) != cad.log.end();
  }
  int EscapeKeys() const {
    int n = 0;
    for (const auto& c : desktop.calls)
      if (c.what == "key" && c.wParam == 27) ++n;
    return n;
  }
};

}  // namespace tesnova::testing
