#pragma once
// The values that live for the whole run outside the window's controls.
#include <string>

namespace tesnova {

// Where and how the traced DXF goes into the drawing; zero until a cut or a pick sets them.
struct InsertionValues {
  double baseX = 0;
  double baseY = 0;
  double scale = 0;
  double rotationDeg = 0;
};

struct ProgramValues {
  std::string targetCadName = "BaricsCAD";
  std::string targetProgId = "BricscadApp.AcadApplication";
  int dxfWaitMs = 1000;
  InsertionValues insertion;
};

}  // namespace tesnova
