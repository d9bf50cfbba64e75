#include "app/main_form.h"

#include <system_error>

#include "app/commands.h"
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
  view.SetText("Label8", "");
  view.SetText("Edit5", "tesnova.bmp, tesnova.dxf, tesnova.svg");
  view.SetText("Edit6", "");
  view.SetText("Edit11", "");
  view.SetText("Edit12", "");
  view.SetText("Memo4", "");
  view.SetText("Memo5", "");
  view.SetActivePage(1);
}

void LoadHelpTexts(AppContext& context) {
  struct HelpFile {
    const char* file;
    std::vector<const char*> memos;
  };
  const HelpFile files[] = {{"CAD-VTracer.txt", {"Memo3"}},
                            {"CAD-WinTopo.txt", {"Memo4"}},
                            {"CAD-Potrace.txt", {"Memo5", "Memo1"}},
                            {"Palvero.txt", {"Memo2"}}};
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
    for (const char* memo : help.memos) context.view.SetText(memo, text);
  }
}

void DropFiles(AppContext& context, const std::vector<std::string>& paths) {
  if (paths.empty()) return;
  const std::string& path = paths.front();
  std::string ext = UpperExtension(path);
  View& view = context.view;
  int page = view.ActivePage();
  if (ext == ".EXE") {
    const char* field = page == 2 || page == 3 ? "Edit1"
                        : page == 0            ? "Edit7"
                        : page == 1            ? "Edit11"
                                               : "Edit13";
    view.SetText(field, path);
  } else if (ext == ".BMP" && page == 3) {
    view.SetText("Edit2", path);
    Button1Click(context, "Button1");
  }
}

}  // namespace tesnova
