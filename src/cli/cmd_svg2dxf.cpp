// tesnova-cli svg2dxf IN.svg OUT.dxf [--divisions N]: the SVG-to-DXF conversion on given files,
// for the SVG of either tracer: VTracer's layout as the window converts it, Potrace's (-s) by
// its own reader.
#include <cstdio>
#include <string>

#include "base/error.h"
#include "base/text_file.h"
#include "centerline/potrace_svg_to_dxf.h"
#include "cli/cli_commands.h"
#include "cli/progress.h"
#include "vector/svg_to_dxf.h"

namespace tesnova::cli {
namespace {

const Switch kSwitches[] = {
    {"--divisions", "N", "pieces per curve segment, 0 to 10000 (default 2)"},
};

const ReportLine kReports[] = {
    {"layout", "whose SVG it was: vtracer or potrace"},
    {"polylines", "the polylines in OUT.dxf"},
};

int RunSvg2Dxf(const Command& self, const Arguments& args) {
  if (args.files.size() != 2) throw UsageProblem("give the SVG file and the DXF file");
  const int divisions = DivisionsOf(args);
  const auto svg = PathFromUtf8(args.files[0]);
  const auto dxf = PathFromUtf8(args.files[1]);
  RefuseOutputOverInput(svg, dxf);
  Progress progress(self, args);
  progress.Step("converting " + PathToUtf8(svg.filename()));
  const bool potrace = FileHasPotraceLayout(svg);
  std::optional<std::size_t> polylines;
  if (potrace) {
    polylines = ConvertPotraceSVGToDXF(svg, dxf, divisions);
  } else {
    std::string missing;
    polylines = ConvertSVGToDXF(
        svg, dxf, divisions, [&missing](std::string_view text) { missing = text; },
        /*keepEmpty=*/false);
    if (!polylines) {
      // The window's message is the path, a line feed and the phrase; one line here.
      for (char& c : missing)
        if (c == '\n') c = ' ';
      throw Error(missing);
    }
  }
  if (*polylines == 0)
    throw Error(args.files[0] +
                " に描ける path がありません (DXF は書きません)。読めるのは VTracer と Potrace "
                "(-s) の SVG です");
  progress.Clear();
  Report("layout", potrace ? "potrace" : "vtracer");
  Report("polylines", std::to_string(*polylines));
  return kDone;
}

}  // namespace

const Command kSvg2Dxf{"svg2dxf",
                       "svg2dxf IN.svg OUT.dxf [--divisions N]",
                       "convert VTracer's or Potrace's SVG to DXF",
                       kSwitches,
                       RunSvg2Dxf,
                       kReports};

}  // namespace tesnova::cli
