#include "centerline/potrace_svg_to_dxf.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <new>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/files.h"
#include "base/text_file.h"
#include "centerline/potrace_frame.h"
#include "centerline/svg_contour_reader.h"
#include "centerline/svg_number.h"
#include "vector/dxf_writer.h"
#include "vector/svg_path.h"
#include "vector/svg_to_dxf.h"

namespace tesnova {
namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Where the start tag `<name` begins at or after from (not a longer name such as <glyph), or
// npos.
std::size_t FindStartTag(std::string_view text, std::string_view name, std::size_t from = 0) {
  std::string open(1, '<');
  open += name;
  for (std::size_t at = text.find(open, from); at != std::string_view::npos;
       at = text.find(open, at + 1)) {
    const std::size_t next = at + open.size();
    if (next == text.size() || IsBlank(text[next]) || text[next] == '>' || text[next] == '/')
      return at;
  }
  return std::string_view::npos;
}

// The start tag that begins on line `first` at `at`, joined over the lines it spans.
std::string StartTagText(const std::vector<std::string>& lines, std::size_t first, std::size_t at) {
  std::string tag = lines[first].substr(at);
  for (std::size_t k = first + 1; tag.find('>') == std::string::npos && k < lines.size(); ++k)
    tag += " " + lines[k];
  return tag.substr(0, tag.find('>'));
}

struct PotraceFrame {
  SvgTransform toUser;  // path units to user units, y down
  double left = 0;      // the drawing's left and bottom edges in user units
  double bottom = 0;
};

PotraceFrame ReadFrame(const std::vector<std::string>& lines) {
  PotraceFrame frame;
  bool sized = false;
  for (std::size_t k = 0; k < lines.size() && !sized; ++k) {
    const std::size_t at = FindStartTag(lines[k], "svg");
    if (at == std::string::npos) continue;
    const std::string tag = StartTagText(lines, k, at);
    std::string box = ExtractAttribute(tag, "viewBox");
    for (char& c : box)
      if (c == ',') c = ' ';
    const std::vector<std::string> numbers = SplitSvgTokens(box);
    if (numbers.size() == 4) {
      frame.left = ConvertSvgNumber(numbers[0]);
      frame.bottom = ConvertSvgNumber(numbers[1]) + ConvertSvgNumber(numbers[3]);
      sized = true;
    } else if (const std::string height = ExtractAttribute(tag, "height"); !height.empty()) {
      frame.bottom = ParseSVGLength(height);
      sized = true;
    }
    break;
  }
  if (!sized) throw ConversionError("SVG の大きさ (viewBox か height) がありません");

  // The one transform is the group's: one on a path or on a further group would move what this
  // reader does not move.
  bool found = false;
  for (const std::string& line : lines) {
    for (std::size_t at = line.find("transform=\""); at != std::string::npos;
         at = line.find("transform=\"", at + 1)) {
      const std::size_t group = FindStartTag(line, "g");
      if (found || group == std::string::npos || group > at)
        throw ConversionError(
            "変換できない SVG のレイアウトです (transform はひとつのグループにだけ読めます)");
      frame.toUser = ParseTransformList(ExtractAttribute(line.substr(group), "transform"));
      found = true;
    }
  }
  return frame;
}

}  // namespace

bool HasPotraceLayout(std::string_view svgText) {
  const std::size_t path = FindStartTag(svgText, "path");
  const std::string_view head = svgText.substr(0, path);
  for (std::size_t at = FindStartTag(head, "g"); at != std::string_view::npos;
       at = FindStartTag(head, "g", at + 1)) {
    const std::string_view tag = head.substr(at, head.find('>', at) - at);
    if (tag.find("transform=") != std::string_view::npos) return true;
  }
  return false;
}

bool FileHasPotraceLayout(const std::filesystem::path& svgPath) {
  // The group comes within the first few lines; a path line of VTracer's can be megabytes long.
  // A pipe would block the open: only a file is looked at.
  std::error_code error;
  if (!std::filesystem::is_regular_file(svgPath, error)) return false;
  std::ifstream file(svgPath, std::ios::binary);
  std::string head(1 << 16, '\0');
  file.read(head.data(), static_cast<std::streamsize>(head.size()));
  head.resize(static_cast<std::size_t>(file.gcount()));
  return HasPotraceLayout(head);
}

std::size_t ConvertPotraceSVGToDXF(const std::filesystem::path& svgPath,
                                   const std::filesystem::path& dxfPath, int divisions) {
  RequireRegularFile(svgPath);
  std::error_code error;
  const std::uintmax_t size = std::filesystem::file_size(svgPath, error);
  if (!error && size > kMaxSvgFileBytes)
    throw FileError(PathToUtf8(svgPath), "は大きすぎて変換できません");
  std::size_t polylines = 0;
  try {
    const std::vector<std::string> lines = LoadSVGLines(svgPath);
    const PotraceFrame frame = ReadFrame(lines);
    const std::vector<std::string> paths = ExtractPathData(lines);
    StreamDxfLines(dxfPath, [&](TDxfLines& dxf) {
      AddDxfHeader(dxf);
      TPathPoints path;
      TPointList subpath;
      std::size_t vertices = 0;
      for (const std::string& data : paths) {
        ParseSVGPathToSubpaths(data, std::min(divisions, kMaxDivisions), path);
        vertices += path.points.size();
        if (vertices > kMaxDxfVertices)
          throw ConversionError("頂点が " + std::to_string(kMaxDxfVertices) +
                                " を超えます。曲線分割数を小さくしてください");
        for (std::size_t s = 0; s < path.subpathStarts.size(); ++s) {
          const std::size_t begin = path.subpathStarts[s];
          const std::size_t end =
              s + 1 < path.subpathStarts.size() ? path.subpathStarts[s + 1] : path.points.size();
          subpath.clear();
          for (std::size_t i = begin; i < end; ++i) {
            const TPoint2D user = frame.toUser.Apply({path.points[i].X, path.points[i].Y});
            const TPointF p{RoundToSingle(user.X - frame.left),
                            RoundToSingle(frame.bottom - user.Y)};
            // Beyond single precision a coordinate would be written INF or NAN.
            if (!std::isfinite(p.X) || !std::isfinite(p.Y))
              throw ConversionError("座標が大きすぎます (単精度の範囲を超えました)");
            // Potrace returns to the start before its closepath, which returns once more.
            if (subpath.empty() || !(p == subpath.back())) subpath.push_back(p);
          }
          if (subpath.size() < 2) continue;
          AddDxfPolyline(subpath, "0", false, dxf);
          ++polylines;
        }
      }
      AddDxfTrailer(dxf);
      return polylines > 0;
    });
  } catch (const FileError&) {
    throw;
  } catch (const Error& e) {
    throw ConversionError(PathToUtf8(svgPath) + ": " + e.what());
  } catch (const std::bad_alloc&) {
    throw Error(PathToUtf8(svgPath) + " を変換するためのメモリが足りません");
  }
  return polylines;
}

}  // namespace tesnova
