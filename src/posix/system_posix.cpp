// The system facts on Linux: texts without a byte-order mark are taken as UTF-8 when they
// are valid UTF-8, otherwise as code page 932 (Shift_JIS), the Japanese Windows ANSI page.
#include <fcntl.h>
#include <iconv.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "base/files.h"
#include "base/system.h"

namespace tesnova {
namespace {

bool IsValidUtf8(std::string_view s) {
  size_t i = 0;
  while (i < s.size()) {
    auto c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 0 : (c >> 5) == 6 ? 1 : (c >> 4) == 14 ? 2 : (c >> 3) == 30 ? 3 : 99;
    if (n == 99 || i + n >= s.size()) return false;
    for (size_t k = 1; k <= n; ++k)
      if ((static_cast<unsigned char>(s[i + k]) & 0xC0) != 0x80) return false;
    i += n + 1;
  }
  return true;
}

}  // namespace

std::string AnsiToUtf8(std::string_view ansi) {
  if (IsValidUtf8(ansi)) return std::string(ansi);
  iconv_t cd = iconv_open("UTF-8", "CP932");
  if (cd == reinterpret_cast<iconv_t>(-1)) return std::string(ansi);
  std::string out(ansi.size() * 3 + 4, '\0');
  char* in = const_cast<char*>(ansi.data());
  size_t inLeft = ansi.size();
  char* o = out.data();
  size_t outLeft = out.size();
  while (inLeft > 0) {
    if (iconv(cd, &in, &inLeft, &o, &outLeft) == static_cast<size_t>(-1)) {
      // Skip a byte that the code page does not know.
      *o++ = '?';
      --outLeft;
      ++in;
      --inLeft;
    }
  }
  iconv_close(cd);
  out.resize(out.size() - outLeft);
  return out;
}

// Linux writes UTF-8, which the reading side above takes back unchanged.
std::string Utf8ToAnsi(std::string_view utf8) { return std::string(utf8); }

// POSIX has no share modes: a file that opens for reading is taken as free.
bool CanOpenExclusively(const std::filesystem::path& file) {
  int fd = ::open(file.c_str(), O_RDONLY);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

std::filesystem::path ExecutablePath() {
  char buffer[PATH_MAX];
  ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer - 1);
  if (n <= 0) return std::filesystem::current_path() / "tesnova";
  return std::filesystem::path(std::string(buffer, static_cast<size_t>(n)));
}

std::filesystem::path ExecutableFolder() { return ExecutablePath().parent_path(); }

std::vector<std::string> SearchPathFolders() {
  const char* path = std::getenv("PATH");
  return SplitFolderList(path ? path : "", ':');
}

std::string ProgramFileName(const std::string& name) { return name; }

bool StandardErrorIsTerminal() { return isatty(STDERR_FILENO) == 1; }

}  // namespace tesnova
