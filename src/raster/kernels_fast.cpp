// The fast raster kernels: kernels_fast.inc compiled for the x86-64 baseline and for AVX2,
// the AVX2 set chosen once at run time where the processor has it.
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "raster/grey_levels.h"
#include "raster/raster_kernels.h"

#if defined(__x86_64__) || defined(_M_X64)
#include <immintrin.h>
#define TESNOVA_HAVE_AVX2_SET 1
#endif

namespace tesnova::kernels {

namespace {

#ifdef TESNOVA_HAVE_AVX2_SET
// Byte shuffles that take one colour's bytes of sixteen pixels out of three 16-byte loads
// (-1 leaves a zero), and that write each of sixteen bytes three times.
using ShuffleMask = std::array<std::int8_t, 16>;
using ShuffleMasks = std::array<ShuffleMask, 3>;

constexpr ShuffleMasks SplitMasks(int channel) {
  ShuffleMasks m{};
  for (int load = 0; load < 3; ++load)
    for (int j = 0; j < 16; ++j) {
      const int at = 3 * j + channel - 16 * load;
      m[load][j] = at >= 0 && at < 16 ? static_cast<std::int8_t>(at) : -1;
    }
  return m;
}
constexpr ShuffleMasks SpreadMasks() {
  ShuffleMasks m{};
  for (int part = 0; part < 3; ++part)
    for (int j = 0; j < 16; ++j) m[part][j] = static_cast<std::int8_t>((16 * part + j) / 3);
  return m;
}
alignas(16) constexpr ShuffleMasks kSplitMasks[3] = {SplitMasks(0), SplitMasks(1), SplitMasks(2)};
alignas(16) constexpr ShuffleMasks kSpreadMasks = SpreadMasks();

// The sixteen 12-byte patterns that write four pixels black (0) or white (255) by the four
// bits of a nibble, pixel 0 in the lowest bit.
using SpreadPattern = std::array<std::uint8_t, 16>;
constexpr std::array<SpreadPattern, 16> SpreadNibbles() {
  std::array<SpreadPattern, 16> t{};
  for (int bits = 0; bits < 16; ++bits)
    for (int j = 0; j < 12; ++j) t[bits][j] = bits >> (j / 3) & 1 ? 255 : 0;
  return t;
}
alignas(16) constexpr std::array<SpreadPattern, 16> kSpreadNibbles = SpreadNibbles();
#endif

namespace baseline {
#define TESNOVA_TARGET
#include "raster/kernels_fast.inc"
#undef TESNOVA_TARGET
}  // namespace baseline

#ifdef TESNOVA_HAVE_AVX2_SET
namespace avx2 {
#define TESNOVA_TARGET __attribute__((target("avx2")))
#define TESNOVA_AVX2 1
#include "raster/kernels_fast.inc"
#undef TESNOVA_AVX2
#undef TESNOVA_TARGET
}  // namespace avx2
#endif

}  // namespace

const Kernels& BaselineKernels() {
  using namespace baseline;
  static const Kernels kernels{
      "baseline", Median, Gaussian, MeanGreyHistogram, BinarizeMeanGrey, BinarizeLuminance, Rotate};
  return kernels;
}

const Kernels* Avx2Kernels() {
#ifdef TESNOVA_HAVE_AVX2_SET
  static const bool available = [] {
    __builtin_cpu_init();
    return __builtin_cpu_supports("avx2") != 0;
  }();
  if (!available) return nullptr;
  using namespace avx2;
  static const Kernels kernels{
      "AVX2", Median, Gaussian, MeanGreyHistogram, BinarizeMeanGrey, BinarizeLuminance, Rotate};
  return &kernels;
#else
  return nullptr;
#endif
}

const Kernels& FastKernels() {
  static const Kernels& chosen = Avx2Kernels() ? *Avx2Kernels() : BaselineKernels();
  return chosen;
}

}  // namespace tesnova::kernels
