#include "app/settings.h"

#include <array>
#include <string>
#include <variant>

#include "app/form_controls.h"
#include "base/error.h"
#include "base/integer_text.h"
#include "ports/profile_store.h"
#include "ports/view.h"

namespace tesnova {
namespace {

constexpr const char* kPotracePath = "C:\\Program Files\\Potrace\\potrace.exe";

struct TextKey {
  std::string Settings::*field;
  const char* fallback;
};
struct IntegerKey {
  int Settings::*field;
  int fallback;  // the window position's fallback is the centred corner instead
};
struct BooleanKey {
  bool Settings::*field;
  bool fallback;
};

struct Key {
  const char* section;
  const char* name;
  std::variant<TextKey, IntegerKey, BooleanKey> value;
  // The control that shows the value; empty for values kept outside the controls. Text and
  // Boolean keys are taken back from their controls; an integer key is only shown there and
  // taken back from the program's values.
  form::Name control = {};
};

// In the order the file is read.
const std::array<Key, 21> kKeys = {{
    {"Form", "Left", IntegerKey{&Settings::left, 0}},
    {"Form", "Top", IntegerKey{&Settings::top, 0}},
    {"PoTrace", "FullName", TextKey{&Settings::potraceFullName, ""}, form::kPotraceProgram},
    {"BMP", "FullName", TextKey{&Settings::bmpFullName, kPotracePath}, form::kTestBitmap},
    {"PoTrace", "Param", TextKey{&Settings::potraceParam, "-b dxf"}, form::kTestPotraceOptions},
    {"AutoTrace", "FullName", TextKey{&Settings::autoTraceFullName, ""}, form::kVTracerProgram},
    {"AutoTrace", "Param", TextKey{&Settings::autoTraceParam, ""}, form::kVTracerOptions},
    {"TargetCad", "Name", TextKey{&Settings::targetCadName, "BaricsCAD"}},
    {"TargetCad", "ProgId", TextKey{&Settings::targetProgId, "BricscadApp.AcadApplication"}},
    {"PoTrace", "ParamDxf", TextKey{&Settings::potraceParamDxf, "-b dxf"}, form::kPotraceOptions},
    {"ReadDxf", "Sleep", IntegerKey{&Settings::dxfWaitMs, 1000}, form::kDxfWait},
    {"SvgToDxf", "Divisions", TextKey{&Settings::divisions, "2"}, form::kCurveDivisions},
    {"WinTopoFree", "FullName", TextKey{&Settings::winTopoFullName, ""}, form::kWinTopoProgram},
    {"ActivePage", "Index", IntegerKey{&Settings::activePage, 1}},
    {"Bitmap", "Binarize", BooleanKey{&Settings::binarize, false}, form::kMonochrome},
    {"Bitmap", "Gaussian", BooleanKey{&Settings::gaussian, false}, form::kGaussian},
    {"Bitmap", "Filter", BooleanKey{&Settings::filter, true}, form::kMedian},
    {"Bitmap", "Keisha", BooleanKey{&Settings::keisha, false}, form::kDeskew},
    {"WinTopo", "Close", BooleanKey{&Settings::winTopoClose, true}, form::kCloseWinTopo},
    {"Niichika", "Shikiichi", TextKey{&Settings::threshold, "200"}, form::kThreshold},
    {"Centerline", "Trace", BooleanKey{&Settings::centerline, false}, form::kCenterlineTrace},
}};

// Writing puts the curve divisions after the active page.
constexpr std::array<int, 21> kWriteOrder = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9, 10,
                                             12, 13, 11, 14, 15, 16, 17, 18, 19, 20};

}  // namespace

int CentredOrigin(int screenSize, int windowSize) { return (screenSize - windowSize) / 2; }

Settings ReadSettings(const ProfileStore& store, int centredLeft, int centredTop) {
  Settings s;
  for (const Key& key : kKeys) {
    if (auto* text = std::get_if<TextKey>(&key.value)) {
      s.*(text->field) = store.Read(key.section, key.name, text->fallback);
    } else if (auto* integer = std::get_if<IntegerKey>(&key.value)) {
      int fallback = integer->field == &Settings::left  ? centredLeft
                     : integer->field == &Settings::top ? centredTop
                                                        : integer->fallback;
      s.*(integer->field) =
          IntegerOrDefault(store.Read(key.section, key.name, std::to_string(fallback)), fallback);
    } else {
      auto& boolean = std::get<BooleanKey>(key.value);
      int n = IntegerOrDefault(store.Read(key.section, key.name, boolean.fallback ? "1" : "0"),
                               boolean.fallback ? 1 : 0);
      s.*(boolean.field) = n != 0;
    }
  }
  return s;
}

void WriteSettings(ProfileStore& store, const Settings& settings, std::string_view fileName) {
  for (int index : kWriteOrder) {
    const Key& key = kKeys[index];
    std::string value;
    if (auto* text = std::get_if<TextKey>(&key.value))
      value = settings.*(text->field);
    else if (auto* integer = std::get_if<IntegerKey>(&key.value))
      value = std::to_string(settings.*(integer->field));
    else
      value = settings.*(std::get<BooleanKey>(key.value).field) ? "1" : "0";
    if (!store.Write(key.section, key.name, value))
      throw FileError(std::string(fileName), "に書き込めません");
  }
}

void ApplySettings(const Settings& s, View& view, ProgramValues& values) {
  for (const Key& key : kKeys) {
    if (key.control.empty()) continue;
    if (auto* text = std::get_if<TextKey>(&key.value))
      view.SetText(key.control, s.*(text->field));
    else if (auto* integer = std::get_if<IntegerKey>(&key.value))
      view.SetText(key.control, std::to_string(s.*(integer->field)));
    else
      view.SetChecked(key.control, s.*(std::get<BooleanKey>(key.value).field));
  }
  values.targetCadName = s.targetCadName;
  values.targetProgId = s.targetProgId;
  values.cad.dxfWaitMs = s.dxfWaitMs;
  view.SetActivePage(s.activePage);
}

Settings CollectSettings(const View& view, const ProgramValues& values, int left, int top) {
  Settings s;
  for (const Key& key : kKeys) {
    if (key.control.empty()) continue;
    if (auto* text = std::get_if<TextKey>(&key.value))
      s.*(text->field) = view.Text(key.control);
    else if (auto* boolean = std::get_if<BooleanKey>(&key.value))
      s.*(boolean->field) = view.Checked(key.control);
  }
  s.left = left;
  s.top = top;
  s.targetCadName = values.targetCadName;
  s.targetProgId = values.targetProgId;
  s.dxfWaitMs = values.cad.dxfWaitMs;
  s.activePage = view.ActivePage();
  return s;
}

}  // namespace tesnova
