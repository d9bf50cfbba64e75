#pragma once
// The subcommands of tesnova-cli and the one parser of their switches. Each subcommand lives
// in a file of its own and is listed in cli_commands.h.
#include <cstdint>
#include <filesystem>
#include <map>
#include <optional>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "raster/prepare.h"

namespace tesnova::cli {

// A switch a subcommand takes: a flag ("--median") or one with a value ("--divisions N"),
// given as "--name VALUE" or "--name=VALUE".
struct Switch {
  const char* name;   // with its dashes
  const char* value;  // what the value is ("N", "PATH"); nullptr for a flag
  const char* help;   // one line
};

// The arguments of one subcommand: its files, and the switches given with their values (""
// for a flag). A switch given twice keeps its last value.
struct Arguments {
  std::vector<std::string> files;
  std::map<std::string, std::string, std::less<>> switches;

  bool Has(std::string_view name) const { return switches.find(name) != switches.end(); }
  std::optional<std::string> Value(std::string_view name) const;
};

// The exit statuses of tesnova-cli. An interrupt ends it with 130 (128 + the signal on Linux).
enum ExitStatus : int {
  kDone = 0,
  kFailed = 1,    // the message on standard error names the file concerned
  kBadUsage = 2,  // an unknown subcommand or switch, a value that does not parse, files missing
};

// A line a subcommand reports on standard output, "key: value", for --help.
struct ReportLine {
  const char* key;
  const char* help;  // what the value is
};

struct Command;
using Run = int (*)(const Command& self, const Arguments& args);

struct Command {
  const char* name;
  const char* usage;    // the synopsis for --help
  const char* summary;  // what it does, for --help
  std::span<const Switch> switches;
  Run run;
  std::span<const ReportLine> reports = {};
};

// The switches every subcommand takes besides its own (--quiet, --help).
extern const std::span<const Switch> kCommonSwitches;

// One line of a subcommand's report on standard output: "key: value". Scripts read these, so
// keys do not change.
void Report(std::string_view key, std::string_view value);

// Wrong use of a subcommand: its message goes to stderr with the usage, exit status 2.
class UsageProblem : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// Splits the arguments after the subcommand's name by the subcommand's switches. Raises
// UsageProblem for an unknown switch or a missing value.
Arguments ParseArguments(const Command& command, const std::vector<std::string>& args);

// The curve divisions of --divisions (2 when not given); UsageProblem outside 0..10000.
int DivisionsOf(const Arguments& args);

// The picture preparation that prepare's switches ask for. A bare --mono, like the window's
// default, takes its threshold by Otsu's method; --threshold and --otsu exclude each other.
PrepareOptions PrepareOptionsOf(const Arguments& args);

// The picture's rotation in degrees that --deskew gives; UsageProblem for a text that is no
// finite number.
std::optional<double> DeskewDegreesOf(const Arguments& args);

// A finite number that is the whole text, or nothing.
std::optional<double> NumberOf(const std::string& text);

// How long an outside tracer may run when --timeout is not given: far beyond what a tracer
// takes on a page-sized scan.
constexpr int kDefaultTimeoutSeconds = 600;

// The seconds of --timeout (kDefaultTimeoutSeconds when not given) in milliseconds;
// UsageProblem for a text that is no whole number from 1 to 86400.
std::uint32_t TimeoutMsOf(const Arguments& args);

// Raises Error when output names the file that input names (by the file's identity, not its
// spelling): writing it would destroy the input.
void RefuseOutputOverInput(const std::filesystem::path& input, const std::filesystem::path& output);

// prepare's switches, which trace takes as well.
extern const std::span<const Switch> kPrepareSwitches;

// Runs the subcommand that args[0] names with the rest of args (the arguments after the
// program name, UTF-8); returns the exit status. The platform's entry point calls it.
int Main(const std::vector<std::string>& args);

}  // namespace tesnova::cli
