#pragma once
// Small steps shared by the CAD commands.
#include <filesystem>
#include <string>
#include <string_view>

#include "base/files.h"
#include "cad/cad_commands.h"

namespace tesnova {

// The status line, then one round of the window's pending messages.
void StatusAndDispatch(View& view, std::string_view text);
// The status line only.
void Status(View& view, std::string_view text);

// Brings the CAD main window to the front and, only if it then is the foreground window,
// presses and releases the escape key there.
void SendEscapeToCad(Desktop& desktop, WindowId cadWindow);

std::string WorkPath(const CadCommandContext& context, const char* name);

}  // namespace tesnova
