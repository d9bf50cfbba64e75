// The region cut: two corners picked in the CAD drawing become the work bitmap, which the tool
// of the clicked button then traces and, for Potrace and VTracer, inserts into the drawing.
#include <cmath>
#include <optional>

#include "base/integer_text.h"
#include "base/text_file.h"
#include "cad/cad_command_support.h"
#include "cad/cad_commands.h"
#include "cad/insert_units.h"
#include "cad/view_export.h"
#include "centerline/centerline_pipeline.h"
#include "raster/bmp_file.h"
#include "tools/tracer_command_lines.h"
#include "tools/wintopo.h"
#include "vector/number_format.h"
#include "vector/svg_to_dxf.h"

namespace tesnova {

namespace {

// What the capture stage hands on to the tool stage.
struct Capture {
  std::optional<CadDocument> doc;
  std::optional<CadPoint> p1;
  std::optional<CadPoint> p2;
  bool saved = false;
};

void Prepare(CadCommandContext& c, Bitmap& bitmap, bool withStatus) {
  View& view = c.view;
  if (view.Checked("CheckBox3")) {
    if (withStatus) StatusAndDispatch(view, "フィルター処理中 ...");
    c.raster.medianFilter(bitmap);
  }
  if (view.Checked("CheckBox2")) {
    if (withStatus) StatusAndDispatch(view, "ぼかし処理中 ...");
    c.raster.gaussianFilter(bitmap);
  }
  if (view.Checked("CheckBox1")) {
    if (withStatus)
      StatusAndDispatch(view, "二値化処理中 ...");
    else
      Status(view, "二値化処理中 ...");
    std::string threshold = view.Text("Edit15");
    c.raster.makeMonochrome(bitmap, view.Checked("CheckBox5"), threshold);
    view.SetText("Edit15", threshold);
  }
}

// Saves the work bitmap; a failed save leaves the flag false.
bool SaveWorkBitmap(CadCommandContext& c, const Bitmap& bitmap, const char* status) {
  StatusAndDispatch(c.view, status);
  try {
    WriteBmp24(c.folder / "tesnova.bmp", bitmap);
    return true;
  } catch (const Error&) {
    return false;
  }
}

// The rectangle of the picture, white where it reaches beyond.
Bitmap Crop(const Bitmap& source, const CutGeometry& g) {
  Bitmap out(g.width, g.height, 255);
  for (int y = 0; y < g.height; ++y) {
    int sy = g.top + y;
    if (sy < 0 || sy >= source.height) continue;
    for (int x = 0; x < g.width; ++x) {
      int sx = g.left + x;
      if (sx < 0 || sx >= source.width) continue;
      const std::uint8_t* s = source.at(sx, sy);
      std::uint8_t* d = out.at(x, y);
      d[0] = s[0];
      d[1] = s[1];
      d[2] = s[2];
    }
  }
  return out;
}

bool ScreenRoute(CadCommandContext& c, WindowId drawingWindow, const CutGeometry& g) {
  Bitmap bitmap = c.capture.CopyClientArea(drawingWindow, g.left, g.top, g.width, g.height);
  Prepare(c, bitmap, true);
  c.view.ShowPicture(bitmap);
  return SaveWorkBitmap(c, bitmap, "Bitmap ファイルに保存中 ...");
}

bool ExportRoute(CadCommandContext& c, CadDocument& doc, const CutGeometry& g) {
  DeleteQuietly(c.exportFile);
  if (FileExists(c.exportFile)) {
    c.view.ShowMessage(PathToUtf8(c.exportFile) + "\nの削除に失敗しました。使用中？");
    return false;
  }
  doc.SetVariable("FILEDIA", 0);
  doc.SendCommand("_BMPOUT\r\"" + PathToUtf8(c.exportFile) + "\"\r\r");
  // The export file and the work bitmap are one file on a case-blind file system: only a
  // whole export is taken.
  bool arrived = WaitForViewExport(c.desktop, c.exportFile);
  // Only now: the command may read FILEDIA when it starts, after SendCommand has returned.
  doc.SetVariable("FILEDIA", 1);
  if (!arrived) {
    // What came in part must not pass for the work bitmap later (one file with it on Windows).
    DeleteQuietly(c.exportFile);
    c.view.ShowMessage(PathToUtf8(c.exportFile) + "\nが見つかりません.");
    return false;
  }
  Bitmap bitmap = Crop(ReadBmp(c.exportFile), g);
  Prepare(c, bitmap, false);
  c.view.ShowPicture(bitmap);
  return SaveWorkBitmap(c, bitmap, "Bitmap ファイルを保存中 ...");
}

// The two corners. The first goes back to the CAD program exactly as it came.
void PickCorners(CadDocument& doc, Capture& out) {
  CadUtility utility = doc.Utility();
  Variant first = utility.GetPoint("\n切り取りコーナーの 1 点目を指示 : ");
  out.p1 = PointFrom(first);
  if (out.p1) out.p2 = utility.GetCorner(first, "\n切り取りコーナーの 2 点目を指示 : ");
}

void RestoreSnap(CadDocument& doc, std::int16_t savedSnap) {
  try {
    doc.SetVariable("osmode", static_cast<int>(savedSnap));
  } catch (const AutomationError&) {
    doc.SendCommand("\x1bSETVAR OSMODE " + std::to_string(savedSnap) + "\r");
  }
}

void CaptureStage(CadCommandContext& c, CadApplication& app, Capture& out) {
  View& view = c.view;
  CadDocument doc = app.ActiveDocument();
  out.doc = doc;
  auto savedSnap = static_cast<std::int16_t>(doc.GetVariable("osmode").AsInteger());
  doc.SetVariable("osmode", 0);
  try {
    PickCorners(doc, out);
  } catch (...) {
    // A raised cancel or a failed pick: the user's snap mode comes back all the same.
    try {
      RestoreSnap(doc, savedSnap);
    } catch (const std::exception&) {
    }
    throw;
  }
  RestoreSnap(doc, savedSnap);
  SendEscapeToCad(c.desktop, app.Hwnd());
  view.Restore();
  view.BringToFront();
  if (!out.p1 || !out.p2) return;

  StatusAndDispatch(view, "Bitmap を作成中 ...");
  WindowId drawingWindow = doc.Hwnd();
  double viewSize = doc.GetVariable("viewsize").AsDouble();
  Variant center = doc.GetVariable("viewctr");
  Variant screenSize = doc.GetVariable("screensize");
  const auto& screen = screenSize.AsDoubles();
  if (screen.size() < 2) throw AutomationError("screensize", 0);
  int width = static_cast<int>(std::lround(screen[0]));
  int height = static_cast<int>(std::lround(screen[1]));
  if (width <= 0 || height <= 0) return;

  CutGeometry g =
      ComputeCutGeometry(*out.p1, *out.p2, {center.X(), center.Y()}, viewSize, width, height);
  // The DXF's origin is the bitmap's lower-left corner, so that is where it goes, not the
  // picked point up to a pixel beside it.
  c.values.insertion = {g.baseX, g.baseY, g.scale, 0};
  view.SetText("Edit6", CutInsertionLine(g.baseX, g.baseY, g.scale));
  // A second corner above or left of the first gives no picture at all.
  if (g.width <= 0 || g.height <= 0) return;
  out.saved = UsesExportRoute(c.values.targetProgId) ? ExportRoute(c, doc, g)
                                                     : ScreenRoute(c, drawingWindow, g);
}

void InsertWorkDxf(CadCommandContext& c, Capture& cut, const std::string& dxf) {
  // Without a document and both picks (the capture failed early) there is nothing to insert into.
  if (!cut.doc || !cut.p1 || !cut.p2) throw Error("CAD の図面がありません");
  const InsertionValues& v = c.values.insertion;
  double scale = UnitFreeInsertScale(*cut.doc, PathFromUtf8(dxf), v.scale);
  cut.doc->SendCommand(
      FormatInsertCommand(dxf, v.baseX, v.baseY, FormatGeneralNumber(scale), "0.0"));
}

void PotraceStage(CadCommandContext& c, Capture& cut) {
  View& view = c.view;
  std::string bmp = WorkPath(c, "tesnova.bmp"), dxf = WorkPath(c, "tesnova.dxf");
  try {
    DeleteQuietly(PathFromUtf8(dxf));
    std::string potrace = view.Text("Edit1");
    if (!FileExists(PathFromUtf8(potrace))) {
      if (!potrace.empty()) {
        view.ShowMessage("Potrace.exe が見つかりません.");
        StatusAndDispatch(view, "Potrace.exe が見つかりません ...");
      }
      return;
    }
    if (!cut.saved || !FileExists(PathFromUtf8(bmp))) {
      view.ShowMessage(bmp + "\nの読み込みエラーです.");
      StatusAndDispatch(view, "Bitmap ファイルの読み込みエラー ...");
      return;
    }
    StatusAndDispatch(view, "Potrace 起動中 ...");
    std::uint32_t code = 0;
    if (!c.processes.RunProcess(potrace, PotraceArguments(bmp, TrimField(view.Text("Edit4"))), "",
                                true, false, true, code)) {
      view.ShowMessage("Potrace.exe の起動に失敗しました. " + std::to_string(code));
      Status(view, "Potrace.exe の起動に失敗 ...");
      return;
    }
    StatusAndDispatch(view, "Potrace 実行中 ...");
    c.values.dxfWaitMs = IntegerOrDefault(view.Text("Edit10"), 1000);
    c.desktop.Sleep(static_cast<std::uint32_t>(std::max(c.values.dxfWaitMs, 0)));
    if (FileExists(PathFromUtf8(dxf))) {
      StatusAndDispatch(view, "-INSERT コマンドを実行 ...");
      InsertWorkDxf(c, cut, dxf);
      Status(view, "-INSERT 終了！");
    } else {
      view.ShowMessage(dxf + "\nが見つかりません.");
      StatusAndDispatch(view, "DXF ファイルの作成失敗 ...");
    }
  } catch (const std::exception&) {
    // The Potrace stage ends silently on any error, a lost CAD program included.
  }
}

void VTracerStage(CadCommandContext& c, Capture& cut) {
  View& view = c.view;
  std::string bmp = WorkPath(c, "tesnova.bmp"), svg = WorkPath(c, "tesnova.svg"),
              dxf = WorkPath(c, "tesnova.dxf");
  std::string vtracer = view.Text("Edit7");
  if (!FileExists(PathFromUtf8(vtracer))) {
    view.ShowMessage(vtracer +
                     "\nが、見つかりません.\nVTrace.exeファイルをドラッグ＆ドロップしてください.");
    return;
  }
  if (!FileExists(PathFromUtf8(bmp))) return;
  DeleteQuietly(PathFromUtf8(svg));
  DeleteQuietly(PathFromUtf8(dxf));
  std::string arguments = VTracerArguments(TrimField(view.Text("Edit9")), bmp, svg);
  if (cut.saved && FileExists(PathFromUtf8(bmp))) {
    StatusAndDispatch(view, "VTracer 起動中 ...");
    std::uint32_t code = 0;
    if (c.processes.RunProcess(vtracer, arguments, "", true, false, true, code)) {
      view.ProcessMessages();
      c.values.dxfWaitMs = IntegerOrDefault(view.Text("Edit10"), 1000);
      c.desktop.Sleep(static_cast<std::uint32_t>(std::max(c.values.dxfWaitMs, 0)));
    } else {
      StatusAndDispatch(view, "VTracer 起動失敗 ...");
      view.ShowMessage("VTracer.exe の起動に失敗しました. " + std::to_string(code));
    }
  } else {
    StatusAndDispatch(view, "tesnova.bmp 読み込みエラー ...");
    view.ShowMessage(bmp + "\nの読み込みエラーです.");
  }
  if (!FileExists(PathFromUtf8(svg))) {
    StatusAndDispatch(view, "tesnova.svg ファイルが見つかりません ...");
    view.ShowMessage(svg + "\nが見つかりません.");
    return;
  }
  DeleteQuietly(PathFromUtf8(dxf));
  ConvertSVGToDXF(PathFromUtf8(svg), PathFromUtf8(dxf), IntegerOrDefault(view.Text("Edit8"), 2),
                  [&](std::string_view text) { view.ShowMessage(text); });
  c.desktop.Sleep(static_cast<std::uint32_t>(std::max(c.values.dxfWaitMs, 0)));
  if (FileExists(PathFromUtf8(dxf))) {
    StatusAndDispatch(view, "-INSERT を実行中 ...");
    InsertWorkDxf(c, cut, dxf);
    Status(view, "-INSERT 終了！");
  } else {
    StatusAndDispatch(view, "DXF ファイルが見つかりません ...");
    view.ShowMessage(dxf + "\nが見つかりません.CAD->VTraser");
  }
}

void WinTopoStage(CadCommandContext& c) {
  StatusAndDispatch(c.view, "WinTopo 起動中 ...");
  c.shell.Execute("open", c.view.Text("Edit11"), WinTopoArguments(WorkPath(c, "tesnova.bmp")));
  c.desktop.Sleep(500);
  WindowId wintopo = FindWinTopoWindow(c.desktop);
  if (wintopo != 0) {
    c.desktop.BringToFront(wintopo);
    Status(c.view, "WinTopo 実行中 ...");
  }
}

void CenterlineStage(CadCommandContext& c) {
  std::string bmp = WorkPath(c, "tesnova.bmp");
  if (!FileExists(PathFromUtf8(bmp))) return;
  RunCenterlinePipeline(c.view.Text("Edit1"), bmp, WorkPath(c, "tesnova.dxf"), c.view, c.processes);
}

}  // namespace

void RegionCutCommand(CadCommandContext& c, std::string_view sender) {
  AutomationRef appObject;
  if (!GetCadApplication(c.automation, c.desktop, c.values.targetProgId, appObject, true)) return;
  CadApplication app(appObject);
  View& view = c.view;
  for (const char* button : {"Button4", "Button9", "Button10"}) view.SetEnabled(button, false);
  Status(view, "");
  DeleteQuietly(c.folder / "tesnova.bmp");
  view.Minimise();

  Capture cut;
  try {
    CaptureStage(c, app, cut);
  } catch (const std::exception&) {
    // Any failure of the CAD program or the capture ends the stage silently.
  }

  for (const char* button : {"Button4", "Button9", "Button10"}) view.SetEnabled(button, true);
  view.Restore();
  if (sender == "Button4")
    PotraceStage(c, cut);
  else if (sender == "Button9")
    VTracerStage(c, cut);
  else if (sender == "Button10")
    WinTopoStage(c);
  else if (sender == "Button16")
    CenterlineStage(c);
}

}  // namespace tesnova
