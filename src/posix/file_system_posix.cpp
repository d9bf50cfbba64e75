// The platform's file operations on POSIX: fsync, rename, and device and inode.
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "base/file_system.h"
#include "base/safe_write.h"

namespace tesnova {

std::string FlushFileToDisk(const std::filesystem::path& path) {
  int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
  if (fd < 0) return FileErrorWords(errno);
  int error = fsync(fd) == 0 ? 0 : errno;
  if (close(fd) != 0 && error == 0) error = errno;
  return error == 0 ? "" : FileErrorWords(error);
}

void StartWritingToDisk(std::FILE* file) {
  if (std::fflush(file) != 0) return;
#ifdef __linux__
  sync_file_range(fileno(file), 0, 0, SYNC_FILE_RANGE_WRITE);
#endif
}

std::string MoveFileOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (rename(from.c_str(), to.c_str()) != 0) return FileErrorWords(errno);
  // The new name reaches the disk with its folder.
  std::filesystem::path folder = to.parent_path();
  int fd = open(folder.empty() ? "." : folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0) {
    fsync(fd);
    close(fd);
  }
  return "";
}

std::optional<FileIdentity> IdentityOfFile(const std::filesystem::path& path) {
  struct stat s;
  if (stat(path.c_str(), &s) != 0) return std::nullopt;
  return FileIdentity{static_cast<std::uint64_t>(s.st_dev), static_cast<std::uint64_t>(s.st_ino)};
}

}  // namespace tesnova
