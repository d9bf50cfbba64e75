// The image pick, the insertions and the OLE frame snapshot against fakes.
#include <gtest/gtest.h>

#include <cmath>

#include "cad/cad_fixture.h"
#include "raster/bmp_file.h"
#include "tools/tracer_command_lines.h"

namespace tesnova {
namespace {

using testing::CadCommandTest;

constexpr double kDegree = 3.14159265358979323846 / 180;

class ImagePick : public CadCommandTest {
 protected:
  void SetUp() override {
    // A 20 x 10 picture placed 4 units wide, named with forward slashes as CAD programs do.
    Bitmap picture(20, 10, 255);
    picture.at(0, 9)[0] = 0;
    std::filesystem::create_directories(scratch / "scans");
    WriteBmp24(scratch / "scans" / "plan.bmp", picture);
    cad.imageFile = PathToUtf8(scratch.path()) + "/scans/plan.bmp";
    cad.imageWidth = 20;
    cad.imageHeight = 10;
    cad.unitsPerPixel = 0.2;
    cad.origin = {10, 20, 0};
    QueuePick(11, 21);
    view.SetText("Edit11", "C:\\WinTopo\\WinTopoFree.exe");
    view.SetText("Edit15", "200");
    view.events.clear();
  }
};

TEST_F(ImagePick, DeskewedPickOfAnImageTurnedBy90Point3Degrees) {
  cad.rotation = 90.3 * kDegree;
  for (const char* box : {"CheckBox1", "CheckBox4", "CheckBox5"}) view.SetChecked(box, true);
  ImagePickCommand(context);

  EXPECT_TRUE(view.messages().empty()) << view.messages().front();
  EXPECT_DOUBLE_EQ(pick.topoSc, 0.2);
  EXPECT_EQ(pick.topoW, 20);
  EXPECT_EQ(pick.topoH, 10);
  EXPECT_EQ(pick.topoFullName, cad.imageFile);
  EXPECT_NEAR(pick.topoDeg, 90.3, 1e-12);
  // The insertion line is written before the deskew; the insertion takes the rest only.
  EXPECT_EQ(view.Text("Edit6"), PickInsertionLine(10, 20, 0.2, pick.topoDeg));
  EXPECT_NEAR(values.insertion.rotationDeg, 90, 1e-9);
  EXPECT_EQ(values.insertion.baseX, 10);
  EXPECT_EQ(values.insertion.baseY, 20);
  ASSERT_EQ(rasterLog.size(), 2u);
  EXPECT_NEAR(std::stod(rasterLog[0].substr(7)), -0.3, 1e-9);
  EXPECT_EQ(rasterLog[1], "monochrome auto");
  EXPECT_EQ(view.Text("Edit15"), "128");

  // The entity was measured unturned, about its own Origin as the CAD program gave it, and
  // left as it was.
  EXPECT_EQ(cad.pointArguments,
            (std::vector<std::string>{"Rotate (10.000000,20.000000,0.000000)",
                                      "Rotate (10.000000,20.000000,0.000000)"}));
  EXPECT_NEAR(cad.rotation, 90.3 * kDegree, 1e-12);
  EXPECT_NEAR(cad.origin[0], 10, 1e-9);
  EXPECT_NEAR(cad.origin[1], 20, 1e-9);

  auto statuses = view.Statuses();
  ASSERT_GE(statuses.size(), 2u);
  std::string shown = cad.imageFile;
  for (char& c : shown)
    if (c == '/') c = '\\';
  EXPECT_EQ(statuses[0], shown);
  EXPECT_EQ(statuses[1], PickStatusText(20, 10, 0.2));
  EXPECT_EQ(ReadBmp(scratch / "tesnova.bmp").width, 20);
  ASSERT_EQ(processes.opened.size(), 1u);
  EXPECT_EQ(processes.opened[0].arguments, WinTopoArguments(Work("tesnova.bmp")));
  EXPECT_EQ(view.events.front(), "minimise");
  EXPECT_EQ(view.events.back(), "restore");
}

TEST_F(ImagePick, SmallTurnsAndUntickedDeskewKeepTheRotation) {
  struct Case {
    double degrees;
    bool deskew;
    double insertion;
  } cases[] = {{0.004, true, 0.004}, {0.3, false, 0.3}, {180.2, true, 180}, {0.5, true, 0}};
  for (const auto& c : cases) {
    rasterLog.clear();
    cad.picks.clear();
    QueuePick(11, 21);
    cad.rotation = c.degrees * kDegree;
    view.SetChecked("CheckBox4", c.deskew);
    ImagePickCommand(context);
    EXPECT_NEAR(values.insertion.rotationDeg, c.insertion, 1e-9) << c.degrees;
    EXPECT_EQ(rasterLog.size(), c.insertion == c.degrees ? 0u : 1u) << c.degrees;
  }
}

TEST_F(ImagePick, FailuresAreToldAndEndThePick) {
  // Another kind of entity.
  cad.objectName = "AcDbLine";
  ImagePickCommand(context);
  EXPECT_EQ(view.messages().back(), "ラスターイメージではありません。\nAcDbLine です。");
  EXPECT_TRUE(processes.opened.empty());

  // A cancelled pick.
  cad.objectName = "AcDbRasterImage";
  QueueCancel();
  ImagePickCommand(context);
  EXPECT_EQ(view.messages().back(), "選択失敗です。");

  // A missing picture file: the values read before the failure stay.
  cad.imageFile = PathToUtf8(scratch.path()) + "/scans/gone.png";
  QueuePick(11, 21);
  ImagePickCommand(context);
  EXPECT_EQ(view.messages().back(), "選択失敗です。");
  EXPECT_EQ(pick.topoFullName, cad.imageFile);
  EXPECT_DOUBLE_EQ(values.insertion.scale, 0.2);
  EXPECT_TRUE(processes.opened.empty());
  EXPECT_FALSE(std::filesystem::exists(scratch / "tesnova.bmp"));

  // A corrupt one.
  WriteFileBytes(scratch / "scans" / "bad.png", "\x89PNG\r\n\x1a\nnot really");
  cad.imageFile = PathToUtf8(scratch.path()) + "/scans/bad.png";
  QueuePick(11, 21);
  ImagePickCommand(context);
  EXPECT_EQ(view.messages().back(), "選択失敗です。");
  EXPECT_TRUE(processes.opened.empty());
}

TEST_F(ImagePick, UnsupportedPictureStillOpensWinTopoOnAnEmptyBitmap) {
  WriteFileBytes(scratch / "scans" / "plan.gif", "GIF89a");
  cad.imageFile = PathToUtf8(scratch.path()) + "/scans/plan.gif";
  ImagePickCommand(context);
  EXPECT_EQ(view.messages(), (std::vector<std::string>{".GIF には対応していません。"}));
  EXPECT_TRUE(std::filesystem::exists(scratch / "tesnova.bmp"));
  EXPECT_EQ(processes.opened.size(), 1u);
}

TEST_F(ImagePick, CadNotRunningOnlyClearsTheRotation) {
  cad.running = false;
  values.insertion = {1, 2, 3, 45};
  ImagePickCommand(context);
  EXPECT_EQ(values.insertion.rotationDeg, 0);
  EXPECT_EQ(values.insertion.scale, 3);
  EXPECT_TRUE(view.events.empty());
}

TEST_F(ImagePick, InsertionOfTheWorkDxfAndOfTheImagesOwnDxf) {
  // Before any cut or pick: the base point 0,0, scale and rotation 0.
  InsertWorkDxfCommand(context);
  EXPECT_EQ(view.messages().back(), Work("tesnova.dxf") + "\nファイルが見つかりません。");
  EXPECT_TRUE(cad.commands.empty());
  WriteFileBytes(scratch / "tesnova.dxf", "0\r\nEOF\r\n");
  InsertWorkDxfCommand(context);
  ASSERT_EQ(cad.commands.size(), 1u);
  EXPECT_EQ(cad.commands[0], "-INSERT\r\"*" + Work("tesnova.dxf") + "\"\rnon\r0,0\r0\r0\r");
  EXPECT_EQ(view.Statuses(),
            (std::vector<std::string>{"-INSERT コマンドを発行 ...", "-INSERT 終了!"}));

  // After a deskewed pick of 90.3 degrees the work DXF goes in at 90, the image's own at 90.3.
  cad.rotation = 90.3 * kDegree;
  view.SetChecked("CheckBox4", true);
  ImagePickCommand(context);
  WriteFileBytes(scratch / "tesnova.dxf", "0\r\nEOF\r\n");
  InsertWorkDxfCommand(context);
  EXPECT_EQ(cad.commands.back(),
            "-INSERT\r\"*" + Work("tesnova.dxf") + "\"\rnon\r10,20\r0.2\r90\r");
  WriteFileBytes(scratch / "scans" / "plan.dxf", "0\r\nEOF\r\n");
  InsertImageDxfCommand(context);
  EXPECT_EQ(cad.commands.back(), FormatInsertCommand(PathToUtf8(scratch.path()) + "/scans/plan.dxf",
                                                     10, 20, "0.2", "90.3"));
  EXPECT_EQ(view.Statuses().back(), "-INSERT 終了 !");
}

TEST_F(ImagePick, OleFrameSnapshotZoomsCopiesAndZoomsBack) {
  cad.objectName = "AcDbOle2Frame";
  cad.rotation = 0;
  OleFrameSnapshotCommand(context);
  EXPECT_EQ(view.messages(),
            (std::vector<std::string>{"AcDbOle2Frame", "10.000,20.000 - 14.000,22.000"}));
  ASSERT_EQ(capture.copies.size(), 1u);
  EXPECT_EQ(capture.copies[0].window, cad.mainWindow);
  EXPECT_EQ(capture.copies[0].width, 800);
  EXPECT_EQ(capture.copies[0].height, 600);
  EXPECT_TRUE(LoggedBefore("Center := (12.000000,21.000000)", "ActiveViewport := object"));
  EXPECT_TRUE(Logged("Height := 2.000000"));
  EXPECT_EQ(cad.commands, (std::vector<std::string>{"zoom pre\r"}));
  EXPECT_EQ(view.caption(), "104");

  // Another entity: nothing is said; a failed pick says "Error".
  capture.copies.clear();
  cad.objectName = "AcDbRasterImage";
  QueuePick(11, 21);
  OleFrameSnapshotCommand(context);
  EXPECT_TRUE(capture.copies.empty());
  EXPECT_EQ(view.messages().size(), 2u);
  QueueCancel();
  OleFrameSnapshotCommand(context);
  EXPECT_EQ(view.messages().back(), "Error");
}

}  // namespace
}  // namespace tesnova
