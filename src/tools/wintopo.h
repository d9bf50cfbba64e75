#pragma once
// WinTopo driven from outside through its main window: it has no command line for
// vectorising and saving, so the commands find its window by title, post its F10 key and menu
// commands, and click the save button of its "Save Vector As" dialog.
#include <cstdint>

#include "ports/command_sink.h"
#include "ports/desktop.h"
#include "tools/work_files.h"

namespace tesnova {

// The first top-level window, topmost first, whose title begins with "WinTopo"; 0 when none.
WindowId FindWinTopoWindow(Desktop& desktop);

// Posts WM_COMMAND with the identifier of menu item (menuPos, itemPos), without waiting.
void PostMenuCommand(Desktop& desktop, WindowId window, int menuPos, int itemPos);

// Asks WinTopo to close, up to three times while its window is still there.
void CloseWinTopo(Desktop& desktop);

// "2. ベクトル化": WinTopo vectorises the opened bitmap (its F10 key).
void VectoriseInWinTopo(Desktop& desktop, const WorkFiles& files, CommandSink& sink);

// "3. DXF保存": WinTopo saves the vectors as the work DXF through its save dialog.
void SaveWinTopoDxf(Desktop& desktop, const WorkFiles& files, CommandSink& sink);

// Test command: shows the found window in the caption, opens the save dialog and the menu
// command (0, 6), and closes WinTopo.
void TestWinTopoMenus(Desktop& desktop, CommandSink& sink);

}  // namespace tesnova
