// centerline-trace IN OUT.dxf [--tolerance PX] [--min-length PX] [--max-gap PX]
//                  [--max-stroke-width PX] [--ink-below GREY] [--load-only]
//
// Runs the centerline tracer on a picture file (PNG, BMP, TIFF, JPEG) and writes the DXF. Prints
// how many entities of each kind it wrote and the tracer's own time. Ink is what is darker than
// --ink-below (mean grey, default 128); --load-only loads the picture and stops (for memory
// baselines).
// Exit status: 0 done, 1 a file could not be read or written, 2 bad arguments.
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "base/error.h"
#include "centerline/centerline_drawing_dxf.h"
#include "centerline/centerline_tracer.h"
#include "raster/black_white_picture.h"
#include "raster/picture.h"

namespace {

int Usage() {
  std::fprintf(stderr,
               "usage: centerline-trace IN OUT.dxf [--tolerance PX] [--min-length PX] "
               "[--max-gap PX] [--max-stroke-width PX] [--ink-below GREY] [--load-only]\n");
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
  bool loadOnly = false;
  double inkBelow = options.inkBelow;
  for (int i = 3; i < argc; ++i) {
    std::string_view a = argv[i];
    double* target = a == "--tolerance"          ? &options.tolerance
                     : a == "--min-length"       ? &options.minLength
                     : a == "--max-gap"          ? &options.maxGap
                     : a == "--max-stroke-width" ? &options.maxStrokeWidth
                     : a == "--ink-below"        ? &inkBelow
                                                 : nullptr;
    if (target) {
      if (i + 1 >= argc || !Number(argv[++i], *target)) return Usage();
    } else if (a == "--load-only") {
      loadOnly = true;
    } else {
      return Usage();
    }
  }
  if (options.tolerance <= 0 || inkBelow < 1 || inkBelow > 256) return Usage();
  options.inkBelow = static_cast<int>(inkBelow);
  try {
    // The decoded rows go straight into one bit a pixel, as tesnova-cli trace loads them.
    BlackWhiteRowSink sink(BelowMeanGrey(options.inkBelow));
    LoadPictureRows(argv[1], sink);
    const BlackWhitePicture picture = sink.Take();
    if (loadOnly) return 0;
    // Seconds spent in each step, from one progress call to the next.
    static constexpr const char* kSteps[] = {"distance", "thinning", "graph", "fitting", "joining"};
    double stepSeconds[5] = {};
    int step = -1;
    auto last = std::chrono::steady_clock::now();
    options.progress = [&](CenterlineStep s) {
      const auto now = std::chrono::steady_clock::now();
      if (step >= 0) stepSeconds[step] += std::chrono::duration<double>(now - last).count();
      last = now;
      step = s == CenterlineStep::kDone ? -1 : static_cast<int>(s);
    };
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
    for (int i = 0; i < 5; ++i) std::printf("  %s %.6f\n", kSteps[i], stepSeconds[i]);
    return 0;
  } catch (const Error& e) {
    std::fprintf(stderr, "%s\n", e.what());
    return 1;
  }
}
