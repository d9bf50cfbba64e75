#pragma once
// The arithmetic and texts of the CAD commands.
#include <string>
#include <string_view>

#include "cad/cad_automation.h"

namespace tesnova {

// What the capture stage of the region cut computes from the view and the two picks.
struct CutGeometry {
  double scale = 0;  // drawing units per screen pixel
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
  // The drawing position of the rectangle's lower-left pixel corner: where the traced DXF's
  // origin belongs. The picks themselves lie up to a pixel away from it.
  double baseX = 0;
  double baseY = 0;
};

// p1 upper-left and p2 lower-right pick; the view centre, height and pixel size.
CutGeometry ComputeCutGeometry(const CadPoint& p1, const CadPoint& p2, const CadPoint& viewCenter,
                               double viewSize, int screenWidth, int screenHeight);

// True when the CAD program exports its view itself ("_BMPOUT") instead of being copied from
// the screen: ProgIDs beginning, in any case, with "AUTOCAD", "PCAD" or "DRAFTSIGHT".
bool UsesExportRoute(std::string_view progId);

// The image pick's status line: the picture's size in pixels and drawing units, and its scale.
std::string PickStatusText(double widthPx, double heightPx, double scale);

// The image's scale from its unrotated bounding box: the longer extent over the larger pixel
// count (the height when they are equal).
double ImageScale(const CadPoint& lower, const CadPoint& upper, double widthPx, double heightPx);

}  // namespace tesnova
