#include <windows.h>

#include <string>

#include "base/files.h"
#include "base/system.h"
#include "win32/wide_text.h"

namespace tesnova {

std::string AnsiToUtf8(std::string_view ansi) {
  if (ansi.empty()) return {};
  int n = MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), nullptr, 0);
  std::wstring wide(static_cast<size_t>(n), L'\0');
  MultiByteToWideChar(CP_ACP, 0, ansi.data(), static_cast<int>(ansi.size()), wide.data(), n);
  return WideToUtf8(wide);
}

std::string Utf8ToAnsi(std::string_view utf8) {
  std::wstring wide = Utf8ToWide(utf8);
  if (wide.empty()) return {};
  int n = WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), nullptr, 0,
                              nullptr, nullptr);
  std::string ansi(static_cast<size_t>(n), '\0');
  WideCharToMultiByte(CP_ACP, 0, wide.data(), static_cast<int>(wide.size()), ansi.data(), n,
                      nullptr, nullptr);
  return ansi;
}

std::filesystem::path ExecutablePath() {
  std::wstring buffer(MAX_PATH, L'\0');
  for (;;) {
    DWORD n = GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (n < buffer.size()) {
      buffer.resize(n);
      break;
    }
    buffer.resize(buffer.size() * 2);
  }
  return std::filesystem::path(buffer);
}

std::filesystem::path ExecutableFolder() { return ExecutablePath().parent_path(); }

namespace {

std::string SearchPathText() {
  DWORD n = GetEnvironmentVariableW(L"PATH", nullptr, 0);
  std::wstring path(n, L'\0');
  path.resize(GetEnvironmentVariableW(L"PATH", path.data(), n));
  return WideToUtf8(path);
}

}  // namespace

std::vector<std::string> SearchPathFolders() { return SplitFolderList(SearchPathText(), ';'); }

std::string ProgramFileName(const std::string& name) {
  return UpperExtension(name) == ".EXE" ? name : name + ".exe";
}

bool StandardErrorIsTerminal() {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(STD_ERROR_HANDLE), &mode) != 0;
}

bool CanOpenExclusively(const std::filesystem::path& file) {
  HANDLE h = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return false;
  CloseHandle(h);
  return true;
}

}  // namespace tesnova
