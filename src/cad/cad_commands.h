#pragma once
// The CAD commands of the main window: the region cut with its tool stages, the insertion of
// the traced DXF, the image pick and the OLE frame snapshot. Written against the ports; the
// program passes the real adapters, the tests fakes.
#include <filesystem>
#include <string>
#include <string_view>

#include "app/program_values.h"
#include "cad/cad_automation.h"
#include "ports/automation.h"
#include "ports/desktop.h"
#include "ports/processes.h"
#include "ports/screen_capture.h"
#include "ports/shell.h"
#include "ports/view.h"
#include "raster/bitmap.h"

namespace tesnova {

// The main window's fields written by the image pick.
struct ImagePickFields {
  CadPoint topoBase;
  double topoSc = 0;
  double topoDeg = 0;
  double topoW = 0;
  double topoH = 0;
  double topoInsSc = 0;  // declared for the record; no command uses it
  std::string topoFullName;
};

struct CadCommandContext {
  View& view;
  ProgramValues& values;
  AutomationHost& automation;
  Desktop& desktop;
  Processes& processes;
  Shell& shell;
  ScreenCapture& capture;
  ImagePickFields& pick;
  std::filesystem::path folder;      // the executable's folder: the work files
  std::filesystem::path exportFile;  // the executable's path with ".bmp": the view export
};

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

// The "-INSERT" command text that inserts the DXF exploded at (x, y) with the scale and the
// rotation in degrees.
std::string FormatInsertCommand(const std::string& dxfPath, double x, double y,
                                const std::string& scaleText, const std::string& rotationText);

// The insertion line of the main window after a region cut, and after an image pick (with
// the rotation).
std::string CutInsertionLine(double baseX, double baseY, double scale);
std::string PickInsertionLine(double baseX, double baseY, double scale, double rotationDeg);

// The image pick's status line: the picture's size in pixels and drawing units, and its scale.
std::string PickStatusText(double widthPx, double heightPx, double scale);

// The image's scale from its unrotated bounding box: the longer extent over the larger pixel
// count (the height when they are equal).
double ImageScale(const CadPoint& lower, const CadPoint& upper, double widthPx, double heightPx);

// "CAD 切り取り" (Button4, Button9, Button10, Button16): capture stage, then the sender's tool
// stage.
void RegionCutCommand(CadCommandContext& context, std::string_view sender);
// "4. CAD へ挿入": closes WinTopo when asked and inserts the work DXF with the insertion values.
void InsertWorkDxfCommand(CadCommandContext& context);
// "1. CAD 画像選択": the image pick.
void ImagePickCommand(CadCommandContext& context);
// The hidden insertion of the DXF named after the picked image.
void InsertImageDxfCommand(CadCommandContext& context);
// The OLE frame snapshot.
void OleFrameSnapshotCommand(CadCommandContext& context);

// The CAD view zoomed to the extent, copied width x height from the CAD main window, and the
// view put back.
Bitmap GrabCadView(CadCommandContext& context, CadApplication& app, int width, int height,
                   double lowerX, double lowerY, double upperX, double upperY);

}  // namespace tesnova
