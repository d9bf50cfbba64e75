#pragma once
// The command sink of the command tests: everything a command shows, in one sequence.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "ports/command_sink.h"
#include "raster/bitmap.h"

namespace tesnova::testing {

class FakeSink : public CommandSink {
 public:
  // "status:TEXT", "message:TEXT", "dispatch", "log:LINE", "clear log", "picture WxH",
  // "insertion:LINE", "threshold:N", "caption:TEXT", "busy", "idle", "aside", "back", "front".
  std::vector<std::string> events;
  std::function<void()> onDispatch;  // another command or a timer running during a dispatch

  bool busy = false;
  std::string caption;
  std::string insertion;
  std::optional<int> threshold;
  Bitmap picture;

  void Status(std::string_view text) override { Add("status:", text); }
  void Message(std::string_view text) override { Add("message:", text); }
  void Dispatch() override {
    events.push_back("dispatch");
    if (onDispatch) onDispatch();
  }
  void ClearLog() override { events.push_back("clear log"); }
  void Log(std::string_view line) override { Add("log:", line); }
  void ShowPicture(const Bitmap& bitmap) override {
    picture = bitmap;
    events.push_back("picture " + std::to_string(bitmap.width) + "x" +
                     std::to_string(bitmap.height));
  }
  void ShowInsertion(std::string_view line) override {
    insertion = line;
    Add("insertion:", line);
  }
  void ShowThreshold(int value) override {
    threshold = value;
    events.push_back("threshold:" + std::to_string(value));
  }
  void ShowCaption(std::string_view text) override {
    caption = text;
    Add("caption:", text);
  }
  void SetBusy(bool value) override {
    busy = value;
    events.push_back(value ? "busy" : "idle");
  }
  void StepAside() override { events.push_back("aside"); }
  void ComeBack() override { events.push_back("back"); }
  void ComeToFront() override { events.push_back("front"); }

  // The texts of one kind of event ("status:", "message:", "log:"), in order; the log's since
  // it was last cleared.
  std::vector<std::string> Texts(std::string_view kind) const {
    std::vector<std::string> out;
    for (const std::string& e : events) {
      if (kind == "log:" && e == "clear log") out.clear();
      if (e.starts_with(kind)) out.push_back(e.substr(kind.size()));
    }
    return out;
  }
  std::vector<std::string> Statuses() const { return Texts("status:"); }
  std::vector<std::string> Messages() const { return Texts("message:"); }
  std::vector<std::string> LogLines() const { return Texts("log:"); }
  bool Saw(std::string_view event) const {
    for (const std::string& e : events)
      if (e == event) return true;
    return false;
  }

 private:
  void Add(const char* kind, std::string_view text) { events.push_back(kind + std::string(text)); }
};

}  // namespace tesnova::testing
