#pragma once
// A window's whole text (caption or field contents) as UTF-8.
#include <windows.h>

#include <string>

namespace tesnova {

std::string WindowText(HWND window);

}  // namespace tesnova
