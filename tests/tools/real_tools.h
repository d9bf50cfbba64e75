#pragma once
// The real outside programs and process launcher of the platform the tests run on: natively
// Debian's potrace and the Node VTracer; under Wine the cross-built potrace.exe and the VTracer
// stand-in. An empty path means the program is not installed here.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>

#include "base/text_file.h"
#include "ports/processes.h"
#include "ports/shell.h"
#include "support/test_paths.h"

#ifdef _WIN32
#include <windows.h>

#include "win32/shell_win32.h"
#include "win32/win32_processes.h"
#else
#include "posix/posix_processes.h"
#endif

namespace tesnova::testing {

inline std::string ExistingOrEmpty(const std::filesystem::path& p) {
  std::error_code ec;
  return std::filesystem::is_regular_file(p, ec) ? PathToUtf8(p) : std::string();
}

inline std::filesystem::path SourceTree() {
  return TestData("").parent_path().parent_path().parent_path();
}

#ifdef _WIN32
inline std::filesystem::path BuildTree() {
  wchar_t buffer[MAX_PATH];
  GetModuleFileNameW(nullptr, buffer, MAX_PATH);
  return std::filesystem::path(buffer).parent_path().parent_path();
}
inline std::string RealVTracer() {
  return ExistingOrEmpty(BuildTree() / "testbed" / "vtracer_standin" / "vtracer_standin.exe");
}
inline std::string RealPotrace() {
  const char* env = std::getenv("TESNOVA_POTRACE_EXE");
  return ExistingOrEmpty(PathFromUtf8(env ? env : "Z:\\opt\\tesnova\\potrace.exe"));
}
using PlatformShell = WindowsShell;
#else
inline std::string RealVTracer() {
  std::error_code ec;
  if (!std::filesystem::exists(SourceTree() / "testbed" / "vtracer-node" / "node_modules", ec))
    return {};
  return ExistingOrEmpty(SourceTree() / "testbed" / "vtracer-node" / "vtracer");
}
inline std::string RealPotrace() { return ExistingOrEmpty("/usr/bin/potrace"); }

// The desktop shell's "open" of a program: started in the current folder, not waited for.
class PosixShell : public Shell {
 public:
  void Execute(const std::string&, const std::string& file,
               const std::string& parameters) override {
    processes_.RunProcess({.program = file,
                           .arguments = parameters,
                           .inCurrentFolder = true,
                           .wait = ProcessWait::kNone});
  }

 private:
  PosixProcesses processes_;
};
using PlatformShell = PosixShell;
#endif

// The platform's shell, counting what it is asked to open.
class CountingShell : public Shell {
 public:
  int opened = 0;
  void Execute(const std::string& verb, const std::string& file,
               const std::string& parameters) override {
    ++opened;
    inner_.Execute(verb, file, parameters);
  }

 private:
  PlatformShell inner_;
};

// The platform's launcher with a shorter file wait, so that a time-out is seen at once; it
// records the time-out asked for.
class ShortWaitProcesses : public Processes {
 public:
  std::unique_ptr<Processes> inner = MakePlatformProcesses();
  std::uint32_t askedTimeoutMs = 0;
  int starts = 0;

  ProcessResult RunProcess(const ProcessOptions& options) override {
    ++starts;
    return inner->RunProcess(options);
  }
  void WaitForFile(const std::string& f, std::uint32_t t) override {
    askedTimeoutMs = t;
    inner->WaitForFile(f, t == 0 ? 0 : 400);
  }
};

}  // namespace tesnova::testing
