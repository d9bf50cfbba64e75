#pragma once
// Tracing the work bitmap that already lies in the work folder, without the CAD program:
// the direct VTracer trace with its log, and the Potrace start.
#include "ports/command_sink.h"
#include "ports/processes.h"
#include "ports/shell.h"
#include "tools/tracers.h"
#include "tools/work_files.h"

namespace tesnova {

// The direct trace ("実行"): binarises the work bitmap with the threshold 128, runs VTracer and
// waits for its SVG, converts it to the work DXF, and logs every step. Raises Error when
// VTracer cannot be started.
void TraceWorkBitmapDirectly(const TracerSettings& tracers, const WorkFiles& files,
                             Processes& processes, CommandSink& sink);

// "2.輪郭トレース": starts Potrace on the work bitmap through the shell and returns at once.
void StartPotraceOnWorkBitmap(const TracerSettings& tracers, const WorkFiles& files, Shell& shell,
                              CommandSink& sink);

}  // namespace tesnova
