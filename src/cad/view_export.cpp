#include "cad/view_export.h"

#include <fstream>

#include "base/system.h"

namespace tesnova {

namespace {

// The size a BMP file declares in its header; 0 when the header is not there (yet).
std::uintmax_t DeclaredBmpSize(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  unsigned char head[6] = {};
  if (!in.read(reinterpret_cast<char*>(head), sizeof head) || head[0] != 'B' || head[1] != 'M')
    return 0;
  std::uintmax_t size = 0;
  for (int i = 5; i >= 2; --i) size = size * 256 + head[i];
  return size;
}

}  // namespace

bool WaitForViewExport(Desktop& desktop, const std::filesystem::path& file) {
  std::uintmax_t lastSize = 0;
  for (std::uint32_t waited = 0; waited <= kViewExportWaitMs; waited += kViewExportPollMs) {
    desktop.Sleep(waited == 0 ? 500 : kViewExportPollMs);
    std::error_code error;
    std::uintmax_t size = std::filesystem::file_size(file, error);
    if (error) continue;
    std::uintmax_t declared = DeclaredBmpSize(file);
    if (size == lastSize && declared > 0 && size >= declared && CanOpenExclusively(file))
      return true;
    lastSize = size;
  }
  return false;
}

}  // namespace tesnova
