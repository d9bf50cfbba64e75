// tesnova-cli trace IN OUT.dxf --with TRACER [--tool PATH] [--options TEXT] [--divisions N]
//   [--tolerance PX] [--min-length PX] [prepare switches]: the picture cleaned as prepare cleans
// it into the work bitmap, the tracer's row run on it (an outside program with the window's
// command line, or the centerline tracer of Tesnova's own), and the DXF written in pixels with
// Y up from the bottom-left corner (the frame the CAD insertion expects). The work files lie in
// a fresh folder that is removed afterwards.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/text_file.h"
#include "cli/cli_commands.h"
#include "ports/processes.h"
#include "raster/bmp_file.h"
#include "raster/picture.h"
#include "raster/prepare.h"
#include "tools/tracers.h"

namespace tesnova::cli {
namespace {

namespace fs = std::filesystem;

// A fresh folder for the work files, removed with everything in it when the object goes.
class WorkFolder {
 public:
  WorkFolder() {
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() / ("tesnova-trace-" + std::to_string(stamp));
    fs::create_directories(path_);
  }
  ~WorkFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

const std::vector<Switch> kSwitches = [] {
  std::vector<Switch> s = {
      {"--with", "TRACER", "the tracer: potrace, vtracer or centerline"},
      {"--tool", "PATH", "the tracer's program (default: its name, looked up on PATH)"},
      {"--options", "TEXT", "the tracer's options (default: the window's)"},
      {"--divisions", "N", "pieces per curve segment of an SVG, 0 to 10000 (default 2)"},
      {"--tolerance", "PX", "centerline: how far an entity may stray from the stroke (default 1)"},
      {"--min-length", "PX", "centerline: shorter lone strokes are dropped as dust (default 3)"},
  };
  s.insert(s.end(), kPrepareSwitches.begin(), kPrepareSwitches.end());
  return s;
}();

std::string TracerNames() {
  std::string names;
  for (const Tracer* t : Tracers()) names += std::string(names.empty() ? "" : " or ") + t->name;
  return names;
}

int RunTrace(const Command&, const Arguments& args) {
  if (args.files.size() != 2) throw UsageProblem("needs IN and OUT.dxf");
  const std::string with = args.Value("--with").value_or("");
  const Tracer* tracer = FindTracer(with);
  if (!tracer) throw UsageProblem("--with takes " + TracerNames());
  const std::string tool = args.Value("--tool").value_or(tracer->name);
  const std::string options = args.Value("--options").value_or(tracer->defaultOptions);
  const int divisions = DivisionsOf(args);
  const PrepareOptions prepare = PrepareOptionsOf(args);
  const bool builtIn = tracer->traceHere != nullptr;
  CenterlineOptions centerline;
  for (const char* name : {"--tolerance", "--min-length"}) {
    const std::optional<std::string> text = args.Value(name);
    if (!text) continue;
    if (!builtIn) throw UsageProblem(std::string(name) + " goes with --with centerline");
    double value = 0;
    const auto [end, error] = std::from_chars(text->data(), text->data() + text->size(), value);
    if (text->empty() || error != std::errc() || end != text->data() + text->size() ||
        !(value > 0 && value < 1e6))
      throw UsageProblem(std::string(name) + " takes a positive number of pixels, not '" + *text +
                         "'");
    (std::string_view(name) == "--tolerance" ? centerline.tolerance : centerline.minLength) = value;
  }
  if (builtIn && (args.Has("--tool") || args.Has("--options")))
    throw UsageProblem("the centerline tracer runs inside tesnova-cli: no --tool or --options");
  // A path that names no file is told before anything is done; a bare name is looked up on
  // the search path when it is started.
  if (!builtIn && tool.find_first_of("/\\") != std::string::npos &&
      !FileExists(PathFromUtf8(tool))) {
    std::fprintf(stderr, "tesnova-cli trace: %s が見つかりません.\n", tool.c_str());
    return 1;
  }

  WorkFolder folder;
  const WorkFiles work = WorkFilesIn(folder.path());
  Bitmap picture = LoadPicture(PathFromUtf8(args.files[0]));
  PrepareBitmap(picture, prepare);
  WriteBmp24(PathFromUtf8(work.bmp), picture);
  picture = Bitmap();

  const TraceOutcome outcome = TraceWorkBitmap(*tracer,
                                               {.program = tool,
                                                .options = options,
                                                .files = work,
                                                .divisions = divisions,
                                                .centerline = centerline},
                                               *MakePlatformProcesses());
  switch (outcome.status) {
    case TraceStatus::kTraced:
      break;
    case TraceStatus::kNotStarted:
      std::fprintf(stderr, "tesnova-cli trace: %s could not be started (error %u)\n", tool.c_str(),
                   outcome.run.errorCode);
      return 1;
    case TraceStatus::kNoOutput:
      std::fprintf(stderr, "tesnova-cli trace: %s wrote no %s (options \"%s\")\n", tool.c_str(),
                   tracer->writes == TracerOutput::kSvg ? "SVG" : "DXF", options.c_str());
      return 1;
    case TraceStatus::kStaleOutput:
    case TraceStatus::kNoDxf:
      std::fprintf(stderr, "tesnova-cli trace: %s が見つかりません.\n", outcome.file.c_str());
      return 1;
  }
  fs::copy_file(PathFromUtf8(work.dxf), PathFromUtf8(args.files[1]),
                fs::copy_options::overwrite_existing);
  for (const auto& [kind, count] : outcome.drawn) std::printf("%s: %zu\n", kind.c_str(), count);
  return 0;
}

}  // namespace

const Command kTrace{"trace",
                     "trace IN OUT.dxf --with potrace|vtracer|centerline [--tool PATH] "
                     "[--options TEXT] [--divisions N] [--tolerance PX] [--min-length PX] "
                     "[prepare switches]",
                     "trace a picture into a DXF in pixels, Y up", kSwitches, RunTrace};

}  // namespace tesnova::cli
