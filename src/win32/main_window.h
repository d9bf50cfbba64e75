#pragma once
// TForm102, the main window: its controls, its look, and its messages. The commands behind
// the buttons are the portable handlers of the command table.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "app/commands.h"
#include "ports/view.h"

namespace tesnova {

class TMessageFilter;
class MainWindow : public View {
 public:
  // Creates the window, hidden, with every control at its designed place and text.
  explicit MainWindow(HINSTANCE instance);
  ~MainWindow() override;
  MainWindow(const MainWindow&) = delete;
  MainWindow& operator=(const MainWindow&) = delete;

  HWND hwnd() const { return hwnd_; }

  // The commands' context; set before FormCreate.
  void SetContext(AppContext* context) { context_ = context; }

  // Fills the window from its fixed texts, the settings file and the help texts, and
  // registers it for dropped files and the COM message filter.
  void FormCreate(const std::wstring& settingsFile);

  // Answers the keys of a window with pages before the dialog keys see them: Enter presses
  // the focused button, Ctrl+Tab and its kin switch pages. True when the message was used.
  bool TranslateKey(const MSG& msg);

  std::string Text(std::string_view control) const override;
  void SetText(std::string_view control, std::string_view text) override;
  bool Checked(std::string_view control) const override;
  void SetChecked(std::string_view control, bool checked) override;
  void AppendLine(std::string_view memo, std::string_view line) override;
  void SetCaption(std::string_view caption) override;
  int ActivePage() const override { return page_; }
  void SetActivePage(int index) override;
  std::uint32_t Fill(std::string_view shape) const override;
  void SetFill(std::string_view shape, std::uint32_t rgb) override;
  void SetTimerEnabled(std::string_view timer, bool enabled) override;
  void ShowPicture(const Bitmap& bitmap) override;
  void SetStayOnTop(bool onTop) override;
  void Minimise() override;
  void Restore() override;
  void BringToFront() override;
  void ShowMessage(std::string_view text) override;
  void ProcessMessages() override;
  void SetEnabled(std::string_view control, bool enabled) override;

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM w, LPARAM l);
  LRESULT Handle(UINT message, WPARAM w, LPARAM l);
  void CreateControls();
  HWND Control(std::string_view name) const;
  int Scale(int v) const { return MulDiv(v, dpi_, 96); }
  void Paint();
  void DrawItem(const DRAWITEMSTRUCT& item);
  void DrawPicture(const DRAWITEMSTRUCT& item);
  void OnDropFiles(HDROP drop);
  // Saves the settings before the window closes; a failed save is told with the offer to try
  // again. True when the window may close.
  bool FormCloseQuery();
  void SaveSettings();
  void FormDestroy();
  void RunCommand(const std::string& sender);

  HWND hwnd_ = nullptr;
  HWND tooltip_ = nullptr;
  int dpi_ = 96;
  int page_ = -1;
  AppContext* context_ = nullptr;
  TMessageFilter* filter_ = nullptr;
  std::wstring settingsFile_;
  bool settingsSettled_ = false;  // saved, or given up by the user
  std::map<std::string, HWND, std::less<>> controls_;
  std::map<HWND, int> pages_;  // page of each page control; tabs and shared controls absent
  std::set<HWND> hidden_;      // controls that are never shown
  std::map<std::string, std::uint32_t, std::less<>> fills_;
  // Image1's picture as a bottom-up DIB with padded rows.
  BITMAPINFOHEADER pictureHeader_{};
  std::vector<std::uint8_t> picturePixels_;
};

}  // namespace tesnova
