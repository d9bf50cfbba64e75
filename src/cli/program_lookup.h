#pragma once
// Finding the outside program a subcommand starts (Potrace, VTracer).
#include <optional>
#include <string>
#include <string_view>

namespace tesnova::cli {

// The program to start: the one the switch gives (a path, or a bare name looked for as below),
// else the program of that name in the folders of the search path (PATH), else beside
// tesnova-cli itself. Raises Error when there is none: the message names the program, where it
// was looked for and the switch that gives its path.
std::string FindProgram(std::string_view name, const std::optional<std::string>& given,
                        std::string_view switchName);

}  // namespace tesnova::cli
