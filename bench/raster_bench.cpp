// The raster operations against OpenCV's counterparts and a plain memcpy of the picture, one
// thread each, on a screen cut (1920 x 1080) and a large scan (6000 x 4000). Each operation is
// timed with the kernels the program uses (AVX2 where the processor has it) and with the
// x86-64 baseline set; the table at the end puts the processor times side by side (they
// suffer less than wall time from other work on a shared machine).
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>
#include <numbers>
#include <string>
#include <vector>

#include "raster/raster_kernels.h"
#include "raster/rotate.h"
#include "raster/threshold.h"

#if TESNOVA_HAVE_OPENCV
#include <opencv2/core.hpp>
#include <opencv2/core/utility.hpp>
#include <opencv2/imgproc.hpp>
#endif

namespace {

using tesnova::Bitmap;
namespace kernels = tesnova::kernels;

constexpr double kAngle = 0.3 * std::numbers::pi / 180;

// A drawing-like picture: light paper, dark strokes, some noise.
Bitmap MakePicture(int width, int height) {
  Bitmap b(width, height);
  std::uint32_t state = 12345;
  for (int y = 0; y < height; ++y)
    for (int x = 0; x < width; ++x) {
      state = state * 1664525 + 1013904223;
      const bool stroke = (x + 2 * y) % 97 < 4 || (3 * x - y) % 131 < 3;
      const int base = stroke ? 40 : 235;
      std::uint8_t* p = b.at(x, y);
      for (int c = 0; c < 3; ++c)
        p[c] = static_cast<std::uint8_t>(base + ((state >> (8 * c)) & 15));
    }
  return b;
}

const Bitmap& Picture(int width, int height) {
  static std::map<std::pair<int, int>, Bitmap> pictures;
  auto& b = pictures[{width, height}];
  if (b.empty()) b = MakePicture(width, height);
  return b;
}

const kernels::Kernels& Set(bool baseline) {
  return baseline ? kernels::BaselineKernels() : kernels::FastKernels();
}

void Memcpy(benchmark::State& state) {
  const Bitmap& source = Picture(state.range(0), state.range(1));
  std::vector<std::uint8_t> target(source.pixels.size());
  for (auto _ : state) {
    std::memcpy(target.data(), source.pixels.data(), target.size());
    benchmark::DoNotOptimize(target.data());
    benchmark::ClobberMemory();
  }
}

// Our in-place operations run on a working copy, laid anew from the picture (untimed) before
// each run, so that every run sees the picture and not the result of the one before.
template <void (*Op)(const kernels::Kernels&, Bitmap&)>
void Ours(benchmark::State& state) {
  const Bitmap& picture = Picture(state.range(0), state.range(1));
  Bitmap work = picture;
  const kernels::Kernels& set = Set(state.range(2) != 0);
  for (auto _ : state) {
    state.PauseTiming();
    std::memcpy(work.pixels.data(), picture.pixels.data(), work.pixels.size());
    state.ResumeTiming();
    Op(set, work);
    benchmark::DoNotOptimize(work.pixels.data());
  }
}

void Median(const kernels::Kernels& k, Bitmap& b) { k.median3x3(b); }
void Gaussian(const kernels::Kernels& k, Bitmap& b) { k.gaussian3x3(b); }
void Otsu(const kernels::Kernels& k, Bitmap& b) {
  k.binarizeMeanGrey(b, kernels::OtsuThresholdOf(k.meanGreyHistogram(b)));
}
void Threshold(const kernels::Kernels& k, Bitmap& b) { k.binarizeLuminance(b, 200); }

void Rotate(benchmark::State& state) {
  const Bitmap& source = Picture(state.range(0), state.range(1));
  const kernels::Kernels& set = Set(state.range(2) != 0);
  Bitmap result(source.width, source.height);
  for (auto _ : state) {  // the kernel writes every result pixel, as warpAffine does
    set.rotate(source, result, kAngle, 0);
    benchmark::DoNotOptimize(result.pixels.data());
  }
}

#if TESNOVA_HAVE_OPENCV
cv::Mat AsMat(const Bitmap& b) {
  return cv::Mat(b.height, b.width, CV_8UC3, const_cast<std::uint8_t*>(b.pixels.data()));
}

template <void (*Op)(const cv::Mat&, cv::Mat&)>
void OpenCv(benchmark::State& state) {
  cv::setNumThreads(1);
  const cv::Mat source = AsMat(Picture(state.range(0), state.range(1)));
  cv::Mat target;
  Op(source, target);  // allocate once
  for (auto _ : state) {
    Op(source, target);
    benchmark::DoNotOptimize(target.data);
  }
}

void CvMedian(const cv::Mat& s, cv::Mat& t) { cv::medianBlur(s, t, 3); }
void CvGaussian(const cv::Mat& s, cv::Mat& t) { cv::GaussianBlur(s, t, cv::Size(3, 3), 0); }
void CvOtsu(const cv::Mat& s, cv::Mat& t) {
  thread_local cv::Mat grey;
  cv::cvtColor(s, grey, cv::COLOR_BGR2GRAY);
  cv::threshold(grey, t, 0, 255, cv::THRESH_BINARY | cv::THRESH_OTSU);
}
void CvThreshold(const cv::Mat& s, cv::Mat& t) {
  thread_local cv::Mat grey;
  cv::cvtColor(s, grey, cv::COLOR_BGR2GRAY);
  cv::threshold(grey, t, 199, 255, cv::THRESH_BINARY);
}
void CvRotate(const cv::Mat& s, cv::Mat& t) {
  // The same turn about the bottom-left corner.
  const double c = std::cos(kAngle), n = std::sin(kAngle), h = s.rows;
  const cv::Mat m = (cv::Mat_<double>(2, 3) << c, -n, n * h, n, c, h - c * h);
  cv::warpAffine(s, t, m, s.size(), cv::INTER_LINEAR, cv::BORDER_CONSTANT,
                 cv::Scalar(255, 255, 255));
}
#endif

void Sizes(benchmark::internal::Benchmark* b, bool withSet) {
  for (auto [w, h] : {std::pair{1920, 1080}, {6000, 4000}}) {
    if (withSet) {
      b->Args({w, h, 0});
      b->Args({w, h, 1});
    } else {
      b->Args({w, h});
    }
  }
  b->Unit(benchmark::kMillisecond);
}
void WithSet(benchmark::internal::Benchmark* b) { Sizes(b, true); }
void Plain(benchmark::internal::Benchmark* b) { Sizes(b, false); }

BENCHMARK(Memcpy)->Name("raster/memcpy")->Apply(Plain);
BENCHMARK(Ours<Median>)->Name("raster/median/ours")->Apply(WithSet);
BENCHMARK(Ours<Gaussian>)->Name("raster/gauss/ours")->Apply(WithSet);
BENCHMARK(Ours<Otsu>)->Name("raster/otsu/ours")->Apply(WithSet);
BENCHMARK(Ours<Threshold>)->Name("raster/threshold/ours")->Apply(WithSet);
BENCHMARK(Rotate)->Name("raster/rotate/ours")->Apply(WithSet);
#if TESNOVA_HAVE_OPENCV
BENCHMARK(OpenCv<CvMedian>)->Name("raster/median/opencv")->Apply(Plain);
BENCHMARK(OpenCv<CvGaussian>)->Name("raster/gauss/opencv")->Apply(Plain);
BENCHMARK(OpenCv<CvOtsu>)->Name("raster/otsu/opencv")->Apply(Plain);
BENCHMARK(OpenCv<CvThreshold>)->Name("raster/threshold/opencv")->Apply(Plain);
BENCHMARK(OpenCv<CvRotate>)->Name("raster/rotate/opencv")->Apply(Plain);
#endif

// Prints the usual lines, then one table row per operation and size.
class SideBySide : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs)
      if (!run.error_occurred && run.run_type == Run::RT_Iteration)
        times_[run.benchmark_name()] = run.GetAdjustedCPUTime();  // in the run's unit (ms)
  }
  void Finalize() override {
    ConsoleReporter::Finalize();
    const char* ops[] = {"median", "gauss", "otsu", "threshold", "rotate"};
    std::printf("\n%-10s %-10s %10s %10s %10s %10s %12s %14s\n", "operation", "size", "ours ms",
                "baseline", "OpenCV ms", "memcpy ms", "ours/OpenCV", "baseline/OpenCV");
    for (auto [w, h] : {std::pair{1920, 1080}, {6000, 4000}}) {
      const std::string size = std::to_string(w) + "/" + std::to_string(h);
      const double copy = Get("raster/memcpy/" + size);
      for (const char* op : ops) {
        const double ours = Get("raster/" + std::string(op) + "/ours/" + size + "/0");
        const double base = Get("raster/" + std::string(op) + "/ours/" + size + "/1");
        const double cv = Get("raster/" + std::string(op) + "/opencv/" + size);
        std::printf("%-10s %-10s %10.3f %10.3f %10.3f %10.3f %12.2f %14.2f\n", op,
                    (std::to_string(w) + "x" + std::to_string(h)).c_str(), ours, base, cv, copy,
                    cv > 0 ? ours / cv : 0.0, cv > 0 ? base / cv : 0.0);
      }
    }
    std::printf("(ours: %s kernels; ratios below 1 are faster than OpenCV)\n",
                kernels::FastKernels().name);
  }

 private:
  double Get(const std::string& name) const {
    auto it = times_.find(name);
    return it == times_.end() ? 0 : it->second;
  }
  std::map<std::string, double> times_;
};

}  // namespace

int main(int argc, char** argv) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  SideBySide reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}
