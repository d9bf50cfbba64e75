// tesnova-cli prepare: the cleaning of the work bitmap on files, for checks without a CAD
// program. Steps run in the order of the image pick and the region cut: deskew, median,
// Gaussian, monochrome.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>
#include <optional>
#include <string>

#include "base/text_file.h"
#include "cli/cli_commands.h"
#include "raster/bmp_file.h"
#include "raster/deskew.h"
#include "raster/picture.h"
#include "raster/prepare.h"

namespace tesnova::cli {

namespace {

const Command& PrepareCommand() {
  for (const Command& c : kCommands)
    if (std::string(c.name) == "prepare") return c;
  return kCommands[0];
}

std::optional<double> ParseNumber(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::string Shortest(double value) {
  char text[32];
  const auto [end, error] = std::to_chars(text, text + sizeof text, value);
  return std::string(text, end);
}

}  // namespace

int RunPrepare(const std::vector<std::string>& args) {
  const Command& command = PrepareCommand();
  std::vector<std::string> files;
  bool median = false, gauss = false, mono = false, otsu = false;
  std::optional<std::string> threshold;
  std::optional<double> deskew;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--median") {
      median = true;
    } else if (a == "--gauss") {
      gauss = true;
    } else if (a == "--mono") {
      mono = true;
    } else if (a == "--otsu") {
      otsu = mono = true;
    } else if (a == "--threshold" || a == "--deskew") {
      if (i + 1 == args.size()) return UsageError(command, a + " needs a value");
      const std::string& value = args[++i];
      if (a == "--threshold") {
        threshold = value;  // taken as the threshold field takes its text
        mono = true;
      } else if (!(deskew = ParseNumber(value))) {
        return UsageError(command, "--deskew needs a number of degrees, not '" + value + "'");
      }
    } else if (a.starts_with("--")) {
      return UsageError(command, "unknown option " + a);
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) return UsageError(command, "needs IN and OUT.bmp");
  if (otsu && threshold) return UsageError(command, "--threshold and --otsu exclude each other");

  PrepareOptions options;
  if (deskew) options.deskewRotation = *deskew * std::numbers::pi / 180;
  options.median = median;
  options.gaussian = gauss;
  options.monochrome = mono;
  // Without a threshold the window's default applies: automatic by Otsu's method.
  options.otsu = mono && !threshold;
  options.threshold = ThresholdFromText(threshold.value_or(""));
  Bitmap picture = LoadPicture(PathFromUtf8(files[0]));
  const PrepareReport report = PrepareBitmap(picture, options);
  if (mono) std::printf("threshold: %d\n", report.threshold);
  const double insertionRotation = deskew ? *deskew - report.skewTaken * kDegreesPerRadian : 0;
  WriteBmp24(PathFromUtf8(files[1]), picture);
  std::printf("insertion rotation: %s\n", Shortest(insertionRotation).c_str());
  std::printf("size: %d x %d\n", picture.width, picture.height);
  return 0;
}

}  // namespace tesnova::cli
