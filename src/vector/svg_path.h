#pragma once
// Flattening of SVG path data into point lists: curves become a fixed number of straight
// pieces ("divisions" per curve segment), elliptic arcs are taken as cubic segments.
#include <cstddef>
#include <string_view>
#include <vector>

#include "vector/point_types.h"

namespace tesnova {

// Reads the next token from pos (0-based) and moves pos behind it. Separators are tab, LF, CR,
// space and comma; an ASCII letter is a token of its own; every other run of characters is a
// number token. The empty token means the end of the data.
std::string_view NextPathToken(std::string_view text, std::size_t& pos);

// A number token: optional sign, digits, at most one full stop, rounded to single precision.
// Raises ConversionError "'<token>' は浮動小数点数ではありません" otherwise.
float ParsePathNumber(std::string_view token);

// The points of all subpaths of the data in one list.
TPointList ParseSVGPathToPoints(std::string_view pathData, int divisions);

// The points of the data with the index where every subpath (every moveto) begins.
struct TPathPoints {
  TPointList points;
  std::vector<std::size_t> subpathStarts;
};
// Fills out (cleared first); the lists keep their capacity, so a reused object allocates little.
void ParseSVGPathToSubpaths(std::string_view pathData, int divisions, TPathPoints& out);

TPointF CubicBezierPointF(const TPointF& p0, const TPointF& p1, const TPointF& p2,
                          const TPointF& p3, float t);
TPointF QuadraticBezierPointF(const TPointF& p0, const TPointF& p1, const TPointF& p2, float t);

// Append the curve's points at t = 1/divisions .. 1 (nothing when divisions <= 0).
void AddCubicBezierPoints(TPointList& points, const TPointF& p0, const TPointF& p1,
                          const TPointF& p2, const TPointF& p3, int divisions);
void AddQuadraticBezierPoints(TPointList& points, const TPointF& p0, const TPointF& p1,
                              const TPointF& p2, int divisions);

}  // namespace tesnova
