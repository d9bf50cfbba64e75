#include "cli/run_failure.h"

namespace tesnova::cli {

std::string RunFailure(const std::string& program, const ProcessResult& run,
                       std::uint32_t timeoutMs) {
  if (!run.started)
    return program + " could not be started (error " + std::to_string(run.errorCode) + ")";
  if (run.timedOut)
    return program + " was still running after " + std::to_string(timeoutMs / 1000) +
           " seconds and was ended (--timeout)";
  if (run.signal != 0) return program + " was ended by signal " + std::to_string(run.signal);
  if (run.exitCode != 0) return program + " ended with exit status " + std::to_string(run.exitCode);
  return {};
}

}  // namespace tesnova::cli
