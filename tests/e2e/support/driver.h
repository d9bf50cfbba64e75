#pragma once
// Drives Windows programs from outside through their windows, as a user would: find windows,
// read and type texts, click, drop files, wait for things to happen. Texts are UTF-8.
#include <windows.h>

#include <chrono>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace tesnova::e2e {

using namespace std::chrono_literals;

// Polls the condition until it holds or the timeout passes; true when it held.
bool WaitUntil(const std::function<bool()>& condition, std::chrono::milliseconds timeout = 10000ms);

// A visible top-level window of the process whose title starts with the prefix (any process
// when pid is 0); nullptr when there is none.
HWND FindTopWindow(const std::string& titlePrefix, DWORD pid = 0);
// The same, waiting for it to appear.
HWND WaitForTopWindow(const std::string& titlePrefix, DWORD pid = 0,
                      std::chrono::milliseconds timeout = 15000ms);
// Ends every process that shows a top-level window whose title starts with the prefix, without
// asking: programs a test had others open (WinTopo from Tesnova) outlive the program under test.
void EndProgramsWithWindow(const std::string& titlePrefix);
// A message box (window class "#32770") of the process; nullptr when none is shown.
HWND FindMessageBox(DWORD pid);

// The window's own text and every child's text, one a line: what a message box says.
std::string AllTexts(HWND window);
// Closes a message box with its first push button (OK).
void ConfirmMessageBox(HWND box);

// A control of the window by its designer name ("Edit12") or by its id.
HWND Control(HWND window, const std::string& name);
HWND ControlById(HWND window, int id);

std::string WindowText(HWND window);
void SetWindowTextTo(HWND control, const std::string& text);
bool IsChecked(HWND checkBox);
void SetChecked(HWND checkBox, bool checked);
// Clicks a button the way the mouse would; returns at once (the click may open a modal window).
void Click(HWND button);
// Clicks a button whose command greys it out while it runs, and waits until the command has
// begun and ended: the commands dispatch messages while they wait, so a second click posted
// too early would run inside the first. False when the command did not run or did not end.
bool ClickAndWaitForCommand(HWND button, std::chrono::milliseconds timeout = 20000ms);
// Presses and releases a key in the control (posted, so a modal loop sees it too).
void PressKey(HWND control, WORD virtualKey);
// Types a chord on the keyboard as the user would (SendInput): the keys go down in order and
// come up in reverse, to whichever window has the keyboard focus.
void TypeKeys(const std::vector<WORD>& keys);
// Makes the window the foreground window, so that typed keys reach it; false when it did not
// become so.
bool BringToFront(HWND window);
// Items of a list box, and the selection (-1 when none).
std::vector<std::string> ListItems(HWND listBox);
int ListSelection(HWND listBox);
// Selects a list item as a click would, notifying the list's owner.
void SelectListItem(HWND listBox, int index);
bool IsTopmost(HWND window);

// Drops the files on the window as the shell does (WM_DROPFILES with a DROPFILES block written
// into the target process).
void DropFiles(HWND window, const std::vector<std::string>& paths);

// A program started from a copy of its executable in a fresh temporary folder; ended when the
// object goes (closed if it still runs, killed if it does not close).
class ProgramUnderTest {
 public:
  // Copies the executable into a new temporary folder (named after the test).
  explicit ProgramUnderTest(const std::filesystem::path& executable);
  ~ProgramUnderTest();
  ProgramUnderTest(const ProgramUnderTest&) = delete;
  ProgramUnderTest& operator=(const ProgramUnderTest&) = delete;

  const std::filesystem::path& folder() const { return folder_; }
  // Copies a file (a fixture, a stand-in program) into the program's folder; its new path.
  std::filesystem::path CopyIn(const std::filesystem::path& file) const;
  std::filesystem::path exe() const { return folder_ / executable_.filename(); }

  // The program's settings file (its executable's path with ".ini"), a key written into it
  // before the program starts, and a key read back ("<missing>" when absent).
  std::filesystem::path SettingsFile() const;
  void SetSetting(const std::string& section, const std::string& key,
                  const std::string& value) const;
  std::string Setting(const std::string& section, const std::string& key) const;

  // Starts the copy (any running instance must have ended) and waits for its main window.
  HWND Start(const std::string& titlePrefix);
  DWORD pid() const { return info_.dwProcessId; }
  // Asks the main window to close and waits for the process to end; false on timeout.
  bool Close(HWND mainWindow, std::chrono::milliseconds timeout = 15000ms);
  bool Running() const;

 private:
  void End();

  std::filesystem::path executable_;
  std::filesystem::path folder_;
  PROCESS_INFORMATION info_{};
};

// The screen's dots per inch for programs started while the object lives (the prefix's
// LogPixels setting); the setting found before is put back when it goes.
class ScreenDpi {
 public:
  explicit ScreenDpi(int dpi);
  ~ScreenDpi();
  ScreenDpi(const ScreenDpi&) = delete;
  ScreenDpi& operator=(const ScreenDpi&) = delete;

 private:
  DWORD previous_ = 0;
  bool hadPrevious_ = false;
};

// Where the program under test was built: beside the working folder or two levels above this
// driver.
std::filesystem::path BuiltProgram(const std::string& fileName);

// Text file helpers for checking what lands on disk.
std::string ReadBytes(const std::filesystem::path& file);
void WriteBytes(const std::filesystem::path& file, const std::string& bytes);

}  // namespace tesnova::e2e
