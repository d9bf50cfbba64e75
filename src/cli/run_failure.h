#pragma once
// How an outside program's run failed, in the words tesnova-cli's messages use.
#include <cstdint>
#include <string>

#include "ports/processes.h"

namespace tesnova::cli {

// "potrace could not be started (error 2)", "... was still running after 5 seconds and was
// ended (--timeout)", "... ended with exit status 3", "... was ended by signal 11". Empty for a
// run that succeeded.
std::string RunFailure(const std::string& program, const ProcessResult& run,
                       std::uint32_t timeoutMs);

}  // namespace tesnova::cli
