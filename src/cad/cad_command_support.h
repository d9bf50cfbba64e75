#pragma once
// Small steps shared by the CAD commands.
#include "cad/cad_commands.h"

namespace tesnova {

// Brings the CAD main window to the front and, only if it then is the foreground window,
// presses and releases the escape key there.
void SendEscapeToCad(Desktop& desktop, WindowId cadWindow);

// True when the DXF file ends with its EOF group. A DXF cut short (a tool that crashed or ran
// out of disk) is told and must not be inserted.
bool DxfReadyToInsert(CommandSink& sink, const std::string& dxf);

}  // namespace tesnova
