// tesnova-cli svg2dxf IN.svg OUT.dxf [--divisions N]: the SVG-to-DXF conversion on given files.
#include <cstdio>
#include <string>

#include "base/text_file.h"
#include "cli/cli_commands.h"
#include "vector/svg_to_dxf.h"

namespace tesnova::cli {
namespace {

const Switch kSwitches[] = {
    {"--divisions", "N", "pieces per curve segment, 0 to 10000 (default 2)"},
};

int RunSvg2Dxf(const Command&, const Arguments& args) {
  if (args.files.size() != 2) throw UsageProblem("give the SVG file and the DXF file");
  const int divisions = DivisionsOf(args);
  std::string message;
  bool written = ConvertSVGToDXF(PathFromUtf8(args.files[0]), PathFromUtf8(args.files[1]),
                                 divisions, [&message](std::string_view text) { message = text; });
  if (!written) {
    // The window's message is the path, a line feed and the phrase; one line here.
    for (char& c : message)
      if (c == '\n') c = ' ';
    std::fprintf(stderr, "tesnova-cli svg2dxf: %s\n", message.c_str());
    return 1;
  }
  return 0;
}

}  // namespace

const Command kSvg2Dxf{"svg2dxf", "svg2dxf IN.svg OUT.dxf [--divisions N]",
                       "convert VTracer's SVG to DXF", kSwitches, RunSvg2Dxf};

}  // namespace tesnova::cli
