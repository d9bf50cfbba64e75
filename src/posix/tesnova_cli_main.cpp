// tesnova-cli's entry point on Linux: the arguments are UTF-8 already. An interrupt (Ctrl+C, a
// terminate request, a closed terminal) is taken by a thread of its own, which undoes what the
// run has begun (its temporaries, its tracer) and ends the program with the usual status.
#include <pthread.h>
#include <signal.h>
#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include "base/interrupt_cleanup.h"
#include "cli/cli_command.h"

namespace {

void WatchInterrupts(sigset_t signals) {
  std::thread([signals] {
    int signal = 0;
    while (sigwait(&signals, &signal) != 0) {
    }
    tesnova::RunInterruptCleanups();
    _exit(128 + signal);
  }).detach();
}

}  // namespace

int main(int argc, char** argv) {
  sigset_t signals;
  sigemptyset(&signals);
  for (int s : {SIGINT, SIGTERM, SIGHUP, SIGQUIT}) sigaddset(&signals, s);
  // Blocked here, so that only the watching thread takes them (started programs unblock them).
  pthread_sigmask(SIG_BLOCK, &signals, nullptr);
  WatchInterrupts(signals);
  return tesnova::cli::Main(std::vector<std::string>(argv + 1, argv + argc));
}
