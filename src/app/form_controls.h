#pragma once
// The main window's controls by their designer names, the one place the application names
// them. The commands below src/app never see these names: the application reads the form into
// option structs and shows results through a command sink.
#include <string_view>

namespace tesnova::form {

using Name = std::string_view;

// Fields.
inline constexpr Name kPotraceProgram = "Edit1";
inline constexpr Name kTestBitmap = "Edit2";  // the direct trace's test page
inline constexpr Name kTestPotraceOptions = "Edit3";
inline constexpr Name kPotraceOptions = "Edit4";
inline constexpr Name kWorkFileNames = "Edit5";
inline constexpr Name kInsertionLine = "Edit6";
inline constexpr Name kVTracerProgram = "Edit7";
inline constexpr Name kCurveDivisions = "Edit8";
inline constexpr Name kVTracerOptions = "Edit9";
inline constexpr Name kDxfWait = "Edit10";
inline constexpr Name kWinTopoProgram = "Edit11";
inline constexpr Name kStatusLine = "Edit12";
inline constexpr Name kTestPageProgram = "Edit13";  // the centerline bench's page
inline constexpr Name kThreshold = "Edit15";

// Check boxes of the shared area.
inline constexpr Name kMonochrome = "CheckBox1";
inline constexpr Name kGaussian = "CheckBox2";
inline constexpr Name kMedian = "CheckBox3";
inline constexpr Name kDeskew = "CheckBox4";
inline constexpr Name kOtsu = "CheckBox5";
inline constexpr Name kCloseWinTopo = "CheckBox6";
inline constexpr Name kCenterlineTrace = "CheckBox7";  // "中心線で変換"

// Memos: help texts; the VTracer page's memo doubles as the direct trace's log.
inline constexpr Name kPotraceTestHelp = "Memo1";
inline constexpr Name kReadMe = "Memo2";
inline constexpr Name kVTracerHelp = "Memo3";
inline constexpr Name kWinTopoHelp = "Memo4";
inline constexpr Name kPotraceHelp = "Memo5";

// The colour probe.
inline constexpr Name kProbeText = "Label8";
inline constexpr Name kProbeColour = "Shape1";
inline constexpr Name kProbeBinarised = "Shape2";
inline constexpr Name kProbeTimer = "Timer1";
inline constexpr Name kProbeButton = "Button15";

// Buttons, by the command behind them.
inline constexpr Name kDirectTrace = "Button1";
inline constexpr Name kDirectTraceVTracerPage = "Button5";
inline constexpr Name kTestBitmapFolder = "Button2";
inline constexpr Name kVTracerWorkFolder = "Button6";
inline constexpr Name kBenchWorkFolder = "Button17";
inline constexpr Name kTargetCadPotracePage = "Button3";
inline constexpr Name kTargetCadWinTopoPage = "Button13";
inline constexpr Name kTargetCadVTracerPage = "Button14";
inline constexpr Name kPotraceCut = "Button4";
inline constexpr Name kVTracerCut = "Button9";
inline constexpr Name kWinTopoCut = "Button10";
inline constexpr Name kCenterlineCut = "Button16";
inline constexpr Name kPotraceWorkFolder = "Button7";
inline constexpr Name kStartPotrace = "Button8";
inline constexpr Name kInsertWorkDxf = "Button11";
inline constexpr Name kWinTopoWorkFolder = "Button12";
inline constexpr Name kVectoriseInWinTopo = "Button18";
inline constexpr Name kSaveWinTopoDxf = "Button19";
inline constexpr Name kPickImage = "Button20";
inline constexpr Name kInsertImageDxf = "Button21";
inline constexpr Name kImageFolder = "Button22";
inline constexpr Name kOleFrameSnapshot = "Button23";
inline constexpr Name kTestWinTopoMenus = "Button24";

// The buttons a region cut greys out while the user picks.
inline constexpr Name kCutButtons[] = {kPotraceCut, kVTracerCut, kWinTopoCut};

}  // namespace tesnova::form
