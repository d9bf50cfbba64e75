#include "centerline/stroke_graph_fitting.h"

#include <algorithm>
#include <cmath>

#include "centerline/ink_distance.h"
#include "centerline/stroke_centring.h"

namespace tesnova {
namespace {

// Around a junction the skeleton bends towards the other strokes; points that near it are left
// out of the fit, and the pieces are carried back to the junction by the shared end points.
double JunctionReach(const StrokeNode& node) { return 1.5 * HalfWidthOf(node.distance) + 1; }

// Smooths the staircase of the pixel grid: two passes of 1-2-1 weights, ends fixed (a closed
// run wraps around).
void SmoothRun(std::vector<TPoint2D>& p, bool closed) {
  const std::size_t n = p.size();
  if (n < 3) return;
  for (int pass = 0; pass < 2; ++pass) {
    std::vector<TPoint2D> q = p;
    for (std::size_t i = 0; i < n; ++i) {
      if (!closed && (i == 0 || i + 1 == n)) continue;
      const TPoint2D& a = p[(i + n - 1) % n];
      const TPoint2D& c = p[(i + 1) % n];
      q[i] = {(a.X + 2 * p[i].X + c.X) / 4, (a.Y + 2 * p[i].Y + c.Y) / 4};
    }
    p.swap(q);
  }
}

}  // namespace

PieceNetwork FitStrokeGraph(const StrokeGraph& graph, const BlackWhitePicture& picture,
                            const StrokeFitOptions& options, std::vector<FilledArea>& filledAreas) {
  const double height = picture.empty() ? 0 : picture.height;
  // The picture's frame: pixel (x, y) has its centre at (x + 0.5, height - y - 0.5).
  auto frame = [&](double x, double y) { return TPoint2D{x + 0.5, height - y - 0.5}; };
  PieceNetwork network;
  std::vector<int> jointOfNode(graph.nodes.size(), -1);
  for (std::size_t n = 0; n < graph.nodes.size(); ++n) {
    const StrokeNode& node = graph.nodes[n];
    if (node.removed || node.edges.empty()) continue;
    const bool junction = node.Degree() >= 3;
    jointOfNode[n] =
        network.AddJoint(frame(node.x, node.y), junction ? JunctionReach(node) : 0, junction);
  }
  PieceFitOptions pieceFit;
  pieceFit.tolerance = options.tolerance;
  for (const StrokeEdge& edge : graph.edges) {
    if (edge.removed) continue;
    std::vector<TPoint2D> points;
    std::vector<double> widths;
    points.reserve(edge.pixels.size());
    for (const SkeletonPixel& px : edge.pixels) {
      points.push_back(frame(px.x, px.y));
      widths.push_back(2 * HalfWidthOf(px.distance));
    }
    double meanWidth = 0;
    for (double w : widths) meanWidth += w / widths.size();
    if (meanWidth > options.maxStrokeWidth) {
      FilledArea area{1e300, 1e300, -1e300, -1e300, meanWidth};
      for (std::size_t i = 0; i < points.size(); ++i) {
        const double r = widths[i] / 2;
        area.left = std::min(area.left, points[i].X - r);
        area.right = std::max(area.right, points[i].X + r);
        area.bottom = std::min(area.bottom, points[i].Y - r);
        area.top = std::max(area.top, points[i].Y + r);
      }
      filledAreas.push_back(area);
      continue;
    }
    {
      std::vector<double> halfWidths(widths.size());
      for (std::size_t i = 0; i < widths.size(); ++i) halfWidths[i] = widths[i] / 2;
      CentreOnInk(points, halfWidths, edge.closed, picture);
    }
    SmoothRun(points, edge.closed);
    // Leave out the points that lie within a junction's reach.
    std::size_t first = 0, last = points.size() - 1;
    auto reachOf = [&](int node) {
      return node >= 0 && graph.nodes[node].Degree() >= 3 ? JunctionReach(graph.nodes[node]) : 0;
    };
    if (!edge.closed) {
      const double r0 = reachOf(edge.from), r1 = reachOf(edge.to);
      const TPoint2D n0 =
          edge.from >= 0 ? frame(graph.nodes[edge.from].x, graph.nodes[edge.from].y) : TPoint2D{};
      const TPoint2D n1 =
          edge.to >= 0 ? frame(graph.nodes[edge.to].x, graph.nodes[edge.to].y) : TPoint2D{};
      auto near = [](TPoint2D p, TPoint2D c, double r) {
        return std::hypot(p.X - c.X, p.Y - c.Y) < r;
      };
      // A short branch from a junction to a free end keeps at least its outer half.
      const std::size_t n = points.size();
      const std::size_t upTo = r1 > 0 ? n - 1 : (n - 1) / 2;
      const std::size_t downTo = r0 > 0 ? 0 : n / 2;
      while (first < std::min(last, upTo) && r0 > 0 && near(points[first], n0, r0)) ++first;
      while (last > std::max(first, downTo) && r1 > 0 && near(points[last], n1, r1)) --last;
      if (last - first < 1) {  // all of it within the junctions: keep its middle
        first = std::min(first, (points.size() - 1) / 2);
        last = std::min(points.size() - 1, first + 1);
        if (last == first) continue;
      }
    }
    std::vector<TPoint2D> run(points.begin() + first, points.begin() + last + 1);
    std::vector<double> runWidths(widths.begin() + first, widths.begin() + last + 1);
    std::vector<StrokePiece> pieces = FitStrokePieces(run, runWidths, edge.closed, pieceFit);
    if (pieces.empty()) continue;
    // Free ends go on to where the stroke ends.
    auto extension = [&](int node) {
      return node >= 0 && graph.nodes[node].Degree() == 1 ? graph.nodes[node].extension : 0.0;
    };
    if (!edge.closed && pieces.front().kind != PieceKind::kCircle) {
      ExtendPieceEnd(pieces.front(), 0, extension(edge.from));
      ExtendPieceEnd(pieces.back(), 1, extension(edge.to));
    }
    int previous = -1, firstPiece = -1;
    for (StrokePiece& piece : pieces) {
      const bool circle = piece.kind == PieceKind::kCircle;
      const TPoint2D start = piece.start;
      const int id = network.AddPiece(std::move(piece));
      if (circle) continue;
      if (previous >= 0) {
        int j = network.AddJoint(start, 0, false);
        network.Attach(previous, 1, j);
        network.Attach(id, 0, j);
      } else {
        firstPiece = id;
      }
      previous = id;
    }
    if (previous < 0) continue;
    if (edge.closed) {
      int j = network.AddJoint(network.pieces[firstPiece].piece.start, 0, false);
      network.Attach(previous, 1, j);
      network.Attach(firstPiece, 0, j);
      continue;
    }
    auto endJoint = [&](int node, TPoint2D at) {
      return node >= 0 && jointOfNode[node] >= 0 ? jointOfNode[node]
                                                 : network.AddJoint(at, 0, false);
    };
    network.Attach(firstPiece, 0, endJoint(edge.from, network.pieces[firstPiece].piece.start));
    network.Attach(previous, 1, endJoint(edge.to, network.pieces[previous].piece.end));
  }

  return network;
}

}  // namespace tesnova
