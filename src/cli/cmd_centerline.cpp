// tesnova-cli centerline: the centerline bench on a bitmap file, without message boxes; Potrace's
// PBM and SVG lie in a temporary folder that is removed afterwards.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/system.h"
#include "base/temporary_folder.h"
#include "base/text_file.h"
#include "cli/cli_commands.h"
#include "ports/processes.h"
#include "tools/centerline_bench.h"

namespace tesnova::cli {

namespace {

const Switch kSwitches[] = {
    {"--potrace", "PATH", "Potrace's program (default: potrace on PATH)"},
};

int RunCenterline(const Command&, const Arguments& args) {
  if (args.files.size() != 2) throw UsageProblem("expected IN.bmp and OUT.dxf");
  const std::string potrace = args.Value("--potrace").value_or(FindProgramOnPath("potrace"));
  // Potrace runs in its own folder, so it must be handed full paths.
  std::vector<std::string> files;
  for (const std::string& file : args.files)
    files.push_back(PathToUtf8(std::filesystem::absolute(PathFromUtf8(file))));

  RefuseOutputOverInput(PathFromUtf8(files[0]), PathFromUtf8(files[1]));
  // Potrace's PBM and SVG lie in a folder of their own, not beside the user's bitmap.
  TemporaryFolder work("tesnova-centerline");

  // No window: the last notice is the reason when the bench stops early.
  std::string last;
  if (RunCenterlinePipeline(
          potrace, files[0], files[1], [&last](std::string_view text) { last = text; },
          *MakePlatformProcesses(), PathToUtf8(work.path() / "tesnova")))
    return 0;
  std::fprintf(stderr, "tesnova-cli centerline: %s\n", last.c_str());
  return 1;
}

}  // namespace

const Command kCenterline{"centerline", "centerline IN.bmp OUT.dxf [--potrace PATH]",
                          "trace with Potrace and write the centerline", kSwitches, RunCenterline};

}  // namespace tesnova::cli
