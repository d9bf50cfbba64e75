#pragma once
// The alignment bar of the roads: how many of the inserted vertices lie over the picture they
// were traced from.
#include <functional>
#include <vector>

#include "cad/cad_automation.h"

namespace tesnova::testing {

// A picture placed in the drawing: its size in pixels, which pixels are dark (y counted from
// the top), and where it lies: the lower-left corner, drawing units per pixel, the rotation in
// radians about that corner.
struct PlacedPicture {
  int width = 0;
  int height = 0;
  std::function<bool(int x, int y)> dark;
  CadPoint origin;
  double unitsPerPixel = 1;
  double rotation = 0;
};

// Points at most step drawing units apart along a path of flat X, Y pairs, its corners included:
// what the bar samples, so that a straight line is measured along its whole length.
std::vector<double> AlongThePath(const std::vector<double>& coords, double step);

// Fraction of the vertices (flat X, Y lists) within tolerance drawing units of a dark pixel.
double ShareOverThePicture(const std::vector<std::vector<double>>& polylines,
                           const PlacedPicture& picture, double tolerance);

}  // namespace tesnova::testing
