#pragma once
// The chunk frame of a PNG file, checked before any decoder sees it: every chunk's CRC must
// match. Decoders differ in what they forgive (libpng only warns of a damaged ancillary chunk,
// the Windows decoder says nothing); a damaged file is refused the same way everywhere.
#include <optional>
#include <string>
#include <string_view>

namespace tesnova {

// The type of the first chunk whose CRC does not match its type and data; nothing when all
// match. A chunk that runs past the end of the bytes is left to the decoder (a truncated file).
std::optional<std::string> PngChunkWithBadCrc(std::string_view png);

}  // namespace tesnova
