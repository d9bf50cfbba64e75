#pragma once
// The application's error box for an error that leaves a command.
#include <windows.h>

#include <exception>
#include <string>

namespace tesnova {

// The box's text: the error's message, with a file error's path and sentence on lines of
// their own.
std::string ErrorBoxText(const std::exception& error);

// Shows the error's message in a modal box above the owner; the program keeps running.
void ShowErrorBox(HWND owner, const std::exception& error);

// Runs the action, showing any error that leaves it in the error box.
template <typename Action>
void RunShowingErrors(HWND owner, Action&& action) {
  try {
    action();
  } catch (const std::exception& e) {
    ShowErrorBox(owner, e);
  }
}

}  // namespace tesnova
