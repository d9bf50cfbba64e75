#pragma once
// The main window as the commands see it. Controls are named as on the window
// ("Edit12", "CheckBox1"); texts are UTF-8.
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
  // The main window's title bar text.
  virtual void SetCaption(std::string_view text) { (void)text; }
};

}  // namespace tesnova
