#pragma once
// What a command tells the user while it runs, and the few results it shows on the window.
// The window's adapter (src/app) puts them into its controls; tesnova-cli and the tests have
// their own.
#include <string_view>

namespace tesnova {

struct Bitmap;

class CommandSink {
 public:
  virtual ~CommandSink() = default;

  // The status line.
  virtual void Status(std::string_view text) = 0;
  // A modal message box with the text and an OK button; returns when the user closed it.
  virtual void Message(std::string_view text) = 0;
  // One round of the window's pending messages, as a long command does between its steps to
  // keep the window alive.
  virtual void Dispatch() = 0;

  // The direct trace's log: cleared, then added to a line at a time.
  virtual void ClearLog() {}
  virtual void Log(std::string_view line) { (void)line; }

  // The work bitmap as it was saved, the insertion line, and the threshold Otsu's method chose.
  virtual void ShowPicture(const Bitmap& bitmap) { (void)bitmap; }
  virtual void ShowInsertion(std::string_view line) { (void)line; }
  virtual void ShowThreshold(int threshold) { (void)threshold; }
  // The window's caption, where the test commands show what they found.
  virtual void ShowCaption(std::string_view caption) { (void)caption; }

  // The command's buttons greyed out while it runs, and back.
  virtual void SetBusy(bool busy) { (void)busy; }
  // The window minimised out of the way while the user picks in the CAD program, and back.
  virtual void StepAside() {}
  virtual void ComeBack() {}
  // The window brought to the foreground, once the user is done in the CAD program.
  virtual void ComeToFront() {}
};

// The status line, then one round of the window's messages.
inline void StatusAndDispatch(CommandSink& sink, std::string_view text) {
  sink.Status(text);
  sink.Dispatch();
}

}  // namespace tesnova
