#pragma once
// The subcommands of tesnova-cli. Each lives in a file of its own and is listed in main.
#include <string>
#include <vector>

namespace tesnova::cli {

struct Command {
  const char* name;
  const char* usage;                                 // one line for --help
  int (*run)(const std::vector<std::string>& args);  // args after the subcommand name
};

// Runs the subcommand that args[0] names with the rest of args (the arguments after the
// program name, UTF-8); returns the exit status. The platform's entry point calls it.
int Main(const std::vector<std::string>& args);

// Reports a usage error for the subcommand on stderr and returns the exit status 2.
int UsageError(const Command& command, const std::string& message);

}  // namespace tesnova::cli
