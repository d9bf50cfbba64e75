#pragma once
// The main window as the application sees it: controls by their designer names, which
// src/app/form_controls.h lists; texts are UTF-8. Only src/app reads and writes the form; the
// commands below it see a CommandSink.
#include <cstdint>
#include <string>
#include <string_view>

namespace tesnova {

struct Bitmap;

class View {
 public:
  virtual ~View() = default;

  virtual std::string Text(std::string_view control) const = 0;
  virtual void SetText(std::string_view control, std::string_view text) = 0;
  virtual bool Checked(std::string_view control) const = 0;
  virtual void SetChecked(std::string_view control, bool checked) = 0;

  // Adds one line at the end of a memo and scrolls it into view.
  virtual void AppendLine(std::string_view memo, std::string_view line) = 0;

  // The window's own caption.
  virtual void SetCaption(std::string_view caption) = 0;

  // The active page of PageControl1, counting the hidden pages too; -1 when none is active.
  // An index outside the pages leaves no page active.
  virtual int ActivePage() const = 0;
  virtual void SetActivePage(int index) = 0;

  // Fill colour of a swatch, 0x00BBGGRR: red in the low byte.
  virtual std::uint32_t Fill(std::string_view shape) const = 0;
  virtual void SetFill(std::string_view shape, std::uint32_t rgb) = 0;

  // Starts or stops a timer; its ticks arrive as the timer's command.
  virtual void SetTimerEnabled(std::string_view timer, bool enabled) = 0;

  // Shows the bitmap in the picture control, scaled proportionally and centred.
  virtual void ShowPicture(const Bitmap& bitmap) = 0;

  // The window's stay-on-top state, given away while another window must show above it.
  virtual void SetStayOnTop(bool onTop) = 0;

  // Minimises the window out of the user's way (while the user picks in the CAD program),
  // and restores it again.
  virtual void Minimise() = 0;
  virtual void Restore() = 0;
  // Makes the window the one the user works in.
  virtual void BringToFront() {}

  // A modal message box with the text and an OK button; returns when the user closed it.
  virtual void ShowMessage(std::string_view text) = 0;

  // Dispatches the application's pending messages (input, paint, timers), as a long
  // command does between its steps to keep the window alive.
  virtual void ProcessMessages() = 0;

  // Greys a control out or enables it again, as a command does while it runs.
  virtual void SetEnabled(std::string_view control, bool enabled) {
    (void)control;
    (void)enabled;
  }
};

}  // namespace tesnova
