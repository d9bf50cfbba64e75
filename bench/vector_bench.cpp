// SVG-to-DXF conversion of a large real VTracer trace, and the number formatting beside the
// library formatters it replaces.
//
// The trace is made once and cached under build/bench-cache/: a synthetic A1 sheet at 200 dpi
// (6622 x 4678 pixels) covered with about 54,000 small shapes, many with holes, traced by
// testbed/vtracer-node/vtracer --colormode bw (in four quarters, see TraceSheet). When that VTracer
// cannot run, an SVG in VTracer's layout is synthesised instead (and the benchmark says so).
#include <benchmark/benchmark.h>

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "base/text_file.h"
#include "vector/number_format.h"
#include "vector/svg_to_dxf.h"

namespace fs = std::filesystem;

namespace {

const fs::path kRoot = fs::path(__FILE__).parent_path().parent_path();
const fs::path kCache = kRoot / "build" / "bench-cache";

constexpr int kWidth = 6622, kHeight = 4678, kCell = 26, kCellY = 22;

// The sheet: one small shape in every cell (rings, boxes with holes, bars, discs); true = black.
std::vector<bool> DrawSheet() {
  std::vector<bool> ink(static_cast<size_t>(kWidth) * kHeight, false);
  std::mt19937 random(7);
  for (int cy = 0; cy + kCellY <= kHeight; cy += kCellY) {
    for (int cx = 0; cx + kCell <= kWidth; cx += kCell) {
      int kind = static_cast<int>(random() % 4);
      int r = 6 + static_cast<int>(random() % 4);
      int mx = cx + kCell / 2, my = cy + kCellY / 2;
      for (int y = std::max(0, my - r); y <= std::min(kHeight - 1, my + r); ++y) {
        for (int x = std::max(0, mx - r); x <= std::min(kWidth - 1, mx + r); ++x) {
          int dx = x - mx, dy = y - my, d2 = dx * dx + dy * dy;
          bool on = false;
          switch (kind) {
            case 0:
              on = d2 <= r * r && d2 >= (r - 3) * (r - 3);
              break;  // ring
            case 1:
              on = std::abs(dx) >= r - 2 || std::abs(dy) >= r - 2;
              break;  // box with a hole
            case 2:
              on = std::abs(dy) <= 2 || std::abs(dx - dy) <= 1;
              break;  // bar and slash
            default:
              on = d2 <= r * r;
              break;  // disc
          }
          if (on) ink[static_cast<size_t>(y) * kWidth + x] = true;
        }
      }
    }
  }
  return ink;
}

// A 24-bit BMP of the sheet's rectangle (x0, y0, w, h).
void WriteBmp(const fs::path& path, const std::vector<bool>& ink, int x0, int y0, int w, int h) {
  const int rowBytes = (w * 3 + 3) & ~3;
  std::vector<unsigned char> pixels(static_cast<size_t>(rowBytes) * h, 255);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x)
      if (ink[static_cast<size_t>(y0 + y) * kWidth + x0 + x]) {
        unsigned char* p = &pixels[static_cast<size_t>(h - 1 - y) * rowBytes + x * 3];
        p[0] = p[1] = p[2] = 0;
      }
  std::ofstream out(path, std::ios::binary);
  auto u32 = [&out](std::uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
  auto u16 = [&out](std::uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
  out.write("BM", 2);
  u32(54 + static_cast<std::uint32_t>(pixels.size()));
  u32(0);
  u32(54);
  u32(40);
  u32(w);
  u32(h);
  u16(1);
  u16(24);
  u32(0);
  u32(static_cast<std::uint32_t>(pixels.size()));
  u32(7874);
  u32(7874);
  u32(0);
  u32(0);
  out.write(reinterpret_cast<const char*>(pixels.data()),
            static_cast<std::streamsize>(pixels.size()));
}

// Traces the sheet with VTracer. The engine refuses a picture with more than about 65,000
// regions, so the sheet goes in four quarters whose path lines are joined into one document,
// each translate moved by its quarter's offset. Returns false when VTracer did not run.
bool TraceSheet(const fs::path& svgPath) {
  const std::vector<bool> ink = DrawSheet();
  const fs::path vtracer = kRoot / "testbed" / "vtracer-node" / "vtracer";
  const int halfW = kWidth / 2, halfH = kHeight / 2;
  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg version=\"1.1\" "
      "xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
      std::to_string(kWidth) + "\" height=\"" + std::to_string(kHeight) + "\">\n";
  for (int quarter = 0; quarter < 4; ++quarter) {
    int x0 = quarter % 2 ? halfW : 0, y0 = quarter / 2 ? halfH : 0;
    int w = quarter % 2 ? kWidth - halfW : halfW, h = quarter / 2 ? kHeight - halfH : halfH;
    fs::path bmp = kCache / "quarter.bmp", part = kCache / "quarter.svg";
    WriteBmp(bmp, ink, x0, y0, w, h);
    std::string command = "'" + vtracer.string() + "' --colormode bw -i '" + bmp.string() +
                          "' -o '" + part.string() + "'";
    int status = std::system(command.c_str());
    fs::remove(bmp);
    if (status != 0) return false;
    for (const std::string& line : tesnova::ReadTextLines(part)) {
      if (line.rfind("<path d=\"", 0) != 0) continue;
      size_t at = line.find("translate(");
      size_t comma = line.find(',', at);
      size_t close = line.find(')', at);
      if (at == std::string::npos || comma == std::string::npos || close == std::string::npos)
        return false;
      double tx = std::strtod(line.c_str() + at + 10, nullptr) + x0;
      double ty = std::strtod(line.c_str() + comma + 1, nullptr) + y0;
      char offset[64];
      std::snprintf(offset, sizeof offset, "%g,%g", tx, ty);
      svg += line.substr(0, at + 10) + offset + line.substr(close) + "\n";
    }
    fs::remove(part);
  }
  tesnova::WriteFileBytes(svgPath, svg + "</svg>\n");
  return true;
}

// The same sheet in VTracer's layout, for machines without the VTracer engine.
std::string SynthesiseSvg() {
  std::mt19937 random(7);
  std::string svg =
      "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<svg version=\"1.1\" "
      "xmlns=\"http://www.w3.org/2000/svg\" width=\"" +
      std::to_string(kWidth) + "\" height=\"" + std::to_string(kHeight) + "\">\n";
  // A circle of radius r through (0, top) as four cubic quarters, as VTracer's splines run;
  // holes turn the other way.
  auto ring = [](double r, double top, bool hole) {
    const double k = 0.5523 * r, s = hole ? -1 : 1, cy = top + r;
    std::string d;
    char buffer[96];
    auto add = [&](const char* format, double a, double b) {
      std::snprintf(buffer, sizeof buffer, format, a, b);
      d += buffer;
    };
    add("M%g %g ", 0, top);
    add("C%.2f %.2f ", s * k, top), add("%.2f %.2f ", s * r, cy - k), add("%.2f %.2f ", s * r, cy);
    add("C%.2f %.2f ", s * r, cy + k), add("%.2f %.2f ", s * k, cy + r),
        add("%.2f %.2f ", 0, cy + r);
    add("C%.2f %.2f ", -s * k, cy + r), add("%.2f %.2f ", -s * r, cy + k),
        add("%.2f %.2f ", -s * r, cy);
    add("C%.2f %.2f ", -s * r, cy - k), add("%.2f %.2f ", -s * k, top), add("%.2f %.2fZ ", 0, top);
    return d;
  };
  for (int cy = 0; cy + kCellY <= kHeight; cy += kCellY) {
    for (int cx = 0; cx + kCell <= kWidth; cx += kCell) {
      double r = 6 + static_cast<int>(random() % 4);
      std::string d = ring(r, 0, false);
      if (random() % 2) d += ring(r - 3, 3, true);
      svg += "<path d=\"" + d + "\" fill=\"#000000\" transform=\"translate(" +
             std::to_string(cx + kCell / 2) + "," +
             std::to_string(cy + kCellY / 2 - static_cast<int>(r)) + ")\"/>\n";
    }
  }
  return svg + "</svg>\n";
}

struct Sample {
  std::string svg;
  fs::path file;
  std::string origin;
  size_t paths = 0;
  size_t vertices = 0;
};

const Sample& LargeTrace() {
  static const Sample sample = [] {
    Sample s;
    fs::create_directories(kCache);
    s.file = kCache / "a1_sheet.svg";
    if (!fs::exists(s.file) && !TraceSheet(s.file)) fs::remove(s.file);
    if (fs::exists(s.file)) {
      s.svg = tesnova::ReadFileBytes(s.file);
      s.origin = "VTracer trace";
    } else {
      s.svg = SynthesiseSvg();
      s.file = kCache / "a1_sheet_synthetic.svg";
      tesnova::WriteFileBytes(s.file, s.svg);
      s.origin = "synthetic (VTracer did not run)";
    }
    for (size_t at = s.svg.find("\n<path d="); at != std::string::npos;
         at = s.svg.find("\n<path d=", at + 1))
      ++s.paths;
    tesnova::TDxfLines lines;
    tesnova::ConvertSVGTextToDXF(s.svg, 2, lines);
    const std::string& text = lines.Text();
    for (size_t at = text.find("\nVERTEX\r"); at != std::string::npos;
         at = text.find("\nVERTEX\r", at + 1))
      ++s.vertices;
    return s;
  }();
  return sample;
}

void Report(benchmark::State& state, const Sample& s) {
  state.SetBytesProcessed(static_cast<int64_t>(state.iterations() * s.svg.size()));
  state.counters["vertices/s"] = benchmark::Counter(
      static_cast<double>(s.vertices) * state.iterations(), benchmark::Counter::kIsRate);
  state.counters["paths"] = static_cast<double>(s.paths);
  state.counters["svg_MB"] = static_cast<double>(s.svg.size()) / 1e6;
  state.SetLabel(s.origin);
}

// The conversion in memory: line reading, path flattening, number formatting, DXF lines.
void BM_ConvertSVGTextToDXF(benchmark::State& state) {
  const Sample& s = LargeTrace();
  for (auto _ : state) {
    tesnova::TDxfLines lines;
    lines.Reserve(s.svg.size() * 3);
    tesnova::ConvertSVGTextToDXF(s.svg, 2, lines);
    benchmark::DoNotOptimize(lines.Text().data());
  }
  Report(state, s);
}
BENCHMARK(BM_ConvertSVGTextToDXF)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// The whole command: read the SVG file, convert, write the DXF file.
void BM_ConvertSVGToDXFFiles(benchmark::State& state) {
  const Sample& s = LargeTrace();
  fs::path dxf = kCache / "a1_sheet.dxf";
  for (auto _ : state) tesnova::ConvertSVGToDXF(s.file, dxf, 2, nullptr);
  Report(state, s);
}
BENCHMARK(BM_ConvertSVGToDXFFiles)->Unit(benchmark::kMillisecond)->MinTime(2.0);

// Number formatting on drawing coordinates: this program's format beside the library calls.
const std::vector<float>& Coordinates() {
  static const std::vector<float> values = [] {
    std::mt19937 random(3);
    std::uniform_real_distribution<float> d(-100.0f, 7000.0f);
    std::vector<float> v(1 << 16);
    for (float& x : v) x = d(random);
    return v;
  }();
  return values;
}

void BM_WriteGeneralNumber(benchmark::State& state) {
  const auto& values = Coordinates();
  char buffer[tesnova::kGeneralNumberMaxLength];
  for (auto _ : state)
    for (float v : values) benchmark::DoNotOptimize(tesnova::WriteGeneralNumber(v, buffer));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}
BENCHMARK(BM_WriteGeneralNumber);

void BM_FormatGeneralNumberExactPath(benchmark::State& state) {
  const auto& values = Coordinates();
  for (auto _ : state)
    for (size_t i = 0; i < 4096; ++i)
      benchmark::DoNotOptimize(tesnova::FormatGeneralNumberExact(values[i]));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * 4096));
}
BENCHMARK(BM_FormatGeneralNumberExactPath);

// Peer: printf's %.15G (locale-dependent decimal separator, the fault being replaced).
void BM_SnprintfG15(benchmark::State& state) {
  const auto& values = Coordinates();
  char buffer[64];
  for (auto _ : state)
    for (float v : values)
      benchmark::DoNotOptimize(std::snprintf(buffer, sizeof buffer, "%.15G", v));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}
BENCHMARK(BM_SnprintfG15);

// Peer: std::to_chars with 15 significant digits (locale-free, but another exponent layout).
void BM_ToCharsGeneral15(benchmark::State& state) {
  const auto& values = Coordinates();
  char buffer[64];
  for (auto _ : state)
    for (float v : values)
      benchmark::DoNotOptimize(std::to_chars(buffer, buffer + sizeof buffer, static_cast<double>(v),
                                             std::chars_format::general, 15));
  state.SetItemsProcessed(static_cast<int64_t>(state.iterations() * values.size()));
}
BENCHMARK(BM_ToCharsGeneral15);

}  // namespace
