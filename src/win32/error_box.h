#pragma once
// The application's error box for an error that leaves a command.
#include <windows.h>

#include <exception>

namespace tesnova {

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
