#pragma once
// The main window's own steps: its fixed texts at creation, the caption, the help texts and
// the files dropped on it.
#include <string>
#include <string_view>
#include <vector>

#include "base/version.h"

namespace tesnova {

struct AppContext;

inline constexpr const char* kApplicationTitle = "Tesnova " TESNOVA_VERSION;

// The application title followed by " [ ", the target CAD name and " ]".
std::string ComposeCaption(std::string_view targetCadName);

// The window's texts before the settings are read: default targets, cleared fields, the
// shared file names, the page "CAD -> WinTopo" active.
void PrepareForm(AppContext& context);

// Replaces the help memos by the text files beside the executable that exist.
void LoadHelpTexts(AppContext& context);

// Takes the first dropped file: an executable goes into the tool field of the active page,
// a bitmap on the hidden page "Potrace" is traced at once; everything else is ignored.
void DropFiles(AppContext& context, const std::vector<std::string>& paths);

}  // namespace tesnova
