#pragma once
// The small ports of the command tests, each faked once: processes, the shell, the screen, the
// screen capture, the target CAD dialog and the settings file.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ports/processes.h"
#include "ports/profile_store.h"
#include "ports/screen.h"
#include "ports/screen_capture.h"
#include "ports/shell.h"
#include "ports/target_cad_dialog.h"
#include "raster/bitmap.h"

namespace tesnova::testing {

// Programs that start (or fail to) at once; onRun plays the program's work, such as writing
// its output file, before the start returns.
class FakeProcesses : public Processes {
 public:
  std::vector<ProcessOptions> runs;
  bool startWorks = true;
  std::uint32_t exitCode = 0;
  int signal = 0;         // the signal that ends a waited-for program
  bool timesOut = false;  // a waited-for program runs past its time-out
  std::function<void(const ProcessOptions&)> onRun;
  std::vector<std::pair<std::string, std::uint32_t>> fileWaits;  // file, time-out

  ProcessResult RunProcess(const ProcessOptions& options) override {
    runs.push_back(options);
    if (!startWorks) return {.errorCode = 2};  // not found
    if (onRun) onRun(options);
    const bool waited = options.wait != ProcessWait::kNone;
    return {.started = true,
            .ended = waited,
            .exitCode = waited ? exitCode : 0,
            .signal = waited ? signal : 0,
            .timedOut = waited && timesOut};
  }
  void WaitForFile(const std::string& fileName, std::uint32_t timeoutMs) override {
    fileWaits.emplace_back(fileName, timeoutMs);
  }
};

class FakeShell : public Shell {
 public:
  struct Opened {
    std::string verb, file, parameters;
  };
  std::vector<Opened> opened;
  void Execute(const std::string& verb, const std::string& file,
               const std::string& parameters) override {
    opened.push_back({verb, file, parameters});
  }
};

// The cursor at (5, 6) over a pixel of the given colour.
class FakeScreen : public Screen {
 public:
  std::uint32_t colour = 0;
  bool readable = true;
  bool CursorPosition(int& x, int& y) override {
    x = 5, y = 6;
    return readable;
  }
  bool PixelAt(int x, int y, std::uint32_t& rgb) override {
    rgb = x == 5 && y == 6 ? colour : 0;
    return readable;
  }
};

// Copies of a drawing with dark ink on its left half and light paper on its right.
class FakeCapture : public ScreenCapture {
 public:
  static constexpr std::uint8_t kInkGrey = 40, kPaperGrey = 220;
  struct Copy {
    WindowId window;
    int left, top, width, height;
  };
  std::vector<Copy> copies;
  Bitmap CopyClientArea(WindowId window, int left, int top, int width, int height) override {
    copies.push_back({window, left, top, width, height});
    Bitmap b(width, height, kPaperGrey);
    for (int y = 0; y < height; ++y)
      for (int x = 0; x < width / 2; ++x) b.at(x, y)[0] = b.at(x, y)[1] = b.at(x, y)[2] = kInkGrey;
    return b;
  }
};

class FakeTargetCadDialog : public TargetCadDialog {
 public:
  std::optional<TargetCadChoice> answer;
  std::string preselected;
  std::optional<TargetCadChoice> ShowModal(std::string_view preselect) override {
    preselected = preselect;
    return answer;
  }
};

// An initialization file in memory: names match without regard to case, as on Windows.
class FakeProfile : public ProfileStore {
 public:
  std::map<std::string, std::string> values;
  std::vector<std::string> written;  // "Section.Key" in the order written
  std::string refuse;                // a Name() whose write is refused

  std::string Read(std::string_view section, std::string_view key,
                   std::string_view fallback) const override {
    auto it = values.find(Name(section, key));
    return it == values.end() ? std::string(fallback) : it->second;
  }
  bool Write(std::string_view section, std::string_view key, std::string_view value) override {
    if (Name(section, key) == refuse) return false;
    values[Name(section, key)] = std::string(value);
    written.push_back(std::string(section) + "." + std::string(key));
    return true;
  }
  void Set(std::string_view section, std::string_view key, std::string value) {
    values[Name(section, key)] = std::move(value);
  }
  std::string Get(std::string_view section, std::string_view key) const {
    return values.at(Name(section, key));
  }
  static std::string Name(std::string_view section, std::string_view key) {
    std::string name = std::string(section) + "." + std::string(key);
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return name;
  }
};

}  // namespace tesnova::testing
