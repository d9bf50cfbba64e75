#include "app/main_form.h"

#include <system_error>

#include "app/commands.h"
#include "app/form_controls.h"
#include "base/files.h"
#include "base/text_file.h"
#include "ports/view.h"

namespace tesnova {
std::string ComposeCaption(std::string_view targetCadName) {
  return std::string(kApplicationTitle) + " [ " + std::string(targetCadName) + " ]";
}

void PrepareForm(AppContext& context) {
  View& view = context.view;
  context.values.targetProgId = "BricscadApp.AcadApplication";
  context.values.targetCadName = "BaricsCAD";
  view.SetText(form::kProbeText, "");
  view.SetText(form::kWorkFileNames, "tesnova.bmp, tesnova.dxf, tesnova.svg");
  view.SetText(form::kInsertionLine, "");
  view.SetText(form::kWinTopoProgram, "");
  view.SetText(form::kStatusLine, "");
  view.SetText(form::kWinTopoHelp, "");
  view.SetText(form::kPotraceHelp, "");
  view.SetActivePage(1);
}

void LoadHelpTexts(AppContext& context) {
  struct HelpFile {
    const char* file;
    std::vector<form::Name> memos;
  };
  const HelpFile files[] = {{"CAD-VTracer.txt", {form::kVTracerHelp}},
                            {"CAD-WinTopo.txt", {form::kWinTopoHelp}},
                            {"CAD-Potrace.txt", {form::kPotraceHelp, form::kPotraceTestHelp}},
                            {"Palvero.txt", {form::kReadMe}}};
  for (const HelpFile& help : files) {
    std::filesystem::path path = context.folder / help.file;
    std::error_code ec;
    if (!std::filesystem::is_regular_file(path, ec)) continue;
    std::vector<std::string> lines = ReadTextLines(path);
    std::string text;
    for (size_t i = 0; i < lines.size(); ++i) {
      if (i > 0) text += "\r\n";
      text += lines[i];
    }
    for (form::Name memo : help.memos) context.view.SetText(memo, text);
  }
}

void DropFiles(AppContext& context, const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  const std::string& path = paths.front();
  std::string ext = UpperExtension(path);
  View& view = context.view;
  int page = view.ActivePage();
  if (ext == ".EXE") {
    form::Name field = page == 2 || page == 3 ? form::kPotraceProgram
                       : page == 0            ? form::kVTracerProgram
                       : page == 1            ? form::kWinTopoProgram
                                              : form::kTestPageProgram;
    view.SetText(field, path);
  } else if (ext == ".BMP" && page == 3) {
    view.SetText(form::kTestBitmap, path);
    Button1Click(context, form::kDirectTrace);
  }
}

}  // namespace tesnova
