#include "centerline/stroke_graph.h"

#include <array>
#include <bit>
#include <cmath>
#include <unordered_map>

#include "centerline/skeleton_thinning.h"

namespace tesnova {
namespace {

constexpr std::uint8_t kMark = 0x80;
constexpr std::uint8_t kValue = 0x7F;

}  // namespace

double StrokeEdge::Length() const {
  double length = 0;
  for (std::size_t i = 1; i < pixels.size(); ++i) {
    int dx = pixels[i].x - pixels[i - 1].x, dy = pixels[i].y - pixels[i - 1].y;
    length += std::sqrt(static_cast<double>(dx * dx + dy * dy));
  }
  return length;
}

StrokeGraph TraceStrokeGraph(InkPlane& plane, const std::vector<std::uint32_t>& skeleton) {
  StrokeGraph graph;
  std::uint8_t* v = plane.values.data();
  const std::ptrdiff_t s = plane.stride();
  const std::array<std::ptrdiff_t, 8> off = {1, -s + 1, -s, -s - 1, -1, s - 1, s, s + 1};
  auto pixelAt = [&](std::uint32_t i) {
    return SkeletonPixel{plane.X(i), plane.Y(i), v[i] & kValue};
  };
  auto count = [&](std::uint32_t i) { return std::popcount(NeighbourMask(plane, i)); };

  // Node pixels: ends (one neighbour) alone, junction pixels (three or more) grouped by touch.
  std::unordered_map<std::uint32_t, int> nodeOf;
  for (std::uint32_t i : skeleton) {
    int n = count(i);
    if (n == 2 || nodeOf.count(i)) continue;
    if (n == 0) {
      graph.dots.push_back(pixelAt(i));
      continue;
    }
    const int id = static_cast<int>(graph.nodes.size());
    graph.nodes.emplace_back();
    std::vector<std::uint32_t> group{i};
    nodeOf[i] = id;
    if (n >= 3) {
      for (std::size_t k = 0; k < group.size(); ++k)
        for (auto o : off) {
          std::uint32_t j = static_cast<std::uint32_t>(group[k] + o);
          if (v[j] && !nodeOf.count(j) && count(j) >= 3) {
            nodeOf[j] = id;
            group.push_back(j);
          }
        }
    }
    StrokeNode& node = graph.nodes[id];
    for (std::uint32_t j : group) {
      node.x += plane.X(j);
      node.y += plane.Y(j);
      node.distance = std::max(node.distance, static_cast<int>(v[j]));
    }
    node.x /= group.size();
    node.y /= group.size();
  }

  auto addEdge = [&](StrokeEdge edge) {
    const int id = static_cast<int>(graph.edges.size());
    if (edge.from >= 0) graph.nodes[edge.from].edges.push_back(id);
    if (edge.to >= 0) graph.nodes[edge.to].edges.push_back(id);
    graph.edges.push_back(std::move(edge));
  };

  // Runs from every node pixel out through pixels with two neighbours.
  for (std::uint32_t start : skeleton) {
    auto startNode = nodeOf.find(start);
    if (startNode == nodeOf.end()) continue;
    for (auto o : off) {
      std::uint32_t next = static_cast<std::uint32_t>(start + o);
      if (!(v[next] & kValue)) continue;
      auto nextNode = nodeOf.find(next);
      if (nextNode != nodeOf.end()) {
        // Two node pixels side by side: a one-step edge, once, between different nodes.
        if (nextNode->second != startNode->second && start < next) {
          StrokeEdge edge;
          edge.from = startNode->second;
          edge.to = nextNode->second;
          edge.pixels = {pixelAt(start), pixelAt(next)};
          addEdge(std::move(edge));
        }
        continue;
      }
      if (v[next] & kMark) continue;  // run already followed from its other end
      StrokeEdge edge;
      edge.from = startNode->second;
      edge.pixels = {pixelAt(start)};
      std::uint32_t prev = start, cur = next;
      for (;;) {
        edge.pixels.push_back(pixelAt(cur));
        v[cur] |= kMark;
        std::uint32_t onward = 0;
        bool found = false;
        for (auto o2 : off) {
          std::uint32_t j = static_cast<std::uint32_t>(cur + o2);
          if (j != prev && (v[j] & kValue) && !(v[j] & kMark)) {
            // Prefer a node pixel: it ends the run.
            if (!found || nodeOf.count(j)) onward = j;
            found = true;
            if (nodeOf.count(j)) break;
          }
        }
        if (!found) break;  // not on a thin skeleton; the run ends there, open
        auto endNode = nodeOf.find(onward);
        if (endNode != nodeOf.end()) {
          edge.pixels.push_back(pixelAt(onward));
          edge.to = endNode->second;
          break;
        }
        prev = cur;
        cur = onward;
      }
      addEdge(std::move(edge));
    }
  }

  // What is left unmarked are rings: runs of two-neighbour pixels that close on themselves.
  for (std::uint32_t start : skeleton) {
    if ((v[start] & kMark) || nodeOf.count(start) || count(start) != 2) continue;
    StrokeEdge edge;
    edge.closed = true;
    std::uint32_t prev = start, cur = start;
    for (;;) {
      edge.pixels.push_back(pixelAt(cur));
      v[cur] |= kMark;
      std::uint32_t onward = 0;
      bool found = false;
      for (auto o : off) {
        std::uint32_t j = static_cast<std::uint32_t>(cur + o);
        if (j != prev && (v[j] & kValue) && !(v[j] & kMark)) {
          onward = j;
          found = true;
          break;
        }
      }
      if (!found) break;
      prev = cur;
      cur = onward;
    }
    addEdge(std::move(edge));
  }

  for (std::uint32_t i : skeleton) v[i] &= kValue;
  return graph;
}

}  // namespace tesnova
