#include "win32/window_text.h"

#include "win32/wide_text.h"

namespace tesnova {

std::string WindowText(HWND window) {
  int n = GetWindowTextLengthW(window);
  std::wstring text(static_cast<size_t>(n) + 1, L'\0');
  n = GetWindowTextW(window, text.data(), n + 1);
  text.resize(static_cast<size_t>(n > 0 ? n : 0));
  return WideToUtf8(text);
}

}  // namespace tesnova
