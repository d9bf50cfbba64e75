#pragma once
// Tracing the work bitmap that already lies in the work folder, without the CAD program:
// the direct VTracer trace with its log, and the Potrace start.
#include <string>
#include <string_view>

#include "ports/processes.h"
#include "ports/shell.h"
#include "ports/view.h"
#include "tools/tracer_command_lines.h"

namespace tesnova {

// The direct trace ("実行"): binarises the work bitmap with the threshold 128, runs VTracer
// (`Edit7`, options `Edit9`) and waits for its SVG, converts it to the work DXF with the curve
// divisions of `Edit8`, and logs every step in `Memo3`. Raises Error when VTracer cannot be
// started.
void TraceWorkBitmapDirectly(View& view, Processes& processes, const WorkFiles& files);

// "2.輪郭トレース": starts Potrace (`Edit1`, options `Edit4`) on the work bitmap through the
// shell and returns at once.
void StartPotraceOnWorkBitmap(View& view, Shell& shell, const WorkFiles& files);

}  // namespace tesnova
