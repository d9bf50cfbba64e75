#include "centerline/svg_contour_reader.h"

#include "base/text_file.h"
#include "centerline/path_commands.h"
#include "centerline/svg_number.h"

namespace tesnova {
namespace {

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// Start of the value of the attribute `name` itself (not the tail of another name such as
// id) at or after `from`, or npos.
size_t FindOwnAttributeValue(std::string_view line, std::string_view name, size_t from) {
  const std::string key = std::string(name) + "=\"";
  for (size_t p = line.find(key, from); p != std::string_view::npos; p = line.find(key, p + 1)) {
    if (p > 0 && IsSpace(line[p - 1])) return p + key.size();
  }
  return std::string_view::npos;
}

}  // namespace

std::vector<std::string> LoadSVGLines(const std::filesystem::path& fileName) {
  std::string bytes = ReadFileBytes(fileName);
  std::string_view text = bytes;
  if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
  return SplitLines(text);
}

std::string ExtractAttribute(std::string_view line, std::string_view name) {
  const std::string key = std::string(name) + "=\"";
  size_t p = line.find(key);
  if (p == std::string_view::npos) return "";
  size_t start = p + key.size();
  size_t end = line.find('"', start);
  if (end == std::string_view::npos) return "";
  return std::string(line.substr(start, end - start));
}

double ParseSVGLength(std::string_view text) {
  auto keeps = [](char c) { return c == '-' || c == '.' || (c >= '0' && c <= '9'); };
  while (!text.empty() && !keeps(text.back())) text.remove_suffix(1);
  return text.empty() ? 0 : ConvertSvgNumber(text);
}

TSVGHeader ReadSVGHeader(const std::vector<std::string>& lines) {
  TSVGHeader header;
  for (const std::string& line : lines) {
    if (line.find("<svg") == std::string::npos) continue;
    std::string w = ExtractAttribute(line, "width");
    std::string h = ExtractAttribute(line, "height");
    std::string vb = ExtractAttribute(line, "viewBox");
    if (!w.empty()) header.Width = ParseSVGLength(w);
    if (!h.empty()) header.Height = ParseSVGLength(h);
    if (!vb.empty()) {
      for (char& c : vb)
        if (c == ',') c = ' ';
      std::vector<std::string> tokens = SplitSvgTokens(vb);
      if (tokens.size() >= 4) {
        header.ViewBoxX = ConvertSvgNumber(tokens[0]);
        header.ViewBoxY = ConvertSvgNumber(tokens[1]);
        header.ViewBoxWidth = ConvertSvgNumber(tokens[2]);
        header.ViewBoxHeight = ConvertSvgNumber(tokens[3]);
      }
    }
    break;
  }
  return header;
}

std::vector<std::string> ExtractPathData(const std::vector<std::string>& lines) {
  std::vector<std::string> texts;
  for (size_t k = 0; k < lines.size(); ++k) {
    const std::string& line = lines[k];
    size_t tag = line.find("<path");
    if (tag == std::string::npos) continue;
    size_t start = FindOwnAttributeValue(line, "d", tag);
    if (start == std::string::npos) continue;
    size_t end = line.find('"', start);
    if (end != std::string::npos) {
      texts.push_back(line.substr(start, end - start));
      continue;
    }
    std::string text = line.substr(start);
    bool closed = false;
    size_t m = k + 1;
    for (; m < lines.size() && !closed; ++m) {
      end = lines[m].find('"');
      closed = end != std::string::npos;
      text += '\n';
      text += closed ? lines[m].substr(0, end) : lines[m];
    }
    texts.push_back(closed ? text : std::string());
    k = m - 1;  // the rest of the closing line belongs to this element
  }
  return texts;
}

SvgContours ParseSVGToPolylines(const std::filesystem::path& svgFileName) {
  SvgContours result;
  const std::vector<std::string> lines = LoadSVGLines(svgFileName);
  result.header = ReadSVGHeader(lines);
  for (const std::string& text : ExtractPathData(lines)) {
    auto subpaths = SplitSubpaths(ParsePathCommands(text));
    if (subpaths.empty()) result.contours.emplace_back();
    for (const auto& subpath : subpaths) result.contours.push_back(PathCommandsToPolyline(subpath));
  }
  return result;
}

}  // namespace tesnova
