#pragma once
// The path data of the outline tracer's SVG: moveto, lineto, cubic curveto and closepath,
// absolute or relative, with repeated coordinate groups.
#include <string_view>
#include <vector>

#include "centerline/polyline.h"

namespace tesnova {

struct TPathCommand {
  char Cmd = 'Z';              // 'M', 'L', 'C' or 'Z'
  std::vector<double> Params;  // absolute: x y for M and L, x1 y1 x2 y2 x y for C; empty for Z,
                               // and empty when the data ran out before the numbers did
};

// Reads the commands in order. Commas and characters U+0001 to U+0020 separate numbers; a
// command letter needs no separator ("M155 251c-40 -18"). Relative commands (m, l, c) are
// made absolute from the current point; after z the current point is the subpath's start.
// Coordinate groups repeated without a letter are further commands of the same kind (after
// a moveto, further linetos). Other commands (H, V, S, Q, T, A) are skipped with their
// numbers. A bad number raises ConversionError "'<token>' は浮動小数点数ではありません".
std::vector<TPathCommand> ParsePathCommands(std::string_view pathData);

// Splits the commands at every moveto that has its numbers: each part is one subpath.
// Commands before the first such moveto form a part of their own.
std::vector<std::vector<TPathCommand>> SplitSubpaths(const std::vector<TPathCommand>& commands);

// One polyline through the commands: M and L append their point, C appends the curve
// flattened in steps of 0.05 without its end points, Z appends nothing. The current point
// starts at (0, 0); commands without their numbers are skipped.
Polyline PathCommandsToPolyline(const std::vector<TPathCommand>& commands);

}  // namespace tesnova
