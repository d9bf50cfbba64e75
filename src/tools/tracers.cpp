#include "tools/tracers.h"

#include <array>

#include "base/error.h"
#include "base/files.h"
#include "base/text_file.h"
#include "centerline/centerline_drawing_dxf.h"
#include "raster/bmp_file.h"
#include "raster/pbm_reader.h"
#include "tools/tracer_command_lines.h"
#include "vector/dxf_check.h"
#include "vector/svg_to_dxf.h"

namespace tesnova {

// Potrace reads a P4 file as it reads a 24-bit BMP at its default black level; a black level
// of the options (-k) sets where a 24-bit picture's grey turns black, which only the 24-bit
// picture carries.
const Tracer kPotrace{"potrace",
                      TracerOutput::kDxf,
                      "-b dxf",
                      [](std::string_view picture, const WorkFiles&, std::string_view options) {
                        return PotraceArguments(picture, options);
                      },
                      nullptr,
                      [](const TraceJob& job) -> std::optional<BlackRule> {
                        if (PotraceOptionsSetBlackLevel(job.options)) return std::nullopt;
                        return kPotraceBlack;
                      }};

const Tracer kVTracer{
    "vtracer", TracerOutput::kSvg, "--colormode bw",
    [](std::string_view picture, const WorkFiles& files, std::string_view options) {
      return VTracerArguments(options, picture, files.svg);
    }};

namespace {

DrawnCounts TraceCenterlinesHere(const TraceJob& job) {
  const CenterlineDrawing drawing =
      job.blackWhite
          ? TraceCenterlines(ReadBlackWhitePbm(PathFromUtf8(job.files.pbm)), job.centerline)
          : TraceCenterlines(ReadBmp(PathFromUtf8(job.files.bmp)), job.centerline);
  SaveCenterlineDrawingAsDxf(drawing, PathFromUtf8(job.files.dxf));
  return {{"lines", drawing.Count(CenterlineEntityKind::kLine)},
          {"arcs", drawing.Count(CenterlineEntityKind::kArc)},
          {"circles", drawing.Count(CenterlineEntityKind::kCircle)},
          {"polylines", drawing.Count(CenterlineEntityKind::kPolyline)},
          {"filled areas", drawing.filledAreas.size()}};
}

constexpr std::array<const Tracer*, 3> kTracers = {&kPotrace, &kVTracer, &kCenterlineTracer};

}  // namespace

const Tracer kCenterlineTracer{"centerline",
                               TracerOutput::kDxf,
                               "",
                               nullptr,
                               TraceCenterlinesHere,
                               [](const TraceJob& job) -> std::optional<BlackRule> {
                                 return BelowMeanGrey(job.centerline.inkBelow);
                               }};

std::span<const Tracer* const> Tracers() { return kTracers; }

const Tracer* FindTracer(std::string_view name) {
  for (const Tracer* t : kTracers)
    if (name == t->name) return t;
  return nullptr;
}

TraceOutcome TraceWorkBitmap(const Tracer& tracer, const TraceJob& job, Processes& processes,
                             const TraceProgress& progress) {
  auto tell = [&](TracePhase phase, std::string_view detail = {}) {
    if (progress) progress(phase, detail);
  };
  TraceOutcome outcome;
  const WorkFiles& files = job.files;
  const std::string& output = tracer.OutputOf(files);
  // Outputs of an earlier run must not pass for this run's.
  for (const std::string* old : {&output, &files.dxf}) {
    if (!RemoveStaleFile(PathFromUtf8(*old))) {
      outcome.status = TraceStatus::kStaleOutput;
      outcome.file = *old;
      return outcome;
    }
  }

  if (tracer.traceHere) {
    tell(TracePhase::kStarting);
    outcome.drawn = tracer.traceHere(job);
    outcome.run = {.started = true, .ended = true};
  } else {
    const std::string arguments =
        tracer.arguments(job.blackWhite ? files.pbm : files.bmp, files, job.options);
    tell(TracePhase::kStarting, arguments);
    outcome.run = processes.RunProcess({.program = job.program,
                                        .arguments = arguments,
                                        .inCurrentFolder = job.inCurrentFolder,
                                        .wait = job.wait,
                                        .minimised = job.minimised,
                                        .timeoutMs = job.timeoutMs});
    if (!outcome.run.started) {
      outcome.status = TraceStatus::kNotStarted;
      return outcome;
    }
  }
  if (outcome.run.timedOut) {
    outcome.status = TraceStatus::kTimedOut;
    return outcome;
  }
  if (job.exitStatusCounts && outcome.run.ended && !outcome.run.Succeeded()) {
    outcome.status = TraceStatus::kFailed;
    return outcome;
  }
  tell(TracePhase::kEnded);
  if (job.outputWaitMs != 0) {
    try {
      processes.WaitForFile(output, job.outputWaitMs);
    } catch (const Error&) {
      tell(TracePhase::kOutputLate);
    }
  }
  if (!FileExists(PathFromUtf8(output))) {
    outcome.status = TraceStatus::kNoOutput;
    outcome.file = output;
    return outcome;
  }

  if (tracer.writes == TracerOutput::kSvg) {
    tell(TracePhase::kConverting);
    RemoveStaleFile(PathFromUtf8(files.dxf));
    ConvertSVGToDXF(PathFromUtf8(files.svg), PathFromUtf8(files.dxf), job.divisions, {});
    tell(TracePhase::kConverted);
  }
  if (!FileExists(PathFromUtf8(files.dxf))) {
    outcome.status = TraceStatus::kNoDxf;
    outcome.file = files.dxf;
    return outcome;
  }
  // A DXF cut short (a tracer that crashed or ran out of disk) never reaches the drawing.
  const DxfSummary dxf = SummariseDxfFile(PathFromUtf8(files.dxf));
  outcome.entities = dxf.entities;
  if (!dxf.complete) {
    outcome.status = TraceStatus::kIncompleteDxf;
    outcome.file = files.dxf;
  }
  return outcome;
}

}  // namespace tesnova
