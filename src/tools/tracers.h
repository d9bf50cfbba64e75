#pragma once
// The tracers of the work bitmap, one row each (outside programs, and the centerline tracer of
// Tesnova's own), and the one routine that traces the work bitmap with a row. Adding a tracer is
// adding a row.
#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "centerline/centerline_tracer.h"
#include "ports/processes.h"
#include "raster/black_white_picture.h"
#include "tools/work_files.h"

namespace tesnova {

// What a tracer writes beside the work bitmap.
enum class TracerOutput {
  kDxf,  // the work DXF itself
  kSvg,  // the work SVG, which becomes the work DXF here
};

struct TraceJob;

// How many entities of each kind a tracer drew ("lines", "arcs", ...), for its report.
using DrawnCounts = std::vector<std::pair<std::string, std::size_t>>;

struct Tracer {
  const char* name;  // as tesnova-cli's --with names it
  TracerOutput writes;
  const char* defaultOptions;  // the options a fresh installation starts with
  // An outside program: the argument text that has it trace the work picture (the path of the
  // 24-bit or of the one-bit one) with the options, writing its output beside files.
  std::string (*arguments)(std::string_view picture, const WorkFiles& files,
                           std::string_view options);
  // A tracer of Tesnova's own (no program): traces the work picture into the work DXF here.
  DrawnCounts (*traceHere)(const TraceJob& job) = nullptr;
  // A tracer that can be handed the one-bit work picture ("tesnova.pbm") in place of the 24-bit
  // one: how it reads a 24-bit picture in black and white with the job's options, which the
  // one-bit picture follows so that the trace is the same; nothing when those options make it
  // read the greys themselves. Null: the 24-bit picture only.
  std::optional<BlackRule> (*blackWhiteReading)(const TraceJob& job) = nullptr;

  // The file the tracer writes.
  const std::string& OutputOf(const WorkFiles& files) const {
    return writes == TracerOutput::kSvg ? files.svg : files.dxf;
  }
};

extern const Tracer kPotrace;
extern const Tracer kVTracer;
extern const Tracer kCenterlineTracer;

// Every row, in the order tesnova-cli lists them.
std::span<const Tracer* const> Tracers();
// The row of that name; nullptr when there is none.
const Tracer* FindTracer(std::string_view name);

// The tracers' programs and options as the user registered them, and the settings of what
// follows a trace.
struct TracerSettings {
  std::string potrace;  // program paths
  std::string vtracer;
  std::string winTopo;
  std::string potraceOptions;  // option texts, put on the command lines as typed
  std::string vtracerOptions;
  int divisions = 2;     // pieces per curve segment when VTracer's SVG becomes DXF
  int dxfWaitMs = 1000;  // pause after a tracer ended, before its output is looked for
};

// The longest pause after a tracer: the window answers nothing meanwhile.
inline constexpr int kMaxDxfWaitMs = 60000;

// One trace of the work bitmap.
struct TraceJob {
  std::string program;
  std::string options;
  WorkFiles files;
  int divisions = 2;  // for an SVG's conversion
  ProcessWait wait = ProcessWait::kDispatching;
  bool inCurrentFolder = false;  // the tracer starts in the caller's folder, not its own
  bool minimised = true;
  std::uint32_t outputWaitMs = 0;  // how long to wait for the output after the tracer ended
  // A tracer that ends with a non-zero exit status or by a signal has failed, whatever it left
  // behind. The window does not look at the exit status.
  bool exitStatusCounts = false;
  std::uint32_t timeoutMs = 0;   // a tracer still running then is ended (0: waits for ever)
  CenterlineOptions centerline;  // for the centerline tracer
  // The tracer is handed the one-bit work picture (files.pbm, for a row with blackWhiteReading)
  // instead of the 24-bit one (files.bmp).
  bool blackWhite = false;
};

// Where a trace has got to, for the caller's statuses and log; detail is the argument text
// when starting.
enum class TracePhase { kStarting, kEnded, kOutputLate, kConverting, kConverted };
using TraceProgress = std::function<void(TracePhase phase, std::string_view detail)>;

enum class TraceStatus {
  kTraced,         // the work DXF is there
  kStaleOutput,    // an output of an earlier run could not be removed
  kNotStarted,     // the tracer could not be started
  kNoOutput,       // the tracer wrote nothing
  kNoDxf,          // its SVG gave no DXF
  kFailed,         // it ended with a non-zero exit status or by a signal (when that counts)
  kTimedOut,       // it ran past the job's time-out and was ended with all it had started
  kIncompleteDxf,  // the work DXF stops before its EOF group
};

struct TraceOutcome {
  TraceStatus status = TraceStatus::kTraced;
  ProcessResult run;         // the tracer's start and end
  std::string file;          // the file concerned: stale, missing or incomplete
  std::size_t entities = 0;  // drawing entities in the work DXF once traced
  DrawnCounts drawn;         // what a tracer of Tesnova's own drew, by kind
};

// Removes the outputs of an earlier run, runs the tracer on the work bitmap, and converts an
// SVG into the work DXF. Conversion errors (a malformed SVG) are raised.
TraceOutcome TraceWorkBitmap(const Tracer& tracer, const TraceJob& job, Processes& processes,
                             const TraceProgress& progress = {});

}  // namespace tesnova
