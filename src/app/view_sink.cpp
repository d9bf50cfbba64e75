#include "app/view_sink.h"

#include <string>

#include "ports/view.h"

namespace tesnova {

void ViewSink::Status(std::string_view text) { view_.SetText(form::kStatusLine, text); }
void ViewSink::Message(std::string_view text) { view_.ShowMessage(text); }
void ViewSink::Dispatch() { view_.ProcessMessages(); }
void ViewSink::ClearLog() { view_.SetText(form::kVTracerHelp, ""); }
void ViewSink::Log(std::string_view line) { view_.AppendLine(form::kVTracerHelp, line); }
void ViewSink::ShowPicture(const Bitmap& bitmap) { view_.ShowPicture(bitmap); }
void ViewSink::ShowInsertion(std::string_view line) { view_.SetText(form::kInsertionLine, line); }
void ViewSink::ShowThreshold(int threshold) {
  view_.SetText(form::kThreshold, std::to_string(threshold));
}
void ViewSink::ShowCaption(std::string_view caption) { view_.SetCaption(caption); }
void ViewSink::SetBusy(bool busy) {
  for (form::Name button : busyButtons_) view_.SetEnabled(button, !busy);
}
void ViewSink::StepAside() { view_.Minimise(); }
void ViewSink::ComeBack() { view_.Restore(); }
void ViewSink::ComeToFront() { view_.BringToFront(); }

}  // namespace tesnova
