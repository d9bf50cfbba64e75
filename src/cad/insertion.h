#pragma once
// Where and how the traced DXF goes into the drawing: the insertion values a cut or a pick
// computes, the "-INSERT" command text, and the insertion line the window shows.
#include <cstddef>
#include <string>

namespace tesnova {

// Zero until a cut or a pick sets them.
struct InsertionValues {
  double baseX = 0;
  double baseY = 0;
  double scale = 0;
  double rotationDeg = 0;
};

// The "-INSERT" command text that inserts the DXF exploded at (x, y) with the scale and the
// rotation in degrees.
std::string FormatInsertCommand(const std::string& dxfPath, double x, double y,
                                const std::string& scaleText, const std::string& rotationText);

// The insertion line of the main window after a region cut, and after an image pick (with
// the rotation).
std::string CutInsertionLine(double baseX, double baseY, double scale);
std::string PickInsertionLine(double baseX, double baseY, double scale, double rotationDeg);

// The status after an insertion, with what it put into the drawing: the polylines of an outline
// trace, the shapes (lines, arcs, circles) of a centerline trace.
std::string InsertedPolylinesStatus(std::size_t polylines);
std::string InsertedShapesStatus(std::size_t shapes);

}  // namespace tesnova
