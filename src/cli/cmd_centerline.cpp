// tesnova-cli centerline: the centerline bench on a bitmap file, without message boxes.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/system.h"
#include "base/text_file.h"
#include "cli/cli_commands.h"
#include "ports/processes.h"
#include "tools/centerline_bench.h"

namespace tesnova::cli {

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

  // No window: the last notice is the reason when the bench stops early.
  std::string last;
  if (RunCenterlinePipeline(
          potrace, files[0], files[1], [&last](std::string_view text) { last = text; },
          *MakePlatformProcesses()))
    return 0;
  std::fprintf(stderr, "tesnova-cli centerline: %s\n", last.c_str());
  return 1;
}

}  // namespace tesnova::cli
