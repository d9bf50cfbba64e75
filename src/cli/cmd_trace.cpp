// tesnova-cli trace IN OUT.dxf --with TRACER [--tool PATH] [--options TEXT] [--divisions N]
//   [--tolerance PX] [--min-length PX] [prepare switches]: the picture cleaned as prepare cleans
// it into the work picture, the tracer's row run on it (an outside program with the window's
// command line, or the centerline tracer of Tesnova's own), and the DXF written in pixels with
// Y up from the bottom-left corner (the frame the CAD insertion expects). A tracer that reads
// black and white (Potrace, the centerline tracer) is handed a one-bit picture, made as the
// picture is decoded where no cleaning step needs a pixel's neighbours, so that the 24-bit
// bitmap is never held; the others the 24-bit one. The work files lie in a fresh folder that is
// removed afterwards, interrupts included; OUT is replaced only by a complete DXF of a tracer
// that succeeded.
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "base/files.h"
#include "base/safe_write.h"
#include "base/temporary_folder.h"
#include "base/text_file.h"
#include "cli/cli_commands.h"
#include "cli/program_lookup.h"
#include "cli/progress.h"
#include "cli/run_failure.h"
#include "ports/processes.h"
#include "raster/bmp_file.h"
#include "raster/pbm_writer.h"
#include "raster/picture.h"
#include "raster/prepare.h"
#include "raster/prepare_black_white.h"
#include "tools/tracers.h"

namespace tesnova::cli {
namespace {

namespace fs = std::filesystem;

const std::vector<Switch> kSwitches = [] {
  std::vector<Switch> s = {
      {"--with", "TRACER", "the tracer: potrace, vtracer or centerline"},
      {"--tool", "PATH",
       "the tracer's program (default: its name on PATH, else beside tesnova-cli)"},
      {"--options", "TEXT", "the tracer's options (default: the window's)"},
      {"--divisions", "N", "pieces per curve segment of an SVG, 0 to 10000 (default 2)"},
      {"--tolerance", "PX", "centerline: how far an entity may stray from the stroke (default 1)"},
      {"--min-length", "PX", "centerline: shorter lone strokes are dropped as dust (default 3)"},
      {"--timeout", "SECONDS", "end the tracer, and all it started, after this long (default 600)"},
  };
  s.insert(s.end(), kPrepareSwitches.begin(), kPrepareSwitches.end());
  return s;
}();

// The tracer's phases as progress steps.
TraceProgress TraceSteps(Progress& progress, std::string name) {
  return [&progress, name](TracePhase phase, std::string_view) {
    switch (phase) {
      case TracePhase::kStarting:
        progress.Step("tracing with " + name);
        break;
      case TracePhase::kEnded:
      case TracePhase::kOutputLate:
        progress.Step(name + " ended; looking at its output");
        break;
      case TracePhase::kConverting:
        progress.Step("converting " + name + "'s SVG to DXF");
        break;
      case TracePhase::kConverted:
        break;
    }
  };
}

std::string TracerNames() {
  std::string names;
  for (const Tracer* t : Tracers()) names += std::string(names.empty() ? "" : " or ") + t->name;
  return names;
}

int RunTrace(const Command& self, const Arguments& args) {
  if (args.files.size() != 2) throw UsageProblem("needs IN and OUT.dxf");
  const std::string with = args.Value("--with").value_or("");
  const Tracer* tracer = FindTracer(with);
  if (!tracer) throw UsageProblem("--with takes " + TracerNames());
  const std::string options = args.Value("--options").value_or(tracer->defaultOptions);
  const int divisions = DivisionsOf(args);
  const PrepareOptions prepare = PrepareOptionsOf(args);
  const bool builtIn = tracer->traceHere != nullptr;
  CenterlineOptions centerline;
  for (const char* name : {"--tolerance", "--min-length"}) {
    const std::optional<std::string> text = args.Value(name);
    if (!text) continue;
    if (!builtIn) throw UsageProblem(std::string(name) + " goes with --with centerline");
    const std::optional<double> value = NumberOf(*text);
    if (!value || !(*value > 0 && *value < 1e6))
      throw UsageProblem(std::string(name) + " takes a positive number of pixels, not '" + *text +
                         "'");
    (std::string_view(name) == "--tolerance" ? centerline.tolerance : centerline.minLength) =
        *value;
  }
  if (builtIn && (args.Has("--tool") || args.Has("--options")))
    throw UsageProblem("the centerline tracer runs inside tesnova-cli: no --tool or --options");
  const std::uint32_t timeoutMs = TimeoutMsOf(args);
  // A tracer that is not there is told before anything is done.
  const std::string tool = builtIn ? std::string(tracer->name)
                                   : FindProgram(tracer->name, args.Value("--tool"), "--tool");

  const fs::path in = PathFromUtf8(args.files[0]);
  const fs::path out = PathFromUtf8(args.files[1]);
  RefuseOutputOverInput(in, out);

  Progress progress(self, args);
  TraceJob job{.program = tool,
               .options = options,
               .divisions = divisions,
               .exitStatusCounts = true,
               .timeoutMs = timeoutMs,
               .centerline = centerline};
  // A tracer that reads one bit a pixel is handed the one-bit work picture, prepared without
  // the 24-bit bitmap where the preparation allows; the others the 24-bit one.
  const std::optional<BlackRule> reading =
      tracer->blackWhiteReading ? tracer->blackWhiteReading(job) : std::nullopt;
  BlackWhitePicture blackWhite;
  Bitmap picture;
  progress.Step("reading " + PathToUtf8(in.filename()));
  if (reading) {
    blackWhite = PrepareBlackWhitePicture(in, prepare, *reading);
  } else {
    picture = LoadPicture(in);
    progress.Step("preparing the work bitmap");
    PrepareBitmap(picture, prepare);
  }
  TemporaryFolder folder("tesnova-trace");
  job.files = WorkFilesIn(folder.path());
  const WorkFiles& work = job.files;
  progress.Step("writing the work picture");
  if (reading) {
    job.blackWhite = true;
    WriteBlackWhitePbm(PathFromUtf8(work.pbm), blackWhite);
    blackWhite = BlackWhitePicture();
  } else {
    WriteBmp24(PathFromUtf8(work.bmp), picture);
    picture = Bitmap();
  }

  const TraceOutcome outcome =
      TraceWorkBitmap(*tracer, job, *MakePlatformProcesses(), TraceSteps(progress, tracer->name));
  // Every failure leaves OUT as it was.
  auto fail = [&progress](const std::string& message) {
    progress.Clear();
    std::fprintf(stderr, "tesnova-cli trace: %s\n", message.c_str());
    return 1;
  };
  switch (outcome.status) {
    case TraceStatus::kTraced:
      break;
    case TraceStatus::kNotStarted:
    case TraceStatus::kTimedOut:
      return fail(RunFailure(tool, outcome.run, timeoutMs));
    case TraceStatus::kFailed:
      return fail(RunFailure(tool, outcome.run, timeoutMs) + "; " + args.files[1] +
                  " is left as it was");
    case TraceStatus::kNoOutput:
      return fail(tool + " wrote no " + (tracer->writes == TracerOutput::kSvg ? "SVG" : "DXF") +
                  " (options \"" + options + "\")");
    case TraceStatus::kIncompleteDxf:
      return fail(tool + " wrote an incomplete DXF (no EOF at its end); " + args.files[1] +
                  " is left as it was");
    case TraceStatus::kStaleOutput:
    case TraceStatus::kNoDxf:
      return fail(outcome.file + " が見つかりません.");
  }
  if (outcome.entities == 0)
    return fail(tool + " traced nothing drawable in " + args.files[0] + " (DXF not written)");
  progress.Step("writing " + PathToUtf8(out.filename()));
  WriteFileSafely(out, ReadFileBytes(PathFromUtf8(work.dxf)));
  progress.Clear();
  Report("tracer", tracer->name);
  Report("entities", std::to_string(outcome.entities));
  for (const auto& [kind, count] : outcome.drawn) Report(kind, std::to_string(count));
  return kDone;
}

const ReportLine kReports[] = {
    {"tracer", "the tracer's name"},
    {"entities", "the drawing entities in OUT.dxf"},
    {"lines", "centerline: lines drawn (so too arcs, circles, polylines, filled areas)"},
};

}  // namespace

const Command kTrace{"trace",
                     "trace IN OUT.dxf --with potrace|vtracer|centerline [--tool PATH] "
                     "[--options TEXT] [--divisions N] [--timeout SECONDS] [--tolerance PX] "
                     "[--min-length PX] [prepare switches]",
                     "trace a picture into a DXF in pixels, Y up",
                     kSwitches,
                     RunTrace,
                     kReports};

}  // namespace tesnova::cli
