#include "centerline/potrace_frame.h"

#include <cmath>
#include <numbers>

#include "base/error.h"
#include "centerline/svg_contour_reader.h"
#include "centerline/svg_number.h"

namespace tesnova {
namespace {

// this * other: other applied first.
SvgTransform Compose(const SvgTransform& m, const SvgTransform& n) {
  return {m.A * n.A + m.C * n.B, m.B * n.A + m.D * n.B,       m.A * n.C + m.C * n.D,
          m.B * n.C + m.D * n.D, m.A * n.E + m.C * n.F + m.E, m.B * n.E + m.D * n.F + m.F};
}

}  // namespace

SvgTransform ParseTransformList(const std::string& text) {
  SvgTransform result;
  size_t pos = 0;
  while (true) {
    size_t open = text.find('(', pos);
    if (open == std::string::npos) break;
    size_t close = text.find(')', open);
    if (close == std::string::npos) break;
    std::string name = text.substr(pos, open - pos);
    std::string args = text.substr(open + 1, close - open - 1);
    pos = close + 1;
    for (char& c : args)
      if (c == ',') c = ' ';
    std::vector<double> v;
    for (const std::string& token : SplitSvgTokens(args)) v.push_back(ConvertSvgNumber(token));
    std::vector<std::string> words = SplitSvgTokens(name);
    name = words.empty() ? "" : words.back();
    SvgTransform step;
    if (name == "translate" && !v.empty()) {
      step.E = v[0];
      step.F = v.size() > 1 ? v[1] : 0;
    } else if (name == "scale" && !v.empty()) {
      step.A = v[0];
      step.D = v.size() > 1 ? v[1] : v[0];
    } else if (name == "rotate" && (v.size() == 1 || v.size() == 3)) {
      // Degrees, about the origin or about the point given.
      const double a = v[0] * std::numbers::pi / 180;
      const double cx = v.size() == 3 ? v[1] : 0, cy = v.size() == 3 ? v[2] : 0;
      step = {std::cos(a), std::sin(a), -std::sin(a), std::cos(a), 0, 0};
      step.E = cx - step.A * cx - step.C * cy;
      step.F = cy - step.B * cx - step.D * cy;
    } else if (name == "matrix" && v.size() == 6) {
      step = {v[0], v[1], v[2], v[3], v[4], v[5]};
    } else {
      throw Error("SVG の transform を読めません: " + text);
    }
    result = Compose(result, step);
  }
  return result;
}

SvgTransform ReadGroupTransform(const std::vector<std::string>& lines) {
  for (const std::string& line : lines) {
    size_t tag = line.find("<g");
    if (tag == std::string::npos) continue;
    if (tag + 2 < line.size() && line[tag + 2] != ' ' && line[tag + 2] != '>' &&
        line[tag + 2] != '\t')
      continue;
    return ParseTransformList(ExtractAttribute(line.substr(tag), "transform"));
  }
  return {};
}

Polyline ToPixelFrame(const Polyline& polyline, const SvgTransform& transform,
                      double heightPixels) {
  Polyline out;
  out.reserve(polyline.size());
  for (const TPoint2D& p : polyline) {
    TPoint2D user = transform.Apply(p);
    out.push_back({user.X, heightPixels - user.Y});
  }
  return out;
}

}  // namespace tesnova
