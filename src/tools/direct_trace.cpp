#include "tools/direct_trace.h"

#include "base/error.h"
#include "base/files.h"
#include "base/text_file.h"
#include "raster/bmp_file.h"
#include "raster/threshold.h"

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

  const TraceOutcome outcome =
      TraceWorkBitmap(kVTracer,
                      {.program = vtracer,
                       .options = tracers.vtracerOptions,
                       .files = files,
                       .divisions = tracers.divisions,
                       .wait = ProcessWait::kBlocking,
                       .inCurrentFolder = true,
                       .minimised = false,
                       .outputWaitMs = kSvgWaitMs},
                      processes, [&](TracePhase phase, std::string_view arguments) {
                        switch (phase) {
                          case TracePhase::kStarting:
                            sink.Log("VTracer を起動中 ...");
                            sink.Log(arguments);
                            break;
                          case TracePhase::kOutputLate:
                            sink.Log("タイムアウトしました。");
                            break;
                          case TracePhase::kConverting:
                            sink.Log("SVG ファイルが生成されました。");
                            sink.Log(files.svg);
                            sink.Log("SVG -> DXF 変換中 ...");
                            break;
                          default:
                            break;
                        }
                      });
  switch (outcome.status) {
    case TraceStatus::kTraced:
      sink.Log("DXF ファイルが生成されました。");
      sink.Log(files.dxf);
      break;
    case TraceStatus::kStaleOutput:
      sink.Message(outcome.file + "\nの削除に失敗しました。使用中？");
      break;
    case TraceStatus::kNotStarted:
      sink.Log("VTracer の起動に失敗しました。");
      throw Error("VTracer の起動に失敗しました。");
    case TraceStatus::kIncompleteDxf:
      sink.Log("DXF ファイルが途中で切れています。");
      break;
    case TraceStatus::kNoOutput:
    case TraceStatus::kNoDxf:
    case TraceStatus::kFailed:
    case TraceStatus::kTimedOut:
      break;
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
  shell.Execute("open", tracers.potrace,
                kPotrace.arguments(files.bmp, files, tracers.potraceOptions));
}

}  // namespace tesnova
