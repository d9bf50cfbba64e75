// tesnova-cli prepare: the cleaning of the work bitmap on files, for checks without a CAD
// program. Steps run in the order of the image pick and the region cut: deskew, median,
// Gaussian, monochrome.
#include <charconv>
#include <cstdio>
#include <string>

#include "base/text_file.h"
#include "cli/cli_commands.h"
#include "cli/progress.h"
#include "raster/bmp_file.h"
#include "raster/deskew.h"
#include "raster/picture.h"
#include "raster/prepare.h"

namespace tesnova::cli {
namespace {

std::string Shortest(double value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return std::string(text, end);
}

int RunPrepare(const Command& self, const Arguments& args) {
  if (args.files.size() != 2) throw UsageProblem("needs IN and OUT.bmp");
  const PrepareOptions options = PrepareOptionsOf(args);
  const auto in = PathFromUtf8(args.files[0]);
  const auto out = PathFromUtf8(args.files[1]);
  RefuseOutputOverInput(in, out);
  Progress progress(self, args);
  progress.Step("reading " + PathToUtf8(in.filename()));
  Bitmap picture = LoadPicture(in);
  progress.Step("preparing");
  const PrepareReport report = PrepareBitmap(picture, options);
  progress.Step("writing " + PathToUtf8(out.filename()));
  WriteBmp24(out, picture);
  progress.Clear();

  if (options.monochrome) Report("threshold", std::to_string(report.threshold));
  // The rotation left for the insertion: the picture's own, less what deskewing took back.
  const double rotation = DeskewDegreesOf(args).value_or(0) - report.skewTaken * kDegreesPerRadian;
  Report("insertion rotation", Shortest(rotation));
  Report("size", std::to_string(picture.width) + " x " + std::to_string(picture.height));
  return kDone;
}

const ReportLine kReports[] = {
    {"threshold", "the luminance threshold taken, with --mono, --threshold or --otsu"},
    {"insertion rotation", "degrees the insertion must still turn the picture"},
    {"size", "the work bitmap's width x height in pixels"},
};

}  // namespace

const Command kPrepare{"prepare",
                       "prepare IN OUT.bmp [--median] [--gauss] [--mono] [--threshold N | --otsu] "
                       "[--deskew DEGREES]",
                       "clean a picture into the 24-bit work bitmap",
                       kPrepareSwitches,
                       RunPrepare,
                       kReports};

}  // namespace tesnova::cli
