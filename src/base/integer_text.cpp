#include "base/integer_text.h"

#include <cstdint>

namespace tesnova {

int IntegerOrDefault(std::string_view text, int fallback) {
  bool negative = false;
  if (!text.empty() && (text[0] == '-' || text[0] == '+')) {
    negative = text[0] == '-';
    text.remove_prefix(1);
  }
  int base = 10;
  if (text.starts_with("$")) {
    base = 16;
    text.remove_prefix(1);
  } else if (text.starts_with("0x") || text.starts_with("0X")) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty()) return fallback;
  std::uint64_t value = 0;
  for (char c : text) {
    int digit;
    if (c >= '0' && c <= '9')
      digit = c - '0';
    else if (base == 16 && c >= 'a' && c <= 'f')
      digit = c - 'a' + 10;
    else if (base == 16 && c >= 'A' && c <= 'F')
      digit = c - 'A' + 10;
    else
      return fallback;
    value = value * base + digit;
    if (value > 0xFFFFFFFFull) return fallback;
  }
  if (base == 10) {
    if (value > (negative ? 0x80000000ull : 0x7FFFFFFFull)) return fallback;
    return negative ? static_cast<int>(-static_cast<std::int64_t>(value)) : static_cast<int>(value);
  }
  // Hexadecimal covers the full 32 bits, as a two's complement pattern.
  auto bits = static_cast<std::uint32_t>(value);
  return static_cast<std::int32_t>(negative ? 0u - bits : bits);
}

}  // namespace tesnova
