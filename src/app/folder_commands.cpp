// The commands that open the file browser on the work folder or the picked image's folder.
#include <algorithm>
#include <system_error>

#include "app/commands.h"
#include "app/form_controls.h"
#include "base/files.h"
#include "base/text_file.h"
#include "ports/shell.h"
#include "ports/view.h"

namespace tesnova {
namespace {

void Browse(AppContext& context, const std::string& argument) {
  context.shell.Execute("open", "explorer.exe", argument);
}

std::string FolderText(const std::filesystem::path& folder) {
  std::string text = PathToUtf8(folder);
  char separator = static_cast<char>(std::filesystem::path::preferred_separator);
  if (text.empty() || text.back() != separator) text += separator;
  return text;
}

// Selects the DXF, else the bitmap, else opens the bare folder; returns the selected file.
std::string BrowseWorkFiles(AppContext& context) {
  for (const char* name : {"tesnova.dxf", "tesnova.bmp"}) {
    std::filesystem::path file = context.folder / name;
    if (FileExists(file)) {
      Browse(context, "/select," + PathToUtf8(file));
      return PathToUtf8(file);
    }
  }
  Browse(context, FolderText(context.folder));
  return {};
}

}  // namespace

void Button2Click(AppContext& context, std::string_view sender) {
  if (sender == form::kTestBitmapFolder) {
    Browse(context, "/select," + context.view.Text(form::kTestBitmap));
    return;
  }
  // The work bitmap by its full path: a bare name would make the browser look for it in its
  // own current folder.
  std::filesystem::path bmp = context.folder / "tesnova.bmp";
  Browse(context, FileExists(bmp) ? "/select," + PathToUtf8(bmp) : FolderText(context.folder));
}

void Button7Click(AppContext& context, std::string_view) { BrowseWorkFiles(context); }

void Button12Click(AppContext& context, std::string_view) {
  std::string selected = BrowseWorkFiles(context);
  if (!selected.empty()) context.view.SetText(form::kStatusLine, selected);
}

void Button22Click(AppContext& context, std::string_view) {
  const std::string& fullName = context.values.cad.picked.topoFullName;
  std::string path = fullName;
  std::replace(path.begin(), path.end(), '/', '\\');
  context.view.SetText(form::kStatusLine, path);
  // Both spellings name the same file; the platform's own is looked up.
  if (!path.empty() && FileExists(PathFromUtf8(fullName))) Browse(context, "/select," + path);
}

}  // namespace tesnova
