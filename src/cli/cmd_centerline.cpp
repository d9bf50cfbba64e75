// tesnova-cli centerline: the centerline bench on a bitmap file, without message boxes; Potrace's
// PBM and SVG lie in a temporary folder that is removed afterwards. Unlike the window, it ends a
// Potrace that runs too long and takes a Potrace that failed for a failure, as trace does.
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/system.h"
#include "base/temporary_folder.h"
#include "base/text_file.h"
#include "cli/cli_commands.h"
#include "cli/program_lookup.h"
#include "cli/progress.h"
#include "cli/run_failure.h"
#include "ports/processes.h"
#include "tools/centerline_bench.h"
#include "vector/dxf_check.h"

namespace tesnova::cli {

namespace {

const Switch kSwitches[] = {
    {"--potrace", "PATH", "Potrace's program (default: potrace on PATH, else beside tesnova-cli)"},
    {"--timeout", "SECONDS", "end Potrace, and all it started, after this long (default 600)"},
};

const ReportLine kReports[] = {
    {"entities", "the drawing entities in OUT.dxf (one polyline)"},
};

int RunCenterline(const Command& self, const Arguments& args) {
  if (args.files.size() != 2) throw UsageProblem("expected IN.bmp and OUT.dxf");
  const std::uint32_t timeoutMs = TimeoutMsOf(args);
  // Potrace runs in its own folder, so it must be handed full paths.
  std::vector<std::string> files;
  for (const std::string& file : args.files)
    files.push_back(PathToUtf8(std::filesystem::absolute(PathFromUtf8(file))));

  RefuseOutputOverInput(PathFromUtf8(files[0]), PathFromUtf8(files[1]));
  const std::string potrace = FindProgram("potrace", args.Value("--potrace"), "--potrace");
  // Potrace's PBM and SVG lie in a folder of their own, not beside the user's bitmap.
  TemporaryFolder work("tesnova-centerline");

  // No window: the last notice is the reason when the bench stops early.
  Progress progress(self, args);
  std::string last;
  ProcessResult run;
  const bool written = RunCenterlinePipeline(
      potrace, files[0], files[1],
      [&](std::string_view text) {
        last = text;
        progress.Step(text);
      },
      *MakePlatformProcesses(), PathToUtf8(work.path() / "tesnova"),
      {.timeoutMs = timeoutMs, .exitStatusCounts = true}, &run);
  progress.Clear();
  if (!written) {
    const std::string failure = RunFailure(potrace, run, timeoutMs);
    std::fprintf(stderr, "tesnova-cli centerline: %s\n",
                 (failure.empty() ? last : last + ": " + failure).c_str());
    return kFailed;
  }
  Report("entities", std::to_string(SummariseDxfFile(PathFromUtf8(files[1])).entities));
  return kDone;
}

}  // namespace

const Command kCenterline{"centerline",
                          "centerline IN.bmp OUT.dxf [--potrace PATH] [--timeout SECONDS]",
                          "trace with Potrace and write the centerline",
                          kSwitches,
                          RunCenterline,
                          kReports};

}  // namespace tesnova::cli
