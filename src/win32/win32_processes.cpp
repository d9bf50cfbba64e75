#include "win32/win32_processes.h"

#include <windows.h>

#include <vector>

#include "tools/command_line.h"
#include "tools/file_wait.h"
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

bool Win32Processes::RunProcess(const std::string& program, const std::string& arguments,
                                const std::string& workFolder, bool wait, bool waitForIdle,
                                bool minimised, std::uint32_t& errorCode) {
  std::wstring line = Utf8ToWide(BuildCommandLine(program, arguments));
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(L'\0');
  std::wstring folder = Utf8ToWide(WorkFolderFor(program, workFolder));

  STARTUPINFOW si{};
  si.cb = sizeof si;
  if (minimised) {
    si.dwFlags = STARTF_USESHOWWINDOW;
    si.wShowWindow = SW_SHOWMINIMIZED;
  }
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      folder.empty() ? nullptr : folder.c_str(), &si, &pi)) {
    errorCode = GetLastError();
    return false;
  }
  CloseHandle(pi.hThread);
  if (waitForIdle) WaitForInputIdle(pi.hProcess, INFINITE);
  if (wait) {
    for (;;) {
      if (dispatch_) dispatch_();
      if (QuitPending()) break;  // the application is closing; the child runs on
      DWORD r = MsgWaitForMultipleObjects(1, &pi.hProcess, FALSE, INFINITE, QS_ALLINPUT);
      if (r != WAIT_OBJECT_0 + 1) break;
    }
  }
  CloseHandle(pi.hProcess);
  return true;
}

bool Win32Processes::RunProcessAndWait(const std::string& program, const std::string& arguments) {
  std::wstring line = Utf8ToWide(BuildCommandLine(program, arguments));
  std::vector<wchar_t> buffer(line.begin(), line.end());
  buffer.push_back(L'\0');
  STARTUPINFOW si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  if (!CreateProcessW(nullptr, buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si,
                      &pi))
    return false;
  WaitForSingleObject(pi.hProcess, INFINITE);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return true;
}

void Win32Processes::WaitForFile(const std::string& fileName, std::uint32_t timeoutMs) {
  FileWaitClock clock{[] { return static_cast<std::uint32_t>(GetTickCount()); },
                      [](std::uint32_t ms) { Sleep(ms); },
                      [](const std::string& name) {
                        DWORD a = GetFileAttributesW(Utf8ToWide(name).c_str());
                        return a != INVALID_FILE_ATTRIBUTES && !(a & FILE_ATTRIBUTE_DIRECTORY);
                      }};
  WaitForFileOn(clock, fileName, timeoutMs);
}

}  // namespace tesnova
