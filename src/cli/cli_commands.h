#pragma once
// The table of tesnova-cli's subcommands, in the order --help lists them.
#include "cli/cli_command.h"

namespace tesnova::cli {

extern const Command kSvg2Dxf;
extern const Command kPrepare;
extern const Command kTrace;
extern const Command kCenterline;

inline const Command* const kCommands[] = {&kSvg2Dxf, &kPrepare, &kTrace, &kCenterline};

}  // namespace tesnova::cli
