#include <charconv>
#include <cmath>
#include <cstdio>
#include <numbers>

#include "base/error.h"
#include "base/file_system.h"
#include "base/text_file.h"
#include "cli/cli_command.h"
#include "raster/threshold.h"
#include "vector/svg_to_dxf.h"

namespace tesnova::cli {
namespace {

const Switch kPrepareSwitchList[] = {
    {"--median", nullptr, "median filter (noise removal)"},
    {"--gauss", nullptr, "Gaussian filter (smoother edges)"},
    {"--mono", nullptr, "black and white, by Otsu's threshold unless --threshold is given"},
    {"--threshold", "N", "black and white at luminance N (1 to 254)"},
    {"--otsu", nullptr, "black and white at Otsu's threshold"},
    {"--deskew", "DEGREES", "turn back the picture's rotation below a quarter turn"},
};

const Switch kCommonSwitchList[] = {
    {"--quiet", nullptr, "no progress on standard error"},
    {"--help", nullptr, "this help"},
};

const Switch* FindSwitch(const Command& command, std::string_view name) {
  for (std::span<const Switch> table :
       {command.switches, std::span<const Switch>(kCommonSwitchList)})
    for (const Switch& s : table)
      if (name == s.name) return &s;
  return nullptr;
}

}  // namespace

const std::span<const Switch> kPrepareSwitches = kPrepareSwitchList;
const std::span<const Switch> kCommonSwitches = kCommonSwitchList;

void Report(std::string_view key, std::string_view value) {
  std::printf("%.*s: %.*s\n", static_cast<int>(key.size()), key.data(),
              static_cast<int>(value.size()), value.data());
}

std::optional<std::string> Arguments::Value(std::string_view name) const {
  auto it = switches.find(name);
  if (it == switches.end()) return std::nullopt;
  return it->second;
}

Arguments ParseArguments(const Command& command, const std::vector<std::string>& args) {
  Arguments out;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a.size() < 2 || a[0] != '-') {
      out.files.push_back(a);
      continue;
    }
    const std::size_t equals = a.find('=');
    const std::string name = a.substr(0, equals);
    const Switch* s = FindSwitch(command, name);
    if (!s) throw UsageProblem("unknown switch " + name);
    if (!s->value) {
      if (equals != std::string::npos) throw UsageProblem(name + " takes no value");
      out.switches[name] = "";
    } else if (equals != std::string::npos) {
      out.switches[name] = a.substr(equals + 1);
    } else {
      if (i + 1 == args.size()) throw UsageProblem(name + " needs a value (" + s->value + ")");
      out.switches[name] = args[++i];
    }
  }
  return out;
}

namespace {

// A whole number from low to high, or nothing.
std::optional<int> WholeNumber(const std::string& text, int low, int high) {
  int n = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), n);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() || n < low ||
      n > high)
    return std::nullopt;
  return n;
}

}  // namespace

std::optional<double> NumberOf(const std::string& text) {
  double value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (text.empty() || error != std::errc() || end != text.data() + text.size() ||
      !std::isfinite(value))
    return std::nullopt;
  return value;
}

std::uint32_t TimeoutMsOf(const Arguments& args) {
  const std::optional<std::string> text = args.Value("--timeout");
  if (!text) return std::uint32_t{kDefaultTimeoutSeconds} * 1000;
  const std::optional<int> seconds = WholeNumber(*text, 1, 86400);
  if (!seconds)
    throw UsageProblem("--timeout takes a whole number of seconds from 1 to 86400, not '" + *text +
                       "'");
  return static_cast<std::uint32_t>(*seconds) * 1000;
}

void RefuseOutputOverInput(const std::filesystem::path& input,
                           const std::filesystem::path& output) {
  if (SameFile(input, output))
    throw Error(PathToUtf8(output) + " は入力ファイル " + PathToUtf8(input) +
                " そのものです。別の出力ファイルを指定してください");
}

int DivisionsOf(const Arguments& args) {
  const std::optional<std::string> text = args.Value("--divisions");
  if (!text) return 2;
  const std::optional<int> n = WholeNumber(*text, 0, kMaxDivisions);
  if (!n)
    throw UsageProblem("--divisions takes a whole number from 0 to " +
                       std::to_string(kMaxDivisions) + ", not '" + *text + "'");
  return *n;
}

std::optional<double> DeskewDegreesOf(const Arguments& args) {
  const std::optional<std::string> text = args.Value("--deskew");
  if (!text) return std::nullopt;
  const std::optional<double> degrees = NumberOf(*text);
  if (!degrees) throw UsageProblem("--deskew needs a number of degrees, not '" + *text + "'");
  return degrees;
}

PrepareOptions PrepareOptionsOf(const Arguments& args) {
  PrepareOptions p;
  p.median = args.Has("--median");
  p.gaussian = args.Has("--gauss");
  const std::optional<std::string> threshold = args.Value("--threshold");
  if (threshold && args.Has("--otsu"))
    throw UsageProblem("--threshold and --otsu exclude each other");
  p.monochrome = args.Has("--mono") || args.Has("--otsu") || threshold.has_value();
  p.otsu = p.monochrome && !threshold;
  if (threshold) {
    const std::optional<int> value = WholeNumber(*threshold, kMinThreshold, kMaxThreshold);
    if (!value)
      throw UsageProblem("--threshold takes a whole number from " + std::to_string(kMinThreshold) +
                         " to " + std::to_string(kMaxThreshold) + ", not '" + *threshold + "'");
    p.threshold = *value;
  }
  if (const std::optional<double> degrees = DeskewDegreesOf(args))
    p.deskewRotation = *degrees * std::numbers::pi / 180;
  return p;
}

}  // namespace tesnova::cli
