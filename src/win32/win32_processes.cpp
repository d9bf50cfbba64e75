#include "win32/win32_processes.h"

#include <windows.h>

#include <optional>
#include <vector>

#include "base/interrupt_cleanup.h"
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
  // A waited-for program runs in a job object of its own, so that ending it on time-out or on
  // an interrupt ends whatever it started as well.
  const bool waited = o.wait != ProcessWait::kNone;
  HANDLE job = waited ? CreateJobObjectW(nullptr, nullptr) : nullptr;
  PROCESS_INFORMATION pi{};
  ProcessResult result;
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, job ? CREATE_SUSPENDED : 0,
                      nullptr, folder.empty() ? nullptr : folder.c_str(), &si, &pi)) {
    result.errorCode = GetLastError();
    if (job) CloseHandle(job);
    return result;
  }
  result.started = true;
  if (job) {
    if (!AssignProcessToJobObject(job, pi.hProcess)) {
      CloseHandle(job);
      job = nullptr;
    }
    ResumeThread(pi.hThread);
  }
  CloseHandle(pi.hThread);
  auto endAll = [&] {
    if (!job || !TerminateJobObject(job, 1)) TerminateProcess(pi.hProcess, 1);
  };
  // Undone before the handles are closed: an interrupt after that would end whatever reused them.
  std::optional<InterruptCleanup> onInterrupt(std::in_place, endAll);
  // The time-out counts from the start, the wait for input idle included.
  const ULONGLONG deadline = GetTickCount64() + o.timeoutMs;
  auto left = [&]() -> DWORD {
    if (o.timeoutMs == 0) return INFINITE;
    const ULONGLONG now = GetTickCount64();
    return now >= deadline ? 0 : static_cast<DWORD>(deadline - now);
  };
  if (o.waitForIdle) WaitForInputIdle(pi.hProcess, left());
  bool late = false;
  if (o.wait == ProcessWait::kBlocking) {
    const DWORD r = WaitForSingleObject(pi.hProcess, left());
    result.ended = r == WAIT_OBJECT_0;
    late = r == WAIT_TIMEOUT;
  } else if (o.wait == ProcessWait::kDispatching) {
    for (;;) {
      if (dispatch_) dispatch_();
      if (QuitPending()) break;  // the application is closing; the child runs on
      DWORD r = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, left(), QS_ALLINPUT);
      if (r == WAIT_TIMEOUT) {
        late = true;
        break;
      }
      if (r != WAIT_OBJECT_0 + 1) {
        result.ended = r == WAIT_OBJECT_0;
        break;
      }
    }
  }
  if (late) {
    endAll();
    WaitForSingleObject(pi.hProcess, 5000);
    result.ended = true;
    result.timedOut = true;
  }
  DWORD exitCode = 0;
  if (result.ended && GetExitCodeProcess(pi.hProcess, &exitCode)) result.exitCode = exitCode;
  onInterrupt.reset();
  CloseHandle(pi.hProcess);
  if (job) CloseHandle(job);
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
