// The COM automation client against the stand-in CAD program, across processes under Wine.
#include "cad/cad_automation.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "base/text_file.h"
#include "e2e/support/cad_standin.h"
#include "win32/com_automation.h"
#include "win32/win32_desktop.h"

namespace tesnova {
namespace {

using testing::StandInCad;

// A fresh folder under the temporary folder, removed afterwards.
struct ScratchFolder {
  std::filesystem::path path;
  ScratchFolder() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    path = std::filesystem::temp_directory_path() / (std::string("tesnova-cad-") + info->name());
    std::filesystem::remove_all(path);
    std::filesystem::create_directories(path);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path, ignored);
  }
  std::filesystem::path operator/(const std::string& name) const { return path / name; }
};

class CadAutomationTest : public ::testing::Test {
 protected:
  ComAutomationHost host;
  StandInCad cad{host};
  CadApplication app{cad.app()};
  CadDocument doc = app.ActiveDocument();

  void QueuePick(double x, double y) {
    cad.app()->Call("TestQueuePick", {In(PointVariant({x, y}))});
  }
};

TEST_F(CadAutomationTest, VariablesViewportsAndCommands) {
  auto screen = doc.GetVariable("screensize").AsDoubles();
  ASSERT_EQ(screen.size(), 2u);
  EXPECT_GT(screen[0], 100);
  EXPECT_GT(screen[1], 100);

  // Integer system variables only take the 16-bit form; a round trip proves the type.
  doc.SetVariable("osmode", 0);
  EXPECT_EQ(doc.GetVariable("osmode").AsInteger(), 0);
  doc.SendCommand(std::string("\x1bSETVAR OSMODE 37\r"));
  EXPECT_EQ(doc.GetVariable("osmode").AsInteger(), 37);

  // The viewport is a copy: changes show only once it is written back; "zoom pre" undoes.
  double oldSize = doc.GetVariable("viewsize").AsDouble();
  CadViewport view = doc.ActiveViewport();
  view.SetCenter({500, 400});
  view.SetHeight(200);
  EXPECT_EQ(doc.GetVariable("viewsize").AsDouble(), oldSize);
  doc.SetActiveViewport(view);
  EXPECT_EQ(doc.GetVariable("viewsize").AsDouble(), 200);
  EXPECT_EQ(doc.GetVariable("viewctr").X(), 500);
  EXPECT_EQ(doc.GetVariable("viewctr").Y(), 400);
  doc.SendCommand("zoom pre\r");
  EXPECT_EQ(doc.GetVariable("viewsize").AsDouble(), oldSize);

  EXPECT_NE(doc.Hwnd(), 0u);
  EXPECT_NE(app.Hwnd(), 0u);
  EXPECT_NE(app.Hwnd(), doc.Hwnd());
  EXPECT_THROW(cad.app()->Get("NoSuchMember"), AutomationError);
}

bool Diagonal(int x, int y) { return x == y || x == 0 || y == 0; }

TEST_F(CadAutomationTest, PicksPointsAndOutArguments) {
  ScratchFolder folder;
  std::string picture = PathToUtf8(folder / "pick.bmp");
  testing::WriteTestBmp(picture, 40, 20, Diagonal);
  // 40 x 20 pixels placed 80 units wide at (10, 20), turned a quarter.
  double quarter = std::acos(0.0);
  cad.app()->Call("TestAddImage", {In(picture), In(PointVariant({10, 20})), In(80.0), In(quarter)});

  QueuePick(1.5, 2.25);
  QueuePick(3, 4);
  CadUtility utility = doc.Utility();
  auto first = utility.GetPoint("\n1 点目 : ");
  ASSERT_TRUE(first);
  EXPECT_EQ(*first, (CadPoint{1.5, 2.25}));
  auto second = utility.GetCorner(*first, "\n2 点目 : ");
  ASSERT_TRUE(second);
  EXPECT_EQ(*second, (CadPoint{3, 4}));

  QueuePick(0, 30);  // inside the turned image
  CadPoint picked;
  CadEntity image = utility.GetEntity("選択 : ", &picked);
  EXPECT_EQ(picked, (CadPoint{0, 30}));
  EXPECT_EQ(image.ObjectName(), "AcDbRasterImage");
  EXPECT_EQ(image.ImageFile(), picture);
  EXPECT_EQ(image.Width(), 40);
  EXPECT_EQ(image.Height(), 20);
  EXPECT_NEAR(image.Rotation(), quarter, 1e-12);
  EXPECT_EQ(image.Origin(), (CadPoint{10, 20}));

  CadPoint lower, upper;
  image.GetBoundingBox(lower, upper);
  EXPECT_NEAR(lower.x, -30, 1e-9);
  EXPECT_NEAR(upper.x, 10, 1e-9);
  EXPECT_NEAR(lower.y, 20, 1e-9);
  EXPECT_NEAR(upper.y, 100, 1e-9);
  image.Rotate(image.Origin(), -quarter);
  image.GetBoundingBox(lower, upper);
  EXPECT_NEAR(upper.x - lower.x, 80, 1e-9);
  EXPECT_NEAR(upper.y - lower.y, 40, 1e-9);
}

TEST_F(CadAutomationTest, PicksByMouseWhenNoneAreQueued) {
  auto screen = doc.GetVariable("screensize").AsDoubles();
  cad.app()->Call("TestSetView", {In(PointVariant({0, 0})), In(screen[1])});  // a unit a pixel
  HWND view = reinterpret_cast<HWND>(doc.Hwnd());
  auto clickLater = [view](UINT message, int x, int y) {
    return std::thread([=] {
      Sleep(500);
      PostMessageW(view, message, 0, MAKELPARAM(x, y));
    });
  };
  int cx = static_cast<int>(screen[0]) / 2, cy = static_cast<int>(screen[1]) / 2;
  std::thread left = clickLater(WM_LBUTTONDOWN, cx + 10, cy - 20);
  auto picked = doc.Utility().GetPoint("\n1 点目 : ");
  left.join();
  ASSERT_TRUE(picked);
  EXPECT_NEAR(picked->x, 10 + (cx - screen[0] / 2), 1e-9);
  EXPECT_NEAR(picked->y, 20 - (cy - screen[1] / 2), 1e-9);
  std::thread right = clickLater(WM_RBUTTONDOWN, cx, cy);
  EXPECT_FALSE(doc.Utility().GetPoint("\n1 点目 : "));
  right.join();
}

TEST_F(CadAutomationTest, CancelledPicks) {
  CadUtility utility = doc.Utility();
  cad.app()->Call("TestQueueCancel", {});
  EXPECT_FALSE(utility.GetPoint("\n1 点目 : "));
  cad.app()->Call("TestQueueCancel", {});
  EXPECT_THROW(utility.GetEntity("選択 : "), AutomationError);
  QueuePick(-1000, -1000);  // nothing there
  EXPECT_THROW(utility.GetEntity("選択 : "), AutomationError);
}

TEST_F(CadAutomationTest, BusyServerIsRetriedUntilItAnswers) {
  cad.app()->Call("TestBusy", {In(2500)});
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(doc.GetVariable("osmode").AsInteger(), 37);
  // Answered only after the server stopped rejecting, not by giving up.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
}

TEST_F(CadAutomationTest, DeadServerFailsTheCallAndTheLookup) {
  Win32Desktop desktop;
  cad.app()->Call("TestDieAfterCalls", {In(0)});
  EXPECT_THROW(doc.GetVariable("osmode"), AutomationError);
  ASSERT_TRUE(cad.WaitForExit(5000));
  AutomationRef again;
  EXPECT_FALSE(GetCadApplication(host, desktop, cad.progId(), again, true));
}

TEST_F(CadAutomationTest, GetCadApplicationMaximisesAMinimisedCad) {
  Win32Desktop desktop;
  app.SetWindowState(kCadWindowMinimised);
  EXPECT_EQ(app.WindowState(), kCadWindowMinimised);
  AutomationRef found;
  ASSERT_TRUE(GetCadApplication(host, desktop, cad.progId(), found, true));
  EXPECT_EQ(CadApplication(found).WindowState(), kCadWindowMaximised);
  AutomationRef none;
  EXPECT_FALSE(GetCadApplication(host, desktop, "TesnovaTestCad.NotRunning", none, true));
}

// A closed unit square as Potrace writes it: LF only, group codes padded to three columns,
// and a quarter circle bulge on the last side.
const char* kPotraceSquare =
    "999\nwritten by a tracer\n  0\nSECTION\n  2\nHEADER\n  9\n$ACADVER\n  1\nAC1006\n"
    "  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n  0\nPOLYLINE\n  8\n0\n 66\n1\n 70\n1\n"
    "  0\nVERTEX\n  8\n0\n 10\n0\n 20\n0\n 42\n0\n  0\nVERTEX\n  8\n0\n 10\n1\n 20\n0\n 42\n0\n"
    "  0\nVERTEX\n  8\n0\n 10\n1\n 20\n1\n 42\n0\n  0\nVERTEX\n  8\n0\n 10\n0\n 20\n1\n 42\n0\n"
    "  0\nSEQEND\n  0\nENDSEC\n  0\nEOF\n";

TEST_F(CadAutomationTest, InsertPlacesTheDxfByBasePointScaleAndRotation) {
  ScratchFolder folder;
  struct Case {
    std::string newline;
    double rotation;
    CadPoint corner;  // where DXF point (1, 0) lands
  } cases[] = {{"\n", 0, {120, 50}}, {"\r\n", 90, {100, 70}}};
  for (const auto& c : cases) {
    std::string text = kPotraceSquare;
    if (c.newline != "\n") {
      std::string converted;
      for (char ch : text) converted += ch == '\n' ? c.newline : std::string(1, ch);
      text = converted;
    }
    auto dxf = folder / "my folder" / "square.dxf";
    std::filesystem::create_directories(dxf.parent_path());
    WriteFileBytes(dxf, text);
    long before = static_cast<long>(cad.app()->Get("TestEntityCount").AsInteger());
    doc.SendCommand("-INSERT\r\"*" + PathToUtf8(dxf) + "\"\rnon\r100,50\r20\r" +
                    std::to_string(static_cast<int>(c.rotation)) + "\r");
    ASSERT_EQ(cad.app()->Get("TestEntityCount").AsInteger(), before + 1);
    auto entity = cad.app()->Call("TestEntity", {In(static_cast<int>(before))}).AsObject();
    auto coords = entity->Get("Coordinates").AsDoubles();
    ASSERT_EQ(coords.size(), 8u);
    EXPECT_NEAR(coords[0], 100, 1e-9);
    EXPECT_NEAR(coords[1], 50, 1e-9);
    EXPECT_NEAR(coords[2], c.corner.x, 1e-9);
    EXPECT_NEAR(coords[3], c.corner.y, 1e-9);
  }
}

}  // namespace
}  // namespace tesnova
