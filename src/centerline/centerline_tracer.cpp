#include "centerline/centerline_tracer.h"

#include <algorithm>
#include <cmath>
#include <numbers>

#include "centerline/ink_distance.h"
#include "centerline/piece_network.h"
#include "centerline/skeleton_thinning.h"
#include "centerline/stroke_graph.h"
#include "centerline/stroke_graph_fitting.h"
#include "centerline/stroke_pieces.h"
#include "centerline/stroke_pruning.h"
#include "centerline/stroke_tips.h"

namespace tesnova {
namespace {

constexpr double kDegrees = 180 / std::numbers::pi;

CenterlineEntity ToEntity(const StrokePiece& piece) {
  CenterlineEntity e;
  e.strokeWidth = piece.width;
  switch (piece.kind) {
    case PieceKind::kLine:
      e.kind = CenterlineEntityKind::kLine;
      e.start = piece.start;
      e.end = piece.end;
      break;
    case PieceKind::kCircle:
      e.kind = CenterlineEntityKind::kCircle;
      e.center = piece.center;
      e.radius = piece.radius;
      break;
    case PieceKind::kArc: {
      e.kind = CenterlineEntityKind::kArc;
      e.center = piece.center;
      e.radius = piece.radius;
      double from = piece.sweep >= 0 ? piece.startAngle : piece.startAngle + piece.sweep;
      double to = from + std::fabs(piece.sweep);
      e.start = PointAtAngle(piece.center, piece.radius, from);
      e.end = PointAtAngle(piece.center, piece.radius, to);
      auto normal = [](double degrees) {
        double d = std::fmod(degrees, 360.0);
        return d < 0 ? d + 360 : d;
      };
      e.startAngle = normal(from * kDegrees);
      e.endAngle = normal(to * kDegrees);
      break;
    }
    case PieceKind::kPolyline:
      e.kind = CenterlineEntityKind::kPolyline;
      e.points = piece.vertices;
      break;
  }
  return e;
}

void Report(const CenterlineOptions& options, CenterlineStep step) {
  if (options.progress) options.progress(step);
}

}  // namespace

CenterlineDrawing TraceCenterlines(const Bitmap& picture, const CenterlineOptions& options) {
  return TraceCenterlines(BlackWhiteOf(picture, BelowMeanGrey(options.inkBelow)), options);
}

CenterlineDrawing TraceCenterlines(const BlackWhitePicture& picture,
                                   const CenterlineOptions& options) {
  CenterlineDrawing drawing;
  drawing.width = picture.empty() ? 0 : picture.width;
  drawing.height = picture.empty() ? 0 : picture.height;

  Report(options, CenterlineStep::kDistance);
  InkPlane plane = MeasureInkDistance(picture, options.maxPinhole);
  Report(options, CenterlineStep::kThinning);
  std::vector<std::uint32_t> skeleton = ThinToSkeleton(plane);
  Report(options, CenterlineStep::kGraph);
  StrokeGraph graph = TraceStrokeGraph(plane, skeleton);
  std::vector<std::uint8_t>().swap(plane.values);
  std::vector<std::uint32_t>().swap(skeleton);
  MeasureStrokeTips(graph, picture);
  PruneStrokeGraph(graph);

  Report(options, CenterlineStep::kFitting);
  StrokeFitOptions fit;
  fit.tolerance = options.tolerance;
  fit.maxStrokeWidth = options.maxStrokeWidth;
  PieceNetwork network = FitStrokeGraph(graph, picture, fit, drawing.filledAreas);

  Report(options, CenterlineStep::kJoining);
  JoiningOptions joining;
  joining.tolerance = options.tolerance;
  joining.maxGap = options.maxGap;
  joining.minLength = options.minLength;
  MergeThroughJunctions(network, joining);
  BridgeGaps(network, joining);
  DropDust(network, joining);
  ShareJointPoints(network);

  for (const NetworkPiece& p : network.pieces)
    if (!p.removed) drawing.entities.push_back(ToEntity(p.piece));
  Report(options, CenterlineStep::kDone);
  return drawing;
}

}  // namespace tesnova
