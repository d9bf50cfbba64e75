// The region cut: two corners picked in the CAD drawing become the work bitmap, which the tool
// of the page the cut was started from then traces and, for Potrace and VTracer, inserts into
// the drawing.
#include <algorithm>
#include <cmath>
#include <optional>

#include "base/files.h"
#include "base/text_file.h"
#include "cad/cad_command_support.h"
#include "cad/cad_commands.h"
#include "cad/cad_values.h"
#include "cad/insert_units.h"
#include "cad/view_export.h"
#include "raster/bmp_file.h"
#include "tools/centerline_bench.h"
#include "tools/tracer_command_lines.h"
#include "tools/tracers.h"
#include "tools/wintopo.h"
#include "tools/work_files.h"
#include "vector/number_format.h"

namespace tesnova {

namespace {

// What the capture stage hands on to the tool stage.
struct Capture {
  std::optional<CadDocument> doc;
  std::optional<CadPoint> p1;
  std::optional<CadPoint> p2;
  bool saved = false;
};

void Prepare(CadCommandContext& c, const CutOptions& options, Bitmap& bitmap, bool withStatus) {
  CommandSink& sink = c.sink;
  const PrepareReport report = PrepareBitmap(bitmap, options.prepare, [&](PrepareStep step) {
    if (step == PrepareStep::kMonochrome && !withStatus) sink.Status("二値化処理中 ...");
    if (!withStatus) return;
    StatusAndDispatch(sink, step == PrepareStep::kMedian     ? "フィルター処理中 ..."
                            : step == PrepareStep::kGaussian ? "ぼかし処理中 ..."
                                                             : "二値化処理中 ...");
  });
  if (report.otsuThreshold) sink.ShowThreshold(*report.otsuThreshold);
}

// Saves the work bitmap; a failed save leaves the flag false.
bool SaveWorkBitmap(CadCommandContext& c, const Bitmap& bitmap, const char* status) {
  StatusAndDispatch(c.sink, status);
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

bool ScreenRoute(CadCommandContext& c, const CutOptions& options, WindowId drawingWindow,
                 const CutGeometry& g) {
  Bitmap bitmap = c.capture.CopyClientArea(drawingWindow, g.left, g.top, g.width, g.height);
  Prepare(c, options, bitmap, true);
  c.sink.ShowPicture(bitmap);
  return SaveWorkBitmap(c, bitmap, "Bitmap ファイルに保存中 ...");
}

bool ExportRoute(CadCommandContext& c, const CutOptions& options, CadDocument& doc,
                 const CutGeometry& g) {
  if (!RemoveStaleFile(c.exportFile)) {
    c.sink.Message(PathToUtf8(c.exportFile) + "\nの削除に失敗しました。使用中？");
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
    RemoveStaleFile(c.exportFile);
    c.sink.Message(PathToUtf8(c.exportFile) + "\nが見つかりません.");
    return false;
  }
  Bitmap bitmap = Crop(ReadBmp(c.exportFile), g);
  Prepare(c, options, bitmap, false);
  c.sink.ShowPicture(bitmap);
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

void CaptureStage(CadCommandContext& c, const CutOptions& options, CadApplication& app,
                  Capture& out) {
  CommandSink& sink = c.sink;
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
  sink.ComeBack();
  sink.ComeToFront();
  if (!out.p1 || !out.p2) return;

  StatusAndDispatch(sink, "Bitmap を作成中 ...");
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
  c.state.insertion = {g.baseX, g.baseY, g.scale, 0};
  sink.ShowInsertion(CutInsertionLine(g.baseX, g.baseY, g.scale));
  // A second corner above or left of the first gives no picture at all.
  if (g.width <= 0 || g.height <= 0) return;
  out.saved = UsesExportRoute(c.targetProgId) ? ExportRoute(c, options, doc, g)
                                              : ScreenRoute(c, options, drawingWindow, g);
}

void InsertWorkDxf(CadCommandContext& c, Capture& cut, const std::string& dxf) {
  // Without a document and both picks (the capture failed early) there is nothing to insert into.
  if (!cut.doc || !cut.p1 || !cut.p2) throw Error("CAD の図面がありません");
  const InsertionValues& v = c.state.insertion;
  double scale = UnitFreeInsertScale(*cut.doc, PathFromUtf8(dxf), v.scale);
  cut.doc->SendCommand(
      FormatInsertCommand(dxf, v.baseX, v.baseY, FormatGeneralNumber(scale), "0.0"));
}

// The pause after a tracer, within 0..kMaxDxfWaitMs whatever the settings file says: the window
// does not answer during it.
std::uint32_t DxfWait(const CadCommandContext& c) {
  return static_cast<std::uint32_t>(std::clamp(c.state.dxfWaitMs, 0, kMaxDxfWaitMs));
}

// The tracer wait: taken from the settings each time a tracer has been started, and kept.
void PauseForTracerOutput(CadCommandContext& c, const TracerSettings& tracers) {
  c.state.dxfWaitMs = tracers.dxfWaitMs;
  c.desktop.Sleep(DxfWait(c));
}

void PotraceStage(CadCommandContext& c, const TracerSettings& tracers, Capture& cut) {
  CommandSink& sink = c.sink;
  const WorkFiles files = WorkFilesIn(c.folder);
  try {
    RemoveStaleFile(PathFromUtf8(files.dxf));
    if (!FileExists(PathFromUtf8(tracers.potrace))) {
      if (!tracers.potrace.empty()) {
        sink.Message("Potrace.exe が見つかりません.");
        StatusAndDispatch(sink, "Potrace.exe が見つかりません ...");
      }
      return;
    }
    if (!cut.saved || !FileExists(PathFromUtf8(files.bmp))) {
      sink.Message(files.bmp + "\nの読み込みエラーです.");
      StatusAndDispatch(sink, "Bitmap ファイルの読み込みエラー ...");
      return;
    }
    StatusAndDispatch(sink, "Potrace 起動中 ...");
    const TraceOutcome outcome = TraceWorkBitmap(
        kPotrace, {.program = tracers.potrace, .options = tracers.potraceOptions, .files = files},
        c.processes, [&](TracePhase phase, std::string_view) {
          if (phase != TracePhase::kEnded) return;
          StatusAndDispatch(sink, "Potrace 実行中 ...");
          PauseForTracerOutput(c, tracers);
        });
    switch (outcome.status) {
      case TraceStatus::kTraced:
        StatusAndDispatch(sink, "-INSERT コマンドを実行 ...");
        InsertWorkDxf(c, cut, files.dxf);
        sink.Status(InsertedPolylinesStatus(outcome.entities));
        break;
      case TraceStatus::kNotStarted:
        sink.Message("Potrace.exe の起動に失敗しました. " + std::to_string(outcome.run.errorCode));
        sink.Status("Potrace.exe の起動に失敗 ...");
        break;
      case TraceStatus::kStaleOutput:
        sink.Message(outcome.file + "\nの削除に失敗しました。使用中？");
        break;
      case TraceStatus::kIncompleteDxf:
        DxfReadyToInsert(sink, files.dxf);
        break;
      case TraceStatus::kNoOutput:
      case TraceStatus::kNoDxf:
      case TraceStatus::kFailed:
      case TraceStatus::kTimedOut:
        sink.Message(files.dxf + "\nが見つかりません.");
        StatusAndDispatch(sink, "DXF ファイルの作成失敗 ...");
        break;
    }
  } catch (const std::exception&) {
    // The Potrace stage ends silently on any error, a lost CAD program included.
  }
}

void VTracerStage(CadCommandContext& c, const TracerSettings& tracers, Capture& cut) {
  CommandSink& sink = c.sink;
  const WorkFiles files = WorkFilesIn(c.folder);
  if (!FileExists(PathFromUtf8(tracers.vtracer))) {
    sink.Message(tracers.vtracer +
                 "\nが、見つかりません.\nVTrace.exeファイルをドラッグ＆ドロップしてください.");
    return;
  }
  if (!FileExists(PathFromUtf8(files.bmp))) return;
  RemoveStaleFile(PathFromUtf8(files.svg));
  RemoveStaleFile(PathFromUtf8(files.dxf));
  auto noSvg = [&] {
    StatusAndDispatch(sink, "tesnova.svg ファイルが見つかりません ...");
    sink.Message(files.svg + "\nが見つかりません.");
  };
  if (!cut.saved || !FileExists(PathFromUtf8(files.bmp))) {
    StatusAndDispatch(sink, "tesnova.bmp 読み込みエラー ...");
    sink.Message(files.bmp + "\nの読み込みエラーです.");
    noSvg();
    return;
  }
  StatusAndDispatch(sink, "VTracer 起動中 ...");
  const TraceOutcome outcome =
      TraceWorkBitmap(kVTracer,
                      {.program = tracers.vtracer,
                       .options = tracers.vtracerOptions,
                       .files = files,
                       .divisions = tracers.divisions},
                      c.processes, [&](TracePhase phase, std::string_view) {
                        if (phase == TracePhase::kEnded) {
                          sink.Dispatch();
                          PauseForTracerOutput(c, tracers);
                        } else if (phase == TracePhase::kConverted) {
                          c.desktop.Sleep(DxfWait(c));
                        }
                      });
  switch (outcome.status) {
    case TraceStatus::kTraced:
      StatusAndDispatch(sink, "-INSERT を実行中 ...");
      InsertWorkDxf(c, cut, files.dxf);
      sink.Status(InsertedPolylinesStatus(outcome.entities));
      break;
    case TraceStatus::kIncompleteDxf:
      DxfReadyToInsert(sink, files.dxf);
      break;
    case TraceStatus::kNotStarted:
      StatusAndDispatch(sink, "VTracer 起動失敗 ...");
      sink.Message("VTracer.exe の起動に失敗しました. " + std::to_string(outcome.run.errorCode));
      noSvg();
      break;
    case TraceStatus::kStaleOutput:
      sink.Message(outcome.file + "\nの削除に失敗しました。使用中？");
      break;
    case TraceStatus::kNoOutput:
    case TraceStatus::kFailed:
    case TraceStatus::kTimedOut:
      noSvg();
      break;
    case TraceStatus::kNoDxf:
      StatusAndDispatch(sink, "DXF ファイルが見つかりません ...");
      sink.Message(files.dxf + "\nが見つかりません.CAD->VTraser");
      break;
  }
}

// In place of any page's tool: the centerline tracer of Tesnova's own traces the work bitmap,
// and its lines, arcs and circles go into the drawing as a Potrace trace would.
void CenterlineTracerStage(CadCommandContext& c, Capture& cut) {
  CommandSink& sink = c.sink;
  const WorkFiles files = WorkFilesIn(c.folder);
  if (!cut.saved || !FileExists(PathFromUtf8(files.bmp))) {
    sink.Message(files.bmp + "\nの読み込みエラーです.");
    StatusAndDispatch(sink, "Bitmap ファイルの読み込みエラー ...");
    return;
  }
  StatusAndDispatch(sink, "中心線を抽出中 ...");
  const TraceOutcome outcome = TraceWorkBitmap(kCenterlineTracer, {.files = files}, c.processes);
  if (outcome.status == TraceStatus::kStaleOutput) {
    sink.Message(outcome.file + "\nの削除に失敗しました。使用中？");
  } else if (outcome.status != TraceStatus::kTraced) {
    sink.Message(files.dxf + "\nが見つかりません.");
    StatusAndDispatch(sink, "DXF ファイルの作成失敗 ...");
  } else {
    StatusAndDispatch(sink, "-INSERT コマンドを実行 ...");
    InsertWorkDxf(c, cut, files.dxf);
    sink.Status(InsertedShapesStatus(outcome.entities));
  }
}

void WinTopoStage(CadCommandContext& c, const TracerSettings& tracers) {
  StatusAndDispatch(c.sink, "WinTopo 起動中 ...");
  c.shell.Execute("open", tracers.winTopo, WinTopoArguments(WorkFilesIn(c.folder).bmp));
  c.desktop.Sleep(500);
  WindowId wintopo = FindWinTopoWindow(c.desktop);
  if (wintopo != 0) {
    c.desktop.BringToFront(wintopo);
    c.sink.Status("WinTopo 実行中 ...");
  }
}

void CenterlineStage(CadCommandContext& c, const TracerSettings& tracers) {
  const WorkFiles files = WorkFilesIn(c.folder);
  if (!FileExists(PathFromUtf8(files.bmp))) return;
  RunCenterlinePipeline(
      tracers.potrace, files.bmp, files.dxf,
      [&](std::string_view notice) { c.sink.Message(notice); }, c.processes);
}

}  // namespace

void RegionCutCommand(CadCommandContext& c, const CutOptions& options) {
  AutomationRef appObject;
  if (!GetCadApplication(c.automation, c.desktop, c.targetProgId, appObject, true)) return;
  CadApplication app(appObject);
  CommandSink& sink = c.sink;
  sink.SetBusy(true);
  sink.Status("");
  RemoveStaleFile(c.folder / "tesnova.bmp");
  sink.StepAside();

  Capture cut;
  try {
    CaptureStage(c, options, app, cut);
  } catch (const std::exception&) {
    // Any failure of the CAD program or the capture ends the stage silently.
  }

  sink.SetBusy(false);
  sink.ComeBack();
  switch (options.tool) {
    case CutTool::kPotrace:
      PotraceStage(c, options.tracers, cut);
      break;
    case CutTool::kVTracer:
      VTracerStage(c, options.tracers, cut);
      break;
    case CutTool::kWinTopo:
      WinTopoStage(c, options.tracers);
      break;
    case CutTool::kCenterline:
      CenterlineStage(c, options.tracers);
      break;
    case CutTool::kCenterlineTracer:
      CenterlineTracerStage(c, cut);
      break;
  }
}

}  // namespace tesnova
