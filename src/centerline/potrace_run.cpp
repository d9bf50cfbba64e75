#include "centerline/potrace_run.h"

#include "tools/tracer_command_lines.h"

namespace tesnova {

bool RunPotraceToSVG(Processes& processes, const std::string& potraceExe,
                     const std::string& pbmFileName, const std::string& svgFileName) {
  std::uint32_t errorCode = 0;
  return processes.RunProcess(potraceExe, PotraceSvgArguments(pbmFileName, svgFileName), "",
                              /*wait=*/true, /*waitForIdle=*/false, /*minimised=*/true, errorCode);
}

}  // namespace tesnova
