#include "support/fake_view.h"

namespace tesnova::testing {

std::string FakeView::Text(std::string_view control) const {
  auto it = texts_.find(control);
  return it == texts_.end() ? std::string() : it->second;
}

void FakeView::SetText(std::string_view control, std::string_view text) {
  texts_[std::string(control)] = std::string(text);
  calls_.push_back(std::string(control) + ":" + std::string(text));
}

bool FakeView::Checked(std::string_view control) const {
  auto it = checks_.find(control);
  return it != checks_.end() && it->second;
}

void FakeView::SetChecked(std::string_view control, bool checked) {
  checks_[std::string(control)] = checked;
}

void FakeView::AppendLine(std::string_view memo, std::string_view line) {
  std::string text = Text(memo);
  SetText(memo, text.empty() ? std::string(line) : text + "\r\n" + std::string(line));
}

std::uint32_t FakeView::Fill(std::string_view shape) const {
  auto it = fills_.find(shape);
  return it == fills_.end() ? 0xFFFFFFu : it->second;
}

void FakeView::SetFill(std::string_view shape, std::uint32_t rgb) {
  fills_[std::string(shape)] = rgb;
  calls_.push_back(std::string(shape) + ":" + std::to_string(rgb));
}

void FakeView::SetTimerEnabled(std::string_view timer, bool enabled) {
  timers_[std::string(timer)] = enabled;
  calls_.push_back(std::string(timer) + (enabled ? ":on" : ":off"));
}

bool FakeView::timerEnabled(const std::string& timer) const {
  auto it = timers_.find(timer);
  return it != timers_.end() && it->second;
}

void FakeView::SetStayOnTop(bool onTop) { calls_.push_back(onTop ? "OnTop" : "NotOnTop"); }

}  // namespace tesnova::testing
