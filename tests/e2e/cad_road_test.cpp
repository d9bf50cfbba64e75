// The whole road in Tesnova.exe against the stand-in CAD program: a region cut traced by the
// real Potrace, inserted back into the drawing, and checked to lie over the picture.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <functional>

#include "base/text_file.h"
#include "cad/cad_automation.h"
#include "e2e/support/alignment.h"
#include "e2e/support/cad_standin.h"
#include "e2e/support/driver.h"
#include "support/windows_potrace.h"
#include "win32/com_automation.h"
#include "win32/wide_text.h"

namespace tesnova::e2e {
namespace {

using testing::StandInCad;

constexpr const char* kTitle = "Tesnova 2026.01.13";
constexpr int kPictureWidth = 300;
constexpr int kPictureHeight = 200;

// A drawing of thick strokes: a ring, two bars and a slanted band (y counted from the top).
bool Dark(int x, int y) {
  double r = std::hypot(x - 90.0, y - 100.0);
  if (r >= 40 && r <= 58) return true;
  if (x >= 170 && x <= 270 && y >= 30 && y <= 50) return true;
  if (x >= 180 && x <= 196 && y >= 60 && y <= 170) return true;
  double d = (x - 200) * 0.6 - (y - 120) * 0.8;
  return std::fabs(d) <= 7 && x >= 200 && x <= 290 && y >= 60 && y <= 190;
}

// The test picture placed in the drawing.
testing::PlacedPicture Placed(CadPoint origin, double unitsPerPixel, double rotation) {
  return {kPictureWidth, kPictureHeight, Dark, origin, unitsPerPixel, rotation};
}

class CadRoad : public ::testing::Test {
 protected:
  void SetUp() override {
    potrace = testing::WindowsPotrace();
    if (!std::filesystem::exists(potrace)) GTEST_SKIP() << "no Windows potrace.exe here";
    picture = PathToUtf8(program.folder() / "plan.bmp");
    testing::WriteTestBmp(picture, kPictureWidth, kPictureHeight, Dark);
  }

  void WriteSettings(int page, bool deskew = false,
                     const std::string& progId = "TesnovaTestCad.Application") {
    auto set = [&](const char* section, const char* key, const std::string& value) {
      program.SetSetting(section, key, value);
    };
    set("Form", "Left", "730");
    set("Form", "Top", "0");
    set("TargetCad", "Name", "テスト CAD");
    set("TargetCad", "ProgId", progId);
    set("PoTrace", "FullName", PathToUtf8(potrace));
    set("PoTrace", "ParamDxf", "-b dxf");
    set("ReadDxf", "Sleep", "300");
    set("ActivePage", "Index", std::to_string(page));
    set("Bitmap", "Filter", "0");
    set("Bitmap", "Binarize", "0");
    set("Bitmap", "Keisha", deskew ? "1" : "0");
    set("WinTopo", "Close", "1");
    set("AutoTrace", "FullName",
        PathToUtf8(BuiltProgram("testbed/vtracer_standin/vtracer_standin.exe")));
    set("AutoTrace", "Param", "--colormode bw");
    set("WinTopoFree", "FullName",
        PathToUtf8(BuiltProgram("testbed/wintopo_standin/wintopo_standin.exe")));
    set("Centerline", "Trace", centerline ? "1" : "0");
  }

  // Runs a region cut from the button of the page and checks the lines against the picture.
  // before runs just before the click, after once the insertion is there, each with the CAD
  // program's application object; after also gets the time from the click to the insertion.
  void CutAndCheck(
      int page, const char* button, const std::string& progId = "TesnovaTestCad.Application",
      const std::function<void(const AutomationRef&)>& before = nullptr,
      const std::function<void(const AutomationRef&, std::chrono::milliseconds)>& after = nullptr) {
    StandInCad cad(host, progId);
    // 300 x 200 pixels placed 150 units wide: half a unit a pixel; the view shows about
    // 0.52 units a screen pixel.
    const CadPoint origin{100, 50};
    cad.app()->Call("TestAddImage", {In(picture), In(PointVariant(origin)), In(150.0), In(0.0)});
    cad.app()->Call("TestSetView", {In(PointVariant({170, 120})), In(300.0)});
    // The corners of the cut, upper left then lower right, inside the picture.
    cad.app()->Call("TestQueuePick", {In(PointVariant({104, 147}))});
    cad.app()->Call("TestQueuePick", {In(PointVariant({246, 53}))});

    WriteSettings(page, false, progId);
    HWND main = program.Start(kTitle);
    ASSERT_NE(main, nullptr);
    if (before) before(cad.app());
    auto start = std::chrono::steady_clock::now();
    Click(Control(main, button));
    ASSERT_TRUE(WaitUntil(
        [&] { return WindowText(Control(main, "Edit12")).starts_with("-INSERT 終了！ "); },
        40000ms))
        << WindowText(Control(main, "Edit12")) << " / "
        << (FindMessageBox(program.pid()) ? AllTexts(FindMessageBox(program.pid())) : "");
    // The command runs in the CAD program after SendCommand has returned.
    ASSERT_TRUE(WaitUntil([&] { return Inserted(cad, 1).size() >= 3; }, 10000ms))
        << cad.app()->Get("TestLog").AsText();
    auto took = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - start);

    CadDocument doc = CadApplication(cad.app()).ActiveDocument();
    double screenPixel =
        doc.GetVariable("viewsize").AsDouble() / doc.GetVariable("screensize").AsDoubles()[1];
    auto polylines = Inserted(cad, 1, screenPixel / 2);
    ASSERT_GE(polylines.size(), 3u);
    EXPECT_GE(testing::ShareOverThePicture(polylines, Placed(origin, 0.5, 0), screenPixel), 0.95);
    EXPECT_EQ(doc.GetVariable("osmode").AsInteger(), 37);
    std::string line = WindowText(Control(main, "Edit6"));
    EXPECT_EQ(line.rfind("挿入基点= 104.", 0), 0u) << line;
    if (after) after(cad.app(), took);
    EXPECT_TRUE(program.Close(main));
  }

  // Every entity the insertion added, as flat coordinate lists sampled along the whole entity,
  // arcs and circles included, at most step drawing units apart (0: its vertices only).
  std::vector<std::vector<double>> Inserted(StandInCad& cad, long before, double step = 0) {
    std::vector<std::vector<double>> out;
    long count = static_cast<long>(cad.app()->Get("TestEntityCount").AsInteger());
    for (long i = before; i < count; ++i) {
      if (step == 0) {
        out.push_back(cad.app()
                          ->Call("TestEntity", {In(static_cast<int>(i))})
                          .AsObject()
                          ->Get("Coordinates")
                          .AsDoubles());
        continue;
      }
      out.push_back(testing::AlongThePath(
          cad.app()->Call("TestEntityOutline", {In(static_cast<int>(i))}).AsDoubles(), step));
    }
    return out;
  }

  ComAutomationHost host;
  ProgramUnderTest program{BuiltProgram("Tesnova.exe")};
  std::filesystem::path potrace;
  std::string picture;
  bool centerline = false;  // "中心線で変換" ticked
};

TEST_F(CadRoad, PotraceCutLandsOverThePicture) { CutAndCheck(2, "Button4"); }

TEST_F(CadRoad, VTracerCutLandsOverThePicture) { CutAndCheck(0, "Button9"); }

// With "中心線で変換" ticked, the cut on WinTopo's page traces with the centerline tracer and
// inserts at once, instead of opening WinTopo; lines, arcs and circles lie over the strokes.
TEST_F(CadRoad, CenterlineCutLandsOverThePicture) {
  EndProgramsWithWindow("WinTopo");
  centerline = true;
  CutAndCheck(1, "Button10");
  EXPECT_EQ(FindTopWindow("WinTopo"), nullptr);
}

// The same for the image pick of a picture turned by 0.3 degrees, deskewed: traced and inserted
// at the image's place, scale and remaining rotation, with no WinTopo.
TEST_F(CadRoad, CenterlinePickLandsOverThePicture) {
  EndProgramsWithWindow("WinTopo");
  const double rotation = 0.3 * 3.14159265358979323846 / 180;
  StandInCad cad(host);
  const CadPoint origin{170, 120};
  cad.app()->Call("TestAddImage", {In(picture), In(PointVariant(origin)), In(150.0), In(rotation)});
  cad.app()->Call("TestSetView", {In(PointVariant({170, 120})), In(360.0)});
  cad.app()->Call("TestQueuePick", {In(PointVariant({origin.x + 75, origin.y + 50}))});
  centerline = true;
  WriteSettings(1, true);
  HWND main = program.Start(kTitle);
  ASSERT_NE(main, nullptr);
  Click(Control(main, "Button20"));
  ASSERT_TRUE(WaitUntil(
      [&] { return WindowText(Control(main, "Edit12")).starts_with("-INSERT 終了！ 図形 "); },
      40000ms))
      << WindowText(Control(main, "Edit12")) << " / "
      << (FindMessageBox(program.pid()) ? AllTexts(FindMessageBox(program.pid())) : "");
  ASSERT_TRUE(WaitUntil([&] { return Inserted(cad, 1).size() >= 3; }, 10000ms))
      << cad.app()->Get("TestLog").AsText();
  CadDocument doc = CadApplication(cad.app()).ActiveDocument();
  double screenPixel =
      doc.GetVariable("viewsize").AsDouble() / doc.GetVariable("screensize").AsDoubles()[1];
  auto inserted = Inserted(cad, 1, screenPixel / 2);
  EXPECT_GE(testing::ShareOverThePicture(inserted, Placed(origin, 0.5, rotation), screenPixel),
            0.95);
  EXPECT_EQ(FindTopWindow("WinTopo"), nullptr);
  EXPECT_TRUE(program.Close(main));
}

// A CAD program whose ProgID names it as one that exports its view itself: "_BMPOUT".
TEST_F(CadRoad, ExportRouteCutLandsOverThePicture) {
  CutAndCheck(2, "Button4", "AutoCAD.TesnovaStandIn");
}

// The export comes late and is written slowly: the cut waits until it is whole.
TEST_F(CadRoad, LateExportIsWaitedForUntilWhole) {
  CutAndCheck(2, "Button4", "AutoCAD.TesnovaStandIn", [](const AutomationRef& app) {
    app->Call("TestCommandTiming", {In(800), In(2500)});
  });
}

// A CAD program whose message filter refuses every call for three seconds: the cut's calls
// were refused, and Tesnova waited them out.
TEST_F(CadRoad, BusyCadIsWaitedFor) {
  CutAndCheck(
      2, "Button4", "TesnovaTestCad.Application",
      [](const AutomationRef& app) { app->Call("TestBusy", {In(3000)}); },
      [](const AutomationRef& app, std::chrono::milliseconds took) {
        EXPECT_GE(app->Get("TestRefusedCalls").AsInteger(), 1);
        EXPECT_GE(took, 3000ms);
      });
}

// The insertion lands right whatever the unit settings: here a drawing without units of its
// own whose target default is metres, and content without units taken as inches.
TEST_F(CadRoad, CutLandsWhateverTheUnitSettings) {
  CutAndCheck(0, "Button9", "TesnovaTestCad.Application", [](const AutomationRef& app) {
    app->Call("TestSetVariable", {In("INSUNITS"), In(0)});
    app->Call("TestSetVariable", {In("INSUNITSDEFTARGET"), In(6)});
    app->Call("TestSetVariable", {In("INSUNITSDEFSOURCE"), In(1)});
  });
}

// A pick cancelled with Escape raises in the CAD program: the user's snap mode comes back, no
// bitmap is made, and the Potrace page says so.
TEST_F(CadRoad, CancelledCutRestoresTheSnap) {
  StandInCad cad(host);
  cad.app()->Call("TestQueueCancel", {});
  WriteSettings(2);
  HWND main = program.Start(kTitle);
  ASSERT_NE(main, nullptr);
  Click(Control(main, "Button4"));
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(program.pid())) != nullptr; }, 20000ms));
  EXPECT_NE(AllTexts(box).find("の読み込みエラーです."), std::string::npos) << AllTexts(box);
  ConfirmMessageBox(box);
  CadDocument doc = CadApplication(cad.app()).ActiveDocument();
  EXPECT_EQ(doc.GetVariable("osmode").AsInteger(), 37);
  EXPECT_TRUE(program.Close(main));
}

// The CAD program dies in the middle of the cut: Tesnova says what it must, keeps running
// and still writes its settings when it closes.
TEST_F(CadRoad, CadDyingInTheCutLeavesTesnovaRunning) {
  StandInCad cad(host);
  WriteSettings(2);
  HWND main = program.Start(kTitle);
  ASSERT_NE(main, nullptr);
  // Dies at the first pick.
  cad.app()->Call("TestDieAfterCalls", {In(6)});
  Click(Control(main, "Button4"));
  ASSERT_TRUE(cad.WaitForExit(20000));
  // No bitmap came, which the Potrace page says in its box.
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(program.pid())) != nullptr; }, 20000ms));
  EXPECT_NE(AllTexts(box).find("の読み込みエラーです."), std::string::npos) << AllTexts(box);
  ConfirmMessageBox(box);
  EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(Control(main, "Button4")) != FALSE; }));
  // The next command finds no CAD program and ends without a word.
  Click(Control(main, "Button4"));
  Sleep(1500);
  EXPECT_EQ(FindMessageBox(program.pid()), nullptr);
  // Gone before the exit, so that only the exit can have written it.
  std::filesystem::remove(program.SettingsFile());
  ASSERT_TRUE(program.Close(main));
  EXPECT_TRUE(std::filesystem::exists(program.SettingsFile()));
}

// The image pick of a picture turned by the angle, deskewed, and the user's steps in WinTopo:
// vectorise, save as DXF, insert into the CAD drawing.
class ImagePickRoad : public CadRoad, public ::testing::WithParamInterface<double> {
 protected:
  void SetUp() override {
    CadRoad::SetUp();
    EndProgramsWithWindow("WinTopo");
    // Tesnova cannot read another process's menu under Wine; the stand-in, started by Tesnova
    // with this environment, takes the identifier that lookup yields for its save command.
    SetEnvironmentVariableW(L"TESNOVA_WINTOPO_STANDIN", L"unreadable-menu");
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"TESNOVA_WINTOPO_STANDIN", nullptr);
    EndProgramsWithWindow("WinTopo");
  }
};

TEST_P(ImagePickRoad, DeskewedPickLandsOverThePicture) {
  const double degrees = GetParam();
  const double rotation = degrees * 3.14159265358979323846 / 180;
  StandInCad cad(host);
  const CadPoint origin{170, 120};
  cad.app()->Call("TestAddImage", {In(picture), In(PointVariant(origin)), In(150.0), In(rotation)});
  cad.app()->Call("TestSetView", {In(PointVariant({170, 120})), In(360.0)});
  // A point inside the turned picture: its middle.
  double c = std::cos(rotation), s = std::sin(rotation);
  cad.app()->Call("TestQueuePick",
                  {In(PointVariant({origin.x + 75 * c - 50 * s, origin.y + 75 * s + 50 * c}))});

  WriteSettings(1, true);
  HWND main = program.Start(kTitle);
  ASSERT_NE(main, nullptr);
  auto dxf = program.folder() / "tesnova.dxf";
  WriteBytes(dxf, "old");
  Click(Control(main, "Button20"));
  HWND wintopo = WaitForTopWindow("WinTopo stand-in - tesnova.bmp", 0, 20000ms);
  ASSERT_NE(wintopo, nullptr) << WindowText(Control(main, "Edit12")) << " / "
                              << (FindMessageBox(program.pid())
                                      ? AllTexts(FindMessageBox(program.pid()))
                                      : "");
  EXPECT_FALSE(std::filesystem::exists(dxf));
  // "2. ベクトル化", then "3. DXF保存": WinTopo's dialog saves beside the work bitmap.
  ASSERT_TRUE(ClickAndWaitForCommand(Control(main, "Button18")));
  ASSERT_TRUE(ClickAndWaitForCommand(Control(main, "Button19")));
  ASSERT_TRUE(WaitUntil([&] { return ReadBytes(dxf).ends_with("EOF\r\n"); }, 20000ms))
      << (FindMessageBox(program.pid()) ? AllTexts(FindMessageBox(program.pid())) : "");
  // "4. CAD へ挿入" closes WinTopo and inserts with the pick's values.
  Click(Control(main, "Button11"));
  ASSERT_TRUE(
      WaitUntil([&] { return WindowText(Control(main, "Edit12")) == "-INSERT 終了!"; }, 20000ms))
      << WindowText(Control(main, "Edit12"));
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(wintopo); }));

  ASSERT_TRUE(WaitUntil([&] { return Inserted(cad, 1).size() >= 3; }, 10000ms))
      << cad.app()->Get("TestLog").AsText();
  CadDocument doc = CadApplication(cad.app()).ActiveDocument();
  double screenPixel =
      doc.GetVariable("viewsize").AsDouble() / doc.GetVariable("screensize").AsDoubles()[1];
  auto polylines = Inserted(cad, 1, screenPixel / 2);
  EXPECT_GE(testing::ShareOverThePicture(polylines, Placed(origin, 0.5, rotation), screenPixel),
            0.95);
  EXPECT_TRUE(program.Close(main));
}

// The work bitmap held open by another program: the pick says so, fails, and Tesnova goes on.
TEST_F(CadRoad, WorkBitmapHeldOpenFailsThePickWithItsMessages) {
  StandInCad cad(host);
  cad.app()->Call("TestAddImage", {In(picture), In(PointVariant({100, 50})), In(150.0), In(0.0)});
  cad.app()->Call("TestSetView", {In(PointVariant({170, 120})), In(300.0)});
  cad.app()->Call("TestQueuePick", {In(PointVariant({150, 100}))});
  WriteSettings(1);
  auto bmp = program.folder() / "tesnova.bmp";
  WriteBytes(bmp, "held");
  HANDLE held = CreateFileW(bmp.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  HWND main = program.Start(kTitle);
  ASSERT_NE(main, nullptr);
  Click(Control(main, "Button20"));
  std::vector<std::string> said;
  for (int i = 0; i < 2; ++i) {
    HWND box = nullptr;
    ASSERT_TRUE(
        WaitUntil([&] { return (box = FindMessageBox(program.pid())) != nullptr; }, 20000ms))
        << i;
    said.push_back(AllTexts(box));
    ConfirmMessageBox(box);
    WaitUntil([&] { return FindMessageBox(program.pid()) != box; });
  }
  CloseHandle(held);
  EXPECT_NE(said[0].find("の削除に失敗しました。使用中？"), std::string::npos) << said[0];
  EXPECT_NE(said[1].find("選択失敗です。"), std::string::npos) << said[1];
  EXPECT_EQ(FindTopWindow("WinTopo"), nullptr);
  EXPECT_TRUE(program.Close(main));
}

INSTANTIATE_TEST_SUITE_P(Turns, ImagePickRoad, ::testing::Values(0.0, 0.3, 90.3, 180.2));

}  // namespace
}  // namespace tesnova::e2e
