// centerline-trace IN OUT.dxf [--tolerance PX] [--min-length PX] [--max-gap PX]
//                  [--max-stroke-width PX] [--otsu] [--load-only]
//
// Runs the centerline tracer on a picture file (PNG, BMP, TIFF, JPEG) and writes the DXF. Prints
// how many entities of each kind it wrote and the tracer's own time. --otsu binarises the picture
// by Otsu's threshold first; --load-only loads the picture and stops (for memory baselines).
// Exit status: 0 done, 1 a file could not be read or written, 2 bad arguments.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/error.h"
#include "centerline/centerline_drawing_dxf.h"
#include "centerline/centerline_tracer.h"
#include "raster/deskew_pipeline.h"
#include "raster/picture.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: centerline-trace IN OUT.dxf [--tolerance PX] [--min-length PX] "
               "[--max-gap PX] [--max-stroke-width PX] [--otsu] [--load-only]\n");
  return 2;
}

bool Number(const char* text, double& out) {
  char* end = nullptr;
  out = std::strtod(text, &end);
  return end != text && *end == 0 && out >= 0;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace tesnova;
  if (argc < 3) return Usage();
  CenterlineOptions options;
  bool otsu = false, loadOnly = false;
  for (int i = 3; i < argc; ++i) {
    std::string_view a = argv[i];
    double* target = a == "--tolerance"          ? &options.tolerance
                     : a == "--min-length"       ? &options.minLength
                     : a == "--max-gap"          ? &options.maxGap
                     : a == "--max-stroke-width" ? &options.maxStrokeWidth
                                                 : nullptr;
    if (target) {
      if (i + 1 >= argc || !Number(argv[++i], *target)) return Usage();
    } else if (a == "--otsu") {
      otsu = true;
    } else if (a == "--load-only") {
      loadOnly = true;
    } else {
      return Usage();
    }
  }
  if (options.tolerance <= 0) return Usage();
  try {
    Bitmap picture = LoadPicture(argv[1]);
    if (loadOnly) return 0;
    if (otsu) BinarizeOtsu(picture);
    const auto t0 = std::chrono::steady_clock::now();
    CenterlineDrawing drawing = TraceCenterlines(picture, options);
    const auto t1 = std::chrono::steady_clock::now();
    SaveCenterlineDrawingAsDxf(drawing, argv[2]);
    std::printf("lines %zu, arcs %zu, circles %zu, polylines %zu\n",
                drawing.Count(CenterlineEntityKind::kLine),
                drawing.Count(CenterlineEntityKind::kArc),
                drawing.Count(CenterlineEntityKind::kCircle),
                drawing.Count(CenterlineEntityKind::kPolyline));
    std::printf("filled areas %zu\n", drawing.filledAreas.size());
    std::printf("trace seconds %.6f\n", std::chrono::duration<double>(t1 - t0).count());
    return 0;
  } catch (const Error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
