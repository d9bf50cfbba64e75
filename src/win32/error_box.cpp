#include "win32/error_box.h"

#include "app/main_form.h"
#include "base/error.h"
#include "win32/wide_text.h"

namespace tesnova {

std::string ErrorBoxText(const std::exception& error) {
  // The box breaks a long line anywhere inside Japanese text; a path on a line of its own keeps
  // the sentence whole.
  if (auto* file = dynamic_cast<const FileError*>(&error); file && !file->file().empty())
    return file->file() + "\r\n" + file->phrase();
  return error.what();
}

void ShowErrorBox(HWND owner, const std::exception& error) {
  std::wstring text = Utf8ToWide(ErrorBoxText(error));
  if (text.empty()) text = L"エラーが発生しました";
  MessageBoxW(owner, text.c_str(), Utf8ToWide(kApplicationTitle).c_str(),
              MB_OK | MB_ICONERROR | MB_TOPMOST);
}

}  // namespace tesnova
