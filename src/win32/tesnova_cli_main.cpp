// tesnova-cli's entry point on Windows: the arguments arrive as UTF-16 and go on as UTF-8. An
// interrupt (Ctrl+C, Ctrl+Break, a closed console) undoes what the run has begun (its
// temporaries, its tracer) before the program ends.
#include <windows.h>

#include <string>
#include <vector>

#include "base/interrupt_cleanup.h"
#include "cli/cli_command.h"
#include "win32/wide_text.h"

namespace {

// Runs on a thread of the system's own.
BOOL WINAPI OnConsoleInterrupt(DWORD) {
  tesnova::RunInterruptCleanups();
  ExitProcess(130);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  SetConsoleCtrlHandler(OnConsoleInterrupt, TRUE);
  std::vector<std::string> args;
  for (int i = 1; i < argc; ++i) args.push_back(tesnova::WideToUtf8(argv[i]));
  return tesnova::cli::Main(args);
}
