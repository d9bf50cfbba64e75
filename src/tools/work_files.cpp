#include "tools/work_files.h"

#include "base/text_file.h"

namespace tesnova {

WorkFiles WorkFilesIn(const std::filesystem::path& folder) {
  return {PathToUtf8(folder / "tesnova.bmp"), PathToUtf8(folder / "tesnova.svg"),
          PathToUtf8(folder / "tesnova.dxf"), PathToUtf8(folder / "tesnova.pbm")};
}

}  // namespace tesnova
