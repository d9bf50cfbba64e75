#pragma once
// The DXF that the program writes: a minimal R12 (AC1009) text file that holds 2-D polylines,
// and, for the centerline tracer, lines, arcs and circles. The document is built in memory as a
// list of lines and saved in one piece, or streamed to a file in chunks as it is built.
#include <cstddef>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "vector/point_types.h"

namespace tesnova {

// The DXF document while it is built: an ordered list of text lines. The lines are kept as the
// bytes of the file, each followed by CR LF.
class TDxfLines {
 public:
  void Add(std::string_view line);
  void AddNumber(double value);  // one line in the general number format
  void Reserve(std::size_t bytes) { text_.reserve(bytes); }
  void Clear();

  // From now on the text goes to `sink` whenever it reaches chunkBytes, and the rest on Flush;
  // Text and Lines then hold only what has not gone yet. Count still counts every line.
  void StreamTo(std::function<void(std::string_view)> sink, std::size_t chunkBytes);
  void Flush();

  std::size_t Count() const { return count_; }
  const std::string& Text() const { return text_; }
  std::vector<std::string> Lines() const;

  // For writers that append many lines at once: `lines` lines of text, each ending in CR LF.
  void AppendRaw(std::string_view text, std::size_t lines) {
    text_.append(text);
    count_ += lines;
    if (text_.size() >= chunkBytes_) Flush();
  }

 private:
  std::string text_;
  std::size_t count_ = 0;
  std::function<void(std::string_view)> sink_;
  std::size_t chunkBytes_ = static_cast<std::size_t>(-1);
};

// Appends "0 SECTION 2 HEADER 9 $ACADVER 1 AC1009 0 ENDSEC 0 SECTION 2 ENTITIES" (14 lines).
void AddDxfHeader(TDxfLines& lines);

// Appends "0 ENDSEC 0 EOF" (4 lines).
void AddDxfTrailer(TDxfLines& lines);

// Appends one polyline entity: POLYLINE on the layer with flag 70 (1 closed, 0 open) and 66 1,
// a VERTEX with 10/20 for every point in list order, then SEQEND. The points are not changed.
void AddDxfPolyline(const TPointList& points, std::string_view layer, bool closed,
                    TDxfLines& lines);
void AddDxfPolyline(const TPointF* points, std::size_t count, std::string_view layer, bool closed,
                    TDxfLines& lines);

// The other entity kinds, on the layer, with no Z, colour or handle; every number (coordinates,
// radius, angles in degrees) rounded to single precision and written in the general number
// format, as the polyline's vertices are.
// LINE: 10/20 the start, 11/21 the end.
void AddDxfLine(TPoint2D start, TPoint2D end, std::string_view layer, TDxfLines& lines);
// CIRCLE: 10/20 the centre, 40 the radius.
void AddDxfCircle(TPoint2D center, double radius, std::string_view layer, TDxfLines& lines);
// ARC: 10/20 the centre, 40 the radius, 50/51 the start and end angles, counter-clockwise.
void AddDxfArc(TPoint2D center, double radius, double startDegrees, double endDegrees,
               std::string_view layer, TDxfLines& lines);

// Writes the document in one piece, replacing any file of that name. Raises FileError naming
// the file when it cannot be written.
void SaveDxfLines(const TDxfLines& lines, const std::filesystem::path& path);

// A DXF file written as its document is built: `build` adds the lines, which reach a temporary
// beside the file in chunks of about a megabyte; the temporary replaces any file of that name
// once `build` returns true. Raises FileError naming the file when it cannot be written. When
// `build` returns false, nothing is written and nothing raised; when it raises, its exception
// passes on. Either way the temporary is removed and the old file stays as it was.
void StreamDxfLines(const std::filesystem::path& path,
                    const std::function<bool(TDxfLines&)>& build);

}  // namespace tesnova
