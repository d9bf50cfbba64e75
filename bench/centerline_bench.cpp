// The centerline's normal-ray search on a ring of radius 1000 pixels (10000 path units of a
// tenth of a pixel, resampled at step 1 as the bench does): the grid index against the plain
// search that tests every opposite segment. Both must give the same points.
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <numbers>

#include "centerline/centerline_index.h"
#include "centerline/normal_ray.h"
#include "centerline/resample.h"

namespace tesnova {
namespace {

Polyline Circle(double r, int corners, bool clockwise) {
  Polyline circle;
  for (int i = 0; i <= corners; ++i) {
    double a = 2 * std::numbers::pi * i / corners * (clockwise ? -1 : 1);
    circle.push_back({r * std::cos(a), r * std::sin(a)});
  }
  return circle;
}

struct Ring {
  Polyline base = ResamplePolyline(Circle(10000, 3600, true), 1.0);  // the hole's edge
  Polyline opposite = ResamplePolyline(Circle(10200, 3600, false), 1.0);
};

const Ring& TheRing() {
  static const Ring ring;
  return ring;
}

bool Same(const Polyline& a, const Polyline& b) {
  return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(TPoint2D)) == 0;
}

void BM_CenterlineRing_Indexed(benchmark::State& state) {
  const Ring& ring = TheRing();
  Polyline centerline;
  for (auto _ : state) {
    centerline = ComputeCenterlineNormal(ring.base, ring.opposite);
    benchmark::DoNotOptimize(centerline.data());
  }
  state.counters["points"] = static_cast<double>(ring.base.size());
}
BENCHMARK(BM_CenterlineRing_Indexed)->Unit(benchmark::kMillisecond);

void BM_CenterlineRing_Direct(benchmark::State& state) {
  const Ring& ring = TheRing();
  Polyline centerline;
  for (auto _ : state) {
    centerline = ComputeCenterlineNormalDirect(ring.base, ring.opposite);
    benchmark::DoNotOptimize(centerline.data());
  }
  if (!Same(centerline, ComputeCenterlineNormal(ring.base, ring.opposite)))
    state.SkipWithError("the indexed search gave other points");
  state.counters["points"] = static_cast<double>(ring.base.size());
}
BENCHMARK(BM_CenterlineRing_Direct)->Unit(benchmark::kMillisecond)->Iterations(1);

}  // namespace
}  // namespace tesnova
