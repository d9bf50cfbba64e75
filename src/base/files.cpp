#include "base/files.h"

#include "base/error.h"
#include "base/text_file.h"

namespace tesnova {

bool FileExists(const std::filesystem::path& path) {
  std::error_code ignored;
  return std::filesystem::is_regular_file(path, ignored);
}

void RequireRegularFile(const std::filesystem::path& path) {
  std::error_code error;
  const auto status = std::filesystem::status(path, error);
  if (error || !std::filesystem::exists(status))
    throw FileError(PathToUtf8(path), "が見つかりません");
  if (!std::filesystem::is_regular_file(status))
    throw FileError(PathToUtf8(path), "はファイルではありません");
}

bool RemoveStaleFile(const std::filesystem::path& path) {
  std::error_code ignored;
  std::filesystem::remove(path, ignored);
  return !std::filesystem::exists(path, ignored);
}

std::vector<std::string> SplitFolderList(std::string_view folders, char separator) {
  std::vector<std::string> list;
  size_t start = 0;
  while (start <= folders.size()) {
    size_t end = folders.find(separator, start);
    if (end == std::string_view::npos) end = folders.size();
    if (end > start) list.emplace_back(folders.substr(start, end - start));
    start = end + 1;
  }
  return list;
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
