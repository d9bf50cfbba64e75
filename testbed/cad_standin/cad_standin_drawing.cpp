#include "cad_standin_drawing.h"

#include <algorithm>
#include <cmath>

namespace standin {

namespace {

Point RotateAbout(const Point& p, const Point& base, double radians) {
  double c = std::cos(radians), s = std::sin(radians);
  double dx = p.x - base.x, dy = p.y - base.y;
  return {base.x + dx * c - dy * s, base.y + dx * s + dy * c};
}

// Points along the arc from a to b with the given bulge (tan of a quarter of the angle).
void AppendArc(std::vector<Point>& out, const Point& a, const Point& b, double bulge) {
  if (std::fabs(bulge) < 1e-9) {
    out.push_back(b);
    return;
  }
  double angle = 4 * std::atan(bulge);
  double dx = b.x - a.x, dy = b.y - a.y;
  double chord = std::hypot(dx, dy);
  if (chord == 0) return;
  double radius = chord / (2 * std::sin(angle / 2));
  double mx = (a.x + b.x) / 2, my = (a.y + b.y) / 2;
  double toCenter = radius * std::cos(angle / 2);  // signed distance from chord midpoint
  double nx = -dy / chord, ny = dx / chord;        // left normal of the chord
  Point c{mx + nx * toCenter, my + ny * toCenter};
  double start = std::atan2(a.y - c.y, a.x - c.x);
  int steps = std::clamp(static_cast<int>(std::fabs(angle) / 0.1) + 1, 2, 64);
  double r = std::hypot(a.x - c.x, a.y - c.y);
  for (int i = 1; i < steps; ++i) {
    double t = start + angle * i / steps;
    out.push_back({c.x + r * std::cos(t), c.y + r * std::sin(t)});
  }
  out.push_back(b);
}

double SegmentDistance(const Point& p, const Point& a, const Point& b) {
  double dx = b.x - a.x, dy = b.y - a.y;
  double len2 = dx * dx + dy * dy;
  double t = len2 > 0 ? std::clamp(((p.x - a.x) * dx + (p.y - a.y) * dy) / len2, 0.0, 1.0) : 0;
  return std::hypot(p.x - (a.x + t * dx), p.y - (a.y + t * dy));
}

}  // namespace

std::vector<Point> Entity::Outline() const {
  std::vector<Point> out;
  if (kind == Kind::RasterImage) {
    double w = pixelWidth * unitsPerPixel, h = pixelHeight * unitsPerPixel;
    for (Point corner : {Point{0, 0}, Point{w, 0}, Point{w, h}, Point{0, h}})
      out.push_back(RotateAbout({origin.x + corner.x, origin.y + corner.y}, origin, rotation));
    return out;
  }
  if (vertices.empty()) return out;
  out.push_back(vertices[0]);
  size_t n = vertices.size();
  size_t segments = closed ? n : n - 1;
  for (size_t i = 0; i < segments; ++i)
    AppendArc(out, vertices[i], vertices[(i + 1) % n], i < bulges.size() ? bulges[i] : 0);
  return out;
}

void Entity::Rotate(const Point& base, double radians) {
  if (kind == Kind::RasterImage) {
    origin = RotateAbout(origin, base, radians);
    rotation += radians;
    return;
  }
  for (auto& v : vertices) v = RotateAbout(v, base, radians);
}

bool Entity::Contains(const Point& p, double tolerance) const {
  if (kind == Kind::RasterImage) {
    Point local = RotateAbout(p, origin, -rotation);
    double w = pixelWidth * unitsPerPixel, h = pixelHeight * unitsPerPixel;
    return local.x >= origin.x && local.x <= origin.x + w && local.y >= origin.y &&
           local.y <= origin.y + h;
  }
  auto outline = Outline();
  for (size_t i = 1; i < outline.size(); ++i)
    if (SegmentDistance(p, outline[i - 1], outline[i]) <= tolerance) return true;
  return false;
}

std::shared_ptr<Entity> Drawing::EntityAt(const Point& p, double tolerance) const {
  // Lines lie over images, so they are found first.
  for (auto it = entities.rbegin(); it != entities.rend(); ++it)
    if ((*it)->kind == Entity::Kind::Polyline && (*it)->Contains(p, tolerance)) return *it;
  for (auto it = entities.rbegin(); it != entities.rend(); ++it)
    if ((*it)->kind == Entity::Kind::RasterImage && (*it)->Contains(p, tolerance)) return *it;
  return nullptr;
}

}  // namespace standin
