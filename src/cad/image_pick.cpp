// The image pick and the commands around it: a raster image entity picked in the CAD drawing
// becomes the work bitmap at full resolution, with the insertion values that lay the traced
// vectors back over the image; its own DXF can be inserted; an OLE frame can be snapshot.
#include <cmath>
#include <cstdio>

#include "base/files.h"
#include "base/text_file.h"
#include "cad/cad_command_support.h"
#include "cad/cad_commands.h"
#include "cad/cad_values.h"
#include "cad/insert_units.h"
#include "raster/bmp_file.h"
#include "raster/deskew.h"
#include "raster/picture.h"
#include "raster/prepare.h"
#include "tools/tracer_command_lines.h"
#include "tools/tracers.h"
#include "tools/wintopo.h"
#include "tools/work_files.h"
#include "vector/number_format.h"

namespace tesnova {

namespace {

std::string BackslashPath(std::string path) {
  for (char& ch : path)
    if (ch == '/') ch = '\\';
  return path;
}

// Steps 5 to 19 of the pick; any error ends them and the caller says "選択失敗です。".
void PickImage(CadCommandContext& c, const PickOptions& options, CadApplication& app) {
  CommandSink& sink = c.sink;
  PickedImage& f = c.state.picked;
  WindowId cadWindow = app.Hwnd();
  c.desktop.BringToFront(cadWindow);
  CadDocument doc = app.ActiveDocument();
  CadEntity entity = doc.Utility().GetEntity("ラスターイメージを選択 : ");
  SendEscapeToCad(c.desktop, cadWindow);
  sink.ComeBack();

  std::string name = entity.ObjectName();
  if (name != "AcDbRasterImage") {
    sink.Message("ラスターイメージではありません。\n" + name + " です。");
    return;
  }
  f.topoFullName = entity.ImageFile();
  sink.Status(BackslashPath(f.topoFullName));
  f.topoH = entity.Height();
  f.topoW = entity.Width();
  double rotation = entity.Rotation();
  f.topoDeg = rotation * kDegreesPerRadian;

  // The extent of the unturned image: turn it back, measure, turn it again, about its own
  // Origin as the CAD program gives it.
  Variant origin = entity.OriginValue();
  CadPoint lower, upper;
  entity.Rotate(origin, -rotation);
  try {
    entity.GetBoundingBox(lower, upper);
  } catch (...) {
    entity.Rotate(origin, rotation);
    throw;
  }
  entity.Rotate(origin, rotation);
  f.topoSc = ImageScale(lower, upper, f.topoW, f.topoH);
  if (!std::isfinite(f.topoSc) || f.topoSc <= 0) throw Error("画像の大きさが読めません");

  f.topoBase = entity.Origin();
  c.state.insertion = {f.topoBase.x, f.topoBase.y, f.topoSc, f.topoDeg};
  sink.ShowInsertion(PickInsertionLine(f.topoBase.x, f.topoBase.y, f.topoSc, f.topoDeg));
  sink.Status(PickStatusText(f.topoW, f.topoH, f.topoSc));

  auto bmp = c.folder / "tesnova.bmp";
  auto dxf = c.folder / "tesnova.dxf";
  if (!RemoveStaleFile(bmp)) sink.Message(PathToUtf8(bmp) + "\nの削除に失敗しました。使用中？");
  Bitmap picture;
  auto imagePath = PathFromUtf8(BackslashPath(f.topoFullName));
  if (IsAcceptedPictureFile(imagePath)) {
    picture = LoadPicture(PathFromUtf8(f.topoFullName));
  } else {
    sink.Message(UpperExtension(PathToUtf8(imagePath)) + " には対応していません。");
  }

  PrepareOptions prepare = options.prepare;
  if (options.deskew) prepare.deskewRotation = rotation;
  // The threshold field shows Otsu's threshold of the picture; a picture that is black and
  // white already stays so.
  const PrepareReport report = PrepareBitmap(picture, prepare, [&](PrepareStep step) {
    if (step == PrepareStep::kMonochrome) sink.Status("二値化処理中 ...");
  });
  c.state.insertion.rotationDeg = f.topoDeg - report.skewTaken * kDegreesPerRadian;
  if (report.otsuThreshold) sink.ShowThreshold(*report.otsuThreshold);
  if (prepare.monochrome) sink.Status("");

  sink.ShowPicture(picture);
  WriteBmp24(bmp, picture);
  c.desktop.Sleep(100);
  if (!FileExists(bmp)) {
    sink.Message("tesnova.bmp 作成失敗");
    return;
  }
  if (!RemoveStaleFile(dxf)) {
    sink.Message(PathToUtf8(dxf) + "\nの削除に失敗しました。使用中？");
    throw Error("tesnova.dxf を削除できません");
  }
  if (options.centerline) {
    // Traced here and inserted at once, with the image's place, scale and remaining rotation.
    sink.Status("中心線を抽出中 ...");
    const TraceOutcome outcome =
        TraceWorkBitmap(kCenterlineTracer, {.files = WorkFilesIn(c.folder)}, c.processes);
    if (outcome.status != TraceStatus::kTraced) {
      sink.Message(PathToUtf8(dxf) + "\nが見つかりません.");
      return;
    }
    const InsertionValues& v = c.state.insertion;
    doc.SendCommand(FormatInsertCommand(PathToUtf8(dxf), v.baseX, v.baseY,
                                        FormatGeneralNumber(UnitFreeInsertScale(doc, dxf, v.scale)),
                                        FormatGeneralNumber(v.rotationDeg)));
    sink.Status(InsertedShapesStatus(outcome.entities));
    return;
  }
  c.shell.Execute("open", options.winTopo, WinTopoArguments(PathToUtf8(bmp)));
  c.desktop.Sleep(500);
  if (WindowId wintopo = FindWinTopoWindow(c.desktop)) c.desktop.BringToFront(wintopo);
}

}  // namespace

void ImagePickCommand(CadCommandContext& c, const PickOptions& options) {
  c.state.insertion.rotationDeg = 0;
  AutomationRef appObject;
  if (!GetCadApplication(c.automation, c.desktop, c.targetProgId, appObject, true)) return;
  CadApplication app(appObject);
  c.sink.StepAside();
  try {
    PickImage(c, options, app);
  } catch (const std::exception&) {
    c.sink.Message("選択失敗です。");
  }
  c.sink.ComeBack();
}

void InsertImageDxfCommand(CadCommandContext& c) {
  const PickedImage& f = c.state.picked;
  auto dxf = PathFromUtf8(f.topoFullName).replace_extension(".dxf");
  if (f.topoFullName.empty() || !FileExists(dxf)) return;
  if (!DxfReadyToInsert(c.sink, PathToUtf8(dxf))) return;
  AutomationRef appObject;
  if (!GetCadApplication(c.automation, c.desktop, c.targetProgId, appObject, true)) return;
  CadDocument doc = CadApplication(appObject).ActiveDocument();
  doc.SendCommand(FormatInsertCommand(PathToUtf8(dxf), f.topoBase.x, f.topoBase.y,
                                      FormatGeneralNumber(UnitFreeInsertScale(doc, dxf, f.topoSc)),
                                      FormatGeneralNumber(f.topoDeg)));
  StatusAndDispatch(c.sink, "-INSERT 終了 !");
}

Bitmap GrabCadView(CadCommandContext& c, CadApplication& app, int width, int height, double lowerX,
                   double lowerY, double upperX, double upperY) {
  CadDocument doc = app.ActiveDocument();
  c.sink.ShowCaption("101");
  CadViewport saved = doc.ActiveViewport();
  CadViewport view = doc.ActiveViewport();
  c.sink.ShowCaption("102");
  view.SetCenter({(lowerX + upperX) / 2, (lowerY + upperY) / 2});
  view.SetHeight(upperY - lowerY);
  c.sink.ShowCaption("103");
  doc.SetActiveViewport(view);
  Bitmap bitmap = c.capture.CopyClientArea(app.Hwnd(), 0, 0, width, height);
  c.sink.ShowCaption("104");
  doc.SetActiveViewport(saved);
  doc.SendCommand("zoom pre\r");
  return bitmap;
}

void OleFrameSnapshotCommand(CadCommandContext& c) {
  AutomationRef appObject;
  if (!GetCadApplication(c.automation, c.desktop, c.targetProgId, appObject, true)) return;
  try {
    CadApplication app(appObject);
    WindowId cadWindow = app.Hwnd();
    if (c.desktop.IsMinimised(cadWindow)) c.desktop.Restore(cadWindow);
    c.desktop.BringToFront(cadWindow);
    CadDocument doc = app.ActiveDocument();
    CadEntity entity = doc.Utility().GetEntity("OLE フレームを選択 : ");
    std::string name = entity.ObjectName();
    if (name != "AcDbOle2Frame") return;
    c.sink.Message(name);
    CadPoint lower, upper;
    entity.GetBoundingBox(lower, upper);
    char text[200];
    std::snprintf(text, sizeof text, "%.3f,%.3f - %.3f,%.3f", lower.x, lower.y, upper.x, upper.y);
    c.sink.Message(text);
    c.sink.ShowPicture(GrabCadView(c, app, 800, 600, lower.x, lower.y, upper.x, upper.y));
  } catch (const std::exception&) {
    c.sink.Message("Error");
  }
}

void InsertWorkDxfCommand(CadCommandContext& c, bool closeWinTopo) {
  const std::string dxf = WorkFilesIn(c.folder).dxf;
  if (!FileExists(PathFromUtf8(dxf))) {
    c.sink.Message(dxf + "\nファイルが見つかりません。");
    return;
  }
  if (!DxfReadyToInsert(c.sink, dxf)) return;
  AutomationRef appObject;
  if (!GetCadApplication(c.automation, c.desktop, c.targetProgId, appObject, true)) return;
  CadApplication app(appObject);
  if (closeWinTopo) CloseWinTopo(c.desktop);
  StatusAndDispatch(c.sink, "-INSERT コマンドを発行 ...");
  c.desktop.BringToFront(app.Hwnd());
  CadDocument doc = app.ActiveDocument();
  const InsertionValues& v = c.state.insertion;
  double scale = UnitFreeInsertScale(doc, PathFromUtf8(dxf), v.scale);
  doc.SendCommand(FormatInsertCommand(dxf, v.baseX, v.baseY, FormatGeneralNumber(scale),
                                      FormatGeneralNumber(v.rotationDeg)));
  StatusAndDispatch(c.sink, "-INSERT 終了!");
}

}  // namespace tesnova
