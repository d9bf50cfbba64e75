#pragma once
// A fresh folder of the system's temporary folder for one run's work files, removed with all in
// it when the object goes, or when the program is interrupted.
#include <filesystem>
#include <memory>
#include <string_view>

#include "base/interrupt_cleanup.h"

namespace tesnova {

class TemporaryFolder {
 public:
  // "<temp>/<prefix>-<random>"; raises FileError when it cannot be made.
  explicit TemporaryFolder(std::string_view prefix);
  ~TemporaryFolder();
  TemporaryFolder(const TemporaryFolder&) = delete;
  TemporaryFolder& operator=(const TemporaryFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }

 private:
  void Remove() const noexcept;

  std::filesystem::path path_;
  std::unique_ptr<InterruptCleanup> onInterrupt_;
};

}  // namespace tesnova
