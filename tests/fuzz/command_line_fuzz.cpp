// The command-line splitter on arbitrary arguments: every list of arguments, each quoted the
// way a careful caller quotes for the Windows parser and joined with blanks, splits back into
// exactly that list.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "process/command_line.h"

namespace {

std::string Quote(const std::string& arg) {
  if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
  std::string out = "\"";
  for (size_t i = 0;; ++i) {
    size_t backslashes = 0;
    while (i < arg.size() && arg[i] == '\\') ++i, ++backslashes;
    if (i == arg.size()) {
      out.append(backslashes * 2, '\\');
      break;
    }
    if (arg[i] == '"') {
      out.append(backslashes * 2 + 1, '\\');
    } else {
      out.append(backslashes, '\\');
    }
    out += arg[i];
  }
  return out + "\"";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  // The input is the arguments separated by NUL bytes.
  std::vector<std::string> args(1);
  for (std::size_t i = 0; i < size; ++i) {
    if (data[i] == 0)
      args.emplace_back();
    else
      args.back() += static_cast<char>(data[i]);
  }
  std::string arguments;
  for (const std::string& a : args) arguments += (arguments.empty() ? "" : " ") + Quote(a);
  std::vector<std::string> split = tesnova::SplitCommandLine(
      tesnova::BuildCommandLine("C:\\Program Files\\tool.exe", arguments));
  split.erase(split.begin());
  if (split != args) std::abort();
  // Any text at all splits without harm.
  tesnova::SplitCommandLine(std::string(reinterpret_cast<const char*>(data), size));
  return 0;
}
