#include "centerline/piece_network.h"

#include <algorithm>
#include <cmath>
#include <deque>
#include <numbers>
#include <unordered_map>

namespace tesnova {
namespace {

constexpr double kTwoPi = 2 * std::numbers::pi;

double Distance(TPoint2D a, TPoint2D b) { return std::hypot(a.X - b.X, a.Y - b.Y); }

TPoint2D EndPoint(const StrokePiece& p, int side) { return side == 0 ? p.start : p.end; }

// The support oriented so that the given side comes last (into) or first (out of) the joint.
std::vector<TPoint2D> SupportInto(const StrokePiece& p, int side) {
  std::vector<TPoint2D> s = p.support;
  if (side == 0) std::reverse(s.begin(), s.end());
  return s;
}

// The unit direction in which a piece runs out of the given end: a line's own, an arc's tangent.
TPoint2D Outward(const StrokePiece& p, int side) {
  if (p.kind == PieceKind::kArc) {
    const double a = side == 0 ? p.startAngle : p.startAngle + p.sweep;
    const double turn = (p.sweep >= 0 ? 1.0 : -1.0) * (side == 0 ? -1.0 : 1.0);
    return {-std::sin(a) * turn, std::cos(a) * turn};
  }
  TPoint2D a = EndPoint(p, 1 - side), b = EndPoint(p, side);
  double l = Distance(a, b);
  if (l < 1e-12) return {0, 0};
  return {(b.X - a.X) / l, (b.Y - a.Y) / l};
}

void RemoveEnd(Joint& j, int piece) {
  j.ends.erase(std::remove_if(j.ends.begin(), j.ends.end(),
                              [&](const PieceEnd& e) { return e.piece == piece; }),
               j.ends.end());
}

bool IsFree(const PieceNetwork& net, int joint) {
  return joint < 0 || (net.joints[joint].ends.size() == 1 && net.joints[joint].through.empty());
}

// The piece that runs from a's far end through the joint to b's far end, when one fits.
bool Combine(const PieceNetwork& net, PieceEnd a, PieceEnd b, double tolerance, StrokePiece& out) {
  const StrokePiece& pa = net.pieces[a.piece].piece;
  const StrokePiece& pb = net.pieces[b.piece].piece;
  std::vector<TPoint2D> support = SupportInto(pa, a.side);
  std::vector<TPoint2D> second = SupportInto(pb, 1 - b.side);
  support.insert(support.end(), second.begin(), second.end());
  const double width = (pa.width * pa.support.size() + pb.width * pb.support.size()) /
                       static_cast<double>(pa.support.size() + pb.support.size());
  const bool lines = pa.kind == PieceKind::kLine && pb.kind == PieceKind::kLine;
  const bool curves = (pa.kind == PieceKind::kArc || pa.kind == PieceKind::kLine) &&
                      (pb.kind == PieceKind::kArc || pb.kind == PieceKind::kLine);
  if (lines) return MakeLinePiece(std::move(support), width, tolerance, out);
  // An arc with a line or another arc: an arc when one fits, else a line when the arc was
  // only the noise of a straight stroke.
  if (curves) {
    if (MakeArcPiece(support, width, tolerance, out)) return true;
    return MakeLinePiece(std::move(support), width, tolerance, out);
  }
  return false;
}

// Replaces pieces a and b, which meet at joint j (or across a gap between two joints), by c.
void Replace(PieceNetwork& net, PieceEnd a, PieceEnd b, StrokePiece c, int throughJoint) {
  const int farA = net.pieces[a.piece].joint[1 - a.side];
  const int farB = net.pieces[b.piece].joint[1 - b.side];
  for (PieceEnd e : {a, b}) {
    NetworkPiece& p = net.pieces[e.piece];
    for (int side = 0; side < 2; ++side)
      if (p.joint[side] >= 0) RemoveEnd(net.joints[p.joint[side]], e.piece);
    p.removed = true;
  }
  const bool circle = c.kind == PieceKind::kCircle;
  const int id = net.AddPiece(std::move(c));
  if (throughJoint >= 0) net.joints[throughJoint].through.push_back(id);
  if (circle) {
    // Closed on itself: nothing ends anywhere; the joints it closed over see it pass.
    for (int j : {farA, farB}) {
      if (j < 0 || j == throughJoint) continue;
      auto& through = net.joints[j].through;
      if (std::find(through.begin(), through.end(), id) == through.end()) through.push_back(id);
    }
    return;
  }
  if (farA >= 0) net.Attach(id, 0, farA);
  if (farB >= 0) net.Attach(id, 1, farB);
}

// An arc whose two ends meet at one junction, the rest of a ring that the junction interrupts,
// becomes the whole circle when the circle fits its points.
void CloseArcsAt(PieceNetwork& net, int j, const JoiningOptions& options) {
  for (std::size_t u = 0; u < net.joints[j].ends.size(); ++u) {
    const PieceEnd e = net.joints[j].ends[u];
    NetworkPiece& p = net.pieces[e.piece];
    if (p.piece.kind != PieceKind::kArc || p.joint[0] != j || p.joint[1] != j) continue;
    StrokePiece circle;
    if (!MakeArcPiece(p.piece.support, p.piece.width, options.tolerance, circle)) continue;
    circle.kind = PieceKind::kCircle;
    RemoveEnd(net.joints[j], e.piece);
    p.removed = true;
    const int id = net.AddPiece(std::move(circle));
    net.joints[j].through.push_back(id);
    u = static_cast<std::size_t>(-1);  // the list changed: look again from the start
  }
}

}  // namespace

int PieceNetwork::AddJoint(TPoint2D point, double reach, bool junction) {
  Joint j;
  j.point = point;
  j.reach = reach;
  j.junction = junction;
  joints.push_back(std::move(j));
  return static_cast<int>(joints.size()) - 1;
}

int PieceNetwork::AddPiece(StrokePiece piece) {
  NetworkPiece p;
  p.piece = std::move(piece);
  pieces.push_back(std::move(p));
  return static_cast<int>(pieces.size()) - 1;
}

void PieceNetwork::Attach(int piece, int side, int joint) {
  pieces[piece].joint[side] = joint;
  joints[joint].ends.push_back({piece, side});
}

void MergeThroughJunctions(PieceNetwork& net, const JoiningOptions& options) {
  const double cosLimit = std::cos(10.0 * std::numbers::pi / 180);
  const double cosCurveLimit = std::cos(20.0 * std::numbers::pi / 180);
  // A merge at one junction makes a piece that may merge again at the junction at its other
  // end: those junctions are looked at again, until nothing merges.
  std::deque<int> todo;
  std::vector<bool> queued(net.joints.size(), false);
  for (int j = 0; j < static_cast<int>(net.joints.size()); ++j)
    if (net.joints[j].junction) todo.push_back(j), queued[j] = true;
  while (!todo.empty()) {
    const int j = todo.front();
    todo.pop_front();
    queued[j] = false;
    CloseArcsAt(net, j, options);
    for (;;) {
      const auto ends = net.joints[j].ends;
      double best = 1e300;
      PieceEnd bestA, bestB;
      StrokePiece bestPiece;
      for (std::size_t u = 0; u < ends.size(); ++u)
        for (std::size_t w = u + 1; w < ends.size(); ++w) {
          if (ends[u].piece == ends[w].piece) continue;
          const StrokePiece& a = net.pieces[ends[u].piece].piece;
          const StrokePiece& b = net.pieces[ends[w].piece].piece;
          const bool mixed = a.kind != b.kind;
          if (a.kind == PieceKind::kLine && b.kind == PieceKind::kLine) {
            TPoint2D da = Outward(a, ends[u].side), db = Outward(b, ends[w].side);
            if (da.X * db.X + da.Y * db.Y > -cosLimit) continue;  // not opposite
          } else if (mixed) {
            // A line and an arc: one arc when the line is a flat stretch of it.
            if ((a.kind != PieceKind::kArc && a.kind != PieceKind::kLine) ||
                (b.kind != PieceKind::kArc && b.kind != PieceKind::kLine))
              continue;
            TPoint2D da = Outward(a, ends[u].side), db = Outward(b, ends[w].side);
            if (da.X * db.X + da.Y * db.Y > -cosCurveLimit) continue;
          } else if (a.kind == PieceKind::kArc) {
            if (Distance(a.center, b.center) > 2 * options.tolerance + 0.05 * a.radius ||
                std::fabs(a.radius - b.radius) > 2 * options.tolerance + 0.03 * a.radius)
              continue;
          } else {
            continue;
          }
          StrokePiece c;
          if (!Combine(net, ends[u], ends[w], options.tolerance, c)) continue;
          double score = 0;
          for (const TPoint2D& p : c.support) {
            double d = c.kind == PieceKind::kLine
                           ? std::fabs((p.X - c.start.X) * (c.end.Y - c.start.Y) -
                                       (p.Y - c.start.Y) * (c.end.X - c.start.X)) /
                                 std::max(1e-12, Distance(c.start, c.end))
                           : std::fabs(Distance(p, c.center) - c.radius);
            score += d * d;
          }
          score /= static_cast<double>(c.support.size());
          if (score < best) {
            best = score;
            bestA = ends[u];
            bestB = ends[w];
            bestPiece = std::move(c);
          }
        }
      if (best == 1e300) break;
      Replace(net, bestA, bestB, std::move(bestPiece), j);
      const int merged = static_cast<int>(net.pieces.size()) - 1;
      CloseArcsAt(net, j, options);
      for (int far : net.pieces[merged].joint)
        if (far >= 0 && far != j && net.joints[far].junction && !queued[far])
          todo.push_back(far), queued[far] = true;
    }
  }
}

void BridgeGaps(PieceNetwork& net, const JoiningOptions& options) {
  if (options.maxGap <= 0) return;
  const double cosLimit = std::cos(5.0 * std::numbers::pi / 180);
  const double cosCurveLimit = std::cos(20.0 * std::numbers::pi / 180);
  const double cell = options.maxGap;
  for (bool merged = true; merged;) {
    merged = false;
    // Free line ends, on a grid of cells as wide as the largest gap.
    struct FreeEnd {
      PieceEnd end;
      int joint;
      TPoint2D at;
    };
    std::vector<FreeEnd> free;
    for (int i = 0; i < static_cast<int>(net.pieces.size()); ++i) {
      const NetworkPiece& p = net.pieces[i];
      if (p.removed || (p.piece.kind != PieceKind::kLine && p.piece.kind != PieceKind::kArc))
        continue;
      // Specks of dust bridge nothing (and a dusty scan has many).
      if (p.piece.Length() < std::max(options.minLength, p.piece.width)) continue;
      for (int side = 0; side < 2; ++side)
        if (IsFree(net, p.joint[side]))
          free.push_back({{i, side}, p.joint[side], EndPoint(p.piece, side)});
    }
    std::unordered_map<long long, std::vector<int>> grid;
    auto key = [&](long long cx, long long cy) { return cx * 1000003LL + cy; };
    for (int i = 0; i < static_cast<int>(free.size()); ++i)
      grid[key(std::floor(free[i].at.X / cell), std::floor(free[i].at.Y / cell))].push_back(i);

    struct Candidate {
      double gap;
      int u, w;
    };
    std::vector<Candidate> candidates;
    for (int u = 0; u < static_cast<int>(free.size()); ++u) {
      const long long cx = std::floor(free[u].at.X / cell), cy = std::floor(free[u].at.Y / cell);
      for (long long gx = cx - 1; gx <= cx + 1; ++gx)
        for (long long gy = cy - 1; gy <= cy + 1; ++gy) {
          auto it = grid.find(key(gx, gy));
          if (it == grid.end()) continue;
          for (int w : it->second) {
            if (w <= u || free[w].end.piece == free[u].end.piece) continue;
            const double gap = Distance(free[u].at, free[w].at);
            if (gap > options.maxGap) continue;
            const StrokePiece& a = net.pieces[free[u].end.piece].piece;
            const StrokePiece& b = net.pieces[free[w].end.piece].piece;
            const bool straight = a.kind == PieceKind::kLine && b.kind == PieceKind::kLine;
            TPoint2D da = Outward(a, free[u].end.side), db = Outward(b, free[w].end.side);
            if (da.X * db.X + da.Y * db.Y > -(straight ? cosLimit : cosCurveLimit)) continue;
            TPoint2D ab = {free[w].at.X - free[u].at.X, free[w].at.Y - free[u].at.Y};
            if (da.X * ab.X + da.Y * ab.Y < 0) continue;  // b behind a's end
            const double offset = std::fabs(da.X * ab.Y - da.Y * ab.X);
            if (offset > options.tolerance + (straight ? 0 : 0.15 * gap)) continue;
            // A gap in a dashed or broken line is short beside the strokes; glyph strokes that
            // merely line up are short themselves and belong to a larger shape.
            const double la = a.Length(), lb = b.Length();
            if (gap > 0.6 * std::min(la, lb) + options.tolerance) continue;
            auto alone = [&](const FreeEnd& f) {
              return IsFree(net, net.pieces[f.end.piece].joint[1 - f.end.side]);
            };
            if (!(alone(free[u]) || la >= 4 * gap) || !(alone(free[w]) || lb >= 4 * gap)) continue;
            candidates.push_back({gap, u, w});
          }
        }
    }
    std::sort(candidates.begin(), candidates.end(),
              [](const Candidate& x, const Candidate& y) { return x.gap < y.gap; });
    std::vector<bool> used(net.pieces.size(), false);
    for (const Candidate& c : candidates) {
      const FreeEnd& u = free[c.u];
      const FreeEnd& w = free[c.w];
      if (used[u.end.piece] || used[w.end.piece]) continue;
      StrokePiece combined;
      // Combine joins a's support running into the gap with b's running out of it.
      if (!Combine(net, u.end, w.end, options.tolerance, combined)) continue;
      used[u.end.piece] = used[w.end.piece] = true;
      if (u.joint >= 0) net.joints[u.joint].ends.clear();
      if (w.joint >= 0) net.joints[w.joint].ends.clear();
      net.pieces[u.end.piece].joint[u.end.side] = -1;
      net.pieces[w.end.piece].joint[w.end.side] = -1;
      Replace(net, u.end, w.end, std::move(combined), -1);
      used.resize(net.pieces.size(), true);
      merged = true;
    }
  }
}

void DropDust(PieceNetwork& net, const JoiningOptions& options) {
  // Only ends at the joint, and strokes passing through it.
  auto onlyEndAtCrossing = [&](int joint, int piece) {
    if (joint < 0) return false;
    const Joint& j = net.joints[joint];
    return j.junction && !j.through.empty() && j.ends.size() == 1 && j.ends[0].piece == piece;
  };
  for (int i = 0; i < static_cast<int>(net.pieces.size()); ++i) {
    NetworkPiece& p = net.pieces[i];
    if (p.removed) continue;
    // A short rung between two strokes that pass on either side: ink bled across a narrow
    // gap between near-parallel lines.
    if (p.piece.kind == PieceKind::kLine && onlyEndAtCrossing(p.joint[0], i) &&
        onlyEndAtCrossing(p.joint[1], i) && p.piece.Length() < 3 * p.piece.width + 2) {
      p.removed = true;
      for (int side = 0; side < 2; ++side) RemoveEnd(net.joints[p.joint[side]], i);
      continue;
    }
    const bool alone =
        p.piece.kind == PieceKind::kCircle || (IsFree(net, p.joint[0]) && IsFree(net, p.joint[1]));
    if (!alone) continue;
    if (p.piece.Length() < std::max(options.minLength, p.piece.width)) {
      p.removed = true;
      for (int side = 0; side < 2; ++side)
        if (p.joint[side] >= 0) RemoveEnd(net.joints[p.joint[side]], i);
    }
  }
}

namespace {

struct LineNear {
  TPoint2D p, q;  // two points of the line
};

// A piece as a straight line near a point: a line itself, an arc's or circle's tangent at the
// rim point nearest to it, a polyline's first or last segment.
bool LineOfPiece(const StrokePiece& p, int side, TPoint2D near, LineNear& out) {
  switch (p.kind) {
    case PieceKind::kLine:
      out = {p.start, p.end};
      break;
    case PieceKind::kArc:
    case PieceKind::kCircle: {
      const double a = std::atan2(near.Y - p.center.Y, near.X - p.center.X);
      const TPoint2D rim = PointAtAngle(p.center, p.radius, a);
      out = {rim, {rim.X - std::sin(a), rim.Y + std::cos(a)}};
      break;
    }
    case PieceKind::kPolyline: {
      const auto& v = p.vertices;
      if (v.size() < 2) return false;
      out = side == 1 ? LineNear{v[v.size() - 2], v.back()} : LineNear{v[0], v[1]};
      break;
    }
  }
  return Distance(out.p, out.q) > 1e-9;
}

// The point of a piece's line (or an arc's circle) nearest to p.
TPoint2D NearestOnPiece(const StrokePiece& piece, const LineNear& line, TPoint2D p) {
  if (piece.kind == PieceKind::kArc) {
    const double a = std::atan2(p.Y - piece.center.Y, p.X - piece.center.X);
    return PointAtAngle(piece.center, piece.radius, a);
  }
  const double dx = line.q.X - line.p.X, dy = line.q.Y - line.p.Y;
  const double t = ((p.X - line.p.X) * dx + (p.Y - line.p.Y) * dy) / (dx * dx + dy * dy);
  return {line.p.X + t * dx, line.p.Y + t * dy};
}

// Where two lines cross, when they cross at more than ten degrees.
bool Crossing(const LineNear& a, const LineNear& b, TPoint2D& at) {
  const double ax = a.q.X - a.p.X, ay = a.q.Y - a.p.Y, bx = b.q.X - b.p.X, by = b.q.Y - b.p.Y;
  const double cross = ax * by - ay * bx;
  if (std::fabs(cross) <
      std::sin(10.0 * std::numbers::pi / 180) * std::hypot(ax, ay) * std::hypot(bx, by))
    return false;
  const double t = ((b.p.X - a.p.X) * by - (b.p.Y - a.p.Y) * bx) / cross;
  at = {a.p.X + t * ax, a.p.Y + t * ay};
  return true;
}

void MoveEnd(StrokePiece& p, int side, TPoint2D to) {
  switch (p.kind) {
    case PieceKind::kLine:
      (side == 0 ? p.start : p.end) = to;
      break;
    case PieceKind::kPolyline:
      (side == 0 ? p.vertices.front() : p.vertices.back()) = to;
      (side == 0 ? p.start : p.end) = to;
      break;
    case PieceKind::kArc: {
      const double a = std::atan2(to.Y - p.center.Y, to.X - p.center.X);
      const double endAngle = p.startAngle + p.sweep;
      if (side == 0) {
        p.startAngle += std::remainder(a - p.startAngle, kTwoPi);
        p.sweep = endAngle - p.startAngle;
      } else {
        p.sweep += std::remainder(a - endAngle, kTwoPi);
      }
      p.start = PointAtAngle(p.center, p.radius, p.startAngle);
      p.end = PointAtAngle(p.center, p.radius, p.startAngle + p.sweep);
      break;
    }
    case PieceKind::kCircle:
      break;
  }
}

}  // namespace

void ShareJointPoints(PieceNetwork& net) {
  for (Joint& j : net.joints) {
    if (j.ends.empty() || j.ends.size() + j.through.size() < 2) continue;
    // The longest piece at the joint is the one the others meet: an end is carried to where
    // its line crosses the longest's, and the longest's own end (a corner) to where it crosses
    // the next longest. Strokes that do meet at one point so end at one shared point; a stroke
    // that misses it by a little never drags the long ones along.
    struct Member {
      int piece, side;  // side -1: passes through
      double length;
    };
    std::vector<Member> members;
    for (const PieceEnd& e : j.ends)
      members.push_back({e.piece, e.side, net.pieces[e.piece].piece.Length()});
    for (int t : j.through) members.push_back({t, -1, net.pieces[t].piece.Length()});
    std::stable_sort(members.begin(), members.end(),
                     [](const Member& a, const Member& b) { return a.length > b.length; });
    std::vector<LineNear> lines(members.size());
    std::vector<bool> straight(members.size());
    for (std::size_t m = 0; m < members.size(); ++m)
      straight[m] = LineOfPiece(net.pieces[members[m].piece].piece, std::max(0, members[m].side),
                                j.point, lines[m]);
    const double limit = j.reach + 2.0;
    std::vector<TPoint2D> targets(members.size());
    std::vector<bool> moves(members.size(), false);
    for (std::size_t m = 0; m < members.size(); ++m) {
      if (members[m].side < 0 || !straight[m]) continue;
      // Crossing with the longest other piece that it crosses near the joint.
      for (std::size_t k = 0; k < members.size(); ++k) {
        if (k == m || !straight[k]) continue;
        TPoint2D at;
        // The pair in one order, so that both ends get the very same point.
        if (Crossing(lines[std::min(m, k)], lines[std::max(m, k)], at) &&
            Distance(at, j.point) <= limit) {
          targets[m] = at;
          moves[m] = true;
          break;
        }
      }
      // Crossing nothing there (pieces running on nearly straight, or alone): the end still
      // goes to the junction, to the point of its own line or circle nearest to it.
      if (!moves[m] && j.junction) {
        targets[m] = NearestOnPiece(net.pieces[members[m].piece].piece, lines[m], j.point);
        moves[m] = Distance(targets[m], j.point) <= limit;
      }
    }
    for (std::size_t m = 0; m < members.size(); ++m)
      if (moves[m]) MoveEnd(net.pieces[members[m].piece].piece, members[m].side, targets[m]);
  }
}

}  // namespace tesnova
