#include "centerline/potrace_run.h"

namespace tesnova {

std::string PotraceSvgArguments(const std::string& pbmFileName, const std::string& svgFileName) {
  return "\"" + pbmFileName + "\" -s -o \"" + svgFileName + "\"";
}

bool RunPotraceToSVG(Processes& processes, const std::string& potraceExe,
                     const std::string& pbmFileName, const std::string& svgFileName) {
  std::uint32_t errorCode = 0;
  return processes.RunProcess(potraceExe, PotraceSvgArguments(pbmFileName, svgFileName), "",
                              /*wait=*/true, /*waitForIdle=*/false, /*minimised=*/true, errorCode);
}

}  // namespace tesnova
