#pragma once
// The centerline bench's real-tracer check: a ring drawn with a thick pen, and the points
// of the DXF polyline that the bench writes.
#include <filesystem>
#include <string>

#include "centerline/polyline.h"
#include "ports/processes.h"
#include "raster/bitmap.h"

namespace tesnova::testing {

// White size x size bitmap with every pixel whose centre lies between inner and outer
// pixels from the bitmap's centre black.
Bitmap ThickRing(int size, double inner, double outer);

// The VERTEX points of a DXF file, in file order.
Polyline ReadDxfVertices(const std::filesystem::path& file);

// Runs the bench with the given Potrace on a 260 pixel ring of radii 100 and 120 in folder
// and checks that the DXF centerline keeps within 0.5 pixels of radius 110 around the centre.
void ExpectRingCenterline(Processes& processes, const std::string& potrace,
                          const std::filesystem::path& folder);

}  // namespace tesnova::testing
