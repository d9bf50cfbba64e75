#pragma once
// The values that live for the whole run outside the window's controls: the target CAD
// program, and what the CAD commands keep between clicks.
#include <string>

#include "cad/cad_state.h"

namespace tesnova {

struct ProgramValues {
  std::string targetCadName = "BaricsCAD";
  std::string targetProgId = "BricscadApp.AcadApplication";
  CadState cad;
};

}  // namespace tesnova
