#pragma once
// Writing where a user's file may stand. The new content goes to a temporary file in the same
// folder, is flushed to the disk and then renamed over the old file in one step, so that a
// full disk, an error or an interrupt leaves the old file whole and no temporary behind.
#include <cstddef>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string_view>

#include "base/interrupt_cleanup.h"

namespace tesnova {

// The temporary beside the target and its putting in place, for writers that write the file
// themselves (another library, a copy).
class FileReplacement {
 public:
  // Picks a temporary name beside target; nothing is created yet.
  explicit FileReplacement(const std::filesystem::path& target);
  // Removes the temporary unless Commit has put it in place.
  ~FileReplacement();
  FileReplacement(const FileReplacement&) = delete;
  FileReplacement& operator=(const FileReplacement&) = delete;

  // The file the writer writes the new content to.
  const std::filesystem::path& Temporary() const { return temporary_; }
  const std::filesystem::path& Target() const { return target_; }

  // Flushes the temporary to the disk and renames it over the target. Raises FileError naming
  // the target when either fails; the temporary is then removed and the old file left as it was.
  void Commit();

 private:
  void RemoveTemporary() noexcept;

  std::filesystem::path target_;
  std::filesystem::path temporary_;
  bool committed_ = false;
  std::unique_ptr<InterruptCleanup> onInterrupt_;
};

// A file written piece by piece through a FileReplacement. Every failure raises FileError
// naming the target and saying what is wrong; the old file is then left whole.
class SafeFileWriter {
 public:
  explicit SafeFileWriter(const std::filesystem::path& target);
  ~SafeFileWriter();
  SafeFileWriter(const SafeFileWriter&) = delete;
  SafeFileWriter& operator=(const SafeFileWriter&) = delete;

  void Write(std::string_view bytes);
  // Closes the temporary and puts it in place of the target.
  void Commit();

 private:
  [[noreturn]] void Fail(int error);

  static constexpr std::size_t kWriteBackBytes = std::size_t{4} << 20;

  FileReplacement replacement_;
  std::FILE* file_ = nullptr;
  std::size_t unsynced_ = 0;  // bytes written since the disk was last asked to take them
};

// The whole content of a file, written through a SafeFileWriter.
void WriteFileSafely(const std::filesystem::path& path, std::string_view bytes);

// Words for a C library error number (errno) as a file operation reports it.
const char* FileErrorWords(int error);

}  // namespace tesnova
