#pragma once
// The two grey rules, integer arithmetic on the byte values; both give 0..255.

namespace tesnova {

inline int MeanGrey(int blue, int green, int red) { return (blue + green + red) / 3; }
inline int Luminance(int blue, int green, int red) {
  return (30 * red + 59 * green + 11 * blue) / 100;
}

}  // namespace tesnova
