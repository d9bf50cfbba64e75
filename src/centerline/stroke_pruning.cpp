#include "centerline/stroke_pruning.h"

#include <algorithm>
#include <vector>

namespace tesnova {
namespace {

void Detach(StrokeGraph& g, int node, int edge) {
  if (node < 0) return;
  auto& list = g.nodes[node].edges;
  auto it = std::find(list.begin(), list.end(), edge);
  if (it != list.end()) list.erase(it);
}

void RemoveEdge(StrokeGraph& g, int e) {
  StrokeEdge& edge = g.edges[e];
  edge.removed = true;
  Detach(g, edge.from, e);
  Detach(g, edge.to, e);
}

// The middle value of a run's half-widths, its first and last pixel left out (a junction's is
// wider, an end's narrower).
double OwnHalfWidth(const StrokeEdge& edge) {
  std::vector<int> d;
  for (std::size_t i = 1; i + 1 < edge.pixels.size(); ++i) d.push_back(edge.pixels[i].distance);
  if (d.empty()) return 0.5;
  std::nth_element(d.begin(), d.begin() + d.size() / 2, d.end());
  return HalfWidthOf(d[d.size() / 2]);
}

bool IsEnd(const StrokeGraph& g, int node) { return node >= 0 && g.nodes[node].Degree() == 1; }

// Joins the two edges that meet at a node of degree two into one edge (or closes a ring).
void JoinAt(StrokeGraph& g, int node) {
  StrokeNode& n = g.nodes[node];
  const int a = n.edges[0], b = n.edges[1];
  n.removed = true;
  n.edges.clear();
  if (a == b) {  // a loop through this node alone: a ring
    StrokeEdge& ring = g.edges[a];
    ring.from = ring.to = -1;
    ring.closed = true;
    if (ring.pixels.size() > 1) ring.pixels.pop_back();
    return;
  }
  StrokeEdge& first = g.edges[a];
  StrokeEdge& second = g.edges[b];
  OrientEdgeFrom(first, node);
  std::reverse(first.pixels.begin(), first.pixels.end());  // now ends at the node
  std::swap(first.from, first.to);
  OrientEdgeFrom(second, node);
  first.pixels.insert(first.pixels.end(), second.pixels.begin() + 1, second.pixels.end());
  first.to = second.to;
  second.removed = true;
  if (second.to >= 0) {
    auto& list = g.nodes[second.to].edges;
    std::replace(list.begin(), list.end(), b, a);
  }
}

}  // namespace

void OrientEdgeFrom(StrokeEdge& edge, int node) {
  if (edge.from == node) return;
  std::reverse(edge.pixels.begin(), edge.pixels.end());
  std::swap(edge.from, edge.to);
}

void PruneStrokeGraph(StrokeGraph& g, const PruningOptions& options) {
  for (bool changed = true; changed;) {
    changed = false;
    for (int e = 0; e < static_cast<int>(g.edges.size()); ++e) {
      StrokeEdge& edge = g.edges[e];
      if (edge.removed || edge.closed) continue;
      const double length = edge.Length();
      const int a = edge.from, b = edge.to;
      // A spur: a free end on one side, a junction on the other.
      for (auto [end, junction] : {std::pair{a, b}, std::pair{b, a}}) {
        if (edge.removed || junction < 0 || !IsEnd(g, end) || g.nodes[junction].Degree() < 3)
          continue;
        // How far it reaches beyond the edge of the stroke it leaves, against its own width:
        // a bump on a stroke's edge reaches out a pixel or two, a real branch further.
        const double protrusion =
            length + g.nodes[end].extension - HalfWidthOf(g.nodes[junction].distance);
        if (protrusion < std::max(options.spurWidths * 2 * OwnHalfWidth(edge) + 1, 3.0)) {
          RemoveEdge(g, e);
          g.nodes[end].removed = true;
          changed = true;
        }
      }
      if (edge.removed || a < 0 || b < 0) continue;
      const double reach = HalfWidthOf(g.nodes[a].distance) + HalfWidthOf(g.nodes[b].distance) + 1;
      if (a == b) {
        // A small loop at a junction: a hole of a pixel or two inside a blot of ink.
        if (length < 2 * reach + 2) {
          RemoveEdge(g, e);
          changed = true;
        }
        continue;
      }
      // Two short edges between the same two nodes: a pinhole in the ink, which the skeleton
      // rings round. The longer of the two goes.
      if (length <= 3 * reach + 2) {
        for (int other : g.nodes[a].edges) {
          const StrokeEdge& twin = g.edges[other];
          if (other == e || twin.removed || twin.closed) continue;
          if (!((twin.from == a && twin.to == b) || (twin.from == b && twin.to == a))) continue;
          if (twin.Length() <= length) {
            RemoveEdge(g, e);
            changed = true;
            break;
          }
        }
        if (edge.removed) continue;
      }
      // Two junctions close together: one crossing of thick strokes, split by thinning.
      if (g.nodes[a].Degree() >= 3 && g.nodes[b].Degree() >= 3 && length <= reach) {
        RemoveEdge(g, e);
        StrokeNode& keep = g.nodes[a];
        StrokeNode& gone = g.nodes[b];
        keep.x = (keep.x + gone.x) / 2;
        keep.y = (keep.y + gone.y) / 2;
        keep.distance = std::max(keep.distance, gone.distance);
        for (int other : gone.edges) {
          StrokeEdge& moved = g.edges[other];
          if (moved.from == b) moved.from = a;
          if (moved.to == b) moved.to = a;
          keep.edges.push_back(other);
        }
        gone.edges.clear();
        gone.removed = true;
        changed = true;
      }
    }
    for (int n = 0; n < static_cast<int>(g.nodes.size()); ++n)
      if (!g.nodes[n].removed && g.nodes[n].Degree() == 2) {
        JoinAt(g, n);
        changed = true;
      }
  }
}

}  // namespace tesnova
