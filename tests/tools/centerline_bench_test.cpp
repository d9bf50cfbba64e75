#include "tools/centerline_bench.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "base/error.h"
#include "base/text_file.h"
#include "centerline/centerline_pipeline.h"
#include "support/fake_ports.h"
#include "centerline/polyline.h"
#include "raster/bmp_file.h"
#include "support/centerline_ring.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

// Potrace as the pipeline sees it: writes a fixture as the SVG named last on its command line.
class FakePotrace : public testing::FakeProcesses {
 public:
  explicit FakePotrace() {
    onRun = [this](const ProcessOptions& o) {
      if (fixture.empty()) return;
      size_t close = o.arguments.rfind('"');
      size_t open = o.arguments.rfind('"', close - 1);
      std::filesystem::copy_file(testing::TestData(fixture),
                                 PathFromUtf8(o.arguments.substr(open + 1, close - open - 1)));
    };
  }
  std::string fixture;  // empty: writes nothing
};

const std::vector<std::string> kFullRun = {"bmp",
                                           "pbm",
                                           "potrace 起動成功",
                                           "ParseSVGToPolylines 成功",
                                           "paths=2",
                                           "ClassifyContours 成功",
                                           "単純な 1 ペアを想定",
                                           "再サンプリング開始",
                                           "ResamplePolyline 成功",
                                           "ComputeCenterlineNormal 成功",
                                           "SmoothPolyline 成功",
                                           "DouglasPeucker 成功"};

class CenterlinePipeline : public ::testing::Test {
 protected:
  void SetUp() override { WriteBmp24(dir / "tesnova.bmp", Bitmap(40, 30)); }
  std::string Path(const std::string& name) { return PathToUtf8(dir / name); }

  testing::ScratchFolder dir;
  std::vector<std::string> notices;
  CenterlineNotice notice = [this](std::string_view text) { notices.emplace_back(text); };
  FakePotrace potrace;
};

TEST_F(CenterlinePipeline, FullRunShowsTwelveBoxesAndWritesTheCenterline) {
  potrace.fixture = "centerline/small-ring.svg";
  ASSERT_TRUE(RunCenterlinePipeline("/opt/potrace dir/potrace", Path("tesnova.bmp"),
                                    Path("tesnova.dxf"), notice, potrace));
  EXPECT_EQ(notices, kFullRun);
  ASSERT_EQ(potrace.runs.size(), 1u);
  const ProcessOptions& run = potrace.runs[0];
  EXPECT_EQ(run.program, "/opt/potrace dir/potrace");
  EXPECT_EQ(run.arguments,
            "\"" + Path("tesnova.pbm") + "\" -s -o \"" + Path("tesnova.svg") + "\"");
  EXPECT_EQ(run.workFolder, "");
  EXPECT_EQ(run.wait, ProcessWait::kDispatching);
  EXPECT_TRUE(run.minimised);
  EXPECT_EQ(ReadFileBytes(dir / "tesnova.pbm").substr(0, 9), "P4\n40 30\n");
  // The fixture's ring: pixels 6 to 11 from (20, 15); in the DXF frame y runs up from the
  // bitmap's bottom edge, so the centre stays at (20, 15) in this 30 pixel high bitmap.
  Polyline centerline = testing::ReadDxfVertices(dir / "tesnova.dxf");
  ASSERT_GE(centerline.size(), 8u);
  for (const TPoint2D& p : centerline)
    EXPECT_NEAR(std::hypot(p.X - 20, p.Y - 15), 8.5, 1.0) << p.X << " " << p.Y;
}

TEST_F(CenterlinePipeline, PotraceThatDoesNotStart) {
  potrace.startWorks = false;
  EXPECT_FALSE(
      RunCenterlinePipeline("nothing", Path("tesnova.bmp"), Path("tesnova.dxf"), notice, potrace));
  EXPECT_EQ(notices, (std::vector<std::string>{"bmp", "pbm", "potrace 起動失敗"}));
  EXPECT_TRUE(std::filesystem::exists(dir / "tesnova.pbm"));
  EXPECT_FALSE(std::filesystem::exists(dir / "tesnova.dxf"));
}

TEST_F(CenterlinePipeline, StopsWithAMessageWhenAnOrientationIsMissing) {
  potrace.fixture = "centerline/two-blobs.svg";  // two shapes without holes
  EXPECT_FALSE(
      RunCenterlinePipeline("potrace", Path("tesnova.bmp"), Path("tesnova.dxf"), notice, potrace));
  std::vector<std::string> expected(kFullRun.begin(), kFullRun.begin() + 7);
  expected.push_back(NoContourPairMessage(0, 2));
  EXPECT_EQ(notices, expected);
  EXPECT_FALSE(std::filesystem::exists(dir / "tesnova.dxf"));
}

TEST_F(CenterlinePipeline, AnOldSvgIsNotTakenForPotracesOutput) {
  WriteFileBytes(dir / "tesnova.svg",
                 ReadFileBytes(testing::TestData("centerline/small-ring.svg")));
  // Potrace starts but writes nothing.
  EXPECT_THROW(
      RunCenterlinePipeline("potrace", Path("tesnova.bmp"), Path("tesnova.dxf"), notice, potrace),
      FileError);
  EXPECT_EQ(notices, (std::vector<std::string>{"bmp", "pbm", "potrace 起動成功"}));
}

TEST_F(CenterlinePipeline, FilesAreNamedAfterTheBitmap) {
  std::filesystem::create_directories(dir / "v1.2");
  std::filesystem::copy_file(dir / "tesnova.bmp", dir / "v1.2" / "picture");
  potrace.fixture = "centerline/small-ring.svg";
  ASSERT_TRUE(
      RunCenterlinePipeline("potrace", Path("v1.2/picture"), Path("out.dxf"), notice, potrace));
  EXPECT_TRUE(std::filesystem::exists(dir / "v1.2" / "picture.pbm"));
  EXPECT_TRUE(std::filesystem::exists(dir / "v1.2" / "picture.svg"));

  EXPECT_EQ(WithExtension("a/b.c/d.bmp", ".svg"), "a/b.c/d.svg");
  EXPECT_EQ(WithExtension("a\\b.c\\d", ".svg"), "a\\b.c\\d.svg");
  EXPECT_EQ(WithExtension("x.tar.bmp", ".pbm"), "x.tar.pbm");
}

TEST_F(CenterlinePipeline, MissingBitmapEndsBeforeAnyBox) {
  EXPECT_THROW(
      RunCenterlinePipeline("potrace", Path("none.bmp"), Path("tesnova.dxf"), notice, potrace),
      FileError);
  EXPECT_TRUE(notices.empty());
  EXPECT_TRUE(potrace.runs.empty());
}

}  // namespace
}  // namespace tesnova
