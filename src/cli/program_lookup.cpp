#include "cli/program_lookup.h"

#include <filesystem>
#include <vector>

#include "base/error.h"
#include "base/files.h"
#include "base/system.h"
#include "base/text_file.h"

namespace tesnova::cli {

std::string FindProgram(std::string_view name, const std::optional<std::string>& given,
                        std::string_view switchName) {
  // A path is taken as it is; it must name a file.
  if (given && given->find_first_of("/\\") != std::string::npos) {
    if (!FileExists(PathFromUtf8(*given))) throw Error(*given + " が見つかりません.");
    return *given;
  }
  const std::string file = ProgramFileName(given ? *given : std::string(name));
  std::vector<std::string> folders = SearchPathFolders();
  const std::string own = PathToUtf8(ExecutableFolder());
  folders.push_back(own);
  for (const std::string& folder : folders) {
    const std::filesystem::path candidate = PathFromUtf8(folder) / PathFromUtf8(file);
    // A folder of PATH may be relative; the tracer starts in its own folder.
    if (FileExists(candidate)) return PathToUtf8(std::filesystem::absolute(candidate));
  }
  std::string path;
  for (std::size_t i = 0; i + 1 < folders.size(); ++i) path += (i == 0 ? "" : ", ") + folders[i];
  throw Error(file + " was not found: looked in the folders of PATH (" +
              (path.empty() ? "none" : path) + ") and beside tesnova-cli (" + own +
              "). Install it there or give the program with " + std::string(switchName) + " PATH");
}

}  // namespace tesnova::cli
