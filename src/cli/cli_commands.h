#pragma once
#include "cli/cli_command.h"

namespace tesnova::cli {

int RunSvg2Dxf(const std::vector<std::string>& args);
int RunPrepare(const std::vector<std::string>& args);
int RunTrace(const std::vector<std::string>& args);
int RunCenterline(const std::vector<std::string>& args);

// One row per subcommand, in the order --help lists them.
inline const Command kCommands[] = {
    {"svg2dxf", "svg2dxf IN.svg OUT.dxf [--divisions N]   convert VTracer's SVG to DXF",
     RunSvg2Dxf},
    {"prepare",
     "prepare IN OUT.bmp [--median] [--gauss] [--mono] [--threshold N | --otsu] "
     "[--deskew DEGREES]   clean a picture into the 24-bit work bitmap",
     RunPrepare},
    {"trace",
     "trace IN OUT.dxf --with potrace|vtracer [--tool PATH] [--options TEXT] [--divisions N] "
     "[prepare switches]   trace a picture into a DXF in pixels, Y up",
     RunTrace},
    {"centerline",
     "centerline IN.bmp OUT.dxf [--potrace PATH]   trace with Potrace and write the centerline",
     RunCenterline},
};

}  // namespace tesnova::cli
