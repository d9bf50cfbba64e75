#include "vector/number_format.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tesnova {
namespace {

using u64 = std::uint64_t;
using u128 = unsigned __int128;

constexpr int kDigits = 15;

// A finite non-zero value as m * 2^e with m odd (or the value zero).
struct Binary {
  bool negative;
  u64 m;
  int e;
};

Binary Decompose(double value) {
  u64 bits = std::bit_cast<u64>(value);
  Binary b{(bits >> 63) != 0, bits & ((u64{1} << 52) - 1), 0};
  int biased = static_cast<int>((bits >> 52) & 0x7FF);
  if (biased == 0) {
    b.e = -1074;
  } else {
    b.m |= u64{1} << 52;
    b.e = biased - 1075;
  }
  if (b.m != 0) {
    int z = std::countr_zero(b.m);
    b.m >>= z;
    b.e += z;
  }
  return b;
}

// The value rounded to 15 significant digits: digits holds them (ASCII, trailing zeros
// removed, at least one), exponent10 is the decimal exponent of the first digit.
struct Decimal {
  char digits[kDigits + 1];
  int count;
  int exponent10;
};

constexpr u64 kPow10[20] = {1ull,
                            10ull,
                            100ull,
                            1000ull,
                            10000ull,
                            100000ull,
                            1000000ull,
                            10000000ull,
                            100000000ull,
                            1000000000ull,
                            10000000000ull,
                            100000000000ull,
                            1000000000000ull,
                            10000000000000ull,
                            100000000000000ull,
                            1000000000000000ull,
                            10000000000000000ull,
                            100000000000000000ull,
                            1000000000000000000ull,
                            10000000000000000000ull};

constexpr char kTwoDigits[] =
    "00010203040506070809101112131415161718192021222324252627282930313233343536373839"
    "40414243444546474849505152535455565758596061626364656667686970717273747576777879"
    "8081828384858687888990919293949596979899";

int DigitCount(u64 v) {
  // 1233 / 4096 is just above log10(2); the table comparison corrects the estimate.
  int estimate = ((64 - std::countl_zero(v | 1)) * 1233) >> 12;
  return estimate + (v >= kPow10[estimate] ? 1 : 0);
}

// Eight decimal digits of v < 10^8, zero-padded, as two independent halves.
void WriteEightDigits(char* p, std::uint32_t v) {
  std::uint32_t high = v / 10000, low = v % 10000;
  std::memcpy(p, kTwoDigits + 2 * (high / 100), 2);
  std::memcpy(p + 2, kTwoDigits + 2 * (high % 100), 2);
  std::memcpy(p + 4, kTwoDigits + 2 * (low / 100), 2);
  std::memcpy(p + 6, kTwoDigits + 2 * (low % 100), 2);
}

// Fills d from the value q of `count` digits (q < 10^count <= 10^16, first digit non-zero).
void SetDigits(Decimal& d, u64 q, int count) {
  char buffer[16];
  WriteEightDigits(buffer, static_cast<std::uint32_t>(q / 100000000));
  WriteEightDigits(buffer + 8, static_cast<std::uint32_t>(q % 100000000));
  const char* digits = buffer + 16 - count;
  while (count > 1 && digits[count - 1] == '0') --count;
  std::memcpy(d.digits, digits, count);
  d.count = count;
}

// v / 10^n for n = 1 .. 5 with constant divisors (a multiplication instead of a division).
u64 DivideByPow10(u64 v, int n) {
  switch (n) {
    case 1:
      return v / 10;
    case 2:
      return v / 100;
    case 3:
      return v / 1000;
    case 4:
      return v / 10000;
    case 5:
      return v / 100000;
    default:
      return v / kPow10[n];
  }
}

// Rounds the integer D with `count` digits to 15 digits (half away from zero) and stores it;
// `scale` is the decimal exponent of D's last digit.
void RoundU64(Decimal& d, u64 v, int count, int scale) {
  int exponent = count - 1 + scale;
  if (count > kDigits) {
    int drop = count - kDigits;
    u64 q = DivideByPow10(v, drop);
    u64 divisor = kPow10[drop];
    u64 r = v - q * divisor;
    if (r >= divisor / 2) ++q;
    count = kDigits;
    if (q == kPow10[kDigits]) {
      q = kPow10[kDigits - 1];
      ++exponent;
    }
    v = q;
  }
  SetDigits(d, v, count);
  d.exponent10 = exponent;
}

int DigitCount128(u128 v) {
  if ((v >> 64) == 0) return DigitCount(static_cast<u64>(v));
  // v >= 2^64 > 10^19: at least 20 digits, at most 39.
  u128 p = static_cast<u128>(kPow10[19]) * 10;
  int n = 20;
  while (n < 39 && v >= p) {
    p *= 10;
    ++n;
  }
  return n;
}

void RoundU128(Decimal& d, u128 v, int count, int scale) {
  if ((v >> 64) == 0) return RoundU64(d, static_cast<u64>(v), count, scale);
  int exponent = count - 1 + scale;
  int drop = count - kDigits;  // at least 5
  u128 divisor = 1;
  for (int i = 0; i < drop; ++i) divisor *= 10;
  u128 q = v / divisor;
  u128 r = v - q * divisor;
  if (r >= divisor / 2) ++q;
  u64 q64 = static_cast<u64>(q);
  if (q64 == kPow10[kDigits]) {
    q64 = kPow10[kDigits - 1];
    ++exponent;
  }
  SetDigits(d, q64, kDigits);
  d.exponent10 = exponent;
}

// Powers of five that fit in 128 bits: 5^0 .. 5^55.
struct Pow5Table {
  u128 values[56];
  int bits[56];
  constexpr Pow5Table() : values(), bits() {
    u128 p = 1;
    for (int i = 0; i < 56; ++i) {
      values[i] = p;
      int n = 0;
      for (u128 t = p; t != 0; t >>= 1) ++n;
      bits[i] = n;
      p *= 5;
    }
  }
};
constexpr Pow5Table kPow5;

// The exact path: a little big-number arithmetic, base 10^9 for the decimal expansion.
void ExactDecimal(Decimal& d, const Binary& b) {
  // Binary big number, 32-bit limbs, least significant first.
  std::vector<std::uint32_t> big{static_cast<std::uint32_t>(b.m),
                                 static_cast<std::uint32_t>(b.m >> 32)};
  auto multiply = [&big](std::uint32_t factor) {
    u64 carry = 0;
    for (auto& limb : big) {
      u64 t = static_cast<u64>(limb) * factor + carry;
      limb = static_cast<std::uint32_t>(t);
      carry = t >> 32;
    }
    if (carry) big.push_back(static_cast<std::uint32_t>(carry));
  };
  int scale = 0;
  if (b.e >= 0) {
    for (int i = 0; i < b.e / 31; ++i) multiply(1u << 31);
    multiply(1u << (b.e % 31));
  } else {
    int k = -b.e;
    for (; k >= 13; k -= 13) multiply(1220703125u);  // 5^13
    std::uint32_t rest = 1;
    for (; k > 0; --k) rest *= 5;
    multiply(rest);
    scale = b.e;
  }
  while (big.size() > 1 && big.back() == 0) big.pop_back();
  // Decimal digits, most significant chunk last.
  std::vector<std::uint32_t> chunks;
  while (!(big.size() == 1 && big[0] == 0)) {
    u64 remainder = 0;
    for (size_t i = big.size(); i-- > 0;) {
      u64 t = (remainder << 32) | big[i];
      big[i] = static_cast<std::uint32_t>(t / 1000000000u);
      remainder = t % 1000000000u;
    }
    chunks.push_back(static_cast<std::uint32_t>(remainder));
    while (big.size() > 1 && big.back() == 0) big.pop_back();
  }
  std::string text = std::to_string(chunks.back());
  for (size_t i = chunks.size() - 1; i-- > 0;) {
    std::string part = std::to_string(chunks[i]);
    text.append(9 - part.size(), '0');
    text += part;
  }
  int exponent = static_cast<int>(text.size()) - 1 + scale;
  if (text.size() > static_cast<size_t>(kDigits)) {
    bool up = text[kDigits] >= '5';
    text.resize(kDigits);
    if (up) {
      int i = kDigits - 1;
      while (i >= 0 && text[i] == '9') text[i--] = '0';
      if (i < 0) {
        text.assign(kDigits, '0');
        text[0] = '1';
        ++exponent;
      } else {
        ++text[i];
      }
    }
  }
  while (text.size() > 1 && text.back() == '0') text.pop_back();
  std::memcpy(d.digits, text.data(), text.size());
  d.count = static_cast<int>(text.size());
  d.exponent10 = exponent;
}

void FastDecimal(Decimal& d, const Binary& b) {
  int mbits = 64 - std::countl_zero(b.m);
  if (b.e >= 0) {
    if (mbits + b.e <= 64) {
      u64 v = b.m << b.e;
      return RoundU64(d, v, DigitCount(v), 0);
    }
    if (mbits + b.e <= 128) {
      u128 v = static_cast<u128>(b.m) << b.e;
      return RoundU128(d, v, DigitCount128(v), 0);
    }
  } else {
    int k = -b.e;
    if (k < 56 && mbits + kPow5.bits[k] <= 64) {
      u64 v = b.m * static_cast<u64>(kPow5.values[k]);
      return RoundU64(d, v, DigitCount(v), b.e);
    }
    if (k < 56 && mbits + kPow5.bits[k] <= 128) {
      u128 v = static_cast<u128>(b.m) * kPow5.values[k];
      return RoundU128(d, v, DigitCount128(v), b.e);
    }
  }
  ExactDecimal(d, b);
}

// The digits of v < 10^16 at out, without leading zeros; returns the end.
char* WriteUnsigned(u64 v, int count, char* out) {
  char* p = out + count;
  while (v >= 100) {
    p -= 2;
    std::memcpy(p, kTwoDigits + 2 * (v % 100), 2);
    v /= 100;
  }
  if (v >= 10) {
    std::memcpy(p - 2, kTwoDigits + 2 * v, 2);
  } else {
    p[-1] = static_cast<char>('0' + v);
  }
  return out + count;
}

// Values with few binary digits after the point, as most coordinates of a traced drawing are
// (integers, halves, eighths): when the exact decimal expansion has at most 15 significant
// digits and falls in fixed notation, it is the text as it stands, and no rounding is needed.
// Writes it and returns the end, or returns nullptr for every other value.
char* WriteShortFixed(const Binary& b, char* out) {
  constexpr int kMaxIntegerBits = 49;  // 2^49 < 10^15
  const int mbits = 64 - std::countl_zero(b.m);
  if (b.e >= 0) {
    if (mbits + b.e > kMaxIntegerBits) return nullptr;
    const u64 v = b.m << b.e;
    if (b.negative) *out++ = '-';
    return WriteUnsigned(v, DigitCount(v), out);
  }
  const int k = -b.e;  // decimal digits after the point, the last one a 5
  if (k > kDigits) return nullptr;
  const u64 whole = b.m >> k;
  const u64 fraction = (b.m & ((u64{1} << k) - 1)) * static_cast<u64>(kPow5.values[k]);
  if (whole != 0) {
    const int count = DigitCount(whole);
    if (count + k > kDigits) return nullptr;
    if (b.negative) *out++ = '-';
    out = WriteUnsigned(whole, count, out);
  } else {
    // Fixed notation down to 0.0001: at most three zeros after the point.
    if (k > 4 && fraction < kPow10[k - 4]) return nullptr;
    if (b.negative) *out++ = '-';
    *out++ = '0';
  }
  *out++ = '.';
  const int count = DigitCount(fraction);
  std::memset(out, '0', k - count);
  return WriteUnsigned(fraction, count, out + (k - count));
}

char* WriteSpecial(double value, bool negative, char* out) {
  if (negative) *out++ = '-';
  const char* text = value != value ? "NAN" : "INF";
  std::memcpy(out, text, 3);
  return out + 3;
}

char* WriteDecimal(const Decimal& d, bool negative, char* out) {
  if (negative) *out++ = '-';
  int e = d.exponent10;
  int n = d.count;
  if (e >= -4 && e < kDigits) {
    if (e < 0) {
      std::memcpy(out, "0.0000", 1 - e);
      out += 1 - e;
      std::memcpy(out, d.digits, n);
      return out + n;
    }
    if (n <= e + 1) {
      std::memcpy(out, d.digits, n);
      out += n;
      std::memset(out, '0', e + 1 - n);
      return out + (e + 1 - n);
    }
    std::memcpy(out, d.digits, e + 1);
    out += e + 1;
    *out++ = '.';
    std::memcpy(out, d.digits + e + 1, n - e - 1);
    return out + (n - e - 1);
  }
  *out++ = d.digits[0];
  if (n > 1) {
    *out++ = '.';
    std::memcpy(out, d.digits + 1, n - 1);
    out += n - 1;
  }
  *out++ = 'E';
  if (e < 0) {
    *out++ = '-';
    e = -e;
  }
  if (e >= 100) {
    *out++ = static_cast<char>('0' + e / 100);
    e %= 100;
    std::memcpy(out, kTwoDigits + 2 * e, 2);
    return out + 2;
  }
  if (e >= 10) {
    std::memcpy(out, kTwoDigits + 2 * e, 2);
    return out + 2;
  }
  *out++ = static_cast<char>('0' + e);
  return out;
}

template <bool kFast>
char* Write(double value, char* out) {
  Binary b = Decompose(value);
  if (((std::bit_cast<u64>(value) >> 52) & 0x7FF) == 0x7FF)
    return WriteSpecial(value, b.negative, out);
  if (b.m == 0) {
    *out = '0';
    return out + 1;
  }
  Decimal d;
  if constexpr (kFast) {
    if (char* end = WriteShortFixed(b, out)) return end;
    FastDecimal(d, b);
  } else {
    ExactDecimal(d, b);
  }
  return WriteDecimal(d, b.negative, out);
}

}  // namespace

char* WriteGeneralNumber(double value, char* out) { return Write<true>(value, out); }

std::string FormatGeneralNumber(double value) {
  char buffer[kGeneralNumberMaxLength];
  return std::string(buffer, WriteGeneralNumber(value, buffer));
}

std::string FormatGeneralNumberExact(double value) {
  char buffer[kGeneralNumberMaxLength];
  return std::string(buffer, Write<false>(value, buffer));
}

}  // namespace tesnova
