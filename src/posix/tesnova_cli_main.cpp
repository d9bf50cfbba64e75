// tesnova-cli's entry point on Linux: the arguments are UTF-8 already.
#include <string>
#include <vector>

#include "cli/cli_command.h"

int main(int argc, char** argv) {
  return tesnova::cli::Main(std::vector<std::string>(argv + 1, argv + argc));
}
