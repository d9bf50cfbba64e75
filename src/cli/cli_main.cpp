// tesnova-cli: the core on files, for batch work and checks without a CAD program.
#include <cstdio>
#include <exception>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "base/safe_write.h"
#include "base/text_file.h"
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
    } catch (const std::bad_alloc&) {
      std::fprintf(stderr, "tesnova-cli %s: メモリが足りません (%s)\n", c->name,
                   args.size() > 1 ? args[1].c_str() : "");
      return 1;
    } catch (const std::filesystem::filesystem_error& e) {
      // The library's own text is no message for the user: the file and the cause in words.
      std::fprintf(stderr, "tesnova-cli %s: %s を扱えません: %s\n", c->name,
                   PathToUtf8(e.path1()).c_str(),
                   FileErrorWords(e.code().default_error_condition().value()));
      return 1;
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
