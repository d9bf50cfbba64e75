#pragma once
// What the CAD commands leave for the commands after them, for the whole run.
#include <string>

#include "cad/cad_automation.h"
#include "cad/insertion.h"

namespace tesnova {

// The raster image entity the last image pick read.
struct PickedImage {
  CadPoint topoBase;  // its origin
  double topoSc = 0;  // drawing units per pixel
  double topoDeg = 0;
  double topoW = 0;  // pixels
  double topoH = 0;
  std::string topoFullName;  // its image file, as the CAD program names it
};

struct CadState {
  InsertionValues insertion;  // for "4. CAD へ挿入"
  PickedImage picked;         // for the picked image's own DXF and folder
  int dxfWaitMs = 1000;       // the tracer wait last taken, kept in the settings file
};

}  // namespace tesnova
