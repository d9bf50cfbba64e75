// tesnova-cli svg2dxf IN.svg OUT.dxf [--divisions N]: the SVG-to-DXF conversion on given files.
#include <charconv>
#include <cstdio>
#include <string>

#include "base/text_file.h"
#include "cli/cli_commands.h"
#include "vector/svg_to_dxf.h"

namespace tesnova::cli {
namespace {

const Command& Self() {
  for (const Command& c : kCommands)
    if (std::string(c.name) == "svg2dxf") return c;
  return kCommands[0];
}

// Curve divisions beyond this would only make huge files (every curve becomes N vertices).

}  // namespace

int RunSvg2Dxf(const std::vector<std::string>& args) {
  std::vector<std::string> files;
  int divisions = 2;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    std::string value;
    if (arg == "--divisions") {
      if (i + 1 >= args.size()) return UsageError(Self(), "--divisions needs a number");
      value = args[++i];
    } else if (arg.rfind("--divisions=", 0) == 0) {
      value = arg.substr(12);
    } else if (arg.size() > 1 && arg[0] == '-') {
      return UsageError(Self(), "unknown option '" + arg + "'");
    } else {
      files.push_back(arg);
      continue;
    }
    int n = 0;
    auto result = std::from_chars(value.data(), value.data() + value.size(), n);
    if (result.ec != std::errc() || result.ptr != value.data() + value.size() || n < 0 ||
        n > kMaxDivisions)
      return UsageError(Self(), "--divisions takes a whole number from 0 to " +
                                    std::to_string(kMaxDivisions) + ", not '" + value + "'");
    divisions = n;
  }
  if (files.size() != 2) return UsageError(Self(), "give the SVG file and the DXF file");

  std::string message;
  bool written = ConvertSVGToDXF(PathFromUtf8(files[0]), PathFromUtf8(files[1]), divisions,
                                 [&message](std::string_view text) { message = text; });
  if (!written) {
    // The window's message is the path, a line feed and the phrase; one line here.
    for (char& c : message)
      if (c == '\n') c = ' ';
    std::fprintf(stderr, "tesnova-cli svg2dxf: %s\n", message.c_str());
    return 1;
  }
  return 0;
}

}  // namespace tesnova::cli
