#pragma once
// Integers typed into fields or stored in the settings file.
#include <string_view>

namespace tesnova {

// Decimal digits with an optional sign, or hexadecimal after "0x", "0X" or "$"; fallback for
// anything else (empty text, other characters, a value outside 32 bits).
int IntegerOrDefault(std::string_view text, int fallback);

}  // namespace tesnova
