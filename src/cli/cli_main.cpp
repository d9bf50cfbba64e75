// tesnova-cli: the core on files, for batch work and checks without a CAD program.
#include <algorithm>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#include "base/safe_write.h"
#include "base/text_file.h"
#include "base/version.h"
#include "cli/cli_command.h"
#include "cli/cli_commands.h"

namespace tesnova::cli {
namespace {

constexpr const char* kExitStatuses =
    "exit status:\n"
    "  0    done\n"
    "  1    failed: the message on standard error says why and names the file concerned\n"
    "  2    bad usage: an unknown subcommand or switch, a value that does not parse, files "
    "missing\n"
    "  130  interrupted (Ctrl+C; 128 + the signal's number on Linux)\n";

void PrintSwitches(FILE* out, std::span<const Switch> switches) {
  for (const Switch& s : switches) {
    std::string name = s.name;
    if (s.value) name += std::string(" ") + s.value;
    std::fprintf(out, "  %-20s %s\n", name.c_str(), s.help);
  }
}

void PrintHelp(FILE* out) {
  std::fprintf(out,
               "usage: tesnova-cli SUBCOMMAND [ARGS]\n"
               "       tesnova-cli SUBCOMMAND --help    that subcommand's switches\n"
               "       tesnova-cli --version\n\nsubcommands:\n");
  for (const Command* c : kCommands) std::fprintf(out, "  %-11s %s\n", c->name, c->summary);
  std::fprintf(out,
               "\nEvery switch is given as --name VALUE or --name=VALUE. Every subcommand also "
               "takes:\n");
  PrintSwitches(out, kCommonSwitches);
  std::fprintf(out,
               "\nProgress goes to standard error while it is a terminal; reports go to standard\n"
               "output as lines of \"key: value\".\n\n%s",
               kExitStatuses);
}

void PrintCommandHelp(const Command& c) {
  std::printf("usage: tesnova-cli %s\n%s\n\nswitches:\n", c.usage, c.summary);
  PrintSwitches(stdout, c.switches);
  PrintSwitches(stdout, kCommonSwitches);
  if (!c.reports.empty()) {
    std::printf("\nreport on standard output, one line each:\n");
    for (const ReportLine& r : c.reports) {
      const std::string key = std::string(r.key) + ":";
      std::printf("  %-20s %s\n", key.c_str(), r.help);
    }
  }
  std::printf("\n%s", kExitStatuses);
}

int UsageError(const Command& command, const std::string& message) {
  std::fprintf(stderr,
               "tesnova-cli %s: %s\nusage: tesnova-cli %s\n(tesnova-cli %s --help lists the "
               "switches)\n",
               command.name, message.c_str(), command.usage, command.name);
  return kBadUsage;
}

bool AsksForHelp(const std::string& arg) { return arg == "--help" || arg == "-h"; }

const Command* FindCommand(const std::string& name) {
  for (const Command* c : kCommands)
    if (name == c->name) return c;
  return nullptr;
}

int RunCommand(const Command& c, const std::vector<std::string>& args) {
  if (std::any_of(args.begin(), args.end(), AsksForHelp)) {
    PrintCommandHelp(c);
    return kDone;
  }
  try {
    return c.run(c, ParseArguments(c, args));
  } catch (const UsageProblem& e) {
    return UsageError(c, e.what());
  } catch (const std::bad_alloc&) {
    std::fprintf(stderr, "tesnova-cli %s: メモリが足りません (%s)\n", c.name,
                 args.empty() ? "" : args[0].c_str());
    return kFailed;
  } catch (const std::filesystem::filesystem_error& e) {
    // The library's own text is no message for the user: the file and the cause in words.
    std::fprintf(stderr, "tesnova-cli %s: %s を扱えません: %s\n", c.name,
                 PathToUtf8(e.path1()).c_str(),
                 FileErrorWords(e.code().default_error_condition().value()));
    return kFailed;
  } catch (const std::exception& e) {
    std::fprintf(stderr, "tesnova-cli %s: %s\n", c.name, e.what());
    return kFailed;
  }
}

}  // namespace

int Main(const std::vector<std::string>& args) {
  if (args.empty()) {
    PrintHelp(stderr);
    return kBadUsage;
  }
  if (AsksForHelp(args[0]) || args[0] == "help") {
    if (args.size() > 1) {
      if (const Command* c = FindCommand(args[1])) {
        PrintCommandHelp(*c);
        return kDone;
      }
      std::fprintf(stderr, "tesnova-cli: unknown subcommand '%s'\n", args[1].c_str());
      return kBadUsage;
    }
    PrintHelp(stdout);
    return kDone;
  }
  if (args[0] == "--version") {
    std::printf("tesnova-cli %s\n", TESNOVA_VERSION);
    return kDone;
  }
  if (const Command* c = FindCommand(args[0]))
    return RunCommand(*c, std::vector<std::string>(args.begin() + 1, args.end()));
  std::fprintf(stderr, "tesnova-cli: unknown subcommand '%s'\n", args[0].c_str());
  PrintHelp(stderr);
  return kBadUsage;
}

}  // namespace tesnova::cli
