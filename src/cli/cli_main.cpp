// tesnova-cli: the core on files, for batch work and checks without a CAD program.
#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "cli/cli_command.h"
#include "cli/cli_commands.h"

namespace tesnova::cli {
namespace {

void PrintHelp(FILE* out) {
  std::fprintf(out, "usage: tesnova-cli SUBCOMMAND [ARGS]\n\nsubcommands:\n");
  for (const Command* c : kCommands) std::fprintf(out, "  %s   %s\n", c->usage, c->summary);
}

int UsageError(const Command& command, const std::string& message) {
  std::fprintf(stderr, "tesnova-cli %s: %s\nusage: tesnova-cli %s\n", command.name, message.c_str(),
               command.usage);
  return 2;
}

}  // namespace

int Main(const std::vector<std::string>& args) {
  if (args.empty()) {
    PrintHelp(stderr);
    return 2;
  }
  if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
    PrintHelp(stdout);
    return 0;
  }
  for (const Command* c : kCommands) {
    if (args[0] != c->name) continue;
    try {
      return c->run(*c, ParseArguments(*c, std::vector<std::string>(args.begin() + 1, args.end())));
    } catch (const UsageProblem& e) {
      return UsageError(*c, e.what());
    } catch (const std::exception& e) {
      std::fprintf(stderr, "tesnova-cli %s: %s\n", c->name, e.what());
      return 1;
    }
  }
  std::fprintf(stderr, "tesnova-cli: unknown subcommand '%s'\n", args[0].c_str());
  PrintHelp(stderr);
  return 2;
}

}  // namespace tesnova::cli
