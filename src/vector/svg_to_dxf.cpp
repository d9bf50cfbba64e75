#include "vector/svg_to_dxf.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <system_error>

#ifdef _WIN32
#include <share.h>
#endif

#include "base/error.h"
#include "base/text_file.h"
#include "vector/svg_path.h"

namespace tesnova {
namespace {

// A height or translate number, always with a full stop as decimal separator: optional blanks,
// sign, digits with at most one full stop, optional exponent. Anything else counts as 0.
double ParseDecimalOrZero(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  bool negative = false;
  if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
    negative = text.front() == '-';
    text.remove_prefix(1);
  }
  if (text.empty() || text.front() == '+' || text.front() == '-') return 0;
  for (char c : text) {
    bool allowed =
        (c >= '0' && c <= '9') || c == '.' || c == 'e' || c == 'E' || c == '+' || c == '-';
    if (!allowed) return 0;
  }
  double value = 0;
  auto result = std::from_chars(text.data(), text.data() + text.size(), value);
  if (result.ec != std::errc() || result.ptr != text.data() + text.size()) return 0;
  return negative ? -value : value;
}

// The file's bytes in one piece (a large trace is tens of megabytes). On Windows the file is
// opened so that nobody may write it meanwhile: a tracer that still writes it makes the open
// fail instead of a half-written file being converted.
std::string ReadWholeFile(const std::filesystem::path& path) {
#ifdef _WIN32
  std::FILE* file = _wfsopen(path.c_str(), L"rb", _SH_DENYWR);
#else
  std::FILE* file = std::fopen(path.c_str(), "rb");
#endif
  if (!file) throw FileError(PathToUtf8(path), "を開けません");
  std::error_code error;
  std::uintmax_t expected = std::filesystem::file_size(path, error);
  // Straight into the string, as long as the file has the size it had; then in chunks.
  std::string bytes(error ? 0 : static_cast<std::size_t>(expected), '\0');
  bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
  char chunk[1 << 16];
  std::size_t got;
  while ((got = std::fread(chunk, 1, sizeof chunk, file)) > 0) bytes.append(chunk, got);
  bool failed = std::ferror(file) != 0;
  std::fclose(file);
  if (failed) throw FileError(PathToUtf8(path), "を読み込めません");
  return bytes;
}

constexpr std::string_view kHeightAttribute = "height=\"";
constexpr std::string_view kPathStart = "<path d=\"";
constexpr std::string_view kTranslate = "translate(";

class SvgConverter {
 public:
  SvgConverter(int divisions, TDxfLines& lines) : divisions_(divisions), lines_(lines) {}

  std::size_t polylines_ = 0;

  void Line(std::string_view line) {
    if (!heightTaken_) {
      std::size_t at = line.find(kHeightAttribute);
      if (at != std::string_view::npos) {
        heightTaken_ = true;
        std::string_view behind = line.substr(at + kHeightAttribute.size());
        std::size_t quote = behind.find('"');
        if (quote != std::string_view::npos) height_ = ParseDecimalOrZero(behind.substr(0, quote));
      }
    }
    if (line.substr(0, kPathStart.size()) == kPathStart) PathLine(line.substr(kPathStart.size()));
  }

 private:
  void PathLine(std::string_view rest) {
    // The path data ends at the attribute's closing quote; it is read up to its last capital
    // "Z", so every closed subpath (the holes of a shape included) is taken.
    std::string_view data = rest.substr(0, rest.find('"'));
    std::size_t lastZ = data.rfind('Z');
    if (lastZ == std::string_view::npos) return;
    data = data.substr(0, lastZ + 1);
    ParseSVGPathToSubpaths(data, divisions_, path_);

    std::size_t at = rest.find(kTranslate);
    if (at != std::string_view::npos) {
      std::string_view args = rest.substr(at + kTranslate.size());
      // An unclosed translate moves nothing (the rest of the line is no pair of numbers).
      const std::size_t close = args.find(')');
      args = close == std::string_view::npos ? std::string_view() : args.substr(0, close);
      std::size_t comma = args.find(',');
      if (comma != std::string_view::npos && comma >= 1) {
        double tx = ParseDecimalOrZero(args.substr(0, comma));
        double ty = ParseDecimalOrZero(args.substr(comma + 1));
        for (TPointF& p : path_.points) {
          p.X = RoundToSingle(p.X + tx);
          p.Y = RoundToSingle(height_ - (p.Y + ty));
        }
      }
    }

    // A coordinate beyond single precision would be written INF or NAN, which DXF readers
    // refuse.
    for (const TPointF& p : path_.points)
      if (!std::isfinite(p.X) || !std::isfinite(p.Y))
        throw ConversionError("座標が大きすぎます (単精度の範囲を超えました)");
    vertices_ += path_.points.size();
    if (vertices_ > kMaxDxfVertices)
      throw ConversionError("頂点が " + std::to_string(kMaxDxfVertices) +
                            " を超えます。曲線分割数を小さくしてください");

    // Every subpath becomes a polyline of its own; a lone moveto draws nothing and is left out.
    const TPointF* points = path_.points.data();
    auto emit = [&](std::size_t begin, std::size_t end) {
      if (end <= begin + 1) return;
      AddDxfPolyline(points + begin, end - begin, "0", false, lines_);
      ++polylines_;
    };
    std::size_t begin = 0;
    for (std::size_t start : path_.subpathStarts) {
      emit(begin, start);
      begin = start;
    }
    emit(begin, path_.points.size());
  }

  int divisions_;
  TDxfLines& lines_;
  std::size_t vertices_ = 0;
  bool heightTaken_ = false;
  double height_ = 0;
  TPathPoints path_;
};

}  // namespace

std::size_t ConvertSVGTextToDXF(std::string_view svgText, int divisions, TDxfLines& lines) {
  AddDxfHeader(lines);
  SvgConverter converter(std::min(divisions, kMaxDivisions), lines);
  std::size_t start = 0;
  const std::size_t n = svgText.size();
  // The next LF at or after start (n when there is none), searched again only once passed,
  // so that a text with CR alone for line ends is not searched to its end for every line.
  std::size_t nextLf = 0;
  bool lfKnown = false;
  while (start < n) {
    // A line ends at the first CR or LF; memchr for each is far quicker than find_first_of.
    const char* begin = svgText.data() + start;
    if (!lfKnown || nextLf < start) {
      const void* lf = std::memchr(begin, '\n', n - start);
      nextLf = lf ? static_cast<const char*>(lf) - svgText.data() : n;
      lfKnown = true;
    }
    std::size_t end = nextLf;
    if (const void* cr = std::memchr(begin, '\r', end - start))
      end = static_cast<const char*>(cr) - svgText.data();
    converter.Line(svgText.substr(start, end - start));
    if (end < n && svgText[end] == '\r' && end + 1 < n && svgText[end + 1] == '\n') ++end;
    start = end + 1;
  }
  AddDxfTrailer(lines);
  return converter.polylines_;
}

std::optional<std::size_t> ConvertSVGToDXF(const std::filesystem::path& svgPath,
                                           const std::filesystem::path& dxfPath, int divisions,
                                           const MessageSink& showMessage, bool keepEmpty) {
  std::error_code error;
  if (!std::filesystem::exists(svgPath, error)) {
    if (showMessage) showMessage(PathToUtf8(svgPath) + "\nが、見つかりません.");
    return std::nullopt;
  }
  if (!std::filesystem::is_regular_file(svgPath, error))
    throw FileError(PathToUtf8(svgPath), "はファイルではありません");
  std::uintmax_t size = std::filesystem::file_size(svgPath, error);
  if (!error && size > kMaxSvgFileBytes)
    throw FileError(PathToUtf8(svgPath), "は大きすぎて変換できません");
  std::size_t polylines = 0;
  try {
    const std::string bytes = ReadWholeFile(svgPath);
    std::string decoded;
    const std::string_view text = DecodeTextView(bytes, decoded);
    StreamDxfLines(dxfPath, [&](TDxfLines& lines) {
      polylines = ConvertSVGTextToDXF(text, divisions, lines);
      return keepEmpty || polylines > 0;
    });
  } catch (const ConversionError& e) {
    throw ConversionError(PathToUtf8(svgPath) + ": " + e.what());
  } catch (const std::bad_alloc&) {
    throw Error(PathToUtf8(svgPath) + " を変換するためのメモリが足りません");
  }
  return polylines;
}

}  // namespace tesnova
