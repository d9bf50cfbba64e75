// The CAD commands as the main window calls them: the form read into their options, the
// window's ports and sink handed on.
#include "app/commands.h"
#include "app/form_controls.h"
#include "app/form_options.h"
#include "app/view_sink.h"
#include "ports/view.h"

namespace tesnova {

namespace {

CadCommandContext CadContextOf(AppContext& a, CommandSink& sink) {
  return {a.automation, a.desktop,    a.processes,           a.shell,  a.screenCapture,
          sink,         a.values.cad, a.values.targetProgId, a.folder, a.exportFile};
}

CutTool CutToolOf(std::string_view sender) {
  if (sender == form::kVTracerCut) return CutTool::kVTracer;
  if (sender == form::kWinTopoCut) return CutTool::kWinTopo;
  if (sender == form::kCenterlineCut) return CutTool::kCenterline;
  return CutTool::kPotrace;
}

}  // namespace

void Button4Click(AppContext& context, std::string_view sender) {
  ViewSink sink(context.view, form::kCutButtons);
  CadCommandContext cad = CadContextOf(context, sink);
  RegionCutCommand(cad, ReadCutOptions(context.view, CutToolOf(sender)));
}

void Button11Click(AppContext& context, std::string_view) {
  ViewSink sink(context.view);
  CadCommandContext cad = CadContextOf(context, sink);
  InsertWorkDxfCommand(cad, context.view.Checked(form::kCloseWinTopo));
}

void Button20Click(AppContext& context, std::string_view) {
  ViewSink sink(context.view);
  CadCommandContext cad = CadContextOf(context, sink);
  ImagePickCommand(cad, ReadPickOptions(context.view));
}

void Button21Click(AppContext& context, std::string_view) {
  ViewSink sink(context.view);
  CadCommandContext cad = CadContextOf(context, sink);
  InsertImageDxfCommand(cad);
}

void Button23Click(AppContext& context, std::string_view) {
  ViewSink sink(context.view);
  CadCommandContext cad = CadContextOf(context, sink);
  OleFrameSnapshotCommand(cad);
}

}  // namespace tesnova
