#pragma once
// The keys that every Windows window answers alike, told apart in a message before the dialog
// keys see it: Enter on a focused push button presses it; Ctrl+Tab and Ctrl+PgDn go to the
// next page of a tab control, Ctrl+Shift+Tab and Ctrl+PgUp to the previous one.
#include <windows.h>

namespace tesnova {

// +1 for the next page, -1 for the previous one, 0 when the message is no page key.
int PageStepOf(const MSG& msg);

// True when the message is Enter going down on a push button (owner-drawn ones too).
bool IsEnterOnPushButton(const MSG& msg);

// Presses the button as a click does: its owner gets BN_CLICKED.
void PressButton(HWND button);

}  // namespace tesnova
