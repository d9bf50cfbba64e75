#include "win32/win32_processes.h"

#include <windows.h>

#include <vector>

#include "process/command_line.h"
#include "process/file_wait.h"
#include "win32/wide_text.h"

namespace tesnova {

void DispatchPendingMessages() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
}

Win32Processes::Win32Processes(std::function<void()> dispatch) : dispatch_(std::move(dispatch)) {}

namespace {

bool QuitPending() {
  MSG msg;
  return PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE) != 0;
}

}  // namespace

ProcessResult Win32Processes::RunProcess(const ProcessOptions& o) {
  std::wstring line = Utf8ToWide(BuildCommandLine(o.program, o.arguments));
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(L'\0');
  std::wstring folder =
      o.inCurrentFolder ? std::wstring() : Utf8ToWide(WorkFolderFor(o.program, o.workFolder));

  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (o.minimised) {
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWMINIMIZED;
  }
  PROCESS_INFORMATION pi{};
  ProcessResult result;
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &si, &pi)) {
    result.errorCode = GetLastError();
    return result;
  }
  result.started = true;
  CloseHandle(pi.hThread);
  if (o.waitForIdle) WaitForInputIdle(pi.hProcess, INFINITE);
  if (o.wait == ProcessWait::kBlocking) {
    WaitForSingleObject(pi.hProcess, INFINITE);
    result.ended = true;
  } else if (o.wait == ProcessWait::kDispatching) {
    for (;;) {
      if (dispatch_) dispatch_();
      if (QuitPending()) break;  // the application is closing; the child runs on
      DWORD r = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, INFINITE, QS_ALLINPUT);
      if (r != WAIT_OBJECT_0 + 1) {
        result.ended = r == WAIT_OBJECT_0;
        break;
      }
    }
  }
  DWORD exitCode = 0;
  if (result.ended && GetExitCodeProcess(pi.hProcess, &exitCode)) result.exitCode = exitCode;
  CloseHandle(pi.hProcess);
  return result;
}

void Win32Processes::WaitForFile(const std::string& fileName, std::uint32_t timeoutMs) {
  WaitForFileOn(SystemFileWaitClock(), fileName, timeoutMs);
}

std::unique_ptr<Processes> MakePlatformProcesses(std::function<void()> dispatch) {
  if (!dispatch) return std::make_unique<Win32Processes>();
  return std::make_unique<Win32Processes>(std::move(dispatch));
}

}  // namespace tesnova
