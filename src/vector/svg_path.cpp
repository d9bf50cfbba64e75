#include "vector/svg_path.h"

#include <array>
#include <bit>
#include <cfloat>
#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <numbers>
#include <string>
#include <vector>

#include "base/error.h"

namespace tesnova {
namespace {

enum : unsigned char { kOther = 0, kSeparator = 1, kLetter = 2 };

struct CharClasses {
  unsigned char of[256];
  constexpr CharClasses() : of() {
    for (int c : {9, 10, 13, 32, 44}) of[c] = kSeparator;
    for (int c = 'A'; c <= 'Z'; ++c) of[c] = kLetter;
    for (int c = 'a'; c <= 'z'; ++c) of[c] = kLetter;
  }
};
constexpr CharClasses kClass;

unsigned char ClassOf(char c) { return kClass.of[static_cast<unsigned char>(c)]; }

bool IsLetterToken(std::string_view token) {
  return token.size() == 1 && ClassOf(token[0]) == kLetter;
}

float ToFloat(double v) { return RoundToSingle(v); }

[[noreturn]] void ThrowNotANumber(std::string_view token) {
  // A binary file can make a token of megabytes; the message shows its beginning.
  constexpr std::size_t kShown = 100;
  std::string shown;
  if (token.size() > kShown) {
    std::size_t cut = kShown;
    while (cut > 0 && (static_cast<unsigned char>(token[cut]) & 0xC0) == 0x80) --cut;
    shown = std::string(token.substr(0, cut)) + "...";
  } else {
    shown = std::string(token);
  }
  throw ConversionError("'" + shown + "' は浮動小数点数ではありません");
}

// Integer flag of an arc: an integer other than 0 is true; anything else counts as 0.
bool ParseFlag(std::string_view token) {
  std::size_t i = 0;
  bool negative = false;
  if (i < token.size() && (token[i] == '+' || token[i] == '-')) negative = token[i++] == '-';
  if (i == token.size()) return false;
  long long value = 0;
  for (; i < token.size(); ++i) {
    char c = token[i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
    if (value > 2147483648LL) return false;  // not a 32-bit integer
  }
  if (!negative && value > 2147483647LL) return false;
  return value != 0;
}

// NextPathToken and ParsePathNumber, here where the path parser can have them inline.
inline std::string_view ScanToken(std::string_view text, std::size_t& pos) {
  std::size_t n = text.size();
  std::size_t i = pos;
  while (i < n && ClassOf(text[i]) == kSeparator) ++i;
  if (i >= n) {
    pos = n;
    return {};
  }
  std::size_t begin = i;
  if (ClassOf(text[i]) == kLetter) {
    pos = i + 1;
    return text.substr(begin, 1);
  }
  ++i;
  while (i < n && ClassOf(text[i]) == kOther) ++i;
  pos = i;
  return text.substr(begin, i - begin);
}

// Most numbers have few digits: an integer below 2^24 divided by a power of ten up to 10^7,
// both exact in single precision, is correctly rounded by one single-precision division.
inline float ShortNumber(std::uint32_t mantissa, int decimals, bool negative) {
  static constexpr float kPow10f[8] = {1e0f, 1e1f, 1e2f, 1e3f, 1e4f, 1e5f, 1e6f, 1e7f};
  const float whole = static_cast<float>(mantissa);  // exact
  const float value = decimals == 0 ? whole : whole / kPow10f[decimals];
  return negative ? -value : value;
}

// How many of the eight characters in word (the first in its lowest byte) are digits before
// the first that is not. A byte is a digit when its high half is 3 and adding 6 keeps it so; a
// carry out of a byte that is no digit only reaches the bytes behind it.
inline int LeadingDigits(std::uint64_t word) {
  constexpr std::uint64_t kHigh = 0xF0F0F0F0F0F0F0F0ull, kThree = 0x3030303030303030ull;
  const std::uint64_t other =
      ((word & kHigh) ^ kThree) | (((word + 0x0606060606060606ull) & kHigh) ^ kThree);
  return other == 0 ? 8 : std::countr_zero(other) / 8;
}

// The value of the first count (1 to 7) digits in word: the digits are moved to the top bytes,
// zeros coming in as leading zeros, and combined in pairs, fours and eights.
inline std::uint32_t DigitsValue(std::uint64_t word, int count) {
  std::uint64_t v = (word - 0x3030303030303030ull) << (8 * (8 - count));
  v = (v * 10) + (v >> 8);
  v = (((v & 0x000000FF000000FFull) * (100 + (1000000ull << 32))) +
       (((v >> 16) & 0x000000FF000000FFull) * (1 + (10000ull << 32)))) >>
      32;
  return static_cast<std::uint32_t>(v);
}

// A number of eight digits or more, through from_chars; digits points behind the sign.
float ReadLongNumber(std::string_view token, const char* digits, bool negative) {
  const char* last = token.data() + token.size();
  float value = 0;
  auto result = std::from_chars(digits, last, value, std::chars_format::fixed);
  if (result.ec == std::errc::result_out_of_range) {
    // Too large for single precision is not a number; too small is zero.
    for (const char* q = digits; q != last && *q != '.'; ++q)
      if (*q != '0') ThrowNotANumber(token);
    value = 0;
  } else if (result.ec != std::errc() || result.ptr != last) {
    ThrowNotANumber(token);
  }
  return negative ? -value : value;
}

inline float ReadNumber(std::string_view token) {
  const char* p = token.data();
  const char* last = p + token.size();
  bool negative = false;
  if (p != last && (*p == '+' || *p == '-')) negative = *p++ == '-';
  // One pass checks the characters and gathers the digits; it gives up gathering past seven.
  int digits = 0, points = 0, decimals = 0;
  std::uint32_t mantissa = 0;
  for (const char* q = p; q != last; ++q) {
    const unsigned digit = static_cast<unsigned>(*q - '0');
    if (digit <= 9) {
      ++digits;
      mantissa = mantissa * 10 + digit;  // used only while digits <= 7
      decimals += points;
    } else if (*q == '.') {
      ++points;
    } else {
      ThrowNotANumber(token);
    }
  }
  if (digits == 0 || points > 1) ThrowNotANumber(token);
  if (digits > 7) return ReadLongNumber(token, p, negative);
  return ShortNumber(mantissa, decimals, negative);
}

// The Bernstein weights of the curve points at t = 1/divisions .. 1, worked out as
// CubicBezierPointF and QuadraticBezierPointF work them out, once for a division count rather
// than once for every curve segment.
struct CurveWeights {
  int divisions = 0;
  std::vector<std::array<double, 4>> cubic;
  std::vector<std::array<double, 3>> quadratic;
};

const CurveWeights& WeightsFor(int divisions) {
  thread_local CurveWeights weights;
  if (weights.divisions == divisions) return weights;
  weights.divisions = 0;  // until both tables are whole (a resize may run out of memory)
  weights.cubic.resize(divisions);
  weights.quadratic.resize(divisions);
  for (int i = 1; i <= divisions; ++i) {
    const float t = static_cast<float>(static_cast<double>(i) / divisions);
    const float u = 1.0f - t;
    const float t2 = t * t;
    const float u2 = u * u;
    weights.cubic[i - 1] = {static_cast<double>(u2) * u, 3.0 * u2 * t, 3.0 * u * t2,
                            static_cast<double>(t2) * t};
    weights.quadratic[i - 1] = {u2, 2.0 * u * t, t2};
  }
  weights.divisions = divisions;
  return weights;
}

// The curve's points at t = 1/divisions .. 1, appended.
inline void AppendCubic(TPointList& points, const CurveWeights& weights, const TPointF& p0,
                        const TPointF& p1, const TPointF& p2, const TPointF& p3) {
  const std::size_t first = points.size();
  points.resize(first + weights.cubic.size());
  TPointF* out = points.data() + first;
  for (const auto& [a, b, c, d] : weights.cubic)
    *out++ = {ToFloat(a * p0.X + b * p1.X + c * p2.X + d * p3.X),
              ToFloat(a * p0.Y + b * p1.Y + c * p2.Y + d * p3.Y)};
}

inline void AppendQuadratic(TPointList& points, const CurveWeights& weights, const TPointF& p0,
                            const TPointF& p1, const TPointF& p2) {
  const std::size_t first = points.size();
  points.resize(first + weights.quadratic.size());
  TPointF* out = points.data() + first;
  for (const auto& [a, b, c] : weights.quadratic)
    *out++ = {ToFloat(a * p0.X + b * p1.X + c * p2.X), ToFloat(a * p0.Y + b * p1.Y + c * p2.Y)};
}

class PathParser {
 public:
  PathParser(std::string_view text, int divisions, TPathPoints& out)
      : text_(text),
        weights_(divisions > 0 ? &WeightsFor(divisions) : nullptr),
        points_(out.points),
        starts_(out.subpathStarts) {}

  void Run() {
    std::string_view token = Next();
    while (!token.empty()) {
      // A number with no command to belong to is skipped.
      token = IsLetterToken(token) ? RunCommand(token[0]) : Next();
    }
  }

 private:
  std::string_view Next() { return ScanToken(text_, pos_); }
  // The next token as a number: ReadNumber(Next()) in one pass over the characters for the
  // common short number ending at a separator, a letter or the end; anything else is read again
  // the long way.
  float Number() {
    const char* data = text_.data();
    const std::size_t n = text_.size();
    std::size_t i = pos_;
    while (i < n && ClassOf(data[i]) == kSeparator) ++i;
    const std::size_t begin = i;
    bool negative = false;
    if (i < n && (data[i] == '+' || data[i] == '-')) negative = data[i++] == '-';
    if constexpr (std::endian::native == std::endian::little) {
      // A whole number of up to seven digits, eight bytes at a time.
      if (n - i >= 8) {
        std::uint64_t word;
        std::memcpy(&word, data + i, 8);
        const int count = LeadingDigits(word);
        if (count > 0 && count < 8 && data[i + count] != '.' &&
            ClassOf(data[i + count]) != kOther) {
          pos_ = i + count;
          return ShortNumber(DigitsValue(word, count), 0, negative);
        }
      }
    }
    std::uint32_t mantissa = 0;
    int digits = 0, decimals = 0;
    bool point = false;
    for (; i < n; ++i) {
      const unsigned digit = static_cast<unsigned>(data[i] - '0');
      if (digit <= 9) {
        mantissa = mantissa * 10 + digit;
        ++digits;
        decimals += point;
      } else if (data[i] == '.' && !point) {
        point = true;
      } else {
        break;
      }
    }
    if (digits == 0 || digits > 7 || (i < n && ClassOf(data[i]) == kOther)) {
      pos_ = begin;
      return ReadNumber(Next());
    }
    pos_ = i;
    return ShortNumber(mantissa, decimals, negative);
  }
  static bool EndsRepetition(std::string_view token) {
    return token.empty() || IsLetterToken(token);
  }

  void Append(const TPointF& p) { points_.push_back(p); }
  void Cubic(const TPointF& p0, const TPointF& p1, const TPointF& p2, const TPointF& p3) {
    if (weights_) AppendCubic(points_, *weights_, p0, p1, p2, p3);
  }
  void Quadratic(const TPointF& p0, const TPointF& p1, const TPointF& p2) {
    if (weights_) AppendQuadratic(points_, *weights_, p0, p1, p2);
  }

  TPointF Absolute(float x, float y) const {
    return relative_ ? TPointF{current_.X + x, current_.Y + y} : TPointF{x, y};
  }

  TPointF Reflection() const {
    return {ToFloat(2.0 * current_.X - control_.X), ToFloat(2.0 * current_.Y - control_.Y)};
  }

  // Runs one command with its implicit repetition; returns the token that ended it (a letter
  // or the empty token).
  std::string_view RunCommand(char letter) {
    relative_ = letter >= 'a';
    char kind = static_cast<char>(relative_ ? letter - ('a' - 'A') : letter);
    switch (kind) {
      case 'M': {
        std::string_view t = Next();
        if (t.empty()) return t;
        float x = ReadNumber(t);
        t = Next();
        if (t.empty()) return t;
        float y = ReadNumber(t);
        current_ = Absolute(x, y);
        start_ = current_;
        starts_.push_back(points_.size());
        Append(current_);
        previous_ = 'M';
        return LinePairs();
      }
      case 'L':
        return LinePairs();
      case 'H':
      case 'V':
        for (;;) {
          std::string_view t = Next();
          if (EndsRepetition(t)) return t;
          float v = ReadNumber(t);
          float& axis = kind == 'H' ? current_.X : current_.Y;
          axis = relative_ ? axis + v : v;
          Append(current_);
          previous_ = kind;
        }
      case 'C':
      case 'S':
        for (;;) {
          std::string_view t = Next();
          if (EndsRepetition(t)) return t;
          TPointF p1;
          if (kind == 'C') {
            float x1 = ReadNumber(t);
            float y1 = Number();
            p1 = Absolute(x1, y1);
            t = Next();
          } else {
            p1 = previous_ == 'C' || previous_ == 'S' ? Reflection() : current_;
          }
          float x2 = ReadNumber(t);
          float y2 = Number();
          float x = Number();
          float y = Number();
          TPointF p2 = Absolute(x2, y2);
          TPointF p3 = Absolute(x, y);
          Cubic(current_, p1, p2, p3);
          current_ = p3;
          control_ = p2;
          previous_ = kind;
        }
      case 'Q':
      case 'T':
        for (;;) {
          std::string_view t = Next();
          if (EndsRepetition(t)) return t;
          TPointF p1;
          if (kind == 'Q') {
            float x1 = ReadNumber(t);
            float y1 = Number();
            p1 = Absolute(x1, y1);
            t = Next();
          } else {
            p1 = previous_ == 'Q' || previous_ == 'T' ? Reflection() : current_;
          }
          float x = ReadNumber(t);
          float y = Number();
          TPointF p2 = Absolute(x, y);
          Quadratic(current_, p1, p2);
          current_ = p2;
          control_ = p1;
          previous_ = kind;
        }
      case 'A':
        for (;;) {
          std::string_view t = Next();
          if (EndsRepetition(t)) return t;
          float rx = ReadNumber(t);
          float ry = Number();
          float rotation = Number();
          bool large = ParseFlag(Next());
          bool sweep = ParseFlag(Next());
          float x = Number();
          float y = Number();
          TPointF end = Absolute(x, y);
          AddArc(rx, ry, rotation, large, sweep, end);
          current_ = end;
          previous_ = kind;
        }
      case 'Z':
        current_ = start_;
        Append(current_);
        previous_ = kind;
        return Next();
      default:
        return Next();  // not a command: produces nothing
    }
  }

  // Linetos ("L", and the pairs after a moveto's first); an incomplete last pair is dropped.
  std::string_view LinePairs() {
    for (;;) {
      std::string_view t = Next();
      if (EndsRepetition(t)) return t;
      float x = ReadNumber(t);
      t = Next();
      if (t.empty()) return t;
      float y = ReadNumber(t);
      current_ = Absolute(x, y);
      Append(current_);
      previous_ = 'L';
    }
  }

  // The elliptic arc from the current point to end as cubic segments of at most a quarter turn.
  void AddArc(float rxIn, float ryIn, float rotationDeg, bool large, bool sweep,
              const TPointF& end) {
    const TPointF start = current_;
    if (start == end) return;  // an arc to its own start point draws nothing
    double x0 = start.X, y0 = start.Y, x1 = end.X, y1 = end.Y;
    double rx = std::fabs(static_cast<double>(rxIn));
    double ry = std::fabs(static_cast<double>(ryIn));
    double phi = std::fmod(static_cast<double>(rotationDeg), 360.0) * std::numbers::pi / 180.0;
    auto straight = [&] {
      TPointF c1{ToFloat(x0 + (x1 - x0) / 3), ToFloat(y0 + (y1 - y0) / 3)};
      TPointF c2{ToFloat(x0 + 2 * (x1 - x0) / 3), ToFloat(y0 + 2 * (y1 - y0) / 3)};
      Cubic(start, c1, c2, end);
    };
    if (!(rx > 0) || !(ry > 0) || !std::isfinite(rx) || !std::isfinite(ry) || !std::isfinite(phi) ||
        !std::isfinite(x0) || !std::isfinite(y0) || !std::isfinite(x1) || !std::isfinite(y1)) {
      straight();
      return;
    }
    double cosPhi = std::cos(phi), sinPhi = std::sin(phi);
    // The chord's midpoint in the ellipse's own axes.
    double dx = (x0 - x1) / 2, dy = (y0 - y1) / 2;
    double xp = cosPhi * dx + sinPhi * dy;
    double yp = -sinPhi * dx + cosPhi * dy;
    // Radii too small for the chord grow until the ellipse just reaches.
    double lambda = (xp * xp) / (rx * rx) + (yp * yp) / (ry * ry);
    if (!std::isfinite(lambda)) {
      straight();
      return;
    }
    if (lambda > 1) {
      double s = std::sqrt(lambda);
      rx *= s;
      ry *= s;
    }
    double num = rx * rx * ry * ry - rx * rx * yp * yp - ry * ry * xp * xp;
    double den = rx * rx * yp * yp + ry * ry * xp * xp;
    double coef = (den > 0 && num > 0) ? std::sqrt(num / den) : 0;
    if (large == sweep) coef = -coef;
    double cxp = coef * rx * yp / ry;
    double cyp = -coef * ry * xp / rx;
    double cx = cosPhi * cxp - sinPhi * cyp + (x0 + x1) / 2;
    double cy = sinPhi * cxp + cosPhi * cyp + (y0 + y1) / 2;
    double theta1 = std::atan2((yp - cyp) / ry, (xp - cxp) / rx);
    double theta2 = std::atan2((-yp - cyp) / ry, (-xp - cxp) / rx);
    double delta = theta2 - theta1;
    if (sweep && delta < 0) delta += 2 * std::numbers::pi;
    if (!sweep && delta > 0) delta -= 2 * std::numbers::pi;
    if (!std::isfinite(delta) || !std::isfinite(cx) || !std::isfinite(cy)) {
      straight();
      return;
    }
    int segments = static_cast<int>(std::ceil(std::fabs(delta) / (std::numbers::pi / 2) - 1e-9));
    if (segments < 1) segments = 1;
    if (segments > 4) segments = 4;
    double step = delta / segments;
    double k = 4.0 / 3.0 * std::tan(step / 4);
    auto at = [&](double theta, double& px, double& py, double& tx, double& ty) {
      double c = std::cos(theta), s = std::sin(theta);
      px = cx + rx * c * cosPhi - ry * s * sinPhi;
      py = cy + rx * c * sinPhi + ry * s * cosPhi;
      tx = -rx * s * cosPhi - ry * c * sinPhi;  // derivative with respect to theta
      ty = -rx * s * sinPhi + ry * c * cosPhi;
    };
    TPointF from = start;
    double theta = theta1;
    double px, py, tx, ty;
    at(theta, px, py, tx, ty);
    for (int i = 0; i < segments; ++i) {
      double nextTheta = theta + step;
      double qx, qy, ux, uy;
      at(nextTheta, qx, qy, ux, uy);
      TPointF c1{ToFloat(px + k * tx), ToFloat(py + k * ty)};
      TPointF c2{ToFloat(qx - k * ux), ToFloat(qy - k * uy)};
      TPointF to = i + 1 == segments ? end : TPointF{ToFloat(qx), ToFloat(qy)};
      Cubic(from, c1, c2, to);
      from = to;
      theta = nextTheta;
      px = qx, py = qy, tx = ux, ty = uy;
    }
  }

  std::string_view text_;
  std::size_t pos_ = 0;
  // Nothing for a division count of 0 or less: curves then add no points.
  const CurveWeights* weights_;
  TPointList& points_;
  std::vector<std::size_t>& starts_;
  bool relative_ = false;
  TPointF current_;
  TPointF start_;
  TPointF control_;
  char previous_ = 0;
};

}  // namespace

std::string_view NextPathToken(std::string_view text, std::size_t& pos) {
  return ScanToken(text, pos);
}

float ParsePathNumber(std::string_view token) { return ReadNumber(token); }

void ParseSVGPathToSubpaths(std::string_view pathData, int divisions, TPathPoints& out) {
  out.points.clear();
  out.subpathStarts.clear();
  PathParser(pathData, divisions, out).Run();
}

TPointList ParseSVGPathToPoints(std::string_view pathData, int divisions) {
  TPathPoints out;
  ParseSVGPathToSubpaths(pathData, divisions, out);
  return std::move(out.points);
}

TPointF CubicBezierPointF(const TPointF& p0, const TPointF& p1, const TPointF& p2,
                          const TPointF& p3, float t) {
  float u = 1.0f - t;
  float t2 = t * t;
  float u2 = u * u;
  double a = static_cast<double>(u2) * u;
  double b = 3.0 * u2 * t;
  double c = 3.0 * u * t2;
  double d = static_cast<double>(t2) * t;
  return {ToFloat(a * p0.X + b * p1.X + c * p2.X + d * p3.X),
          ToFloat(a * p0.Y + b * p1.Y + c * p2.Y + d * p3.Y)};
}

TPointF QuadraticBezierPointF(const TPointF& p0, const TPointF& p1, const TPointF& p2, float t) {
  float u = 1.0f - t;
  float t2 = t * t;
  float u2 = u * u;
  double a = u2;
  double b = 2.0 * u * t;
  double c = t2;
  return {ToFloat(a * p0.X + b * p1.X + c * p2.X), ToFloat(a * p0.Y + b * p1.Y + c * p2.Y)};
}

void AddCubicBezierPoints(TPointList& points, const TPointF& p0, const TPointF& p1,
                          const TPointF& p2, const TPointF& p3, int divisions) {
  if (divisions <= 0) return;
  AppendCubic(points, WeightsFor(divisions), p0, p1, p2, p3);
}

void AddQuadraticBezierPoints(TPointList& points, const TPointF& p0, const TPointF& p1,
                              const TPointF& p2, int divisions) {
  if (divisions <= 0) return;
  AppendQuadratic(points, WeightsFor(divisions), p0, p1, p2);
}

}  // namespace tesnova
