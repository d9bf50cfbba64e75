// tesnova-cli trace IN OUT.dxf --with potrace|vtracer [--tool PATH] [--options TEXT]
//   [--divisions N] [prepare switches]: the picture cleaned as prepare cleans it into the work
// bitmap, the tracer run on it with the window's command line, VTracer's SVG converted, and the
// DXF written in pixels with Y up from the bottom-left corner (the frame the CAD insertion
// expects). The work files lie in a fresh folder that is removed afterwards.
#include <charconv>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>

#include "base/error.h"
#include "base/text_file.h"
#include "cli/cli_commands.h"
#include "ports/processes.h"
#include "tools/tracer_command_lines.h"
#include "vector/svg_to_dxf.h"

namespace tesnova::cli {
namespace {

namespace fs = std::filesystem;

const Command& TraceCommand() {
  for (const Command& c : kCommands)
    if (std::string(c.name) == "trace") return c;
  return kCommands[0];
}

// A fresh folder for the work files, removed with everything in it when the object goes.
class WorkFolder {
 public:
  WorkFolder() {
    auto stamp = std::chrono::steady_clock::now().time_since_epoch().count();
    path_ = fs::temp_directory_path() / ("tesnova-trace-" + std::to_string(stamp));
    fs::create_directories(path_);
  }
  ~WorkFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

bool IsFile(const std::string& path) {
  std::error_code ec;
  return fs::is_regular_file(PathFromUtf8(path), ec);
}

}  // namespace

int RunTrace(const std::vector<std::string>& args) {
  const Command& command = TraceCommand();
  std::vector<std::string> files, prepareSwitches;
  std::string with, tool, options;
  bool haveOptions = false;
  int divisions = 2;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    if (a == "--with" || a == "--tool" || a == "--options" || a == "--divisions") {
      if (i + 1 == args.size()) return UsageError(command, a + " needs a value");
      const std::string& value = args[++i];
      if (a == "--with") with = value;
      if (a == "--tool") tool = value;
      if (a == "--options") options = value, haveOptions = true;
      if (a == "--divisions") {
        auto r = std::from_chars(value.data(), value.data() + value.size(), divisions);
        if (value.empty() || r.ec != std::errc() || r.ptr != value.data() + value.size() ||
            divisions < 0 || divisions > kMaxDivisions)
          return UsageError(command, "--divisions takes a whole number from 0 to " +
                                         std::to_string(kMaxDivisions) + ", not '" + value + "'");
      }
    } else if (a == "--threshold" || a == "--deskew") {
      // prepare's switches with a value go to prepare as they are.
      if (i + 1 == args.size()) return UsageError(command, a + " needs a value");
      prepareSwitches.push_back(a);
      prepareSwitches.push_back(args[++i]);
    } else if (a.starts_with("--")) {
      prepareSwitches.push_back(a);
    } else {
      files.push_back(a);
    }
  }
  if (files.size() != 2) return UsageError(command, "needs IN and OUT.dxf");
  if (with != "potrace" && with != "vtracer")
    return UsageError(command, "--with takes potrace or vtracer");
  if (tool.empty()) tool = with;
  if (!haveOptions) options = with == "potrace" ? "-b dxf" : "--colormode bw";
  // A path that names no file is told before anything is done; a bare name is looked up on
  // the search path when it is started.
  if (tool.find_first_of("/\\") != std::string::npos && !IsFile(tool)) {
    std::fprintf(stderr, "tesnova-cli trace: %s が見つかりません.\n", tool.c_str());
    return 1;
  }

  WorkFolder folder;
  const WorkFiles work = WorkFilesIn(folder.path());
  std::vector<std::string> prepareArgs = {files[0], work.bmp};
  prepareArgs.insert(prepareArgs.end(), prepareSwitches.begin(), prepareSwitches.end());
  if (int status = RunPrepare(prepareArgs); status != 0) return status;

  const std::string arguments = with == "potrace" ? PotraceArguments(work.bmp, options)
                                                  : VTracerArguments(options, work.bmp, work.svg);
  const ProcessResult run = MakePlatformProcesses()->RunProcess(
      {.program = tool, .arguments = arguments, .minimised = true});
  if (!run.started) {
    std::fprintf(stderr, "tesnova-cli trace: %s could not be started (error %u)\n", tool.c_str(),
                 run.errorCode);
    return 1;
  }
  const fs::path out = PathFromUtf8(files[1]);
  if (with == "potrace") {
    if (!IsFile(work.dxf)) {
      std::fprintf(stderr, "tesnova-cli trace: %s wrote no DXF (options \"%s\")\n", tool.c_str(),
                   options.c_str());
      return 1;
    }
    fs::copy_file(PathFromUtf8(work.dxf), out, fs::copy_options::overwrite_existing);
    return 0;
  }
  if (!IsFile(work.svg)) {
    std::fprintf(stderr, "tesnova-cli trace: %s wrote no SVG (options \"%s\")\n", tool.c_str(),
                 options.c_str());
    return 1;
  }
  std::string message;
  if (!ConvertSVGToDXF(PathFromUtf8(work.svg), out, divisions,
                       [&message](std::string_view text) { message = text; })) {
    std::fprintf(stderr, "tesnova-cli trace: %s\n", message.c_str());
    return 1;
  }
  return 0;
}

}  // namespace tesnova::cli
