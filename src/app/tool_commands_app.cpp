// The tool commands: direct trace, Potrace start, WinTopo.
#include "app/commands.h"
#include "app/form_controls.h"
#include "app/form_options.h"
#include "app/view_sink.h"
#include "tools/direct_trace.h"
#include "tools/wintopo.h"
#include "tools/work_files.h"

namespace tesnova {

void Button1Click(AppContext& context, std::string_view) {
  ViewSink sink(context.view);
  TraceWorkBitmapDirectly(ReadTracerSettings(context.view), WorkFilesIn(context.folder),
                          context.processes, sink);
}

void Button8Click(AppContext& context, std::string_view) {
  ViewSink sink(context.view);
  StartPotraceOnWorkBitmap(ReadTracerSettings(context.view), WorkFilesIn(context.folder),
                           context.shell, sink);
}

void Button18Click(AppContext& context, std::string_view) {
  ViewSink sink(context.view, {form::kVectoriseInWinTopo});
  VectoriseInWinTopo(context.desktop, WorkFilesIn(context.folder), sink);
}

void Button19Click(AppContext& context, std::string_view) {
  ViewSink sink(context.view, {form::kSaveWinTopoDxf});
  SaveWinTopoDxf(context.desktop, WorkFilesIn(context.folder), sink);
}

void Button24Click(AppContext& context, std::string_view) {
  ViewSink sink(context.view);
  TestWinTopoMenus(context.desktop, sink);
}

}  // namespace tesnova
