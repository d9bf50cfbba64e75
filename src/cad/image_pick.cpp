// The image pick and the commands around it: a raster image entity picked in the CAD drawing
// becomes the work bitmap at full resolution, with the insertion values that lay the traced
// vectors back over the image; its own DXF can be inserted; an OLE frame can be snapshot.
#include <cmath>
#include <cstdio>

#include "base/text_file.h"
#include "cad/cad_command_support.h"
#include "cad/cad_commands.h"
#include "cad/insert_units.h"
#include "raster/bmp_file.h"
#include "raster/deskew_pipeline.h"
#include "raster/picture.h"
#include "tools/tracer_command_lines.h"
#include "tools/wintopo.h"
#include "vector/number_format.h"

namespace tesnova {

namespace {

std::string BackslashPath(std::string path) {
  for (char& ch : path)
    if (ch == '/') ch = '\\';
  return path;
}

// Steps 5 to 19 of the pick; any error ends them and the caller says "選択失敗です。".
void PickImage(CadCommandContext& c, CadApplication& app) {
  View& view = c.view;
  ImagePickFields& f = c.pick;
  WindowId cadWindow = app.Hwnd();
  c.desktop.BringToFront(cadWindow);
  CadDocument doc = app.ActiveDocument();
  CadEntity entity = doc.Utility().GetEntity("ラスターイメージを選択 : ");
  SendEscapeToCad(c.desktop, cadWindow);
  view.Restore();

  std::string name = entity.ObjectName();
  if (name != "AcDbRasterImage") {
    view.ShowMessage("ラスターイメージではありません。\n" + name + " です。");
    return;
  }
  f.topoFullName = entity.ImageFile();
  Status(view, BackslashPath(f.topoFullName));
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
  c.values.insertion = {f.topoBase.x, f.topoBase.y, f.topoSc, f.topoDeg};
  view.SetText("Edit6", PickInsertionLine(f.topoBase.x, f.topoBase.y, f.topoSc, f.topoDeg));
  Status(view, PickStatusText(f.topoW, f.topoH, f.topoSc));

  auto bmp = c.folder / "tesnova.bmp";
  auto dxf = c.folder / "tesnova.dxf";
  DeleteQuietly(bmp);
  if (FileExists(bmp)) view.ShowMessage(PathToUtf8(bmp) + "\nの削除に失敗しました。使用中？");
  Bitmap picture;
  auto imagePath = PathFromUtf8(BackslashPath(f.topoFullName));
  if (IsAcceptedPictureFile(imagePath)) {
    picture = LoadPicture(PathFromUtf8(f.topoFullName));
  } else {
    view.ShowMessage(UpperExtension(imagePath) + " には対応していません。");
  }

  double skew = NormalizeSkewAngle(rotation);
  if (view.Checked("CheckBox4") && std::fabs(skew) > kSkewLimit) {
    picture = c.raster.rotateBitmap(picture, -skew);
    c.values.insertion.rotationDeg = f.topoDeg - skew * kDegreesPerRadian;
  }
  if (view.Checked("CheckBox1")) {
    // The threshold field shows Otsu's threshold of the picture as loaded; a picture that is
    // black and white already stays so.
    Status(view, "二値化処理中 ...");
    std::string threshold = view.Text("Edit15");
    c.raster.makeMonochrome(picture, view.Checked("CheckBox5"), threshold);
    view.SetText("Edit15", threshold);
    Status(view, "");
  }

  view.ShowPicture(picture);
  WriteBmp24(bmp, picture);
  c.desktop.Sleep(100);
  if (!FileExists(bmp)) {
    view.ShowMessage("tesnova.bmp 作成失敗");
    return;
  }
  DeleteQuietly(dxf);
  if (FileExists(dxf)) {
    view.ShowMessage(PathToUtf8(dxf) + "\nの削除に失敗しました。使用中？");
    throw Error("tesnova.dxf を削除できません");
  }
  c.shell.Execute("open", view.Text("Edit11"), WinTopoArguments(PathToUtf8(bmp)));
  c.desktop.Sleep(500);
  if (WindowId wintopo = FindWinTopoWindow(c.desktop)) c.desktop.BringToFront(wintopo);
}

}  // namespace

void ImagePickCommand(CadCommandContext& c) {
  c.values.insertion.rotationDeg = 0;
  AutomationRef appObject;
  if (!GetCadApplication(c.automation, c.desktop, c.values.targetProgId, appObject, true)) return;
  CadApplication app(appObject);
  c.view.Minimise();
  try {
    PickImage(c, app);
  } catch (const std::exception&) {
    c.view.ShowMessage("選択失敗です。");
  }
  c.view.Restore();
}

void InsertImageDxfCommand(CadCommandContext& c) {
  const ImagePickFields& f = c.pick;
  auto dxf = PathFromUtf8(f.topoFullName).replace_extension(".dxf");
  if (f.topoFullName.empty() || !FileExists(dxf)) return;
  AutomationRef appObject;
  if (!GetCadApplication(c.automation, c.desktop, c.values.targetProgId, appObject, true)) return;
  CadDocument doc = CadApplication(appObject).ActiveDocument();
  doc.SendCommand(FormatInsertCommand(PathToUtf8(dxf), f.topoBase.x, f.topoBase.y,
                                      FormatGeneralNumber(UnitFreeInsertScale(doc, dxf, f.topoSc)),
                                      FormatGeneralNumber(f.topoDeg)));
  Status(c.view, "-INSERT 終了 !");
  c.view.ProcessMessages();
}

Bitmap GrabCadView(CadCommandContext& c, CadApplication& app, int width, int height, double lowerX,
                   double lowerY, double upperX, double upperY) {
  CadDocument doc = app.ActiveDocument();
  c.view.SetCaption("101");
  CadViewport saved = doc.ActiveViewport();
  CadViewport view = doc.ActiveViewport();
  c.view.SetCaption("102");
  view.SetCenter({(lowerX + upperX) / 2, (lowerY + upperY) / 2});
  view.SetHeight(upperY - lowerY);
  c.view.SetCaption("103");
  doc.SetActiveViewport(view);
  Bitmap bitmap = c.capture.CopyClientArea(app.Hwnd(), 0, 0, width, height);
  c.view.SetCaption("104");
  doc.SetActiveViewport(saved);
  doc.SendCommand("zoom pre\r");
  return bitmap;
}

void OleFrameSnapshotCommand(CadCommandContext& c) {
  AutomationRef appObject;
  if (!GetCadApplication(c.automation, c.desktop, c.values.targetProgId, appObject, true)) return;
  try {
    CadApplication app(appObject);
    WindowId cadWindow = app.Hwnd();
    if (c.desktop.IsMinimised(cadWindow)) c.desktop.Restore(cadWindow);
    c.desktop.BringToFront(cadWindow);
    CadDocument doc = app.ActiveDocument();
    CadEntity entity = doc.Utility().GetEntity("OLE フレームを選択 : ");
    std::string name = entity.ObjectName();
    if (name != "AcDbOle2Frame") return;
    c.view.ShowMessage(name);
    CadPoint lower, upper;
    entity.GetBoundingBox(lower, upper);
    char text[200];
    std::snprintf(text, sizeof text, "%.3f,%.3f - %.3f,%.3f", lower.x, lower.y, upper.x, upper.y);
    c.view.ShowMessage(text);
    c.view.ShowPicture(GrabCadView(c, app, 800, 600, lower.x, lower.y, upper.x, upper.y));
  } catch (const std::exception&) {
    c.view.ShowMessage("Error");
  }
}

void InsertWorkDxfCommand(CadCommandContext& c) {
  std::string dxf = WorkPath(c, "tesnova.dxf");
  if (!FileExists(PathFromUtf8(dxf))) {
    c.view.ShowMessage(dxf + "\nファイルが見つかりません。");
    return;
  }
  AutomationRef appObject;
  if (!GetCadApplication(c.automation, c.desktop, c.values.targetProgId, appObject, true)) return;
  CadApplication app(appObject);
  if (c.view.Checked("CheckBox6")) CloseWinTopo(c.desktop);
  StatusAndDispatch(c.view, "-INSERT コマンドを発行 ...");
  c.desktop.BringToFront(app.Hwnd());
  CadDocument doc = app.ActiveDocument();
  const InsertionValues& v = c.values.insertion;
  double scale = UnitFreeInsertScale(doc, PathFromUtf8(dxf), v.scale);
  doc.SendCommand(FormatInsertCommand(dxf, v.baseX, v.baseY, FormatGeneralNumber(scale),
                                      FormatGeneralNumber(v.rotationDeg)));
  StatusAndDispatch(c.view, "-INSERT 終了!");
}

}  // namespace tesnova
