#include "tools/centerline_bench.h"

#include "base/error.h"
#include "base/files.h"
#include "base/text_file.h"
#include "centerline/centerline_pipeline.h"
#include "centerline/pbm_file.h"
#include "raster/bmp_file.h"
#include "tools/tracer_command_lines.h"

namespace tesnova {

std::string WithExtension(const std::string& fileName, const std::string& extension) {
  size_t folderEnd = fileName.find_last_of("/\\");
  size_t nameStart = folderEnd == std::string::npos ? 0 : folderEnd + 1;
  size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return fileName + extension;
  return fileName.substr(0, dot) + extension;
}

bool RunCenterlinePipeline(const std::string& potraceExe, const std::string& bitmapFileName,
                           const std::string& dxfFileName, const CenterlineNotice& notice,
                           Processes& processes, const std::string& workStem,
                           const PotraceRunRules& rules, ProcessResult* potraceRun) {
  auto tell = [&](std::string_view text) {
    if (notice) notice(text);
  };
  const std::string& stem = workStem.empty() ? bitmapFileName : workStem;
  const std::string pbmFileName = WithExtension(stem, ".pbm");
  const std::string svgFileName = WithExtension(stem, ".svg");
  int bitmapHeight = 0;
  ProcessResult run;
  {
    const Bitmap bitmap = ReadBmp(PathFromUtf8(bitmapFileName));
    bitmapHeight = bitmap.height;
    tell("bmp");
    SaveBitmapAsPBM(bitmap, PathFromUtf8(pbmFileName));
    tell("pbm");
    // An SVG left from an earlier run must not pass for this run's output.
    if (!RemoveStaleFile(PathFromUtf8(svgFileName)))
      throw FileError(svgFileName, "を削除できません");
    run = processes.RunProcess({.program = potraceExe,
                                .arguments = PotraceSvgArguments(pbmFileName, svgFileName),
                                .minimised = true,
                                .timeoutMs = rules.timeoutMs});
  }
  if (potraceRun) *potraceRun = run;
  if (!run.started) {
    tell("potrace 起動失敗");
    return false;
  }
  if (run.timedOut) {
    tell("potrace タイムアウト");
    return false;
  }
  if (rules.exitStatusCounts && run.ended && !run.Succeeded()) {
    tell("potrace 異常終了");
    return false;
  }
  tell("potrace 起動成功");
  return CenterlineFromPotraceSvg(svgFileName, bitmapHeight, dxfFileName, notice);
}

}  // namespace tesnova
