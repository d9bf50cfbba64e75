#pragma once
// The settings file beside the executable: read once while the main window is created,
// written once while it is destroyed.
#include <string>
#include <string_view>

#include "app/program_values.h"

namespace tesnova {

class ProfileStore;
class View;

struct Settings {
  int left = 0;                   // [Form] Left
  int top = 0;                    // [Form] Top
  std::string potraceFullName;    // [PoTrace] FullName
  std::string bmpFullName;        // [BMP] FullName
  std::string potraceParam;       // [PoTrace] Param
  std::string autoTraceFullName;  // [AutoTrace] FullName
  std::string autoTraceParam;     // [AutoTrace] Param
  std::string targetCadName;      // [TargetCad] Name
  std::string targetProgId;       // [TargetCad] ProgId
  std::string potraceParamDxf;    // [PoTrace] ParamDxf
  int dxfWaitMs = 0;              // [ReadDxf] Sleep
  std::string divisions;          // [SvgToDxf] Divisions
  std::string winTopoFullName;    // [WinTopoFree] FullName
  int activePage = 0;             // [ActivePage] Index
  bool binarize = false;          // [Bitmap] Binarize
  bool gaussian = false;          // [Bitmap] Gaussian
  bool filter = false;            // [Bitmap] Filter
  bool keisha = false;            // [Bitmap] Keisha
  bool winTopoClose = false;      // [WinTopo] Close
  std::string threshold;          // [Niichika] Shikiichi
  bool centerline = false;        // [Centerline] Trace

  bool operator==(const Settings&) const = default;
};

// The window's top-left corner that centres a window of the given outer size on the screen.
int CentredOrigin(int screenSize, int windowSize);

// Reads every key in file order; a missing key takes its default (the window position
// defaults to the given centred corner).
Settings ReadSettings(const ProfileStore& store, int centredLeft, int centredTop);

// Writes every key. Raises Error "<fileName> に書き込めません" at the first refused write;
// the keys after it are not written.
void WriteSettings(ProfileStore& store, const Settings& settings, std::string_view fileName);

// Puts the values into the window's fields, switches and page, and the program-wide values.
// The window position is the caller's to apply.
void ApplySettings(const Settings& settings, View& view, ProgramValues& values);

// Takes the values back from the window and the program-wide values. The wait comes from
// the program-wide value, not from its field.
Settings CollectSettings(const View& view, const ProgramValues& values, int left, int top);

}  // namespace tesnova
