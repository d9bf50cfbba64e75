#include "centerline/potrace_run.h"

#include "tools/tracer_command_lines.h"

namespace tesnova {

bool RunPotraceToSVG(Processes& processes, const std::string& potraceExe,
                     const std::string& pbmFileName, const std::string& svgFileName) {
  return processes
      .RunProcess({.program = potraceExe,
                   .arguments = PotraceSvgArguments(pbmFileName, svgFileName),
                   .minimised = true})
      .started;
}

}  // namespace tesnova
