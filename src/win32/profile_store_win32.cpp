#include "win32/profile_store_win32.h"

#include <windows.h>

#include <filesystem>

#include "base/error.h"
#include "base/safe_write.h"
#include "base/system.h"
#include "base/text_encoding.h"
#include "base/text_file.h"
#include "win32/wide_text.h"

namespace tesnova {
namespace {

// The profile functions create a missing file in the ANSI code page, where a path such as
// C:\Users\José\ loses its é. A file that already starts with the UTF-16LE byte-order mark
// is kept in UTF-16LE by them, so a new file is begun with the mark alone.
void CreateUnicodeProfile(const std::wstring& path) {
  if (GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES) return;
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                            FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return;  // the write that follows reports the failure
  const unsigned char mark[] = {0xFF, 0xFE};
  DWORD written = 0;
  WriteFile(file, mark, sizeof mark, &written, nullptr);
  CloseHandle(file);
}

// An existing file in the ANSI code page is turned into UTF-16LE, every line kept, before a
// value that the code page cannot hold is written into it.
void MakeProfileUnicodeFor(const std::wstring& path, std::string_view value) {
  if (AnsiToUtf8(Utf8ToAnsi(value)) == value) return;
  std::filesystem::path file(path);
  std::string bytes = ReadFileBytes(file);
  TextEncoding encoding = DetectTextEncoding(bytes);
  if (encoding == TextEncoding::kUtf16Le) return;
  WriteFileBytes(file, EncodeText(DecodeTextAs(bytes, encoding), TextEncoding::kUtf16Le));
}

}  // namespace

std::string ProfileFile::Read(std::string_view section, std::string_view key,
                              std::string_view fallback) const {
  wchar_t buffer[2048];
  DWORD n = GetPrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(),
                                     Utf8ToWide(fallback).c_str(), buffer, 2048, path_.c_str());
  return WideToUtf8(std::wstring_view(buffer, n));
}

bool ProfileFile::Write(std::string_view section, std::string_view key, std::string_view value) {
  CreateUnicodeProfile(path_);
  try {
    MakeProfileUnicodeFor(path_, value);
  } catch (const FileError&) {
    return false;  // the file cannot be read or rewritten: the write is refused
  }
  return WritePrivateProfileStringW(Utf8ToWide(section).c_str(), Utf8ToWide(key).c_str(),
                                    Utf8ToWide(value).c_str(), path_.c_str()) != FALSE;
}

void RewriteProfileFile(const std::wstring& path, const std::function<void(ProfileStore&)>& write) {
  FileReplacement replacement{std::filesystem::path(path)};
  const std::wstring copy = replacement.Temporary().wstring();
  // The copy starts as the old file, so that whatever the writer leaves alone stays.
  if (!CopyFileW(path.c_str(), copy.c_str(), FALSE) && GetLastError() != ERROR_FILE_NOT_FOUND &&
      GetLastError() != ERROR_PATH_NOT_FOUND)
    throw FileError(WideToUtf8(path), "に書き込めません: 元のファイルを複製できません");
  ProfileFile store(copy);
  write(store);
  // The profile functions may hold the file in a cache of their own: flushed before the move.
  WritePrivateProfileStringW(nullptr, nullptr, nullptr, copy.c_str());
  replacement.Commit();
}

}  // namespace tesnova
