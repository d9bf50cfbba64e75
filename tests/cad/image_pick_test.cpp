// The image pick, the insertions and the OLE frame snapshot against fakes.
#include <gtest/gtest.h>

#include <cmath>

#include "cad/cad_fixture.h"
#include "raster/bmp_file.h"
#include "raster/rotate.h"
#include "raster/threshold.h"
#include "tools/tracer_command_lines.h"

namespace tesnova {
namespace {

using testing::CadCommandTest;

constexpr double kDegree = 3.14159265358979323846 / 180;

class ImagePick : public CadCommandTest {
 protected:
  void SetUp() override {
    // A 20 x 10 picture placed 4 units wide, named with forward slashes as CAD programs do.
    picture = Bitmap(20, 10, 255);
    picture.at(0, 9)[0] = 0;
    for (int y = 2; y < 6; ++y)
      for (int x = 4; x < 12; ++x)
        picture.at(x, y)[0] = picture.at(x, y)[1] = picture.at(x, y)[2] = 30;
    std::filesystem::create_directories(scratch / "scans");
    WriteBmp24(scratch / "scans" / "plan.bmp", picture);
    cad.imageFile = PathToUtf8(scratch.path()) + "/scans/plan.bmp";
    cad.imageWidth = 20;
    cad.imageHeight = 10;
    cad.unitsPerPixel = 0.2;
    cad.origin = {10, 20, 0};
    QueuePick(11, 21);
    options.winTopo = "C:\\WinTopo\\WinTopoFree.exe";
  }
  void Pick() { ImagePickCommand(context, options); }
  Bitmap picture;
  PickOptions options;
};

TEST_F(ImagePick, DeskewedPickOfAnImageTurnedBy90Point3Degrees) {
  cad.rotation = 90.3 * kDegree;
  options.deskew = options.prepare.monochrome = options.prepare.otsu = true;
  Pick();

  EXPECT_TRUE(sink.Messages().empty()) << sink.Messages().front();
  const PickedImage& pick = state.picked;
  EXPECT_DOUBLE_EQ(pick.topoSc, 0.2);
  EXPECT_EQ(pick.topoW, 20);
  EXPECT_EQ(pick.topoH, 10);
  EXPECT_EQ(state.picked.topoFullName, cad.imageFile);
  EXPECT_NEAR(pick.topoDeg, 90.3, 1e-12);
  // The insertion line is written before the deskew; the insertion takes the rest only.
  EXPECT_EQ(sink.insertion, "挿入基点= 10,20 挿入尺度= 0.2 回転角度= 90.3");
  EXPECT_NEAR(state.insertion.rotationDeg, 90, 1e-9);
  EXPECT_EQ(state.insertion.baseX, 10);
  EXPECT_EQ(state.insertion.baseY, 20);
  // The picture was turned back by 0.3 degrees, then binarised by Otsu's threshold.
  Bitmap expected = RotateBitmap(picture, -0.3 * kDegree);
  const int otsu = OtsuThreshold(expected);
  BinarizeByThreshold(expected, static_cast<std::uint8_t>(otsu));
  EXPECT_EQ(ReadBmp(scratch / "tesnova.bmp"), expected);
  EXPECT_EQ(sink.threshold, otsu);

  // The entity was measured unturned, about its own Origin as the CAD program gave it, and
  // left as it was.
  EXPECT_EQ(cad.pointArguments,
            (std::vector<std::string>{"Rotate (10.000000,20.000000,0.000000)",
                                      "Rotate (10.000000,20.000000,0.000000)"}));
  EXPECT_NEAR(cad.rotation, 90.3 * kDegree, 1e-12);
  EXPECT_NEAR(cad.origin[0], 10, 1e-9);
  EXPECT_NEAR(cad.origin[1], 20, 1e-9);

  auto statuses = sink.Statuses();
  ASSERT_GE(statuses.size(), 2u);
  std::string shown = cad.imageFile;
  for (char& c : shown)
    if (c == '/') c = '\\';
  EXPECT_EQ(statuses[0], shown);
  EXPECT_EQ(statuses[1], "元画像の W= 20 px (4.00 mm), H= 10 px (2.00 mm) X尺度= 0.200");
  EXPECT_EQ(ReadBmp(scratch / "tesnova.bmp").width, 20);
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].file, options.winTopo);
  EXPECT_EQ(shell.opened[0].parameters, "\"" + Work("tesnova.bmp") + "\"");
  EXPECT_EQ(sink.events.front(), "aside");
  EXPECT_EQ(sink.events.back(), "back");
}

TEST_F(ImagePick, CenterlineTracerTracesAndInsertsInsteadOfWinTopo) {
  cad.rotation = 90.3 * kDegree;
  options.deskew = options.centerline = true;
  Pick();
  EXPECT_TRUE(sink.Messages().empty()) << sink.Messages().front();
  EXPECT_TRUE(shell.opened.empty());
  const std::string dxf = ReadFileBytes(scratch / "tesnova.dxf");
  EXPECT_NE(dxf.find("LINE"), std::string::npos) << dxf;
  // At the image's origin and scale, turned by what the deskew left.
  ASSERT_EQ(cad.commands.size(), 1u);
  EXPECT_EQ(cad.commands[0], "-INSERT\r\"*" + Work("tesnova.dxf") + "\"\rnon\r10,20\r0.2\r90\r");
  EXPECT_TRUE(sink.Statuses().back().starts_with("-INSERT 終了！ 図形 ")) << sink.Statuses().back();
}

TEST_F(ImagePick, SmallTurnsAndUntickedDeskewKeepTheRotation) {
  struct Case {
    double degrees;
    bool deskew;
    double insertion;
  } cases[] = {{0.004, true, 0.004}, {0.3, false, 0.3}, {180.2, true, 180}, {0.5, true, 0}};
  for (const auto& c : cases) {
    cad.picks.clear();
    QueuePick(11, 21);
    cad.rotation = c.degrees * kDegree;
    options.deskew = c.deskew;
    Pick();
    EXPECT_NEAR(state.insertion.rotationDeg, c.insertion, 1e-9) << c.degrees;
    EXPECT_EQ(ReadBmp(scratch / "tesnova.bmp") == picture, c.insertion == c.degrees) << c.degrees;
  }
}

TEST_F(ImagePick, FailuresAreToldAndEndThePick) {
  // Another kind of entity.
  cad.objectName = "AcDbLine";
  Pick();
  EXPECT_EQ(sink.Messages().back(), "ラスターイメージではありません。\nAcDbLine です。");
  EXPECT_TRUE(shell.opened.empty());

  // A cancelled pick.
  cad.objectName = "AcDbRasterImage";
  QueueCancel();
  Pick();
  EXPECT_EQ(sink.Messages().back(), "選択失敗です。");

  // A missing picture file: the values read before the failure stay.
  cad.imageFile = PathToUtf8(scratch.path()) + "/scans/gone.png";
  QueuePick(11, 21);
  Pick();
  EXPECT_EQ(sink.Messages().back(), "選択失敗です。");
  EXPECT_EQ(state.picked.topoFullName, cad.imageFile);
  EXPECT_DOUBLE_EQ(state.insertion.scale, 0.2);
  EXPECT_TRUE(shell.opened.empty());
  EXPECT_FALSE(std::filesystem::exists(scratch / "tesnova.bmp"));

  // A corrupt one.
  WriteFileBytes(scratch / "scans" / "bad.png", "\x89PNG\r\n\x1a\nnot really");
  cad.imageFile = PathToUtf8(scratch.path()) + "/scans/bad.png";
  QueuePick(11, 21);
  Pick();
  EXPECT_EQ(sink.Messages().back(), "選択失敗です。");
  EXPECT_TRUE(shell.opened.empty());
}

TEST_F(ImagePick, UnsupportedPictureStillOpensWinTopoOnAnEmptyBitmap) {
  WriteFileBytes(scratch / "scans" / "plan.gif", "GIF89a");
  cad.imageFile = PathToUtf8(scratch.path()) + "/scans/plan.gif";
  Pick();
  EXPECT_EQ(sink.Messages(), (std::vector<std::string>{".GIF には対応していません。"}));
  EXPECT_TRUE(std::filesystem::exists(scratch / "tesnova.bmp"));
  EXPECT_EQ(shell.opened.size(), 1u);
}

TEST_F(ImagePick, CadNotRunningOnlyClearsTheRotation) {
  cad.running = false;
  state.insertion = {1, 2, 3, 45};
  Pick();
  EXPECT_EQ(state.insertion.rotationDeg, 0);
  EXPECT_EQ(state.insertion.scale, 3);
  EXPECT_TRUE(sink.events.empty());
}

TEST_F(ImagePick, InsertionOfTheWorkDxfAndOfTheImagesOwnDxf) {
  // Before any cut or pick: the base point 0,0, scale and rotation 0.
  InsertWorkDxfCommand(context, false);
  EXPECT_EQ(sink.Messages().back(), Work("tesnova.dxf") + "\nファイルが見つかりません。");
  EXPECT_TRUE(cad.commands.empty());
  WriteFileBytes(scratch / "tesnova.dxf", "0\r\nEOF\r\n");
  InsertWorkDxfCommand(context, false);
  ASSERT_EQ(cad.commands.size(), 1u);
  EXPECT_EQ(cad.commands[0], "-INSERT\r\"*" + Work("tesnova.dxf") + "\"\rnon\r0,0\r0\r0\r");
  EXPECT_EQ(sink.Statuses(),
            (std::vector<std::string>{"-INSERT コマンドを発行 ...", "-INSERT 終了!"}));

  // After a deskewed pick of 90.3 degrees the work DXF goes in at 90, the image's own at 90.3.
  cad.rotation = 90.3 * kDegree;
  options.deskew = true;
  Pick();
  WriteFileBytes(scratch / "tesnova.dxf", "0\r\nEOF\r\n");
  InsertWorkDxfCommand(context, false);
  EXPECT_EQ(cad.commands.back(),
            "-INSERT\r\"*" + Work("tesnova.dxf") + "\"\rnon\r10,20\r0.2\r90\r");
  WriteFileBytes(scratch / "scans" / "plan.dxf", "0\r\nEOF\r\n");
  InsertImageDxfCommand(context);
  EXPECT_EQ(cad.commands.back(), FormatInsertCommand(PathToUtf8(scratch.path()) + "/scans/plan.dxf",
                                                     10, 20, "0.2", "90.3"));
  EXPECT_EQ(sink.Statuses().back(), "-INSERT 終了 !");
}

// WinTopo's DXF, or the image's own, cut short is told and not inserted.
TEST_F(ImagePick, AnIncompleteDxfIsNotInserted) {
  WriteFileBytes(scratch / "tesnova.dxf", "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nPOLY");
  InsertWorkDxfCommand(context, false);
  EXPECT_TRUE(cad.commands.empty());
  EXPECT_EQ(sink.Messages().back(),
            Work("tesnova.dxf") + "\nは途中で切れています (EOF がありません). 挿入しません.");
  Pick();
  const auto commands = cad.commands.size();
  WriteFileBytes(scratch / "scans" / "plan.dxf", "0\r\nSECTION\r\n0\r\nENDSEC\r\n0\r\nEO");
  InsertImageDxfCommand(context);
  EXPECT_EQ(cad.commands.size(), commands);
}

TEST_F(ImagePick, OleFrameSnapshotZoomsCopiesAndZoomsBack) {
  cad.objectName = "AcDbOle2Frame";
  cad.rotation = 0;
  OleFrameSnapshotCommand(context);
  EXPECT_EQ(sink.Messages(),
            (std::vector<std::string>{"AcDbOle2Frame", "10.000,20.000 - 14.000,22.000"}));
  ASSERT_EQ(capture.copies.size(), 1u);
  EXPECT_EQ(capture.copies[0].window, cad.mainWindow);
  EXPECT_EQ(capture.copies[0].width, 800);
  EXPECT_EQ(capture.copies[0].height, 600);
  EXPECT_TRUE(LoggedBefore("Center := (12.000000,21.000000)", "ActiveViewport := object"));
  EXPECT_TRUE(Logged("Height := 2.000000"));
  EXPECT_EQ(cad.commands, (std::vector<std::string>{"zoom pre\r"}));
  EXPECT_EQ(sink.caption, "104");

  // Another entity: nothing is said; a failed pick says "Error".
  capture.copies.clear();
  cad.objectName = "AcDbRasterImage";
  QueuePick(11, 21);
  OleFrameSnapshotCommand(context);
  EXPECT_TRUE(capture.copies.empty());
  EXPECT_EQ(sink.Messages().size(), 2u);
  QueueCancel();
  OleFrameSnapshotCommand(context);
  EXPECT_EQ(sink.Messages().back(), "Error");
}

}  // namespace
}  // namespace tesnova
