// tesnova-cli prepare: the cleaning of the work bitmap on files, for checks without a CAD
// program. Steps run in the order of the image pick and the region cut: deskew, median,
// Gaussian, monochrome.
#include <charconv>
#include <cstdio>
#include <string>

#include "base/text_file.h"
#include "cli/cli_commands.h"
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

int RunPrepare(const Command&, const Arguments& args) {
  if (args.files.size() != 2) throw UsageProblem("needs IN and OUT.bmp");
  const PrepareOptions options = PrepareOptionsOf(args);
  RefuseOutputOverInput(PathFromUtf8(args.files[0]), PathFromUtf8(args.files[1]));
  Bitmap picture = LoadPicture(PathFromUtf8(args.files[0]));
  const PrepareReport report = PrepareBitmap(picture, options);
  WriteBmp24(PathFromUtf8(args.files[1]), picture);

  if (options.monochrome) std::printf("threshold: %d\n", report.threshold);
  // The rotation left for the insertion: the picture's own, less what deskewing took back.
  const double rotation = DeskewDegreesOf(args).value_or(0) - report.skewTaken * kDegreesPerRadian;
  std::printf("insertion rotation: %s\n", Shortest(rotation).c_str());
  std::printf("size: %d x %d\n", picture.width, picture.height);
  return 0;
}

}  // namespace

const Command kPrepare{"prepare",
                       "prepare IN OUT.bmp [--median] [--gauss] [--mono] [--threshold N | --otsu] "
                       "[--deskew DEGREES]",
                       "clean a picture into the 24-bit work bitmap", kPrepareSwitches, RunPrepare};

}  // namespace tesnova::cli
