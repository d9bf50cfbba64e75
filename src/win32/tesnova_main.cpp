// Tesnova.exe: the main window and the target CAD dialog on one user-interface thread.
#include <windows.h>
// After windows.h, which they need.
#include <commctrl.h>
#include <ole2.h>

#include <exception>
#include <filesystem>
#include <memory>

#include "app/commands.h"
#include "app/main_form.h"
#include "base/system.h"
#include "win32/com_automation.h"
#include "win32/error_box.h"
#include "win32/main_window.h"
#include "win32/screen_capture_win32.h"
#include "win32/screen_win32.h"
#include "win32/shell_win32.h"
#include "win32/target_cad_form.h"
#include "win32/win32_desktop.h"
#include "win32/win32_processes.h"

namespace {

// The executable's path with the extension ".ini".
std::wstring SettingsFile() {
  return tesnova::ExecutablePath().replace_extension(".ini").wstring();
}

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int show) {
  using namespace tesnova;
  OleInitialize(nullptr);
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof controls;
  controls.dwICC = ICC_STANDARD_CLASSES | ICC_TAB_CLASSES;
  InitCommonControlsEx(&controls);
  int exitCode = 0;
  try {
    ProgramValues values;
    WindowsShell shell;
    WindowsScreen screen;
    MainWindow window(instance);
    std::unique_ptr<TargetCadForm> dialog;
    // The dialog is created after the main window's creation; the context refers to it.
    struct LateDialog : TargetCadDialog {
      std::unique_ptr<TargetCadForm>* form;
      std::optional<TargetCadChoice> ShowModal(std::string_view progId) override {
        return (*form)->ShowModal(progId);
      }
    } dialogPort;
    dialogPort.form = &dialog;
    // The commands' ports. A command that needs another port adds it to AppContext
    // (src/app/commands.h) and its platform adapter is created here beside these.
    // The tracer waits dispatch the window's messages, so that it stays alive meanwhile.
    std::unique_ptr<Processes> processes =
        MakePlatformProcesses([&window] { window.ProcessMessages(); });
    Win32Desktop desktop;
    // The CAD program through COM; the screen copies of its drawing window.
    ComAutomationHost automation;
    Win32ScreenCapture screenCapture;
    AppContext context{window,
                       values,
                       shell,
                       screen,
                       dialogPort,
                       *processes,
                       desktop,
                       automation,
                       screenCapture,
                       ExecutableFolder(),
                       ExecutablePath().replace_extension(".bmp")};
    window.SetContext(&context);
    window.FormCreate(SettingsFile());
    dialog = std::make_unique<TargetCadForm>(instance, window.hwnd(), context.folder);
    ShowWindow(window.hwnd(), show);
    UpdateWindow(window.hwnd());

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
      if (window.TranslateKey(msg) || IsDialogMessageW(window.hwnd(), &msg)) continue;
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    exitCode = static_cast<int>(msg.wParam);
  } catch (const std::exception& e) {
    ShowErrorBox(nullptr, e);
    exitCode = 1;
  }
  OleUninitialize();
  return exitCode;
}
