#pragma once
// Where tests find their fixtures and put their scratch files.
#include <filesystem>
#include <string>
#include <vector>

namespace tesnova::testing {

// A fixture under tests/data.
std::filesystem::path TestData(const std::string& name);

// A fresh empty folder for one test, removed again when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  // The names (UTF-8) of what the folder holds, sorted: to see that nothing was left behind.
  std::vector<std::string> Names() const;

 private:
  std::filesystem::path path_;
};

}  // namespace tesnova::testing
