#include "win32/profile_store_win32.h"

#include <windows.h>

#include "base/error.h"
#include "base/safe_write.h"
#include "win32/wide_text.h"

namespace tesnova {

std::string ProfileFile::Read(std::string_view section, std::string_view key,
                              std::string_view fallback) const {
  wchar_t buffer[2048];
  DWORD n = GetPrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(),
                                     Utf8ToWide(fallback).c_str(), buffer, 2048, path_.c_str());
  return WideToUtf8(std::wstring_view(buffer, n));
}

bool ProfileFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  return WritePrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(),
                                    Utf8ToWide(value).c_str(), path_.c_str()) != FALSE;
}

void RewriteProfileFile(const std::wstring& path, const std::function<void(ProfileStore&)>& write) {
  FileReplacement replacement{std::filesystem::path(path)};
  const std::wstring copy = replacement.Temporary().wstring();
  // The copy starts as the old file, so that whatever the writer leaves alone stays.
  if (!CopyFileW(path.c_str(), copy.c_str(), FALSE) && GetLastError() != ERROR_FILE_NOT_FOUND &&
      GetLastError() != ERROR_PATH_NOT_FOUND)
    throw FileError(WideToUtf8(path) + " に書き込めません: 元のファイルを複製できません");
  ProfileFile store(copy);
  write(store);
  // The profile functions may hold the file in a cache of their own: flushed before the move.
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, copy.c_str());
  replacement.Commit();
}

}  // namespace tesnova
