#include "centerline/stroke_tips.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace tesnova {

void MeasureStrokeTips(StrokeGraph& graph, const Bitmap& picture, int inkBelow) {
  MeasureStrokeTips(graph, BlackWhiteOf(picture, BelowMeanGrey(inkBelow)));
}

void MeasureStrokeTips(StrokeGraph& graph, const BlackWhitePicture& picture) {
  auto ink = [&](double x, double y) {
    const int px = static_cast<int>(std::floor(x)), py = static_cast<int>(std::floor(y));
    if (px < 0 || py < 0 || px >= picture.width || py >= picture.height) return false;
    return picture.Black(px, py);
  };
  for (StrokeNode& node : graph.nodes) {
    node.extension = 0;
    if (node.removed || node.Degree() != 1) continue;
    const StrokeEdge& edge = graph.edges[node.edges[0]];
    if (edge.pixels.size() < 2) continue;
    const bool atStart = edge.from == static_cast<int>(&node - graph.nodes.data());
    // The tip, and a pixel a few steps back along the run.
    const std::size_t n = edge.pixels.size();
    const std::size_t back = std::min<std::size_t>(6, n - 1);
    const SkeletonPixel& tip = atStart ? edge.pixels[0] : edge.pixels[n - 1];
    const SkeletonPixel& from = atStart ? edge.pixels[back] : edge.pixels[n - 1 - back];
    double dx = tip.x - from.x, dy = tip.y - from.y;
    const double l = std::hypot(dx, dy);
    if (l < 1e-9) continue;
    dx /= l, dy /= l;
    // The stroke's width near the tip: the middle value of the last few pixels, the run's other
    // end left out (a junction there is wider than the stroke).
    std::vector<int> near;
    for (std::size_t k = 0; k < std::max<std::size_t>(back, 1) && k + 1 < n; ++k)
      near.push_back((atStart ? edge.pixels[k] : edge.pixels[n - 1 - k]).distance);
    std::nth_element(near.begin(), near.begin() + near.size() / 2, near.end());
    const double halfWidth = HalfWidthOf(near[near.size() / 2]);
    double reach = 0;
    constexpr double kStep = 0.25;
    const double limit = 4 * halfWidth + 2;
    while (reach + kStep <= limit &&
           ink(tip.x + 0.5 + dx * (reach + kStep), tip.y + 0.5 + dy * (reach + kStep)))
      reach += kStep;
    node.extension = std::clamp(reach + 0.5 - halfWidth - 0.5, 0.0, 2 * halfWidth);
  }
}

}  // namespace tesnova
