#include "app/settings.h"

#include <array>
#include <string>
#include <variant>

#include "base/integer_text.h"
#include "base/error.h"
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
};

// In the order the file is read.
const std::array<Key, 20> kKeys = {{
    {"Form", "Left", IntegerKey{&Settings::left, 0}},
    {"Form", "Top", IntegerKey{&Settings::top, 0}},
    {"PoTrace", "FullName", TextKey{&Settings::potraceFullName, ""}},
    {"BMP", "FullName", TextKey{&Settings::bmpFullName, kPotracePath}},
    {"PoTrace", "Param", TextKey{&Settings::potraceParam, "-b dxf"}},
    {"AutoTrace", "FullName", TextKey{&Settings::autoTraceFullName, ""}},
    {"AutoTrace", "Param", TextKey{&Settings::autoTraceParam, ""}},
    {"TargetCad", "Name", TextKey{&Settings::targetCadName, "BaricsCAD"}},
    {"TargetCad", "ProgId", TextKey{&Settings::targetProgId, "BricscadApp.AcadApplication"}},
    {"PoTrace", "ParamDxf", TextKey{&Settings::potraceParamDxf, "-b dxf"}},
    {"ReadDxf", "Sleep", IntegerKey{&Settings::dxfWaitMs, 1000}},
    {"SvgToDxf", "Divisions", TextKey{&Settings::divisions, "2"}},
    {"WinTopoFree", "FullName", TextKey{&Settings::winTopoFullName, ""}},
    {"ActivePage", "Index", IntegerKey{&Settings::activePage, 1}},
    {"Bitmap", "Binarize", BooleanKey{&Settings::binarize, false}},
    {"Bitmap", "Gaussian", BooleanKey{&Settings::gaussian, false}},
    {"Bitmap", "Filter", BooleanKey{&Settings::filter, true}},
    {"Bitmap", "Keisha", BooleanKey{&Settings::keisha, false}},
    {"WinTopo", "Close", BooleanKey{&Settings::winTopoClose, true}},
    {"Niichika", "Shikiichi", TextKey{&Settings::threshold, "200"}},
}};

// Writing puts the curve divisions after the active page.
constexpr std::array<int, 20> kWriteOrder = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,
                                             10, 12, 13, 11, 14, 15, 16, 17, 18, 19};

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
      throw Error(std::string(fileName) + " に書き込めません");
  }
}

void ApplySettings(const Settings& s, View& view, ProgramValues& values) {
  view.SetText("Edit1", s.potraceFullName);
  view.SetText("Edit2", s.bmpFullName);
  view.SetText("Edit3", s.potraceParam);
  view.SetText("Edit7", s.autoTraceFullName);
  view.SetText("Edit9", s.autoTraceParam);
  values.targetCadName = s.targetCadName;
  values.targetProgId = s.targetProgId;
  view.SetText("Edit4", s.potraceParamDxf);
  values.dxfWaitMs = s.dxfWaitMs;
  view.SetText("Edit10", std::to_string(s.dxfWaitMs));
  view.SetText("Edit8", s.divisions);
  view.SetText("Edit11", s.winTopoFullName);
  view.SetActivePage(s.activePage);
  view.SetChecked("CheckBox1", s.binarize);
  view.SetChecked("CheckBox2", s.gaussian);
  view.SetChecked("CheckBox3", s.filter);
  view.SetChecked("CheckBox4", s.keisha);
  view.SetChecked("CheckBox6", s.winTopoClose);
  view.SetText("Edit15", s.threshold);
}

Settings CollectSettings(const View& view, const ProgramValues& values, int left, int top) {
  Settings s;
  s.left = left;
  s.top = top;
  s.potraceFullName = view.Text("Edit1");
  s.bmpFullName = view.Text("Edit2");
  s.potraceParam = view.Text("Edit3");
  s.autoTraceFullName = view.Text("Edit7");
  s.autoTraceParam = view.Text("Edit9");
  s.targetCadName = values.targetCadName;
  s.targetProgId = values.targetProgId;
  s.potraceParamDxf = view.Text("Edit4");
  s.dxfWaitMs = values.dxfWaitMs;
  s.divisions = view.Text("Edit8");
  s.winTopoFullName = view.Text("Edit11");
  s.activePage = view.ActivePage();
  s.binarize = view.Checked("CheckBox1");
  s.gaussian = view.Checked("CheckBox2");
  s.filter = view.Checked("CheckBox3");
  s.keisha = view.Checked("CheckBox4");
  s.winTopoClose = view.Checked("CheckBox6");
  s.threshold = view.Text("Edit15");
  return s;
}

}  // namespace tesnova
