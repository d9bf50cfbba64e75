#include "win32/win32_processes.h"

#include <gtest/gtest.h>
#include <windows.h>
// after windows.h
#include <shellapi.h>

#include <fstream>

#include "base/error.h"
#include "base/text_file.h"
#include "process/command_line.h"
#include "support/test_paths.h"
#include "win32/wide_text.h"

namespace tesnova {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

// This test program doubles as the child that the tests start: with "--child" as its first
// argument it does one small job before the test framework starts, and exits.
//   --child echo OUT       writes its working folder and its arguments, one a line, to OUT
//   --child await FILE     ends once FILE exists (at most 10 s)
//   --child sleep MS
//   --child exit CODE      ends with that exit code
//   --child spawn FILE     starts "--child sleep 60000", writes its process id to FILE, and
//                          sleeps a minute itself
struct ChildMode {
  ChildMode() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (argc < 4 || std::wstring(argv[1]) != L"--child") return;
    std::wstring job = argv[2];
    if (job == L"echo") {
      wchar_t cwd[MAX_PATH];
      GetCurrentDirectoryW(MAX_PATH, cwd);
      std::string text = WideToUtf8(cwd) + "\n";
      for (int i = 1; i < argc; ++i) text += "[" + WideToUtf8(argv[i]) + "]\n";
      std::ofstream(fs::path(argv[3]), std::ios::binary) << text;
    } else if (job == L"await") {
      for (int i = 0; i < 1000 && GetFileAttributesW(argv[3]) == INVALID_FILE_ATTRIBUTES; ++i)
        Sleep(10);
    } else if (job == L"sleep") {
      Sleep(static_cast<DWORD>(_wtoi(argv[3])));
    } else if (job == L"exit") {
      ExitProcess(static_cast<UINT>(_wtoi(argv[3])));
    } else if (job == L"spawn") {
      wchar_t self[MAX_PATH];
      GetModuleFileNameW(nullptr, self, MAX_PATH);
      std::wstring line = L"\"" + std::wstring(self) + L"\" --child sleep 60000";
      STARTUPINFOW si{};
      si.cb = sizeof si;
      PROCESS_INFORMATION pi{};
      if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                         &pi))
        std::ofstream(fs::path(argv[3])) << pi.dwProcessId;
      Sleep(60000);
    }
    ExitProcess(0);
  }
} childMode;

fs::path ThisProgram() {
  wchar_t buffer[MAX_PATH];
  GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return fs::path(buffer);
}

TEST(Win32Processes, SplitsCommandLinesAsTheSystemParserDoes) {
  const char* lines[] = {
      "\"C:\\Program Files\\p.exe\" ",
      "\"p\" C:\\My Work\\t.bmp -b dxf",
      "\"p\" -i \"C:\\My Work\\t.bmp\" -o \"x y.svg\"",
      "\"p\"  a\t\tb  ",
      "\"C:\\a\\\"x y",
      "plain.exe a",
      "\"p\" C:\\dir\\ a\\\\b",
      "\"p\" \"C:\\dir\\\\\" next",
      "\"p\" a\\\"b",
      "\"p\" a\\\\\\\"b",
      "\"p\" a\\\\\"b c\"",
      "\"p\" a\"b c\"d",
      "\"p\" \"\" x",
      "\"p\" \"a\"\"b c\"",
      "\"p\" \"a\"\"\"b\"",
      "\"p\" \"unterminated group",
      "\"p\" 日本語\\ファイル.bmp",
  };
  for (const char* line : lines) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(Utf8ToWide(line).c_str(), &argc);
    std::vector<std::string> expected;
    for (int i = 0; i < argc; ++i) expected.push_back(WideToUtf8(argv[i]));
    LocalFree(argv);
    EXPECT_EQ(SplitCommandLine(line), expected) << line;
  }
}

TEST(Win32Processes, StartsAProgramUnderAPathWithBlanksInItsOwnFolder) {
  ScratchFolder dir;
  fs::create_directories(dir / "my tools");
  fs::path tool = dir / "my tools" / "echo child.exe";
  fs::copy_file(ThisProgram(), tool);
  fs::path out = dir / "出力.txt";
  Win32Processes processes;
  ASSERT_TRUE(processes
                  .RunProcess({.program = PathToUtf8(tool),
                               .arguments = "--child echo \"" + PathToUtf8(out) + "\" my work.bmp",
                               .minimised = true})
                  .started);
  EXPECT_EQ(ReadFileBytes(out), PathToUtf8(dir / "my tools") + "\n[--child]\n[echo]\n[" +
                                    PathToUtf8(out) + "]\n[my]\n[work.bmp]\n");

  // Asked to, it starts in the caller's current folder.
  ASSERT_TRUE(processes
                  .RunProcess({.program = PathToUtf8(tool),
                               .arguments = "--child echo \"" + PathToUtf8(out) + "\"",
                               .inCurrentFolder = true,
                               .wait = ProcessWait::kBlocking})
                  .started);
  EXPECT_EQ(ReadFileBytes(out).substr(0, ReadFileBytes(out).find('\n')),
            PathToUtf8(fs::current_path()));
}

TEST(Win32Processes, AFailedStartReportsTheSystemErrorCode) {
  ScratchFolder dir;
  Win32Processes processes;
  for (ProcessWait wait : {ProcessWait::kDispatching, ProcessWait::kBlocking}) {
    ProcessResult run =
        processes.RunProcess({.program = PathToUtf8(dir / "missing.exe"), .wait = wait});
    EXPECT_FALSE(run.started);
    EXPECT_EQ(run.errorCode, static_cast<std::uint32_t>(ERROR_FILE_NOT_FOUND));
    run = processes.RunProcess({.program = PathToUtf8(dir.path()), .wait = wait});
    EXPECT_FALSE(run.started);
    EXPECT_NE(run.errorCode, 0u);
  }
}

TEST(Win32Processes, TheResultCarriesTheExitCode) {
  Win32Processes processes;
  for (ProcessWait wait : {ProcessWait::kDispatching, ProcessWait::kBlocking}) {
    const ProcessResult run = processes.RunProcess(
        {.program = PathToUtf8(ThisProgram()), .arguments = "--child exit 3", .wait = wait});
    EXPECT_TRUE(run.started && run.ended);
    EXPECT_EQ(run.exitCode, 3u);
  }
}

// A tool that runs past its time-out is ended with every program it started.
TEST(Win32Processes, ATimeOutEndsTheToolAndItsChildren) {
  ScratchFolder dir;
  for (ProcessWait wait : {ProcessWait::kDispatching, ProcessWait::kBlocking}) {
    const fs::path pidFile = dir / "child.pid";
    fs::remove(pidFile);
    const ProcessResult run =
        Win32Processes().RunProcess({.program = PathToUtf8(ThisProgram()),
                                     .arguments = "--child spawn \"" + PathToUtf8(pidFile) + "\"",
                                     .wait = wait,
                                     .timeoutMs = 3000});
    EXPECT_TRUE(run.started && run.ended && run.timedOut);
    EXPECT_FALSE(run.Succeeded());
    DWORD child = 0;
    std::ifstream(pidFile) >> child;
    ASSERT_NE(child, 0u);
    HANDLE h = OpenProcess(SYNCHRONIZE, FALSE, child);
    if (h) {
      EXPECT_EQ(WaitForSingleObject(h, 5000), WAIT_OBJECT_0) << "the child runs on";
      CloseHandle(h);
    }
  }
}

// A window whose timer stands for the user working during a wait.
struct TimerWindow {
  static inline fs::path go;
  static inline bool quitOnTimer = false;
  HWND hwnd;
  TimerWindow() {
    WNDCLASSW wc{};
    wc.lpfnWndProc = [](HWND h, UINT m, WPARAM w, LPARAM l) -> LRESULT {
      if (m == WM_TIMER) {
        KillTimer(h, 1);
        if (quitOnTimer)
          PostQuitMessage(7);
        else
          std::ofstream(go) << "go";
        return 0;
      }
      return DefWindowProcW(h, m, w, l);
    };
    wc.hInstance = GetModuleHandleW(nullptr);
    wc.lpszClassName = L"TesnovaTestTimerWindow";
    RegisterClassW(&wc);
    hwnd = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance,
                         nullptr);
    SetTimer(hwnd, 1, 300, nullptr);
  }
  ~TimerWindow() { DestroyWindow(hwnd); }
};

TEST(Win32Processes, TheWaitDispatchesMessagesWhileTheToolRuns) {
  ScratchFolder dir;
  TimerWindow::go = dir / "go";
  TimerWindow::quitOnTimer = false;
  TimerWindow window;
  Win32Processes processes;
  // The child ends only once the timer message has been handled during the wait.
  ASSERT_TRUE(processes
                  .RunProcess({.program = PathToUtf8(ThisProgram()),
                               .arguments = "--child await \"" + PathToUtf8(dir / "go") + "\""})
                  .ended);
  EXPECT_TRUE(fs::exists(dir / "go"));
}

TEST(Win32Processes, ClosingTheApplicationEndsTheWaitOnAHungTool) {
  TimerWindow::quitOnTimer = true;
  TimerWindow window;
  Win32Processes processes;
  const ProcessResult run = processes.RunProcess(
      {.program = PathToUtf8(ThisProgram()), .arguments = "--child sleep 20000"});
  ASSERT_TRUE(run.started);
  EXPECT_FALSE(run.ended);
  // The quit request is still there for the application's own loop.
  MSG msg;
  ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 7u);
}

TEST(Win32Processes, WaitForFileTimesOutNamingTheFile) {
  ScratchFolder dir;
  Win32Processes processes;
  std::ofstream(dir / "there.svg") << "x";
  processes.WaitForFile(PathToUtf8(dir / "there.svg"), 30000);
  fs::create_directories(dir / "folder.svg");
  try {
    processes.WaitForFile(PathToUtf8(dir / "folder.svg"), 300);
    FAIL() << "no time-out";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "SVG ファイルの生成がタイムアウトしました: " + PathToUtf8(dir / "folder.svg"));
  }
}

}  // namespace
}  // namespace tesnova
