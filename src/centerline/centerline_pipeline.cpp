#include "centerline/centerline_pipeline.h"

#include <filesystem>
#include <system_error>

#include "base/error.h"
#include "base/files.h"
#include "base/text_file.h"
#include "centerline/centerline_dxf.h"
#include "centerline/centerline_index.h"
#include "centerline/contour_classes.h"
#include "centerline/douglas_peucker.h"
#include "centerline/pbm_file.h"
#include "centerline/potrace_frame.h"
#include "centerline/potrace_run.h"
#include "centerline/resample.h"
#include "centerline/smoothing.h"
#include "centerline/svg_contour_reader.h"
#include "raster/bmp_file.h"

namespace tesnova {
namespace {

constexpr double kResampleStep = 1.0;
constexpr double kSimplifyTolerance = 1.0;

// Potrace's outlines are closed; the reader leaves out the way back to the start, through
// which the normal rays would otherwise slip.
Polyline Closed(Polyline contour) {
  if (contour.size() > 1 && !(contour.front() == contour.back()))
    contour.push_back(contour.front());
  return contour;
}

}  // namespace

std::string WithExtension(const std::string& fileName, const std::string& extension) {
  size_t folderEnd = fileName.find_last_of("/\\");
  size_t nameStart = folderEnd == std::string::npos ? 0 : folderEnd + 1;
  size_t dot = fileName.rfind('.');
  if (dot == std::string::npos || dot < nameStart) return fileName + extension;
  return fileName.substr(0, dot) + extension;
}

std::string NoContourPairMessage(size_t negative, size_t nonNegative) {
  return "中心線を求める輪郭の組がありません (負の面積の輪郭 " + std::to_string(negative) +
         " 本, 非負の面積の輪郭 " + std::to_string(nonNegative) +
         " 本). 穴のある図形 (太い線で描いた輪など) の画像を使ってください.";
}

bool RunCenterlinePipeline(const std::string& potraceExe, const std::string& bitmapFileName,
                           const std::string& dxfFileName, View& view, Processes& processes) {
  const std::string pbmFileName = WithExtension(bitmapFileName, ".pbm");
  const std::string svgFileName = WithExtension(bitmapFileName, ".svg");
  int bitmapHeight = 0;
  bool started = false;
  {
    const Bitmap bitmap = ReadBmp(PathFromUtf8(bitmapFileName));
    bitmapHeight = bitmap.height;
    view.ShowMessage("bmp");
    SaveBitmapAsPBM(bitmap, PathFromUtf8(pbmFileName));
    view.ShowMessage("pbm");
    // An SVG left from an earlier run must not pass for this run's output.
    if (!RemoveStaleFile(PathFromUtf8(svgFileName)))
      throw FileError(svgFileName + " を削除できません");
    started = RunPotraceToSVG(processes, potraceExe, pbmFileName, svgFileName);
  }
  if (!started) {
    view.ShowMessage("potrace 起動失敗");
    return false;
  }
  view.ShowMessage("potrace 起動成功");

  const std::filesystem::path svgPath = PathFromUtf8(svgFileName);
  const ContourList contours = ParseSVGToPolylines(svgPath).contours;
  const SvgTransform transform = ReadGroupTransform(LoadSVGLines(svgPath));
  view.ShowMessage("ParseSVGToPolylines 成功");
  const ContourClasses classes = ClassifyContours(contours, view);
  view.ShowMessage("ClassifyContours 成功");
  view.ShowMessage("単純な 1 ペアを想定");
  if (classes.negativeArea.empty() || classes.nonNegativeArea.empty()) {
    view.ShowMessage(
        NoContourPairMessage(classes.negativeArea.size(), classes.nonNegativeArea.size()));
    return false;
  }

  view.ShowMessage("再サンプリング開始");
  const Polyline base = ResamplePolyline(Closed(classes.negativeArea.front()), kResampleStep);
  // Resampling stops short of the end point: close the opposite contour once more.
  const Polyline opposite =
      Closed(ResamplePolyline(Closed(classes.nonNegativeArea.front()), kResampleStep));
  view.ShowMessage("ResamplePolyline 成功");
  Polyline centerline = ComputeCenterlineNormal(base, opposite);
  view.ShowMessage("ComputeCenterlineNormal 成功");
  centerline = SmoothPolyline(centerline);
  view.ShowMessage("SmoothPolyline 成功");
  const Polyline simplified = DouglasPeucker(centerline, kSimplifyTolerance);
  WriteCenterlineDxf(PathFromUtf8(dxfFileName), ToPixelFrame(simplified, transform, bitmapHeight));
  view.ShowMessage("DouglasPeucker 成功");
  return true;
}

}  // namespace tesnova
