#include "win32/error_box.h"

#include "app/main_form.h"
#include "win32/wide_text.h"

namespace tesnova {

void ShowErrorBox(HWND owner, const std::exception& error) {
  std::wstring text = Utf8ToWide(error.what());
  if (text.empty()) text = L"エラーが発生しました";
  MessageBoxW(owner, text.c_str(), Utf8ToWide(kApplicationTitle).c_str(),
              MB_OK | MB_ICONERROR | MB_TOPMOST);
}

}  // namespace tesnova
