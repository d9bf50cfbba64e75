#pragma once
// The work files: the bitmap the tracers are given and what they make of it, all in one
// folder (the executable's, or a command line's temporary one) under fixed names.
#include <filesystem>
#include <string>

namespace tesnova {

// UTF-8 paths.
struct WorkFiles {
  std::string bmp;  // "tesnova.bmp"
  std::string svg;  // "tesnova.svg"
  std::string dxf;  // "tesnova.dxf"
  std::string pbm;  // "tesnova.pbm"
};

WorkFiles WorkFilesIn(const std::filesystem::path& folder);

}  // namespace tesnova
