#include "tools/direct_trace.h"

#include <filesystem>

#include "base/error.h"
#include "base/files.h"
#include "base/integer_text.h"
#include "base/text_file.h"
#include "raster/bmp_file.h"
#include "raster/threshold.h"
#include "vector/svg_to_dxf.h"

namespace tesnova {
namespace {

namespace fs = std::filesystem;

constexpr std::uint32_t kSvgWaitMs = 30000;
constexpr std::uint8_t kDirectTraceThreshold = 128;

class Log {
 public:
  explicit Log(View& view) : view_(view) { view_.SetText("Memo3", ""); }
  void Line(std::string_view line) { view_.AppendLine("Memo3", line); }

 private:
  View& view_;
};

}  // namespace

void TraceWorkBitmapDirectly(View& view, Processes& processes, const WorkFiles& files) {
  Log log(view);
  const std::string vtracer = view.Text("Edit7");
  if (!FileExists(PathFromUtf8(vtracer))) {
    view.ShowMessage(vtracer +
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
      view.ShowMessage(*old + "\nの削除に失敗しました。使用中？");
      return;
    }
  }

  const std::string arguments = VTracerArguments(view.Text("Edit9"), files.bmp, files.svg);
  log.Line("VTracer を起動中 ...");
  log.Line(arguments);
  if (!processes
           .RunProcess({.program = vtracer,
                        .arguments = arguments,
                        .inCurrentFolder = true,
                        .wait = ProcessWait::kBlocking})
           .started) {
    log.Line("VTracer の起動に失敗しました。");
    throw Error("VTracer の起動に失敗しました。");
  }
  try {
    processes.WaitForFile(files.svg, kSvgWaitMs);
  } catch (const Error&) {
    log.Line("タイムアウトしました。");
  }
  if (!FileExists(PathFromUtf8(files.svg))) return;

  log.Line("SVG ファイルが生成されました。");
  log.Line(files.svg);
  log.Line("SVG -> DXF 変換中 ...");
  RemoveStaleFile(PathFromUtf8(files.dxf));
  ConvertSVGToDXF(PathFromUtf8(files.svg), PathFromUtf8(files.dxf),
                  IntegerOrDefault(view.Text("Edit8"), 2),
                  [&view](std::string_view text) { view.ShowMessage(text); });
  if (FileExists(PathFromUtf8(files.dxf))) {
    log.Line("DXF ファイルが生成されました。");
    log.Line(files.dxf);
  }
}

void StartPotraceOnWorkBitmap(View& view, Shell& shell, const WorkFiles& files) {
  const std::string potrace = view.Text("Edit1");
  if (!FileExists(PathFromUtf8(potrace))) {
    view.ShowMessage("Potrace.exe が、見つかりません.");
    return;
  }
  if (!FileExists(PathFromUtf8(files.bmp))) {
    view.ShowMessage(files.bmp + "\nが、見つかりません.");
    return;
  }
  shell.Execute("open", potrace, PotraceArguments(files.bmp, view.Text("Edit4")));
}

}  // namespace tesnova
