// tesnova-cli centerline: the centerline bench on a bitmap file, without message boxes.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/system.h"
#include "base/text_file.h"
#include "centerline/centerline_pipeline.h"
#include "cli/cli_commands.h"
#include "ports/processes.h"
#include "ports/view.h"

namespace tesnova::cli {
namespace {

// No window: every control call is dropped, and the last message is kept as the reason
// when the bench stops early.
class QuietView : public View {
 public:
  std::string Text(std::string_view) const override { return ""; }
  void SetText(std::string_view, std::string_view) override {}
  bool Checked(std::string_view) const override { return false; }
  void SetChecked(std::string_view, bool) override {}
  void AppendLine(std::string_view, std::string_view) override {}
  void SetCaption(std::string_view) override {}
  int ActivePage() const override { return -1; }
  void SetActivePage(int) override {}
  std::uint32_t Fill(std::string_view) const override { return 0; }
  void SetFill(std::string_view, std::uint32_t) override {}
  void SetTimerEnabled(std::string_view, bool) override {}
  void ShowPicture(const Bitmap&) override {}
  void SetStayOnTop(bool) override {}
  void Minimise() override {}
  void Restore() override {}
  void ShowMessage(std::string_view text) override { last_ = text; }
  void ProcessMessages() override {}
  const std::string& last() const { return last_; }

 private:
  std::string last_;
};

}  // namespace

int RunCenterline(const std::vector<std::string>& args) {
  const Command* self = nullptr;
  for (const Command& c : kCommands)
    if (std::string(c.name) == "centerline") self = &c;
  std::vector<std::string> files;
  std::string potrace;
  for (size_t i = 0; i < args.size(); ++i) {
    if (args[i] == "--potrace") {
      if (i + 1 >= args.size()) return UsageError(*self, "--potrace needs a program path");
      potrace = args[++i];
    } else if (args[i].size() > 1 && args[i][0] == '-') {
      return UsageError(*self, "unknown option " + args[i]);
    } else {
      files.push_back(args[i]);
    }
  }
  if (files.size() != 2) return UsageError(*self, "expected IN.bmp and OUT.dxf");
  if (potrace.empty()) potrace = FindProgramOnPath("potrace");
  // Potrace runs in its own folder, so it must be handed full paths.
  for (std::string& file : files) file = PathToUtf8(std::filesystem::absolute(PathFromUtf8(file)));

  QuietView view;
  if (RunCenterlinePipeline(potrace, files[0], files[1], view, *MakePlatformProcesses())) return 0;
  std::fprintf(stderr, "tesnova-cli centerline: %s\n", view.last().c_str());
  return 1;
}

}  // namespace tesnova::cli
