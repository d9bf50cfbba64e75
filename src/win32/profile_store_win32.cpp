#include "win32/profile_store_win32.h"

#include <windows.h>

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

}  // namespace tesnova
