#pragma once
// The few file operations whose portable forms are not enough: flushing to the disk, replacing a
// file in one step, and telling whether two names are one file. The platform library (src/win32
// or src/posix) defines them.
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <string>

namespace tesnova {

// Has the system write the file's data to the disk. "" when done, otherwise what went wrong
// in words.
std::string FlushFileToDisk(const std::filesystem::path& path);

// Has the system start writing what has reached the open file so far to the disk, without
// waiting for it (sync_file_range; nothing on Windows), so that a large file written in pieces
// is mostly on the disk by the time FlushFileToDisk asks for the rest. Errors are left to
// FlushFileToDisk.
void StartWritingToDisk(std::FILE* file);

// Renames from to to in one step, replacing a file of that name (rename; MoveFileExW with
// MOVEFILE_REPLACE_EXISTING and MOVEFILE_WRITE_THROUGH). "" when done, otherwise what went
// wrong in words; on failure both files are as they were.
std::string MoveFileOver(const std::filesystem::path& from, const std::filesystem::path& to);

// What makes a file itself, whatever its names: device and inode, or volume serial number
// and file index.
struct FileIdentity {
  std::uint64_t device = 0;
  std::uint64_t index = 0;
  bool operator==(const FileIdentity&) const = default;
};

// The identity of the file of that name; nothing when there is none.
std::optional<FileIdentity> IdentityOfFile(const std::filesystem::path& path);

// True when both paths name one existing file (links and other spellings included).
bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b);

}  // namespace tesnova
