// The platform's file operations on Windows: FlushFileBuffers, MoveFileExW, and the volume serial
// number and file index.
#include <windows.h>

#include "base/file_system.h"

namespace tesnova {
namespace {

std::string Words(DWORD error) {
  switch (error) {
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL:
      return "ディスクの空き容量が足りません";
    case ERROR_ACCESS_DENIED:
      return "アクセスが拒否されました";
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
      return "ほかのプログラムが使用中です";
    case ERROR_WRITE_PROTECT:
      return "書き込みが禁止された場所です";
    case ERROR_PATH_NOT_FOUND:
    case ERROR_FILE_NOT_FOUND:
      return "フォルダがありません";
    case ERROR_NOT_SAME_DEVICE:
      return "別のドライブには移せません";
    default:
      return "書き込みに失敗しました (Windows のエラー " + std::to_string(error) + ")";
  }
}

HANDLE OpenFile(const std::filesystem::path& path, DWORD access) {
  return CreateFileW(path.c_str(), access, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                     nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

}  // namespace

std::string FlushFileToDisk(const std::filesystem::path& path) {
  HANDLE file = OpenFile(path, GENERIC_WRITE);
  if (file == INVALID_HANDLE_VALUE) return Words(GetLastError());
  DWORD error = FlushFileBuffers(file) ? 0 : GetLastError();
  CloseHandle(file);
  return error == 0 ? "" : Words(error);
}

void StartWritingToDisk(std::FILE*) {}

std::string MoveFileOver(const std::filesystem::path& from, const std::filesystem::path& to) {
  if (MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
    return "";
  return Words(GetLastError());
}

std::optional<FileIdentity> IdentityOfFile(const std::filesystem::path& path) {
  HANDLE file = CreateFileW(path.c_str(), 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
  if (file == INVALID_HANDLE_VALUE) return std::nullopt;
  BY_HANDLE_FILE_INFORMATION info{};
  BOOL ok = GetFileInformationByHandle(file, &info);
  CloseHandle(file);
  if (!ok) return std::nullopt;
  return FileIdentity{info.dwVolumeSerialNumber,
                      (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

}  // namespace tesnova
