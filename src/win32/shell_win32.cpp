#include "win32/shell_win32.h"

#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "win32/wide_text.h"

namespace tesnova {

void WindowsShell::Execute(const std::string& verb, const std::string& file,
                           const std::string& parameters) {
  ShellExecuteW(nullptr, Utf8ToWide(verb).c_str(), Utf8ToWide(file).c_str(),
                parameters.empty() ? nullptr : Utf8ToWide(parameters).c_str(), nullptr,
                SW_SHOWNORMAL);
}

}  // namespace tesnova
