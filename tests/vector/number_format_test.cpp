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
  // And short binary fractions (halves, eighths, ...), which have a path of their own.
  std::uniform_int_distribution<int> numerator(-(1 << 24), 1 << 24), shift(0, 30);
  for (int i = 0; i < 300000; ++i) {
    float f = i % 3 == 0   ? coordinate(random)
              : i % 3 == 1 ? std::ldexp(static_cast<float>(numerator(random)), -shift(random))
                           : std::bit_cast<float>(bits(random));
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

// The text written for awkward values, as the program has always written it: the DXF files must
// not change from one version to the next. Negative zero, ties and carries at the 15th digit,
// the edges of fixed notation, binary fractions with 15 and 16 decimal digits, integers around
// 2^49 and 10^15, and the limits of single precision.
TEST(GeneralNumberFormat, KeepsTheTextOfAwkwardValues) {
  struct Case {
    double value;
    const char* text;
  };
  const Case cases[] = {
      {-0.0, "0"},
      {0.5, "0.5"},
      {-0.5, "-0.5"},
      {0.125, "0.125"},
      {-1234.125, "-1234.125"},
      {4000.875, "4000.875"},
      {0.0001220703125, "0.0001220703125"},
      {6.103515625e-05, "6.103515625E-5"},
      {3.0517578125e-05, "3.0517578125E-5"},
      {0.000152587890625, "0.000152587890625"},
      {0.0009765625, "0.0009765625"},
      {0.50000011920928955, "0.50000011920929"},
      {16777216, "16777216"},
      {16777217, "16777217"},
      {8388607.5, "8388607.5"},
      {99999999999999.5, "99999999999999.5"},
      {999999999999999, "999999999999999"},
      {562949953421311, "562949953421311"},
      {562949953421312, "562949953421312"},
      {1125899906842623, "1.12589990684262E15"},
      {12345678901234.5, "12345678901234.5"},
      {1234567890123.25, "1234567890123.25"},
      {0.99999999999999989, "1"},
      {9.9999999999999991e-05, "0.0001"},
      {0.0001, "0.0001"},
      {0.00010000000000000002, "0.0001"},
      {0.00018310546875, "0.00018310546875"},
      {3.4028234663852886e+38, "3.40282346638529E38"},
      {-3.4028234663852886e+38, "-3.40282346638529E38"},
      {1.1754943508222875e-38, "1.17549435082229E-38"},
      {1.4012984643248171e-45, "1.40129846432482E-45"},
      {-1.4012984643248171e-45, "-1.40129846432482E-45"},
      {16777215, "16777215"},
      {-16777215, "-16777215"},
      {1234.5677490234375, "1234.56774902344"},
      {-0.10000000149011612, "-0.100000001490116"},
      {3999.9990234375, "3999.9990234375"},
      {9.9999997473787516e-06, "9.99999974737875E-6"},
      {2147483647, "2147483647"},
      {4294967296, "4294967296"},
      {1000000000000000, "1E15"},
      {10000000000000000, "1E16"},
      {123456789012345.59, "123456789012346"},
      {0.30000001192092896, "0.300000011920929"},
      {2.5, "2.5"},
      {1.0000000000000002, "1"},
      {65536.5, "65536.5"},
      {131071.75, "131071.75"},
      {7.62939453125e-06, "7.62939453125E-6"},
      {1234567890.03125, "1234567890.03125"},
      {12345678901.03125, "12345678901.0313"},
      {-12345678901.03125, "-12345678901.0313"},
      {99999999.999984741, "99999999.9999847"},
      {999999999.99996948, "999999999.999969"},
      {0.999969482421875, "0.999969482421875"},
      {9.1552734375e-05, "9.1552734375E-5"},
      {562949953421311.5, "562949953421312"},
      {140737488355327.75, "140737488355328"},
      {844424930131968, "844424930131968"},
      {100000000000001, "100000000000001"},
      {-100000000000000, "-100000000000000"},
  };
  for (const auto& c : cases) {
    char buffer[kGeneralNumberMaxLength];
    EXPECT_EQ(std::string(buffer, WriteGeneralNumber(c.value, buffer)), c.text) << c.text;
    EXPECT_EQ(FormatGeneralNumberExact(c.value), c.text) << c.text;
  }
}

}  // namespace
}  // namespace tesnova
