#include "base/files.h"

#include <cctype>
#include <system_error>

namespace tesnova {

bool FileExists(const std::filesystem::path& path) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(path, ignored);
}

bool RemoveStaleFile(const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  return !std::filesystem::exists(path, ignored);
}

std::string UpperExtension(std::string_view path) {
  size_t nameStart = path.find_last_of("\\/");
  nameStart = nameStart == std::string_view::npos ? 0 : nameStart + 1;
  size_t dot = path.rfind('.');
  if (dot == std::string_view::npos || dot < nameStart) return {};
  std::string ext(path.substr(dot));
  for (char& c : ext) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return ext;
}

}  // namespace tesnova
