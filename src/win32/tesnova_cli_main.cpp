// tesnova-cli's entry point on Windows: the arguments arrive as UTF-16 and go on as UTF-8.
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "win32/wide_text.h"

int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(tesnova::WideToUtf8(argv[i]));
  return tesnova::cli::Main(args);
}
