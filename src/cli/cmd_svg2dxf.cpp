// tesnova-cli svg2dxf IN.svg OUT.dxf [--divisions N]: the SVG-to-DXF conversion on given files.
#include <cstdio>
#include <string>

#include "base/error.h"
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
  const auto svg = PathFromUtf8(args.files[0]);
  const auto dxf = PathFromUtf8(args.files[1]);
  RefuseOutputOverInput(svg, dxf);
  std::string missing;
  const std::optional<std::size_t> polylines = ConvertSVGToDXF(
      svg, dxf, divisions, [&missing](std::string_view text) { missing = text; },
      /*keepEmpty=*/false);
  if (!polylines) {
    // The window's message is the path, a line feed and the phrase; one line here.
    for (char& c : missing)
      if (c == '\n') c = ' ';
    throw Error(missing);
  }
  if (*polylines == 0)
    throw Error(args.files[0] + " に描ける path がありません (DXF は書きません)");
  return 0;
}

}  // namespace

const Command kSvg2Dxf{"svg2dxf", "svg2dxf IN.svg OUT.dxf [--divisions N]",
                       "convert VTracer's SVG to DXF", kSwitches, RunSvg2Dxf};

}  // namespace tesnova::cli
