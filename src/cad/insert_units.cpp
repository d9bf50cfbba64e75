#include "cad/insert_units.h"

#include <array>

#include "base/error.h"
#include "vector/dxf_check.h"

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
  try {
    return SummariseDxfFile(dxf).insertUnits;
  } catch (const Error&) {
    return 0;
  }
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
