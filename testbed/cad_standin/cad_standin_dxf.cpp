// The DXF reader of the stand-in: enough of R12 and later for traced polylines.
#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

#include "cad_standin_drawing.h"

namespace standin {

namespace {

std::string Trim(const std::string& s) {
  size_t a = s.find_first_not_of(" \t\r\n");
  if (a == std::string::npos) return {};
  size_t b = s.find_last_not_of(" \t\r\n");
  return s.substr(a, b - a + 1);
}

double Number(const std::string& text) {
  std::istringstream in(text);
  in.imbue(std::locale::classic());
  double value = 0;
  if (!(in >> value)) throw std::runtime_error("bad number in DXF: " + text);
  return value;
}

struct Pair {
  int code;
  std::string value;
};

std::vector<Pair> ReadPairs(const std::wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  if (!file) throw std::runtime_error("cannot open DXF file");
  std::vector<Pair> pairs;
  std::string codeLine, valueLine;
  while (std::getline(file, codeLine)) {
    if (!std::getline(file, valueLine)) break;
    std::string code = Trim(codeLine);
    if (code.empty()) continue;
    pairs.push_back({static_cast<int>(Number(code)), Trim(valueLine)});
  }
  // A CAD program refuses a file that stops before its end: nothing of it is inserted.
  if (pairs.empty() || pairs.back().code != 0 || pairs.back().value != "EOF")
    throw std::runtime_error("DXF ends before EOF");
  return pairs;
}

constexpr double kPi = 3.14159265358979323846;

}  // namespace

int ReadDxfInsertUnits(const std::wstring& path) {
  auto pairs = ReadPairs(path);
  for (size_t i = 0; i + 1 < pairs.size(); ++i) {
    if (pairs[i].code == 0 && pairs[i].value == "ENDSEC") break;  // the header is first
    if (pairs[i].code == 9 && pairs[i].value == "$INSUNITS" && pairs[i + 1].code == 70)
      return static_cast<int>(Number(pairs[i + 1].value));
  }
  return 0;
}

int InsertDxf(Drawing& drawing, const std::wstring& path, const Point& base, double scale,
              double rotationDeg) {
  auto pairs = ReadPairs(path);
  double radians = rotationDeg * kPi / 180;
  double c = std::cos(radians), s = std::sin(radians);
  auto place = [&](double x, double y) {
    x *= scale;
    y *= scale;
    return Point{base.x + x * c - y * s, base.y + x * s + y * c};
  };
  // A negative scale mirrors the arcs too; bulges keep their sign under rotation alone.
  double bulgeSign = scale < 0 ? -1 : 1;

  bool inEntities = false;
  int added = 0;
  std::shared_ptr<Entity> current;  // the POLYLINE being read
  auto finish = [&]() {
    if (current && !current->vertices.empty()) {
      drawing.entities.push_back(current);
      ++added;
    }
    current.reset();
  };
  for (size_t i = 0; i < pairs.size(); ++i) {
    const Pair& p = pairs[i];
    if (p.code != 0) continue;
    if (p.value == "SECTION" && i + 1 < pairs.size() && pairs[i + 1].code == 2) {
      inEntities = pairs[i + 1].value == "ENTITIES";
      continue;
    }
    if (p.value == "ENDSEC" || p.value == "EOF") {
      finish();
      inEntities = false;
      continue;
    }
    if (!inEntities) continue;
    // The group codes of this record, up to the next 0.
    size_t end = i + 1;
    while (end < pairs.size() && pairs[end].code != 0) ++end;
    auto value = [&](int code, double fallback) {
      for (size_t k = i + 1; k < end; ++k)
        if (pairs[k].code == code) return Number(pairs[k].value);
      return fallback;
    };
    if (p.value == "POLYLINE") {
      finish();
      current = std::make_shared<Entity>();
      current->closed = (static_cast<int>(value(70, 0)) & 1) != 0;
      current->inserted = true;
    } else if (p.value == "VERTEX" && current) {
      current->vertices.push_back(place(value(10, 0), value(20, 0)));
      current->bulges.push_back(value(42, 0) * bulgeSign);
    } else if (p.value == "SEQEND") {
      finish();
    } else if (p.value == "LWPOLYLINE") {
      finish();
      auto e = std::make_shared<Entity>();
      e->closed = (static_cast<int>(value(70, 0)) & 1) != 0;
      e->inserted = true;
      for (size_t k = i + 1; k < end; ++k) {
        if (pairs[k].code == 10) {
          double x = Number(pairs[k].value), y = 0;
          if (k + 1 < end && pairs[k + 1].code == 20) y = Number(pairs[k + 1].value);
          e->vertices.push_back(place(x, y));
          e->bulges.push_back(0);
        } else if (pairs[k].code == 42 && !e->bulges.empty()) {
          e->bulges.back() = Number(pairs[k].value) * bulgeSign;
        }
      }
      if (!e->vertices.empty()) {
        drawing.entities.push_back(e);
        ++added;
      }
    } else if (p.value == "LINE") {
      finish();
      auto e = std::make_shared<Entity>();
      e->inserted = true;
      e->objectName = L"AcDbLine";
      e->vertices = {place(value(10, 0), value(20, 0)), place(value(11, 0), value(21, 0))};
      e->bulges = {0, 0};
      drawing.entities.push_back(e);
      ++added;
    } else if (p.value == "ARC" || p.value == "CIRCLE") {
      // Counter-clockwise from the start angle to the end angle (degrees); a circle is two
      // half-circle bulges.
      finish();
      auto e = std::make_shared<Entity>();
      e->inserted = true;
      double cx = value(10, 0), cy = value(20, 0), r = value(40, 0);
      bool circle = p.value == "CIRCLE";
      double start = circle ? 0 : value(50, 0) * kPi / 180;
      double sweep = circle ? kPi : std::fmod(value(51, 0) * kPi / 180 - start + 4 * kPi, 2 * kPi);
      if (!circle && sweep == 0) sweep = 2 * kPi;
      auto at = [&](double a) { return place(cx + r * std::cos(a), cy + r * std::sin(a)); };
      e->objectName = circle ? L"AcDbCircle" : L"AcDbArc";
      e->vertices = {at(start), at(start + sweep)};
      double bulge = std::tan(sweep / 4) * bulgeSign;
      e->bulges = {bulge, bulge};
      e->closed = circle;
      drawing.entities.push_back(e);
      ++added;
    }
    i = end - 1;
  }
  finish();
  return added;
}

}  // namespace standin
