#pragma once
// One command line for a program, as Windows starts programs: built by the caller, split by
// the started program. The POSIX side splits it the same way, so that a tracer receives the
// same arguments on both platforms.
#include <string>
#include <string_view>
#include <vector>

namespace tesnova {

// The program path in double quotes, one space, then the argument text exactly as given.
// Nothing in the arguments is quoted here: a caller passing a path with spaces quotes it.
std::string BuildCommandLine(std::string_view program, std::string_view arguments);

// Splits a command line into arguments by the rules of the Windows command-line parser:
// - the first argument (the program) runs to the next double quote when it starts with one,
//   otherwise to the next blank or tab; nothing in it is escaped;
// - the others are separated by blanks and tabs; double quotes group and are removed;
// - 2n backslashes before a double quote give n backslashes and the quote groups,
//   2n+1 give n backslashes and a literal quote; other backslashes are literal;
// - inside a quoted group, a doubled quote gives a literal quote (and a third one, another).
std::vector<std::string> SplitCommandLine(std::string_view commandLine);

// The folder a program is started in: workFolder when given, otherwise the folder part of the
// program path without its trailing separator (a root such as "C:\" or "/" is kept whole);
// empty when the program has no folder part, so that the caller's current folder applies.
// Both '\' and '/' separate folders.
std::string WorkFolderFor(std::string_view program, std::string_view workFolder);

}  // namespace tesnova
