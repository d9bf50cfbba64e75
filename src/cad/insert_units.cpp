#include "cad/insert_units.h"

#include <array>
#include <charconv>

#include "base/text_file.h"

namespace tesnova {

double MetresPerInsertUnit(int code) {
  static constexpr std::array<double, 21> kMetres{0,
                                                  0.0254,
                                                  0.3048,
                                                  1609.344,
                                                  1e-3,
                                                  1e-2,
                                                  1,
                                                  1e3,
                                                  2.54e-8,
                                                  2.54e-5,
                                                  0.9144,
                                                  1e-10,
                                                  1e-9,
                                                  1e-6,
                                                  0.1,
                                                  10,
                                                  100,
                                                  1e9,
                                                  1.495978707e11,
                                                  9.4607304725808e15,
                                                  3.0856775814913673e16};
  return code >= 0 && code < static_cast<int>(kMetres.size()) ? kMetres[code] : 0;
}

double InsertUnitFactor(int fileUnits, int insUnits, int defaultSource, int defaultTarget) {
  double source = MetresPerInsertUnit(fileUnits != 0 ? fileUnits : defaultSource);
  double target = MetresPerInsertUnit(insUnits != 0 ? insUnits : defaultTarget);
  return source > 0 && target > 0 ? source / target : 1;
}

int DxfHeaderInsertUnits(const std::filesystem::path& dxf) {
  std::vector<std::string> lines;
  try {
    lines = SplitLines(ReadFileBytes(dxf));
  } catch (const Error&) {
    return 0;
  }
  auto trim = [](const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r");
    size_t b = s.find_last_not_of(" \t\r");
    return a == std::string::npos ? std::string() : s.substr(a, b - a + 1);
  };
  for (size_t i = 0; i + 3 < lines.size(); i += 2) {
    std::string code = trim(lines[i]), value = trim(lines[i + 1]);
    if (code == "0" && value == "ENDSEC") break;  // the header is the first section
    if (code == "9" && value == "$INSUNITS" && trim(lines[i + 2]) == "70") {
      std::string number = trim(lines[i + 3]);
      int units = 0;
      std::from_chars(number.data(), number.data() + number.size(), units);
      return units;
    }
  }
  return 0;
}

double UnitFreeInsertScale(CadDocument& doc, const std::filesystem::path& dxf, double scale) {
  auto variable = [&](const char* name) {
    try {
      return static_cast<int>(doc.GetVariable(name).AsInteger());
    } catch (const AutomationError&) {
      return 0;
    }
  };
  double factor = InsertUnitFactor(DxfHeaderInsertUnits(dxf), variable("INSUNITS"),
                                   variable("INSUNITSDEFSOURCE"), variable("INSUNITSDEFTARGET"));
  return scale / factor;
}

}  // namespace tesnova
