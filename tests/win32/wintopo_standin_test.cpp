// WinTopo's automation against the WinTopo stand-in: real windows, real messages, the
// system's save dialog.
#include <gtest/gtest.h>
#include <windows.h>

#include <fstream>
#include <thread>

#include "base/text_file.h"
#include "raster/bmp_file.h"
#include "support/fake_sink.h"
#include "support/test_paths.h"
#include "tools/tracer_command_lines.h"
#include "tools/wintopo.h"
#include "win32/shell_win32.h"
#include "win32/wide_text.h"
#include "win32/win32_desktop.h"
#include "win32/win32_processes.h"

namespace tesnova {
namespace {

namespace fs = std::filesystem;
using testing::FakeSink;
using testing::ScratchFolder;

fs::path StandIn() {
  wchar_t buffer[MAX_PATH];
  GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return fs::path(buffer).parent_path().parent_path() / "testbed" / "wintopo_standin" /
         "wintopo_standin.exe";
}

// A filled square of 20 x 20 pixels at (10, 10) in a 60 x 40 picture.
Bitmap Square() {
  Bitmap b(60, 40);
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 30; ++x) std::fill(b.at(x, y), b.at(x, y) + 3, 0);
  return b;
}

bool WaitUntil(const std::function<bool()>& done, int ms = 8000) {
  for (int t = 0; t < ms; t += 50) {
    if (done()) return true;
    Sleep(50);
  }
  return done();
}

// Wine keeps menus inside their process: another program's GetSubMenu fails there, where
// Windows answers it. This desktop asks the stand-in for the identifier instead when the
// system could not tell it.
class StandInDesktop : public Win32Desktop {
 public:
  std::uint32_t MenuItemId(WindowId w, int menuPos, int itemPos) override {
    std::uint32_t id = Win32Desktop::MenuItemId(w, menuPos, itemPos);
    if (id != 0xFFFFFFFFu) return id;
    static const UINT query = RegisterWindowMessageW(L"TesnovaStandInMenuItemId");
    return static_cast<std::uint32_t>(Send(w, query, MAKEWPARAM(itemPos, menuPos), 0));
  }
};

struct WinTopoStandIn : ::testing::Test {
  ScratchFolder scratch;
  fs::path folder = scratch.path() / PathFromUtf8("作業 フォルダ");
  WorkFiles files;
  FakeSink sink;
  StandInDesktop desktop;
  Win32Processes processes;

  void SetUp() override {
    if (!fs::exists(StandIn())) GTEST_SKIP() << "no stand-in at " << StandIn();
    // A stand-in left running by an earlier program (the end-to-end tests, the demo) has the same
    // title and would take our commands, saving into its own folder.
    EndStandIns();
    fs::create_directories(folder);
    files = WorkFilesIn(folder);
    WriteBmp24(PathFromUtf8(files.bmp), Square());
    sink.onDispatch = DispatchPendingMessages;
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"TESNOVA_WINTOPO_STANDIN", nullptr);
    EndStandIns();
  }
  // Ends every window the commands would take for WinTopo, without asking.
  void EndStandIns() {
    for (WindowId w = FindWinTopoWindow(desktop); w != 0; w = FindWinTopoWindow(desktop)) {
      DWORD pid = 0;
      GetWindowThreadProcessId(reinterpret_cast<HWND>(w), &pid);
      HANDLE p = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid);
      ASSERT_NE(p, nullptr) << desktop.WindowTitle(w);
      TerminateProcess(p, 0);
      WaitForSingleObject(p, 5000);
      CloseHandle(p);
      ASSERT_TRUE(WaitUntil([&] { return !desktop.IsWindow(w); })) << desktop.WindowTitle(w);
    }
  }
  // Starts the stand-in on the work bitmap; its window once it is shown, so its message loop
  // runs.
  WindowId Open(const char* behaviours = nullptr) {
    if (behaviours)
      SetEnvironmentVariableW(L"TESNOVA_WINTOPO_STANDIN", Utf8ToWide(behaviours).c_str());
    WindowsShell().Execute("open", PathToUtf8(StandIn()), WinTopoArguments(files.bmp));
    WindowId w = 0;
    WaitUntil([&] {
      return (w = FindWinTopoWindow(desktop)) != 0 &&
             desktop.WindowTitle(w).ends_with("tesnova.bmp") &&
             IsWindowVisible(reinterpret_cast<HWND>(w));
    });
    return w;
  }
  // The DXF once the stand-in has written it to the end: it appears empty and is then filled.
  std::string Dxf() {
    std::string text;
    WaitUntil([&] {
      std::error_code ec;
      if (!fs::exists(PathFromUtf8(files.dxf), ec)) return false;
      text = ReadFileBytes(PathFromUtf8(files.dxf));
      return text.ends_with("EOF\r\n");
    });
    return text;
  }
};

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

TEST_F(WinTopoStandIn, VectoriseAndSaveWriteTheOutlinesAsTheWorkDxf) {
  WindowId w = Open();
  ASSERT_NE(w, 0u);
  EXPECT_EQ(desktop.WindowTitle(w), "WinTopo stand-in - tesnova.bmp");
  std::ofstream(PathFromUtf8(files.dxf)) << "old";

  VectoriseInWinTopo(desktop, files, sink);
  SaveWinTopoDxf(desktop, files, sink);
  std::string dxf = Dxf();
  EXPECT_TRUE(sink.Messages().empty());
  // The square's outline: one closed polyline through its four corners, Y up from the
  // bottom-left corner.
  EXPECT_EQ(Count(dxf, "POLYLINE\r\n"), 1) << dxf;
  EXPECT_NE(dxf.find(" 70\r\n1\r\n"), std::string::npos) << dxf;
  EXPECT_EQ(Count(dxf, "VERTEX\r\n"), 4) << dxf;
  for (const char* corner :
       {" 10\r\n10.000\r\n 20\r\n30.000\r\n", " 10\r\n30.000\r\n 20\r\n30.000\r\n",
        " 10\r\n30.000\r\n 20\r\n10.000\r\n", " 10\r\n10.000\r\n 20\r\n10.000\r\n"})
    EXPECT_NE(dxf.find(corner), std::string::npos) << corner << dxf;

  CloseWinTopo(desktop);
  EXPECT_TRUE(WaitUntil([&] { return !desktop.IsWindow(w); }));
}

TEST_F(WinTopoStandIn, SaveRefusesToTouchADxfHeldOpen) {
  ASSERT_NE(Open(), 0u);
  std::ofstream(PathFromUtf8(files.dxf)) << "old";
  HANDLE held = CreateFileW(Utf8ToWide(files.dxf).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                            0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  SaveWinTopoDxf(desktop, files, sink);
  CloseHandle(held);
  EXPECT_EQ(sink.Messages(),
            std::vector<std::string>{files.dxf + "\nの削除に失敗しました。使用中？"});
  EXPECT_EQ(ReadFileBytes(PathFromUtf8(files.dxf)), "old");
}

TEST_F(WinTopoStandIn, SaveGivesUpQuietlyWhenNoDialogAppears) {
  ASSERT_NE(Open("nosave"), 0u);
  VectoriseInWinTopo(desktop, files, sink);
  SaveWinTopoDxf(desktop, files, sink);
  EXPECT_TRUE(sink.Messages().empty());
  EXPECT_FALSE(fs::exists(PathFromUtf8(files.dxf)));
  EXPECT_FALSE(sink.busy);
}

TEST_F(WinTopoStandIn, CloseWaitsForTheAnswerToWinTopoPrompt) {
  WindowId w = Open("ask");
  ASSERT_NE(w, 0u);
  VectoriseInWinTopo(desktop, files, sink);
  // Someone answers the prompt "Yes" while CloseWinTopo waits in its close request.
  std::thread answer([] {
    HWND box = nullptr;
    WaitUntil([&] { return (box = FindWindowW(L"#32770", L"WinTopo stand-in")) != nullptr; });
    if (box) PostMessageW(box, WM_COMMAND, IDYES, 0);
  });
  CloseWinTopo(desktop);
  answer.join();
  EXPECT_TRUE(WaitUntil([&] { return !desktop.IsWindow(w); }));
}

TEST_F(WinTopoStandIn, CommandsSayWhenWinTopoIsNotRunning) {
  VectoriseInWinTopo(desktop, files, sink);
  EXPECT_EQ(sink.Messages(), std::vector<std::string>{"WinTopo Freeware が見つかりません。"});
  CloseWinTopo(desktop);
}

}  // namespace
}  // namespace tesnova
