#include "vector/dxf_writer.h"

#include <cstring>
#include <fstream>
#include <system_error>

#include "base/error.h"
#include "base/safe_write.h"
#include "base/text_file.h"
#include "vector/number_format.h"

namespace tesnova {

void TDxfLines::Add(std::string_view line) {
  text_.append(line);
  text_.append("\r\n", 2);
  ++count_;
  if (text_.size() >= chunkBytes_) Flush();
}

void TDxfLines::AddNumber(double value) {
  char buffer[kGeneralNumberMaxLength + 2];
  char* end = WriteGeneralNumber(value, buffer);
  *end++ = '\r';
  *end++ = '\n';
  AppendRaw(std::string_view(buffer, end - buffer), 1);
}

void TDxfLines::Clear() {
  text_.clear();
  count_ = 0;
}

void TDxfLines::StreamTo(std::function<void(std::string_view)> sink, std::size_t chunkBytes) {
  sink_ = std::move(sink);
  chunkBytes_ = chunkBytes;
  text_.reserve(chunkBytes + 4096);
}

void TDxfLines::Flush() {
  if (!sink_) return;
  sink_(text_);
  text_.clear();
}

std::vector<std::string> TDxfLines::Lines() const {
  std::vector<std::string> lines;
  lines.reserve(count_);
  std::size_t start = 0;
  while (start < text_.size()) {
    std::size_t end = text_.find("\r\n", start);
    lines.emplace_back(text_, start, end - start);
    start = end + 2;
  }
  return lines;
}

void AddDxfHeader(TDxfLines& lines) {
  constexpr std::string_view kHeader =
      "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n$ACADVER\r\n1\r\nAC1009\r\n0\r\nENDSEC\r\n"
      "0\r\nSECTION\r\n2\r\nENTITIES\r\n";
  lines.AppendRaw(kHeader, 14);
}

void AddDxfTrailer(TDxfLines& lines) { lines.AppendRaw("0\r\nENDSEC\r\n0\r\nEOF\r\n", 4); }

void AddDxfPolyline(const TPointF* points, std::size_t count, std::string_view layer, bool closed,
                    TDxfLines& lines) {
  lines.Add("0");
  lines.Add("POLYLINE");
  lines.Add("8");
  lines.Add(layer);
  lines.Add("70");
  lines.Add(closed ? "1" : "0");
  lines.Add("66");
  lines.Add("1");
  // The vertices are built on the stack and appended some dozens at a time.
  constexpr std::string_view kVertex = "0\r\nVERTEX\r\n10\r\n";
  constexpr std::string_view kY = "\r\n20\r\n";
  constexpr std::size_t kMaxVertexBytes =
      kVertex.size() + kY.size() + 2 * kGeneralNumberMaxLength + 2;
  char buffer[4096];
  char* p = buffer;
  std::size_t pending = 0;  // vertices in buffer
  for (std::size_t i = 0; i < count; ++i) {
    if (p + kMaxVertexBytes > buffer + sizeof buffer) {
      lines.AppendRaw(std::string_view(buffer, p - buffer), 6 * pending);
      p = buffer;
      pending = 0;
    }
    std::memcpy(p, kVertex.data(), kVertex.size());
    p = WriteGeneralNumber(points[i].X, p + kVertex.size());
    std::memcpy(p, kY.data(), kY.size());
    p = WriteGeneralNumber(points[i].Y, p + kY.size());
    *p++ = '\r';
    *p++ = '\n';
    ++pending;
  }
  if (pending > 0) lines.AppendRaw(std::string_view(buffer, p - buffer), 6 * pending);
  lines.Add("0");
  lines.Add("SEQEND");
}

void AddDxfPolyline(const TPointList& points, std::string_view layer, bool closed,
                    TDxfLines& lines) {
  AddDxfPolyline(points.data(), points.size(), layer, closed, lines);
}

namespace {

void AddSingle(TDxfLines& lines, std::string_view code, double value) {
  lines.Add(code);
  lines.AddNumber(RoundToSingle(value));
}

void StartEntity(TDxfLines& lines, std::string_view kind, std::string_view layer) {
  lines.Add("0");
  lines.Add(kind);
  lines.Add("8");
  lines.Add(layer);
}

}  // namespace

void AddDxfLine(TPoint2D start, TPoint2D end, std::string_view layer, TDxfLines& lines) {
  StartEntity(lines, "LINE", layer);
  AddSingle(lines, "10", start.X);
  AddSingle(lines, "20", start.Y);
  AddSingle(lines, "11", end.X);
  AddSingle(lines, "21", end.Y);
}

void AddDxfCircle(TPoint2D center, double radius, std::string_view layer, TDxfLines& lines) {
  StartEntity(lines, "CIRCLE", layer);
  AddSingle(lines, "10", center.X);
  AddSingle(lines, "20", center.Y);
  AddSingle(lines, "40", radius);
}

void AddDxfArc(TPoint2D center, double radius, double startDegrees, double endDegrees,
               std::string_view layer, TDxfLines& lines) {
  StartEntity(lines, "ARC", layer);
  AddSingle(lines, "10", center.X);
  AddSingle(lines, "20", center.Y);
  AddSingle(lines, "40", radius);
  AddSingle(lines, "50", startDegrees);
  AddSingle(lines, "51", endDegrees);
}

void SaveDxfLines(const TDxfLines& lines, const std::filesystem::path& path) {
  WriteFileBytes(path, lines.Text());
}

void StreamDxfLines(const std::filesystem::path& path,
                    const std::function<bool(TDxfLines&)>& build) {
  SafeFileWriter file(path);
  TDxfLines lines;
  lines.StreamTo([&](std::string_view text) { file.Write(text); }, std::size_t{1} << 20);
  if (!build(lines)) return;
  lines.Flush();
  file.Commit();
}

}  // namespace tesnova
