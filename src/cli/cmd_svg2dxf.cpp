#include <cstdio>

#include "cli/cli_commands.h"

namespace tesnova::cli {

int RunSvg2Dxf(const std::vector<std::string>& args) {
  (void)args;
  std::fprintf(stderr, "svg2dxf: not built yet\n");
  return 1;
}

}  // namespace tesnova::cli
