// The COM automation client against the stand-in CAD program, across processes under Wine.
#include "cad/cad_automation.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <cmath>
#include <thread>

#include "base/text_file.h"
#include "e2e/support/cad_standin.h"
#include "e2e/support/driver.h"
#include "win32/com_automation.h"
#include "win32/win32_desktop.h"

namespace tesnova {
namespace {

using e2e::WaitUntil;
using testing::StandInCad;
using namespace std::chrono_literals;

constexpr std::int32_t kInvalidArgument = static_cast<std::int32_t>(0x80070057);
constexpr std::int32_t kTypeMismatch = static_cast<std::int32_t>(0x80020005);

// The error code of the automation call, 0 when it did not fail.
template <class F>
std::int32_t ErrorOf(F&& call) {
  try {
    call();
  } catch (const AutomationError& e) {
    return e.code() ? e.code() : -1;
  }
  return 0;
}

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
  AutomationRef Utility() { return doc.object()->Get("Utility").AsObject(); }
  long EntityCount() { return static_cast<long>(cad.app()->Get("TestEntityCount").AsInteger()); }
  std::string Log() { return cad.app()->Get("TestLog").AsText(); }
  void SetUnits(int insUnits, int defaultSource, int defaultTarget) {
    cad.app()->Call("TestSetVariable", {In("INSUNITS"), In(insUnits)});
    cad.app()->Call("TestSetVariable", {In("INSUNITSDEFSOURCE"), In(defaultSource)});
    cad.app()->Call("TestSetVariable", {In("INSUNITSDEFTARGET"), In(defaultTarget)});
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
  EXPECT_EQ(ErrorOf([&] { doc.SetVariable("osmode", 70000); }), kInvalidArgument);
  // Typed commands run after the call, on the CAD program's own loop.
  doc.SendCommand(std::string("\x1bSETVAR OSMODE 37\r"));
  EXPECT_TRUE(WaitUntil([&] { return doc.GetVariable("osmode").AsInteger() == 37; }, 5000ms));

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
  EXPECT_TRUE(WaitUntil([&] { return doc.GetVariable("viewsize").AsDouble() == oldSize; }, 5000ms));
  // A view's centre takes two doubles.
  EXPECT_EQ(ErrorOf([&] { view.object()->Put("Center", PointVariant({1, 2})); }), kInvalidArgument);

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
  Variant first = utility.GetPoint("\n1 点目 : ");
  EXPECT_EQ(first.AsDoubles(), (std::vector<double>{1.5, 2.25, 0}));
  auto second = utility.GetCorner(first, "\n2 点目 : ");
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
  image.Rotate(image.OriginValue(), -quarter);
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
  auto picked = PointFrom(doc.Utility().GetPoint("\n1 点目 : "));
  left.join();
  ASSERT_TRUE(picked);
  // The middle of the pixel clicked.
  EXPECT_NEAR(picked->x, 10.5 + (cx - screen[0] / 2), 1e-9);
  EXPECT_NEAR(picked->y, 19.5 - (cy - screen[1] / 2), 1e-9);
  std::thread right = clickLater(WM_RBUTTONDOWN, cx, cy);
  EXPECT_THROW(doc.Utility().GetPoint("\n1 点目 : "), AutomationError);
  right.join();
}

// A pick snaps to the nearest corner while the endpoint snap is on, as the user's picks do in
// the real programs; with the snaps off it stays where it was made.
TEST_F(CadAutomationTest, PicksSnapWhileObjectSnapIsOn) {
  ScratchFolder folder;
  std::string picture = PathToUtf8(folder / "snap.bmp");
  testing::WriteTestBmp(picture, 40, 20, Diagonal);
  cad.app()->Call("TestAddImage", {In(picture), In(PointVariant({10, 20})), In(80.0), In(0.0)});
  double pixel =
      doc.GetVariable("viewsize").AsDouble() / doc.GetVariable("screensize").AsDoubles()[1];
  CadPoint beside{10 + 3 * pixel, 20 + 2 * pixel};
  EXPECT_EQ(doc.GetVariable("osmode").AsInteger(), 37);
  QueuePick(beside.x, beside.y);
  EXPECT_EQ(PointFrom(doc.Utility().GetPoint("p")), (CadPoint{10, 20}));
  doc.SetVariable("osmode", 0);
  QueuePick(beside.x, beside.y);
  EXPECT_EQ(PointFrom(doc.Utility().GetPoint("p")), beside);
}

// A cancelled pick raises an error, as in the real programs; it does not answer empty.
TEST_F(CadAutomationTest, CancelledPicksRaise) {
  CadUtility utility = doc.Utility();
  cad.app()->Call("TestQueueCancel", {});
  EXPECT_THROW(utility.GetPoint("\n1 点目 : "), AutomationError);
  cad.app()->Call("TestQueueCancel", {});
  EXPECT_THROW(utility.GetCorner(PointVariant({0, 0}), "\n2 点目 : "), AutomationError);
  cad.app()->Call("TestQueueCancel", {});
  EXPECT_THROW(utility.GetEntity("選択 : "), AutomationError);
  QueuePick(-1000, -1000);  // nothing there
  EXPECT_THROW(utility.GetEntity("選択 : "), AutomationError);
}

// A point is three doubles: two, four or an array of another type is an invalid argument, and
// an omitted optional argument is "missing", not empty.
TEST_F(CadAutomationTest, PointsAreThreeDoublesAndOmittedArgumentsMissing) {
  AutomationRef utility = Utility();
  struct Case {
    const char* what;
    Variant point;
  } refused[] = {{"two", Variant(std::vector<double>{1, 2})},
                 {"four", Variant(std::vector<double>{1, 2, 0, 0})},
                 {"a number", Variant(1.0)},
                 {"empty", Variant()}};
  for (const auto& c : refused) {
    QueuePick(3, 4);
    std::string message;
    try {
      utility->Call("GetCorner", {In(c.point), In("\n2 点目 : ")});
    } catch (const AutomationError& e) {
      message = e.what();
      EXPECT_EQ(e.code(), kInvalidArgument) << c.what;
    }
    EXPECT_NE(message.find("Invalid argument Point in GetCorner"), std::string::npos)
        << c.what << ": " << message;
    cad.app()->Call("TestClearPicks", {});
  }
  // The base point of GetPoint left out works; passed empty it is an invalid point.
  QueuePick(3, 4);
  EXPECT_EQ(ErrorOf([&] {
              utility->Call("GetPoint", {In(Variant()), In("p")});
            }),
            kInvalidArgument);
  EXPECT_EQ(utility->Call("GetPoint", {Missing(), In("p")}).AsDoubles(),
            (std::vector<double>{3, 4, 0}));

  // Rotate's base point likewise; the entity's own Origin goes back as it came.
  ScratchFolder folder;
  std::string picture = PathToUtf8(folder / "turn.bmp");
  testing::WriteTestBmp(picture, 40, 20, Diagonal);
  AutomationRef image =
      cad.app()
          ->Call("TestAddImage", {In(picture), In(PointVariant({10, 20})), In(80.0), In(0.0)})
          .AsObject();
  EXPECT_EQ(ErrorOf([&] {
              image->Call("Rotate", {In(Variant(std::vector<double>{10, 20})), In(0.5)});
            }),
            kInvalidArgument);
  Variant origin = image->Get("Origin");
  EXPECT_EQ(origin.AsDoubles().size(), 3u);
  image->Call("Rotate", {In(origin), In(0.5)});
  EXPECT_NEAR(image->Get("Rotation").AsDouble(), 0.5, 1e-12);
}

// GetEntity's picked object is an [out] IDispatch**: the type machinery refuses a VARIANT by
// reference in its place before the member is entered (the pick stays queued); the client
// passes the object by reference.
TEST_F(CadAutomationTest, GetEntityTakesItsObjectAsADispatchReference) {
  ScratchFolder folder;
  std::string picture = PathToUtf8(folder / "pick.bmp");
  testing::WriteTestBmp(picture, 40, 20, Diagonal);
  cad.app()->Call("TestAddImage", {In(picture), In(PointVariant({10, 20})), In(80.0), In(0.0)});
  QueuePick(20, 25);
  std::vector<Argument> variants{Out(), Out(), In("選択 : ")};
  EXPECT_EQ(ErrorOf([&] { Utility()->Call("GetEntity", variants); }), kTypeMismatch);
  CadPoint picked;
  CadEntity entity = doc.Utility().GetEntity("選択 : ", &picked);
  EXPECT_EQ(entity.ObjectName(), "AcDbRasterImage");
  EXPECT_EQ(picked, (CadPoint{20, 25}));
}

// A busy CAD program's message filter refuses calls; the client retries until it answers.
TEST_F(CadAutomationTest, BusyServerRefusesCallsAndIsRetriedUntilItAnswers) {
  cad.app()->Call("TestBusy", {In(2500)});
  auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(doc.GetVariable("osmode").AsInteger(), 37);
  // Answered only after the server stopped refusing, not by giving up.
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(2000));
  EXPECT_GE(cad.app()->Get("TestRefusedCalls").AsInteger(), 1);
}

// SendCommand only types the text: the command runs afterwards on the CAD program's loop, for
// its time, and calls that come meanwhile are refused.
TEST_F(CadAutomationTest, CommandsRunAfterSendCommandAndKeepTheProgramBusy) {
  ScratchFolder folder;
  auto dxf = folder / "square.dxf";
  WriteFileBytes(dxf,
                 "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n0\n 20\n0\n 11\n1\n 21\n0\n"
                 "  0\nENDSEC\n  0\nEOF\n");
  cad.app()->Call("TestCommandTiming", {In(300), In(2000)});
  long before = EntityCount();
  auto start = std::chrono::steady_clock::now();
  doc.SendCommand("-INSERT\r\"*" + PathToUtf8(dxf) + "\"\rnon\r0,0\r1\r0\r");
  EXPECT_LT(std::chrono::steady_clock::now() - start, 250ms);
  EXPECT_EQ(EntityCount(), before);  // not yet
  Sleep(500);
  long refused = cad.app()->Get("TestRefusedCalls").AsInteger();
  EXPECT_EQ(EntityCount(), before + 1);  // answered once the command had run
  EXPECT_GE(std::chrono::steady_clock::now() - start, 2000ms);
  EXPECT_GE(refused, 1);
}

// "_BMPOUT" writes its file as it runs: after SendCommand has returned the file is missing or
// partial and held open, and complete only when the command has finished.
TEST_F(CadAutomationTest, BmpOutWritesItsFileLate) {
  ScratchFolder folder;
  auto file = folder / "view.bmp";
  doc.SetVariable("FILEDIA", 0);
  cad.app()->Call("TestCommandTiming", {In(0), In(1500)});
  doc.SendCommand("_BMPOUT\r\"" + PathToUtf8(file) + "\"\r\r");
  ASSERT_TRUE(WaitUntil([&] { return std::filesystem::exists(file); }, 1000ms));
  std::string early = e2e::ReadBytes(file);
  HANDLE exclusive = CreateFileW(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  EXPECT_EQ(exclusive, INVALID_HANDLE_VALUE);
  if (exclusive != INVALID_HANDLE_VALUE) CloseHandle(exclusive);
  doc.GetVariable("FILEDIA");  // refused until the command has finished
  std::string whole = e2e::ReadBytes(file);
  ASSERT_GE(whole.size(), 54u);
  std::uint32_t declared = 0;
  for (int i = 5; i >= 2; --i) declared = declared * 256 + static_cast<unsigned char>(whole[i]);
  EXPECT_EQ(whole.size(), declared);
  EXPECT_LT(early.size(), whole.size());
}

// "-INSERT" reads LINE, ARC, CIRCLE, LWPOLYLINE and POLYLINE.
TEST_F(CadAutomationTest, InsertReadsLinesArcsCirclesAndPolylines) {
  ScratchFolder folder;
  auto dxf = folder / "mixed.dxf";
  WriteFileBytes(dxf,
                 "  0\nSECTION\n  2\nENTITIES\n"
                 "  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n4\n 21\n0\n"
                 "  0\nARC\n  8\n0\n 10\n0\n 20\n0\n 40\n2\n 50\n0\n 51\n90\n"
                 "  0\nCIRCLE\n  8\n0\n 10\n5\n 20\n5\n 40\n1\n"
                 "  0\nLWPOLYLINE\n  8\n0\n 90\n2\n 70\n0\n 10\n0\n 20\n1\n 10\n1\n 20\n1\n"
                 "  0\nPOLYLINE\n  8\n0\n 66\n1\n 70\n0\n"
                 "  0\nVERTEX\n  8\n0\n 10\n0\n 20\n2\n  0\nVERTEX\n  8\n0\n 10\n1\n 20\n2\n"
                 "  0\nSEQEND\n  0\nENDSEC\n  0\nEOF\n");
  SetUnits(0, 0, 0);
  long before = EntityCount();
  doc.SendCommand("-INSERT\r\"*" + PathToUtf8(dxf) + "\"\rnon\r100,50\r10\r0\r");
  ASSERT_TRUE(WaitUntil([&] { return EntityCount() == before + 5; }, 5000ms)) << Log();
  auto coords = [&](long i) {
    return cad.app()->Call("TestEntity", {In(static_cast<int>(before + i))}).AsObject();
  };
  EXPECT_EQ(coords(0)->Get("ObjectName").AsText(), "AcDbLine");
  EXPECT_EQ(coords(1)->Get("ObjectName").AsText(), "AcDbArc");
  auto arc = coords(1)->Get("Coordinates").AsDoubles();  // from (2, 0) to (0, 2), scaled
  ASSERT_EQ(arc.size(), 4u);
  EXPECT_NEAR(arc[0], 120, 1e-9);
  EXPECT_NEAR(arc[1], 50, 1e-9);
  EXPECT_NEAR(arc[2], 100, 1e-9);
  EXPECT_NEAR(arc[3], 70, 1e-9);
  EXPECT_EQ(coords(2)->Get("ObjectName").AsText(), "AcDbCircle");
  CadPoint lower, upper;
  CadEntity(coords(2)).GetBoundingBox(lower, upper);
  EXPECT_NEAR(lower.x, 140, 1e-6);
  EXPECT_NEAR(upper.y, 110, 1e-6);
}

// A DXF that stops before its EOF is refused whole, as a CAD program refuses it.
TEST_F(CadAutomationTest, InsertRefusesADxfCutShort) {
  ScratchFolder folder;
  const std::string lines =
      "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n  8\n0\n 10\n0\n 20\n0\n 11\n4\n 21\n0\n";
  auto cut = folder / "cut.dxf";
  WriteFileBytes(cut, lines);
  SetUnits(0, 0, 0);
  long before = EntityCount();
  doc.SendCommand("-INSERT\r\"*" + PathToUtf8(cut) + "\"\rnon\r0,0\r1\r0\r");
  ASSERT_TRUE(WaitUntil(
      [&] { return Log().find("ファイルを読めません: " + PathToUtf8(cut)) != std::string::npos; },
      5000ms))
      << Log();
  EXPECT_EQ(EntityCount(), before);
}

// Units: a file without units is taken in INSUNITSDEFSOURCE and scaled into the drawing's
// INSUNITS (INSUNITSDEFTARGET when that is 0); a file that declares its units is taken in them.
TEST_F(CadAutomationTest, InsertScalesByTheUnitSettings) {
  ScratchFolder folder;
  struct Case {
    int insUnits, defaultSource, defaultTarget;
    const char* header;
    double length;  // of the unit line, inserted at scale 2
  } cases[] = {{4, 1, 1, "", 2 * 25.4},
               {0, 1, 4, "", 2 * 25.4},
               {6, 4, 0, "", 2 * 0.001},
               {4, 0, 1, "", 2},
               {4, 1, 1, "  9\n$INSUNITS\n 70\n5\n", 2 * 10}};
  int n = 0;
  for (const auto& c : cases) {
    auto dxf = folder / ("unit" + std::to_string(n++) + ".dxf");
    WriteFileBytes(dxf, std::string("  0\nSECTION\n  2\nHEADER\n") + c.header +
                            "  0\nENDSEC\n  0\nSECTION\n  2\nENTITIES\n"
                            "  0\nLINE\n 10\n0\n 20\n0\n 11\n1\n 21\n0\n  0\nENDSEC\n  0\nEOF\n");
    SetUnits(c.insUnits, c.defaultSource, c.defaultTarget);
    long before = EntityCount();
    doc.SendCommand("-INSERT\r\"*" + PathToUtf8(dxf) + "\"\rnon\r0,0\r2\r0\r");
    ASSERT_TRUE(WaitUntil([&] { return EntityCount() == before + 1; }, 5000ms)) << Log();
    auto line = cad.app()->Call("TestEntity", {In(static_cast<int>(before))}).AsObject();
    EXPECT_NEAR(line->Get("Coordinates").AsDoubles()[2], c.length, 1e-9)
        << c.insUnits << " " << c.defaultSource << " " << c.defaultTarget << " " << c.header;
  }
}

// Text typed while another command still waits for its answers goes to that command: an
// "-INSERT" then inserts nothing, until Escape has ended the waiting command.
TEST_F(CadAutomationTest, InsertRefusedWhileAnotherCommandIsActive) {
  ScratchFolder folder;
  auto dxf = folder / "line.dxf";
  WriteFileBytes(dxf,
                 "  0\nSECTION\n  2\nENTITIES\n  0\nLINE\n 10\n0\n 20\n0\n 11\n1\n 21\n0\n"
                 "  0\nENDSEC\n  0\nEOF\n");
  std::string insert = "-INSERT\r\"*" + PathToUtf8(dxf) + "\"\rnon\r0,0\r1\r0\r";
  doc.SetVariable("FILEDIA", 0);
  long before = EntityCount();
  doc.SendCommand("_BMPOUT\r");  // waits for its file name
  doc.SendCommand(insert);
  Sleep(1000);
  EXPECT_EQ(EntityCount(), before) << Log();
  doc.SendCommand("\x1b" + insert);
  EXPECT_TRUE(WaitUntil([&] { return EntityCount() == before + 1; }, 5000ms)) << Log();
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
    SetUnits(0, 0, 0);
    long before = EntityCount();
    doc.SendCommand("-INSERT\r\"*" + PathToUtf8(dxf) + "\"\rnon\r100,50\r20\r" +
                    std::to_string(static_cast<int>(c.rotation)) + "\r");
    ASSERT_TRUE(WaitUntil([&] { return EntityCount() == before + 1; }, 5000ms)) << Log();
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
