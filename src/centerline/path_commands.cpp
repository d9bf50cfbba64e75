#include "centerline/path_commands.h"

#include <cstring>
#include <string>

#include "centerline/cubic_bezier.h"
#include "centerline/svg_number.h"

namespace tesnova {
namespace {

bool IsCommandLetter(char c) { return c != 0 && std::strchr("MmLlCcZzHhVvSsQqTtAa", c); }

// Separator-split tokens, with every command letter a token of its own.
std::vector<std::string> PathTokens(std::string_view pathData) {
  std::string text(pathData);
  for (char& c : text)
    if (c == ',') c = ' ';
  std::vector<std::string> tokens;
  for (const std::string& raw : SplitSvgTokens(text)) {
    size_t start = 0;
    for (size_t i = 0; i < raw.size(); ++i) {
      if (!IsCommandLetter(raw[i])) continue;
      if (i > start) tokens.push_back(raw.substr(start, i - start));
      tokens.push_back(raw.substr(i, 1));
      start = i + 1;
    }
    if (start < raw.size()) tokens.push_back(raw.substr(start));
  }
  return tokens;
}

size_t ParamCount(char kind) { return kind == 'C' ? 6 : kind == 'Z' ? 0 : 2; }

}  // namespace

std::vector<TPathCommand> ParsePathCommands(std::string_view pathData) {
  const std::vector<std::string> tokens = PathTokens(pathData);
  std::vector<TPathCommand> commands;
  TPoint2D current;
  TPoint2D subpathStart;
  char repeatKind = 0;  // kind of the command a further coordinate group continues
  bool repeatRelative = false;

  // The next count tokens from i as numbers, when all of them are there and none is a letter.
  auto groupAt = [&](size_t i, size_t count) {
    if (i + count > tokens.size()) return false;
    for (size_t k = i; k < i + count; ++k)
      if (IsCommandLetter(tokens[k][0])) return false;
    return true;
  };
  auto emit = [&](char kind, bool relative, size_t i) {
    TPathCommand command{kind, {}};
    for (size_t k = 0; k < ParamCount(kind); ++k) {
      double value = ConvertSvgNumber(tokens[i + k]);
      if (relative) value += (k % 2 == 0) ? current.X : current.Y;
      command.Params.push_back(value);
    }
    const auto& p = command.Params;
    current = {p[p.size() - 2], p[p.size() - 1]};
    if (kind == 'M') subpathStart = current;
    commands.push_back(std::move(command));
  };

  size_t i = 0;
  while (i < tokens.size()) {
    const char first = tokens[i][0];
    if (!IsCommandLetter(first)) {
      const size_t count = ParamCount(repeatKind);
      if (repeatKind != 0 && groupAt(i, count)) {
        emit(repeatKind, repeatRelative, i);
        i += count;
      } else {
        repeatKind = 0;  // stray or left-over numbers
        ++i;
      }
      continue;
    }
    ++i;
    const char kind = static_cast<char>(first & ~0x20);  // upper case
    const bool relative = first != kind;
    repeatKind = 0;
    if (kind == 'Z') {
      commands.push_back({'Z', {}});
      current = subpathStart;
    } else if (kind == 'M' || kind == 'L' || kind == 'C') {
      const size_t count = ParamCount(kind);
      if (groupAt(i, count)) {
        emit(kind, relative, i);
        i += count;
        repeatKind = kind == 'M' ? 'L' : kind;
        repeatRelative = relative;
      } else {
        commands.push_back({kind, {}});  // its numbers ran out
      }
    }
  }
  return commands;
}

std::vector<std::vector<TPathCommand>> SplitSubpaths(const std::vector<TPathCommand>& commands) {
  std::vector<std::vector<TPathCommand>> parts;
  for (const TPathCommand& command : commands) {
    if (parts.empty() || (command.Cmd == 'M' && command.Params.size() == 2)) parts.emplace_back();
    parts.back().push_back(command);
  }
  return parts;
}

Polyline PathCommandsToPolyline(const std::vector<TPathCommand>& commands) {
  Polyline polyline;
  TPoint2D current;
  for (const TPathCommand& command : commands) {
    const auto& p = command.Params;
    if ((command.Cmd == 'M' || command.Cmd == 'L') && p.size() == 2) {
      current = {p[0], p[1]};
      polyline.push_back(current);
    } else if (command.Cmd == 'C' && p.size() == 6) {
      TPoint2D end{p[4], p[5]};
      FlattenCubicBezier(current, {p[0], p[1]}, {p[2], p[3]}, end, 0.05, polyline);
      current = end;
    }
  }
  return polyline;
}

}  // namespace tesnova
