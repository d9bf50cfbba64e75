#pragma once
// UTF-8 (the core's texts) to and from UTF-16 (the Windows API's texts).
#include <string>
#include <string_view>

namespace tesnova {

std::wstring Utf8ToWide(std::string_view utf8);
std::string WideToUtf8(std::wstring_view wide);

}  // namespace tesnova
