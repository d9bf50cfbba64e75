#pragma once
// The colour probe: the colour under the mouse cursor, its luminance, and the colour the
// threshold binarisation would give it.
#include <cstdint>
#include <string>
#include <string_view>

namespace tesnova {

struct ColourReading {
  std::string text;         // "輝度値=Y [R=r G=g B=b]"
  std::uint32_t colour;     // 0x00BBGGRR, as read
  std::uint32_t binarised;  // white when the luminance reaches the threshold, else black
};

// rgb as 0x00BBGGRR; the threshold as typed (0 when it is no number).
ColourReading ReadColour(std::uint32_t rgb, std::string_view thresholdText);

}  // namespace tesnova
