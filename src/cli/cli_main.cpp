// tesnova-cli: the core on files, for batch work and checks without a CAD program.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/cli_commands.h"

#ifdef _WIN32
#include "win32/wide_text.h"
#endif

namespace tesnova::cli {

int UsageError(const Command& command, const std::string& message) {
  std::fprintf(stderr, "tesnova-cli %s: %s\nusage: tesnova-cli %s\n", command.name, message.c_str(),
               command.usage);
  return 2;
}

namespace {

void PrintHelp(FILE* out) {
  std::fprintf(out, "usage: tesnova-cli SUBCOMMAND [ARGS]\n\nsubcommands:\n");
  for (const Command& c : kCommands) std::fprintf(out, "  %s\n", c.usage);
}

int Main(const std::vector<std::string>& args) {
  if (args.empty()) {
    PrintHelp(stderr);
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintHelp(stdout);
    return 0;
  }
  for (const Command& c : kCommands) {
    if (args[0] != c.name) continue;
    try {
      return c.run(std::vector<std::string>(args.begin() + 1, args.end()));
    } catch (const std::exception& e) {
      std::fprintf(stderr, "tesnova-cli %s: %s\n", c.name, e.what());
      return 1;
    }
  }
  std::fprintf(stderr, "tesnova-cli: unknown subcommand '%s'\n", args[0].c_str());
  PrintHelp(stderr);
  return 2;
}

}  // namespace
}  // namespace tesnova::cli

#ifdef _WIN32
int wmain(int argc, wchar_t** argv) {
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(tesnova::WideToUtf8(argv[i]));
  return tesnova::cli::Main(args);
}
#else
int main(int argc, char** argv) {
  return tesnova::cli::Main(std::vector<std::string>(argv + 1, argv + argc));
}
#endif
