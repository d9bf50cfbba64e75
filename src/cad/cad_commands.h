#pragma once
// The CAD commands of the main window: the region cut with its tool stages, the insertion of
// the traced DXF, the image pick and the OLE frame snapshot. Written against the ports and
// given their options as plain values; the program passes the real adapters, the tests fakes.
#include <filesystem>
#include <string>

#include "cad/cad_state.h"
#include "ports/automation.h"
#include "ports/command_sink.h"
#include "ports/desktop.h"
#include "ports/processes.h"
#include "ports/screen_capture.h"
#include "ports/shell.h"
#include "raster/prepare.h"
#include "tools/tracers.h"

namespace tesnova {

struct CadCommandContext {
  AutomationHost& automation;
  Desktop& desktop;
  Processes& processes;
  Shell& shell;
  ScreenCapture& capture;
  CommandSink& sink;
  CadState& state;
  std::string targetProgId;          // the running CAD program is looked up by it
  std::filesystem::path folder;      // the executable's folder: the work files
  std::filesystem::path exportFile;  // the executable's path with ".bmp": the view export
};

// What takes the captured bitmap on: the tool of the page the cut was started from, the
// centerline bench of the test page, or the centerline tracer of Tesnova's own, which traces and
// inserts in place of any page's tool.
enum class CutTool { kPotrace, kVTracer, kWinTopo, kCenterline, kCenterlineTracer };

struct CutOptions {
  CutTool tool = CutTool::kPotrace;
  PrepareOptions prepare;  // filters and monochrome step for the captured bitmap
  TracerSettings tracers;
};

struct PickOptions {
  bool deskew = false;      // turn the picture back by its skew below a quarter turn
  PrepareOptions prepare;   // the monochrome step
  std::string winTopo;      // the program opened on the work bitmap
  bool centerline = false;  // trace with the centerline tracer and insert, instead of WinTopo
};

// "CAD 切り取り": the capture stage, then the tool stage.
void RegionCutCommand(CadCommandContext& context, const CutOptions& options);
// "4. CAD へ挿入": closes WinTopo when asked and inserts the work DXF with the insertion values.
void InsertWorkDxfCommand(CadCommandContext& context, bool closeWinTopo);
// "1. CAD 画像選択": the image pick.
void ImagePickCommand(CadCommandContext& context, const PickOptions& options);
// The hidden insertion of the DXF named after the picked image.
void InsertImageDxfCommand(CadCommandContext& context);
// The OLE frame snapshot.
void OleFrameSnapshotCommand(CadCommandContext& context);

// The CAD view zoomed to the extent, copied width x height from the CAD main window, and the
// view put back.
Bitmap GrabCadView(CadCommandContext& context, CadApplication& app, int width, int height,
                   double lowerX, double lowerY, double upperX, double upperY);

}  // namespace tesnova
