#pragma once
// A fixture that holds the CAD commands' ports as fakes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "base/text_file.h"
#include "cad/cad_commands.h"
#include "support/fake_cad.h"
#include "support/fake_desktop.h"
#include "support/fake_ports.h"
#include "support/fake_sink.h"
#include "support/test_paths.h"

namespace tesnova::testing {

class CadCommandTest : public ::testing::Test {
 protected:
  ScratchFolder scratch;
  FakeCad cad;
  FakeAutomationHost host{cad};
  FakeSink sink;
  CadState state;
  FakeDesktop desktop;
  FakeProcesses processes;
  FakeShell shell;
  FakeCapture capture;
  CadCommandContext context{host,           desktop,
                            processes,      shell,
                            capture,        sink,
                            state,          "TesnovaTestCad.Application",
                            scratch.path(), scratch / "Tesnova.bmp"};

  CadCommandTest() { desktop.Add({cad.mainWindow, "テスト CAD", "CadFrame"}); }

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
