#include "tools/direct_trace.h"

#include "base/error.h"
#include "base/files.h"
#include "base/text_file.h"
#include "raster/bmp_file.h"
#include "raster/threshold.h"
#include "vector/svg_to_dxf.h"

namespace tesnova {
namespace {

constexpr std::uint32_t kSvgWaitMs = 30000;
constexpr std::uint8_t kDirectTraceThreshold = 128;

}  // namespace

void TraceWorkBitmapDirectly(const TracerSettings& tracers, const WorkFiles& files,
                             Processes& processes, CommandSink& sink) {
  sink.ClearLog();
  const std::string& vtracer = tracers.vtracer;
  if (!FileExists(PathFromUtf8(vtracer))) {
    sink.Message(vtracer +
                 "\nが、見つかりません.\nVTrace.exeファイルをドラッグ＆ドロップしてください.");
    return;
  }
  if (!FileExists(PathFromUtf8(files.bmp))) return;

  Bitmap bitmap = ReadBmp(PathFromUtf8(files.bmp));
  BinarizeByThreshold(bitmap, kDirectTraceThreshold);
  WriteBmp24(PathFromUtf8(files.bmp), bitmap);

  // An old SVG left in place would be taken for VTracer's new one.
  for (const std::string* old : {&files.svg, &files.dxf}) {
    if (!RemoveStaleFile(PathFromUtf8(*old))) {
      sink.Message(*old + "\nの削除に失敗しました。使用中？");
      return;
    }
  }

  const std::string arguments = VTracerArguments(tracers.vtracerOptions, files.bmp, files.svg);
  sink.Log("VTracer を起動中 ...");
  sink.Log(arguments);
  if (!processes
           .RunProcess({.program = vtracer,
                        .arguments = arguments,
                        .inCurrentFolder = true,
                        .wait = ProcessWait::kBlocking})
           .started) {
    sink.Log("VTracer の起動に失敗しました。");
    throw Error("VTracer の起動に失敗しました。");
  }
  try {
    processes.WaitForFile(files.svg, kSvgWaitMs);
  } catch (const Error&) {
    sink.Log("タイムアウトしました。");
  }
  if (!FileExists(PathFromUtf8(files.svg))) return;

  sink.Log("SVG ファイルが生成されました。");
  sink.Log(files.svg);
  sink.Log("SVG -> DXF 変換中 ...");
  RemoveStaleFile(PathFromUtf8(files.dxf));
  ConvertSVGToDXF(PathFromUtf8(files.svg), PathFromUtf8(files.dxf), tracers.divisions,
                  [&sink](std::string_view text) { sink.Message(text); });
  if (FileExists(PathFromUtf8(files.dxf))) {
    sink.Log("DXF ファイルが生成されました。");
    sink.Log(files.dxf);
  }
}

void StartPotraceOnWorkBitmap(const TracerSettings& tracers, const WorkFiles& files, Shell& shell,
                              CommandSink& sink) {
  if (!FileExists(PathFromUtf8(tracers.potrace))) {
    sink.Message("Potrace.exe が、見つかりません.");
    return;
  }
  if (!FileExists(PathFromUtf8(files.bmp))) {
    sink.Message(files.bmp + "\nが、見つかりません.");
    return;
  }
  shell.Execute("open", tracers.potrace, PotraceArguments(files.bmp, tracers.potraceOptions));
}

}  // namespace tesnova
