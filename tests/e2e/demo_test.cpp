// The demonstration of the whole road, run by scripts/demo.sh: a scanned plan placed twice in
// the stand-in CAD's drawing (the second copy smaller and turned by 0.3 degrees), a region cut
// on the Potrace page and one on the VTracer page, and an image pick of the turned copy with
// deskew, handed to WinTopo's stand-in. The CAD view before and after and every DXF go into the
// folder named by TESNOVA_DEMO_OUT. Without that variable there is nothing to do.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>

#include "base/text_file.h"
#include "cad/cad_automation.h"
#include "e2e/support/alignment.h"
#include "e2e/support/cad_standin.h"
#include "e2e/support/driver.h"
#include "raster/picture.h"
#include "support/windows_potrace.h"
#include "win32/com_automation.h"
#include "win32/wide_text.h"

namespace tesnova::e2e {
namespace {

using testing::StandInCad;

constexpr const char* kTitle = "Tesnova 2026.01.13";
constexpr double kPi = 3.14159265358979323846;

TEST(Demo, WholeRoadOnAScannedPlan) {
  const char* outText = std::getenv("TESNOVA_DEMO_OUT");
  if (!outText || !*outText) GTEST_SKIP() << "TESNOVA_DEMO_OUT names no folder";
  const std::filesystem::path out = PathFromUtf8(outText);
  std::filesystem::create_directories(out);
  const std::filesystem::path potrace = testing::WindowsPotrace();
  ASSERT_TRUE(std::filesystem::exists(potrace)) << "scripts/setup.d/potrace-exe.sh makes it";
  const std::filesystem::path scan =
      PathFromUtf8(TESNOVA_TEST_DATA) / ".." / ".." / "demo" / "scan.png";
  ASSERT_TRUE(std::filesystem::exists(scan)) << PathToUtf8(scan);

  // WinTopo's stand-in, started by Tesnova, inherits this: under Wine Tesnova cannot read its
  // menu, and the stand-in takes the identifier that lookup yields as its save command.
  EndProgramsWithWindow("WinTopo");
  SetEnvironmentVariableW(L"TESNOVA_WINTOPO_STANDIN", L"unreadable-menu");
  ComAutomationHost host;
  StandInCad cad(host, "TesnovaTestCad.Application", "0,0,1280,550");
  AutomationRef app = cad.app();
  // The plan, 1200 x 850 pixels, 600 units wide; a copy 300 units wide turned by 0.3 degrees.
  app->Call("TestAddImage", {In(PathToUtf8(scan)), In(PointVariant({0, 0})), In(600.0), In(0.0)});
  const CadPoint turnedOrigin{660, 60};
  const double turn = 0.3 * kPi / 180;
  app->Call("TestAddImage",
            {In(PathToUtf8(scan)), In(PointVariant(turnedOrigin)), In(300.0), In(turn)});
  app->Call("TestSetView", {In(PointVariant({480, 215})), In(450.0)});
  app->Call("TestSaveView", {In(PathToUtf8(out / "before.png"))});

  ProgramUnderTest program(BuiltProgram("Tesnova.exe"));
  auto set = [&](const char* section, const char* key, const std::string& value) {
    program.SetSetting(section, key, value);
  };
  set("Form", "Left", "700");
  set("Form", "Top", "555");
  set("TargetCad", "Name", "stand-in CAD");
  set("TargetCad", "ProgId", "TesnovaTestCad.Application");
  set("PoTrace", "FullName", PathToUtf8(potrace));
  set("AutoTrace", "FullName",
      PathToUtf8(BuiltProgram("testbed/vtracer_standin/vtracer_standin.exe")));
  set("AutoTrace", "Param", "--colormode bw");
  set("WinTopoFree", "FullName",
      PathToUtf8(BuiltProgram("testbed/wintopo_standin/wintopo_standin.exe")));
  set("ReadDxf", "Sleep", "300");
  set("Bitmap", "Filter", "0");
  set("Bitmap", "Keisha", "1");
  set("WinTopo", "Close", "1");
  HWND main = program.Start(kTitle);
  ASSERT_NE(main, nullptr);
  auto text = [&](const char* control) { return WindowText(Control(main, control)); };
  // Shows the page and clears the status line, so that the next command's last status is news.
  auto page = [&](int index) {
    Click(Control(main, "Tab" + std::to_string(index)));
    Sleep(300);
    SetWindowTextTo(Control(main, "Edit12"), "");
  };
  auto keep = [&](const char* name) {
    std::filesystem::copy_file(program.folder() / "tesnova.dxf", out / name,
                               std::filesystem::copy_options::overwrite_existing);
  };
  // The alignment bar: the lines a step inserted (they come once the CAD program has run the
  // command) lie within one screen pixel of the plan's dark pixels, 95 % of their vertices.
  Bitmap plan = LoadPicture(scan);
  auto dark = [&](int x, int y) {
    const std::uint8_t* p = plan.at(x, y);
    return p[0] + p[1] + p[2] < 3 * 128;
  };
  CadDocument doc = CadApplication(app).ActiveDocument();
  const double screenPixel =
      doc.GetVariable("viewsize").AsDouble() / doc.GetVariable("screensize").AsDoubles()[1];
  long counted = 2;  // the two pictures
  auto checkAlignment = [&](const char* step, testing::PlacedPicture placed) {
    long count = 0;
    ASSERT_TRUE(WaitUntil(
        [&] {
          return (count = static_cast<long>(app->Get("TestEntityCount").AsInteger())) > counted;
        },
        20000ms))
        << step << ": " << app->Get("TestLog").AsText();
    std::vector<std::vector<double>> lines;
    for (long i = counted; i < count; ++i)
      lines.push_back(app->Call("TestEntity", {In(static_cast<int>(i))})
                          .AsObject()
                          ->Get("Coordinates")
                          .AsDoubles());
    counted = count;
    double share = testing::ShareOverThePicture(lines, placed, screenPixel);
    std::printf("demo: %s: %zu polylines, %.1f %% of their vertices within one screen pixel\n",
                step, lines.size(), 100 * share);
    EXPECT_GE(share, 0.95) << step;
  };
  const testing::PlacedPicture straight{plan.width, plan.height, dark, {0, 0}, 0.5, 0};

  // The plate with its holes, cut on the Potrace page.
  page(2);
  app->Call("TestQueuePick", {In(PointVariant({60, 365}))});
  app->Call("TestQueuePick", {In(PointVariant({340, 135}))});
  Click(Control(main, "Button4"));
  ASSERT_TRUE(
      WaitUntil([&] { return text("Edit12").starts_with("-INSERT 終了！ ポリライン "); }, 60000ms))
      << text("Edit12");
  keep("potrace.dxf");
  checkAlignment("Potrace cut", straight);

  // The arched part, cut on the VTracer page.
  page(0);
  app->Call("TestQueuePick", {In(PointVariant({360, 365}))});
  app->Call("TestQueuePick", {In(PointVariant({515, 185}))});
  Click(Control(main, "Button9"));
  ASSERT_TRUE(
      WaitUntil([&] { return text("Edit12").starts_with("-INSERT 終了！ ポリライン "); }, 60000ms))
      << text("Edit12");
  keep("vtracer.dxf");
  checkAlignment("VTracer cut", straight);

  // The turned copy, picked as an image and deskewed, handed to WinTopo.
  page(1);
  app->Call("TestQueuePick", {In(PointVariant({turnedOrigin.x + 150, turnedOrigin.y + 100}))});
  Click(Control(main, "Button20"));
  HWND wintopo = WaitForTopWindow("WinTopo stand-in - tesnova.bmp", 0, 30000ms);
  ASSERT_NE(wintopo, nullptr) << text("Edit12");
  // "2. ベクトル化", "3. DXF保存" (WinTopo's save dialog, answered by Tesnova), "4. CAD へ挿入".
  ASSERT_TRUE(ClickAndWaitForCommand(Control(main, "Button18")));
  ASSERT_TRUE(ClickAndWaitForCommand(Control(main, "Button19")));
  auto dxf = program.folder() / "tesnova.dxf";
  ASSERT_TRUE(WaitUntil([&] { return ReadBytes(dxf).ends_with("EOF\r\n"); }, 30000ms))
      << "WinTopo's stand-in saved no DXF";
  keep("image-pick.dxf");
  Click(Control(main, "Button11"));
  ASSERT_TRUE(WaitUntil([&] { return text("Edit12") == "-INSERT 終了!"; }, 30000ms))
      << text("Edit12");
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(wintopo); }));
  SetEnvironmentVariableW(L"TESNOVA_WINTOPO_STANDIN", nullptr);
  checkAlignment("image pick", {plan.width, plan.height, dark, turnedOrigin, 0.25, turn});
  std::filesystem::copy_file(program.folder() / "tesnova.bmp", out / "image-pick.bmp",
                             std::filesystem::copy_options::overwrite_existing);

  app->Call("TestSaveView", {In(PathToUtf8(out / "after.png"))});
  std::printf("demo: %lld polylines inserted; pictures and DXF files in %s\n",
              static_cast<long long>(app->Get("TestEntityCount").AsInteger() - 2),
              PathToUtf8(out).c_str());
  EXPECT_TRUE(program.Close(main));
}

}  // namespace
}  // namespace tesnova::e2e
