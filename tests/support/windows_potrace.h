#pragma once
// The Windows potrace.exe that scripts/setup.d/potrace-exe.sh builds, as a Windows program
// under Wine sees it: TESNOVA_POTRACE_EXE when the setup was told another place.
#include <cstdlib>
#include <filesystem>
#include <string>

namespace tesnova::testing {

inline std::filesystem::path WindowsPotrace() {
  const char* unixPath = std::getenv("TESNOVA_POTRACE_EXE");
  std::string path = unixPath && *unixPath ? unixPath : "/opt/tesnova/potrace.exe";
  for (char& c : path)
    if (c == '/') c = '\\';
  return std::filesystem::path("Z:" + path);
}

}  // namespace tesnova::testing
