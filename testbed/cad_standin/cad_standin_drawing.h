#pragma once
// The stand-in CAD program's drawing: raster images and polylines in drawing units (Y up),
// and the view that shows them.
#include <memory>
#include <string>
#include <vector>

namespace standin {

struct Point {
  double x = 0;
  double y = 0;
};

struct Entity {
  enum class Kind { RasterImage, Polyline };
  Kind kind = Kind::Polyline;
  // Raster image: file as given, size in pixels, lower-left corner, drawing units per pixel,
  // rotation in radians about the origin.
  std::wstring file;
  int pixelWidth = 0;
  int pixelHeight = 0;
  Point origin;
  double unitsPerPixel = 1;
  double rotation = 0;
  // Polyline: vertices with the bulge of the segment that starts at each.
  std::vector<Point> vertices;
  std::vector<double> bulges;
  bool closed = false;
  bool inserted = false;                      // came from an -INSERT
  std::wstring objectName = L"AcDbPolyline";  // for polylines: the kind the DXF entity became

  // Outline in drawing units: the image's four corners, or the polyline with arcs flattened.
  std::vector<Point> Outline() const;
  void Rotate(const Point& base, double radians);
  bool Contains(const Point& p, double tolerance) const;
};

struct View {
  Point center{0, 0};
  double height = 100;
};

struct Drawing {
  std::vector<std::shared_ptr<Entity>> entities;
  View view;
  std::vector<View> previousViews;

  // The topmost entity at p (tolerance in drawing units for lines), or null.
  std::shared_ptr<Entity> EntityAt(const Point& p, double tolerance) const;
};

// Reads the entities of a DXF file (POLYLINE/VERTEX with bulges, LWPOLYLINE, LINE, ARC,
// CIRCLE) and adds them placed at base, scaled and rotated (degrees). Returns how many were
// added; throws std::runtime_error with a message when the file cannot be read.
int InsertDxf(Drawing& drawing, const std::wstring& path, const Point& base, double scale,
              double rotationDeg);

// The units the DXF file declares in its header ($INSUNITS); 0 when it declares none.
int ReadDxfInsertUnits(const std::wstring& path);

}  // namespace standin
