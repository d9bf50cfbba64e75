// The portable part of the file operations; the rest is the platform library's.
#include "base/file_system.h"

namespace tesnova {

bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) {
  std::optional<FileIdentity> identity = IdentityOfFile(a);
  return identity && identity == IdentityOfFile(b);
}

}  // namespace tesnova
