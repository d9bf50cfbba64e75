#pragma once
// Runs the outline tracer on a PBM file with its SVG back end.
#include <string>

#include "ports/processes.h"

namespace tesnova {

// Starts potraceExe with "PBM" -s -o "SVG", minimised in its own folder and waits for it to end,
// keeping the window alive. True when it was started; its exit code and output are not looked at
// here.
bool RunPotraceToSVG(Processes& processes, const std::string& potraceExe,
                     const std::string& pbmFileName, const std::string& svgFileName);

}  // namespace tesnova
