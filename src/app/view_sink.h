#pragma once
// The command sink of the main window: statuses into the status line, messages as message
// boxes, results into their fields, and the command's own buttons greyed out while it runs.
#include <initializer_list>
#include <vector>

#include "app/form_controls.h"
#include "ports/command_sink.h"

namespace tesnova {

class View;

class ViewSink : public CommandSink {
 public:
  explicit ViewSink(View& view, std::initializer_list<form::Name> busyButtons = {})
      : view_(view), busyButtons_(busyButtons) {}
  template <size_t N>
  ViewSink(View& view, const form::Name (&busyButtons)[N])
      : view_(view), busyButtons_(busyButtons, busyButtons + N) {}

  void Status(std::string_view text) override;
  void Message(std::string_view text) override;
  void Dispatch() override;
  void ClearLog() override;
  void Log(std::string_view line) override;
  void ShowPicture(const Bitmap& bitmap) override;
  void ShowInsertion(std::string_view line) override;
  void ShowThreshold(int threshold) override;
  void ShowCaption(std::string_view caption) override;
  void SetBusy(bool busy) override;
  void StepAside() override;
  void ComeBack() override;
  void ComeToFront() override;

 private:
  View& view_;
  std::vector<form::Name> busyButtons_;
};

}  // namespace tesnova
