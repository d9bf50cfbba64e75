#pragma once
// A look at a DXF file before it is handed on: complete or cut short, and how many drawing
// entities it holds. Tracers write their own DXF; one that was cut short (a crash, a full disk)
// must not reach the drawing.
#include <cstddef>
#include <filesystem>
#include <string_view>

namespace tesnova {

struct DxfSummary {
  bool complete = false;     // the last group is "0" "EOF"
  std::size_t entities = 0;  // entities of the ENTITIES section (vertices and SEQEND not counted)
  int insertUnits = 0;       // the header's $INSUNITS; 0 when it declares none
};

// The summary of DXF text: group code and value lines, ended by CR LF, LF or CR.
DxfSummary SummariseDxf(std::string_view text);

// The summary of a DXF file; raises FileError naming the file when it cannot be read.
DxfSummary SummariseDxfFile(const std::filesystem::path& path);

}  // namespace tesnova
