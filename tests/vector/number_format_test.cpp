#include "vector/number_format.h"

#include <gtest/gtest.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace tesnova {
namespace {

// An independent slow reference: the exact decimal expansion of the value by schoolbook
// arithmetic on decimal digit strings, rounded to 15 digits (ties away from zero).
std::string ReferenceFormat(double v) {
  if (std::isnan(v)) return std::signbit(v) ? "-NAN" : "NAN";
  if (std::isinf(v)) return v < 0 ? "-INF" : "INF";
  if (v == 0) return "0";
  int e2 = 0;
  double fraction = std::frexp(std::fabs(v), &e2);
  auto mantissa = static_cast<std::uint64_t>(std::ldexp(fraction, 64 - 11));
  e2 -= 53;
  std::vector<int> digits;  // least significant first
  for (std::uint64_t m = mantissa; m != 0; m /= 10) digits.push_back(static_cast<int>(m % 10));
  auto multiply = [&digits](int factor) {
    int carry = 0;
    for (int& d : digits) {
      int t = d * factor + carry;
      d = t % 10;
      carry = t / 10;
    }
    while (carry) {
      digits.push_back(carry % 10);
      carry /= 10;
    }
  };
  for (int i = 0; i < e2; ++i) multiply(2);
  for (int i = 0; i < -e2; ++i) multiply(5);
  int scale = e2 < 0 ? e2 : 0;
  std::string text;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) text += static_cast<char>('0' + *it);
  int exponent = static_cast<int>(text.size()) - 1 + scale;
  if (text.size() > 15) {
    bool up = text[15] >= '5';
    text.resize(15);
    if (up) {
      // Add one to the 15-digit number.
      int i = 14;
      for (; i >= 0 && text[i] == '9'; --i) text[i] = '0';
      if (i < 0) {
        text.insert(text.begin(), '1');
        text.pop_back();
        ++exponent;
      } else {
        ++text[i];
      }
    }
  }
  while (text.size() > 1 && text.back() == '0') text.pop_back();
  std::string out = v < 0 ? "-" : "";
  if (exponent >= -4 && exponent <= 14) {
    if (exponent < 0) return out + "0." + std::string(-exponent - 1, '0') + text;
    std::string whole = text.substr(0, std::min<size_t>(text.size(), exponent + 1));
    whole += std::string(exponent + 1 - whole.size(), '0');
    std::string rest =
        text.size() > static_cast<size_t>(exponent + 1) ? text.substr(exponent + 1) : "";
    return out + whole + (rest.empty() ? "" : "." + rest);
  }
  out += text.substr(0, 1);
  if (text.size() > 1) out += "." + text.substr(1);
  return out + "E" + std::to_string(exponent);
}

TEST(GeneralNumberFormat, WritesTheDocumentedExamples) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {0.1f, "0.100000001490116"},
      {12.5, "12.5"},
      {100, "100"},
      {0, "0"},
      {-0.0, "0"},
      {-12.5, "-12.5"},
      {7.25f, "7.25"},
      {0.00012f, "0.000119999996968545"},
      {123456.789f, "123456.7890625"},
      {0.00001f, "9.99999974737875E-6"},
      {0.0001f, "9.99999974737875E-5"},
      {std::ldexp(1.0, -20), "9.5367431640625E-7"},
      {0.0001, "0.0001"},
      {-0.00012345, "-0.00012345"},
      {1e14, "100000000000000"},
      {999999999999999, "999999999999999"},
      {1e15, "1E15"},
      {123456789012345678.0, "1.23456789012346E17"},
      {9.9999999999999990e14, "1E15"},          // rounds up into the next decade
      {std::nextafter(0.0001, 0.0), "0.0001"},  // and back into fixed notation
      {1.0 / 3, "0.333333333333333"},
      {2.0 / 3, "0.666666666666667"},
      {std::ldexp(1.0f, -22), "2.38418579101563E-7"},  // exact tie, away from zero
      {-std::ldexp(1.0f, -22), "-2.38418579101563E-7"},
      {FLT_MAX, "3.40282346638529E38"},
      {FLT_TRUE_MIN, "1.40129846432482E-45"},
      {DBL_MAX, "1.79769313486232E308"},
      {std::numeric_limits<double>::denorm_min(), "4.94065645841247E-324"},
      {1e100, "1E100"},
      {std::numeric_limits<double>::infinity(), "INF"},
      {-std::numeric_limits<float>::infinity(), "-INF"},
      {std::numeric_limits<double>::quiet_NaN(), "NAN"},
      {-std::numeric_limits<double>::quiet_NaN(), "-NAN"},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(FormatGeneralNumber(c.value), c.text) << c.text;
    EXPECT_EQ(FormatGeneralNumberExact(c.value), c.text) << c.text;
  }
}

TEST(GeneralNumberFormat, MatchesExactArithmeticOnRandomSingles) {
  std::mt19937 random(20260113);
  std::uniform_int_distribution<std::uint32_t> bits;
  for (int i = 0; i < 20000; ++i) {
    float f = std::bit_cast<float>(bits(random));
    if (!std::isfinite(f)) continue;
    ASSERT_EQ(FormatGeneralNumber(f), ReferenceFormat(f)) << std::bit_cast<std::uint32_t>(f);
  }
  // Coordinates of drawings: the fast integer paths, checked against the big-number path.
  std::uniform_real_distribution<float> coordinate(-20000.0f, 20000.0f);
  for (int i = 0; i < 200000; ++i) {
    float f = i % 2 ? coordinate(random) : std::bit_cast<float>(bits(random));
    if (!std::isfinite(f)) continue;
    ASSERT_EQ(FormatGeneralNumber(f), FormatGeneralNumberExact(f))
        << std::bit_cast<std::uint32_t>(f);
  }
}

TEST(GeneralNumberFormat, MatchesExactArithmeticOnRandomDoubles) {
  std::mt19937_64 random(42);
  std::uniform_int_distribution<std::uint64_t> bits;
  std::uniform_int_distribution<int> exponent(-200, 200);
  for (int i = 0; i < 3000; ++i) {
    double d = std::ldexp(1.0 + static_cast<double>(bits(random) >> 12) / 4503599627370496.0,
                          exponent(random));
    if (i % 2) d = -d;
    ASSERT_EQ(FormatGeneralNumber(d), ReferenceFormat(d)) << d;
  }
}

}  // namespace
}  // namespace tesnova
