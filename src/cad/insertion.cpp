#include "cad/insertion.h"

#include "vector/number_format.h"

namespace tesnova {

std::string FormatInsertCommand(const std::string& dxfPath, double x, double y,
                                const std::string& scaleText, const std::string& rotationText) {
  return "-INSERT\r\"*" + dxfPath + "\"\rnon\r" + FormatGeneralNumber(x) + "," +
         FormatGeneralNumber(y) + "\r" + scaleText + "\r" + rotationText + "\r";
}

std::string CutInsertionLine(double baseX, double baseY, double scale) {
  return "挿入基点= " + FormatGeneralNumber(baseX) + "," + FormatGeneralNumber(baseY) +
         " 挿入尺度= " + FormatGeneralNumber(scale);
}

std::string PickInsertionLine(double baseX, double baseY, double scale, double rotationDeg) {
  return CutInsertionLine(baseX, baseY, scale) + " 回転角度= " + FormatGeneralNumber(rotationDeg);
}

std::string InsertedPolylinesStatus(std::size_t polylines) {
  return "-INSERT 終了！ ポリライン " + std::to_string(polylines) + " 本";
}

std::string InsertedShapesStatus(std::size_t shapes) {
  return "-INSERT 終了！ 図形 " + std::to_string(shapes) + " 個";
}

}  // namespace tesnova
