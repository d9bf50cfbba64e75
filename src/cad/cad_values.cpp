// The arithmetic and texts of the CAD commands.
#include "cad/cad_values.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include "vector/number_format.h"

namespace tesnova {

namespace {

// trunc towards zero, kept inside the integer range for picks far outside the view.
int Truncate(double value) {
  if (!std::isfinite(value)) return 0;
  return static_cast<int>(std::trunc(std::clamp(value, -1e9, 1e9)));
}

}  // namespace

CutGeometry ComputeCutGeometry(const CadPoint& p1, const CadPoint& p2, const CadPoint& viewCenter,
                               double viewSize, int screenWidth, int screenHeight) {
  CutGeometry g;
  double viewWidth = viewSize / screenHeight * screenWidth;
  g.scale = viewWidth / screenWidth;
  auto column = [&](double x) { return Truncate((x - viewCenter.x) / g.scale) + screenWidth / 2; };
  auto row = [&](double y) { return screenHeight / 2 - Truncate((y - viewCenter.y) / g.scale); };
  g.left = column(p1.x);
  g.top = row(p1.y);
  g.width = column(p2.x) - g.left;
  g.height = row(p2.y) - g.top;
  // The view is centred on the middle of the client area, which for an odd size lies half a
  // pixel past the integer half.
  g.baseX = viewCenter.x + (g.left - screenWidth / 2.0) * g.scale;
  g.baseY = viewCenter.y - (g.top + g.height - screenHeight / 2.0) * g.scale;
  return g;
}

bool UsesExportRoute(std::string_view progId) {
  std::string upper(progId);
  for (char& c : upper) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  for (std::string_view prefix : {"AUTOCAD", "PCAD", "DRAFTSIGHT"})
    if (upper.starts_with(prefix)) return true;
  return false;
}

std::string PickStatusText(double widthPx, double heightPx, double scale) {
  char text[256];
  std::snprintf(text, sizeof text,
                "元画像の W= %.0f px (%.2f mm), H= %.0f px (%.2f mm) X尺度= %.3f", widthPx,
                widthPx * scale, heightPx, heightPx * scale, scale);
  return text;
}

double ImageScale(const CadPoint& lower, const CadPoint& upper, double widthPx, double heightPx) {
  double extent = std::max(upper.x - lower.x, upper.y - lower.y);
  double pixels = widthPx > heightPx ? widthPx : heightPx;
  return extent / pixels;
}

}  // namespace tesnova
