#include "vector/dxf_check.h"

#include <charconv>
#include <string>

#include "base/text_file.h"

namespace tesnova {
namespace {

std::string_view Trimmed(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  while (!s.empty() && (s.back() == ' ' || s.back() == '\t')) s.remove_suffix(1);
  return s;
}

}  // namespace

DxfSummary SummariseDxf(std::string_view text) {
  DxfSummary summary;
  bool inEntities = false;
  bool sectionName = false;  // the next group 2 names a section
  bool lastWasEof = false;
  bool inHeader = false;
  bool unitsNext = false;  // the group after "9 $INSUNITS" holds the units
  std::size_t start = 0;
  while (start < text.size()) {
    // One group: a code line and a value line.
    auto nextLine = [&](std::string_view& line) {
      if (start >= text.size()) return false;
      std::size_t end = text.find_first_of("\r\n", start);
      if (end == std::string_view::npos) end = text.size();
      line = text.substr(start, end - start);
      if (end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n')
        ++end;
      start = end + 1;
      return true;
    };
    std::string_view code, value;
    if (!nextLine(code)) break;
    if (!nextLine(value)) {
      lastWasEof = false;
      break;
    }
    code = Trimmed(code);
    value = Trimmed(value);
    lastWasEof = code == "0" && value == "EOF";
    if (unitsNext && code == "70")
      std::from_chars(value.data(), value.data() + value.size(), summary.insertUnits);
    unitsNext = inHeader && code == "9" && value == "$INSUNITS";
    if (code == "0") {
      sectionName = value == "SECTION";
      if (value == "ENDSEC")
        inEntities = inHeader = false;
      else if (inEntities && value != "VERTEX" && value != "SEQEND")
        ++summary.entities;
    } else if (code == "2" && sectionName) {
      inEntities = value == "ENTITIES";
      inHeader = value == "HEADER";
      sectionName = false;
    }
  }
  summary.complete = lastWasEof;
  return summary;
}

DxfSummary SummariseDxfFile(const std::filesystem::path& path) {
  return SummariseDxf(ReadFileBytes(path));
}

}  // namespace tesnova
