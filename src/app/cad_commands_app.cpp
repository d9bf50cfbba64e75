// The CAD commands as the main window calls them: the window's context handed to the region
// cut, the insertion and the image pick.
#include <optional>

#include "app/commands.h"

namespace tesnova {

namespace {

std::optional<CadCommandContext> CadContextOf(AppContext& a) {
  if (!a.automation || !a.desktop || !a.processes || !a.screenCapture)
    return std::nullopt;
  return CadCommandContext{a.view,       a.values, *a.automation,    *a.desktop,
                           *a.processes, a.shell,  *a.screenCapture,
                           a.pick,       a.folder, a.exportFile};
}

}  // namespace

void Button4Click(AppContext& context, std::string_view sender) {
  if (auto cad = CadContextOf(context)) RegionCutCommand(*cad, sender);
}

void Button11Click(AppContext& context, std::string_view) {
  if (auto cad = CadContextOf(context)) InsertWorkDxfCommand(*cad);
}

void Button20Click(AppContext& context, std::string_view) {
  if (auto cad = CadContextOf(context)) ImagePickCommand(*cad);
}

void Button21Click(AppContext& context, std::string_view) {
  if (auto cad = CadContextOf(context)) InsertImageDxfCommand(*cad);
}

void Button23Click(AppContext& context, std::string_view) {
  if (auto cad = CadContextOf(context)) OleFrameSnapshotCommand(*cad);
}

}  // namespace tesnova
