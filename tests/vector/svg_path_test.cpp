#include "vector/svg_path.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <random>
#include <string>

#include "base/error.h"

namespace tesnova {
namespace {

std::string Show(const TPointList& points) {
  std::string s;
  for (const auto& p : points) s += "(" + std::to_string(p.X) + ", " + std::to_string(p.Y) + ") ";
  return s;
}

TEST(SvgPath, TokensSplitAtSeparatorsAndLetters) {
  struct Case {
    std::string text;
    std::vector<std::string> tokens;
  };
  const Case cases[] = {
      {"M10,20L30 40z", {"M", "10", "20", "L", "30", "40", "z"}},
      {" \t\r\n,", {}},
      {"10-5", {"10-5"}},
      {"1e-5", {"1", "e", "-5"}},
      {"1.5.5", {"1.5.5"}},
      {"-1.5#\xE2\x80\x83", {"-1.5#\xE2\x80\x83"}},
  };
  for (const auto& c : cases) {
    std::vector<std::string> tokens;
    std::size_t pos = 0;
    for (auto t = NextPathToken(c.text, pos); !t.empty(); t = NextPathToken(c.text, pos))
      tokens.emplace_back(t);
    EXPECT_EQ(tokens, c.tokens) << c.text;
  }
}

TEST(SvgPath, NumbersUseAFullStopAndRoundToSingle) {
  EXPECT_EQ(ParsePathNumber("12.5"), 12.5f);
  EXPECT_EQ(ParsePathNumber("-.5"), -0.5f);
  EXPECT_EQ(ParsePathNumber("+3."), 3.0f);
  EXPECT_EQ(ParsePathNumber("0.1"), 0.1f);
  EXPECT_EQ(ParsePathNumber("16777217"), 16777216.0f);
  EXPECT_EQ(ParsePathNumber("0.000000000000000000000000000000000000000000000000001"), 0.0f);
  for (const char* bad : {"", ".", "-", "1.5.5", "10-5", "12,5", "1e5", "nan", "inf", "0x10", "1 ",
                          "99999999999999999999999999999999999999999"}) {
    try {
      ParsePathNumber(bad);
      ADD_FAILURE() << "accepted '" << bad << "'";
    } catch (const ConversionError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(bad) + "' は浮動小数点数ではありません");
    }
  }
}

TEST(SvgPath, NumbersAreCorrectlyRoundedToSingle) {
  // Short numbers take a quick path; it must agree with the correctly rounded conversion.
  std::mt19937 random(11);
  for (int i = 0; i < 100000; ++i) {
    std::string token = std::to_string(random() % 10000000);
    int point = static_cast<int>(random() % (token.size() + 1));
    if (point < static_cast<int>(token.size())) token.insert(point, ".");
    float expected = 0;
    std::from_chars(token.data(), token.data() + token.size(), expected, std::chars_format::fixed);
    ASSERT_EQ(ParsePathNumber(token), expected) << token;
    ASSERT_EQ(ParsePathNumber("-" + token), -expected) << token;
  }
  // Inside a segment whole numbers are read eight bytes at a time: every length up to the
  // eight digits that go the long way, any sign, each way a number can end, with more data
  // behind it or none.
  for (int i = 0; i < 20000; ++i) {
    const int length = 1 + static_cast<int>(random() % 9);
    std::string digits = std::to_string(random() % 1000000000).substr(0, length);
    const char* signs[] = {"", "-", "+"};
    const char* ends[] = {" ", ",", "Z", "L9 9", "\t"};
    std::string y = signs[random() % 3] + digits;
    std::string data = "M0 0C1 2 3 4 5 " + y + ends[random() % 5] + (i % 4 ? " L1000 2000" : "");
    const TPointList points = ParseSVGPathToPoints(data, 1);
    ASSERT_GE(points.size(), 2u) << data;
    ASSERT_EQ(points[1].X, 5.0f) << data;
    ASSERT_EQ(points[1].Y, ParsePathNumber(y)) << data;
  }
}

TEST(SvgPath, FlattensEveryCommand) {
  struct Case {
    const char* data;
    int divisions;
    TPointList points;
  };
  const Case cases[] = {
      {"M 10 20 L 30 40 Z", 2, {{10, 20}, {30, 40}, {10, 20}}},
      {"m 1 1 2 2 z", 2, {{1, 1}, {3, 3}, {1, 1}}},
      {"M 1 2 H 5 V 7", 2, {{1, 2}, {5, 2}, {5, 7}}},
      {"M 1 2 h 5 v 7 h -1 2", 2, {{1, 2}, {6, 2}, {6, 9}, {5, 9}, {7, 9}}},
      {"M 0 0 C 0 10 10 10 10 0", 2, {{0, 0}, {5, 7.5f}, {10, 0}}},
      {"M 0 0 C 0 10 10 10 10 0", 0, {{0, 0}}},
      {"M 0 0 C 0 10 10 10 10 0 L 20 0", 0, {{0, 0}, {20, 0}}},
      {"M 0 0 C 0 10 10 10 10 0", -3, {{0, 0}}},
      {"M 0 0 L 5", 2, {{0, 0}}},
      {"M 0 0", 2, {{0, 0}}},
      {"M 0", 2, {}},
      {"", 2, {}},
      // Implicit repetition of a curve, relative curves measured from the segment's start.
      {"M 0 0 c 0 10 10 10 10 0 0 10 10 10 10 0", 1, {{0, 0}, {10, 0}, {20, 0}}},
      {"M 0 0 c 0 10 10 10 10 0 0 10 10 10 10 0",
       2,
       {{0, 0}, {5, 7.5f}, {10, 0}, {15, 7.5f}, {20, 0}}},
      // Smooth cubic: after a lineto the current point is the first control point ...
      {"M 0 0 L 1 1 S 3 3 4 4", 1, {{0, 0}, {1, 1}, {4, 4}}},
      {"M 0 0 L 0 0 S 0 10 10 0", 2, {{0, 0}, {0, 0}, {1.25f, 3.75f}, {10, 0}}},
      // ... after a cubic it is the reflection of the last control point.
      {"M 0 0 C 0 10 10 10 10 0 S 20 -10 20 0",
       2,
       {{0, 0}, {5, 7.5f}, {10, 0}, {15, -7.5f}, {20, 0}}},
      {"M 0 0 C 0 10 10 10 10 0 s 10 -10 10 0",
       2,
       {{0, 0}, {5, 7.5f}, {10, 0}, {15, -7.5f}, {20, 0}}},
      // Quadratics and their smooth form.
      {"M 0 0 Q 5 10 10 0", 2, {{0, 0}, {5, 5}, {10, 0}}},
      {"M 0 0 Q 5 10 10 0 T 20 0", 2, {{0, 0}, {5, 5}, {10, 0}, {15, -5}, {20, 0}}},
      {"M 0 0 q 5 10 10 0 t 10 0", 2, {{0, 0}, {5, 5}, {10, 0}, {15, -5}, {20, 0}}},
      {"M 0 0 L 10 0 T 20 0", 2, {{0, 0}, {10, 0}, {12.5f, 0}, {20, 0}}},
      // A moveto in the middle starts no new list; Z returns to the last moveto.
      {"M 0 0 L 1 0 Z M 5 5 L 6 5 Z", 2, {{0, 0}, {1, 0}, {0, 0}, {5, 5}, {6, 5}, {5, 5}}},
      {"M 0 0 L 1 0 z m 5 5 l 1 0 z", 2, {{0, 0}, {1, 0}, {0, 0}, {5, 5}, {6, 5}, {5, 5}}},
      // Letters that are no commands, and numbers with no command, produce nothing.
      {"M 1 1 X 5 5 L 2 2 Z 7 7", 2, {{1, 1}, {2, 2}, {1, 1}}},
      {"3 4 M 1 1", 2, {{1, 1}}},
      {"M 1 1 L Z", 2, {{1, 1}, {1, 1}}},
      // Arc flags that are no integers count as 0; an arc back to its start draws nothing.
      {"M 0 0 A 5 5 0 x y 0 0", 2, {{0, 0}}},
      {"M 0 0 A 0 0 0 0 1 30 0", 2, {{0, 0}, {15, 0}, {30, 0}}},  // zero radius: straight
      {"M 0 0 L 1,5 2,5", 2, {{0, 0}, {1, 5}, {2, 5}}},
  };
  for (const auto& c : cases) {
    TPointList points = ParseSVGPathToPoints(c.data, c.divisions);
    EXPECT_EQ(points, c.points) << c.data << " -> " << Show(points);
  }
}

TEST(SvgPath, ArcsBecomeCubicSegmentsOnTheEllipse) {
  struct Case {
    const char* data;
    float cx, cy, rx, ry;  // the ellipse the points must lie on (axis-aligned)
    TPointF end;
    int side;  // 1: the arc runs through y <= cy, 2: y >= cy, 3: x >= cx
  };
  const Case cases[] = {
      {"M 0 0 A 10 10 0 0 1 20 0", 10, 0, 10, 10, {20, 0}, 1},  // half circle, clockwise on screen
      {"M 0 0 A 10 10 0 0 0 20 0", 10, 0, 10, 10, {20, 0}, 2},
      {"M 0 0 a 10 10 0 1 1 20 0", 10, 0, 10, 10, {20, 0}, 1},
      {"M 0 0 A 1 1 0 0 1 20 0", 10, 0, 10, 10, {20, 0}, 1},  // radii too small: scaled up
      {"M 0 0 A 20 10 0 0 1 40 0", 20, 0, 20, 10, {40, 0}, 1},
      {"M 0 0 A 20 10 90 0 1 0 40", 0, 20, 10, 20, {0, 40}, 3},   // rotated a quarter turn
      {"M 10 0 A 10 10 0 1 1 0 -10", 0, 0, 10, 10, {0, -10}, 0},  // three quarters
  };
  for (const auto& c : cases) {
    TPointList points = ParseSVGPathToPoints(c.data, 8);
    ASSERT_GE(points.size(), 9u) << c.data;
    EXPECT_EQ(points.back(), c.end) << c.data;
    for (const auto& p : points) {
      double dx = (p.X - c.cx) / c.rx, dy = (p.Y - c.cy) / c.ry;
      EXPECT_NEAR(std::sqrt(dx * dx + dy * dy), 1.0, 1e-3) << c.data << " " << Show(points);
      if (c.side == 1) EXPECT_LE(p.Y, c.cy + 1e-3) << c.data;
      if (c.side == 2) EXPECT_GE(p.Y, c.cy - 1e-3) << c.data;
      if (c.side == 3) EXPECT_GE(p.X, c.cx - 1e-3) << c.data;
    }
  }
  // The arc moves the current point to its end for the next command, whatever Divisions is.
  EXPECT_EQ(ParseSVGPathToPoints("M 0 0 a 10 10 0 0 1 20 0 l 5 0", 0),
            (TPointList{{0, 0}, {25, 0}}));
}

TEST(SvgPath, MalformedNumbersRaiseTheConversionError) {
  struct Case {
    const char* data;
    const char* token;
  };
  const Case cases[] = {
      {"M 0 0 C 1 2 3", ""},    // the fourth number of the segment is missing
      {"M 0 0 L 1e-5 0", "e"},  // 1 is x, the letter stands where y is expected
      {"M 0 0 L 10-5", "10-5"},
      {"M x 0", "x"},               // a letter in the first pair of a moveto
      {"M 0 0 A 1 1 0 0 0 5", ""},  // the end point's y is missing
      {"M 0 0 Q 1 2 3 Z", "Z"},
      {"M 0 0 L 12,5.5.5", "5.5.5"},
      // Inside a segment, where the numbers are read in one pass: a token runs on to the next
      // separator or letter, whatever it holds.
      {"M 0 0 C 1 2-3 4 5 6", "2-3"},
      {"M 0 0 C 1 2 3 4.5.6 5 6", "4.5.6"},
      {"M 0 0 C 1 2 3 4 5 6#", "6#"},
      {"M 0 0 C 1 2 3 4 5 -", "-"},
      {"M 0 0 C 1 2 3 4 5 .", "."},
      {"M 0 0 C 1 2 3 4 5 99999999999999999999999999999999999999999",
       "99999999999999999999999999999999999999999"},
  };
  for (const auto& c : cases) {
    try {
      ParseSVGPathToPoints(c.data, 2);
      ADD_FAILURE() << "no error for " << c.data;
    } catch (const ConversionError& e) {
      EXPECT_EQ(e.what(), "'" + std::string(c.token) + "' は浮動小数点数ではありません") << c.data;
    }
  }
  // The same pass reads signs, points and long numbers as ParsePathNumber does.
  const TPointList points = ParseSVGPathToPoints("M0 0C-.5,+2. 3 -4 +5.25 16777217", 1);
  ASSERT_EQ(points.size(), 2u);
  EXPECT_EQ(points[1], (TPointF{5.25f, 16777216.0f}));
  // A token of megabytes shows only its beginning.
  std::string huge = "M 0 0 L 1 " + std::string(1 << 20, '#');
  try {
    ParseSVGPathToPoints(huge, 2);
    ADD_FAILURE();
  } catch (const ConversionError& e) {
    EXPECT_LT(std::string(e.what()).size(), 200u);
  }
}

TEST(SvgPath, EveryMovetoStartsASubpath) {
  TPathPoints out;
  ParseSVGPathToSubpaths("M0 0 L10 0 L10 10 Z M2 2 L4 2 L4 4 Z m 1 1 l 1 0 Z", 2, out);
  EXPECT_EQ(out.subpathStarts, (std::vector<std::size_t>{0, 4, 8}));
  EXPECT_EQ(out.points.size(), 11u);
  EXPECT_EQ(out.points[8], (TPointF{3, 3}));  // relative to the point where Z returned
  // The lists are reused: a second parse starts from scratch.
  ParseSVGPathToSubpaths("L 1 1", 2, out);
  EXPECT_TRUE(out.subpathStarts.empty());
  EXPECT_EQ(out.points, (TPointList{{1, 1}}));
}

}  // namespace
}  // namespace tesnova
