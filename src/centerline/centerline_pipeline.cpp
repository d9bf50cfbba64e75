#include "centerline/centerline_pipeline.h"

#include <filesystem>
#include <string>

#include "base/error.h"
#include "base/text_file.h"
#include "centerline/centerline_dxf.h"
#include "centerline/centerline_index.h"
#include "centerline/contour_classes.h"
#include "centerline/douglas_peucker.h"
#include "centerline/potrace_frame.h"
#include "centerline/resample.h"
#include "centerline/smoothing.h"
#include "centerline/svg_contour_reader.h"

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

std::string NoContourPairMessage(size_t negative, size_t nonNegative) {
  return "中心線を求める輪郭の組がありません (負の面積の輪郭 " + std::to_string(negative) +
         " 本, 非負の面積の輪郭 " + std::to_string(nonNegative) +
         " 本). 穴のある図形 (太い線で描いた輪など) の画像を使ってください.";
}

bool CenterlineFromPotraceSvg(const std::string& svgFileName, int bitmapHeight,
                              const std::string& dxfFileName, const CenterlineNotice& notice) {
  auto tell = [&](std::string_view text) {
    if (notice) notice(text);
  };
  const std::filesystem::path svgPath = PathFromUtf8(svgFileName);
  const ContourList contours = ParseSVGToPolylines(svgPath).contours;
  const SvgTransform transform = ReadGroupTransform(LoadSVGLines(svgPath));
  tell("ParseSVGToPolylines 成功");
  const ContourClasses classes = ClassifyContours(contours, notice);
  tell("ClassifyContours 成功");
  tell("単純な 1 ペアを想定");
  if (classes.negativeArea.empty() || classes.nonNegativeArea.empty()) {
    tell(NoContourPairMessage(classes.negativeArea.size(), classes.nonNegativeArea.size()));
    return false;
  }

  tell("再サンプリング開始");
  for (const Polyline* contour : {&classes.negativeArea.front(), &classes.nonNegativeArea.front()})
    if (ResampledPointCount(Closed(*contour), kResampleStep) > kMaxResampledPoints)
      throw Error(svgFileName + " の輪郭が長すぎて中心線を求められません (" +
                  std::to_string(static_cast<long long>(kMaxResampledPoints)) + " 点を超えます)");
  const Polyline base = ResamplePolyline(Closed(classes.negativeArea.front()), kResampleStep);
  // Resampling stops short of the end point: close the opposite contour once more.
  const Polyline opposite =
      Closed(ResamplePolyline(Closed(classes.nonNegativeArea.front()), kResampleStep));
  tell("ResamplePolyline 成功");
  Polyline centerline = ComputeCenterlineNormal(base, opposite);
  tell("ComputeCenterlineNormal 成功");
  centerline = SmoothPolyline(centerline);
  tell("SmoothPolyline 成功");
  const Polyline simplified = DouglasPeucker(centerline, kSimplifyTolerance);
  WriteCenterlineDxf(PathFromUtf8(dxfFileName), ToPixelFrame(simplified, transform, bitmapHeight));
  tell("DouglasPeucker 成功");
  return true;
}

}  // namespace tesnova
