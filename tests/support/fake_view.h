#pragma once
// A main window in memory for the command tests: every control a name, every call recorded.
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "ports/view.h"
#include "raster/bitmap.h"

namespace tesnova::testing {

class FakeView : public View {
 public:
  std::string Text(std::string_view control) const override;
  void SetText(std::string_view control, std::string_view text) override;
  bool Checked(std::string_view control) const override;
  void SetChecked(std::string_view control, bool checked) override;
  void AppendLine(std::string_view memo, std::string_view line) override;
  void SetCaption(std::string_view caption) override { caption_ = caption; }
  int ActivePage() const override { return page_; }
  void SetActivePage(int index) override { page_ = index >= 0 && index <= 5 ? index : -1; }
  std::uint32_t Fill(std::string_view shape) const override;
  void SetFill(std::string_view shape, std::uint32_t rgb) override;
  void SetTimerEnabled(std::string_view timer, bool enabled) override;
  void ShowPicture(const Bitmap& bitmap) override { picture_ = bitmap; }
  void SetStayOnTop(bool onTop) override;
  void Minimise() override { calls_.push_back("Minimise"); }
  void Restore() override { calls_.push_back("Restore"); }
  void ShowMessage(std::string_view text) override { messages_.emplace_back(text); }
  void ProcessMessages() override {}
  void SetEnabled(std::string_view control, bool enabled) override {
    disabled_[std::string(control)] = !enabled;
  }

  const std::string& caption() const { return caption_; }
  const std::vector<std::string>& messages() const { return messages_; }
  // Every SetText, SetFill, timer and stay-on-top change in order, as "what:value".
  const std::vector<std::string>& calls() const { return calls_; }
  bool timerEnabled(const std::string& timer) const;
  const Bitmap& picture() const { return picture_; }
  bool disabled(const std::string& control) const {
    auto it = disabled_.find(control);
    return it != disabled_.end() && it->second;
  }

 private:
  std::map<std::string, std::string, std::less<>> texts_;
  std::map<std::string, bool, std::less<>> checks_;
  std::map<std::string, std::uint32_t, std::less<>> fills_;
  std::map<std::string, bool, std::less<>> timers_;
  std::map<std::string, bool, std::less<>> disabled_;
  std::string caption_;
  int page_ = 0;
  Bitmap picture_;
  std::vector<std::string> messages_;
  std::vector<std::string> calls_;
};

}  // namespace tesnova::testing
