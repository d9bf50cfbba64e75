#pragma once
// The entropy-coded data of a JPEG file, walked before any decoder sees it: every scan must hold
// exactly the blocks its frame declares, with its restart markers in order. Decoders differ in
// what they forgive (libjpeg warns of data that stops early, the Windows decoder fills the rest
// with grey and reports success); a damaged file is refused the same way everywhere.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tesnova {

// What is wrong with the JPEG's data, in words; nothing when every scan is whole, or when the
// file uses a coding this walk does not know (arithmetic, lossless, hierarchical) or declares
// more than maxPixels pixels: those are left to the decoder, which refuses the latter.
std::optional<std::string> JpegScanDamage(std::string_view jpeg, std::size_t maxPixels);

}  // namespace tesnova
