#include "tools/centerline_bench.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

#include "base/error.h"
#include "base/text_file.h"
#include "centerline/centerline_pipeline.h"
#include "centerline/polyline.h"
#include "raster/bmp_file.h"
#include "support/centerline_ring.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

// Potrace as the pipeline sees it: records the start and writes a fixture as its SVG.
class FakePotrace : public Processes {
 public:
  std::string fixture;  // empty: writes nothing
  bool starts = true;
  std::vector<std::string> calls;

  ProcessResult RunProcess(const ProcessOptions& o) override {
    calls.push_back(o.program + "|" + o.arguments + "|" + o.workFolder + "|" +
                    std::to_string(o.wait == ProcessWait::kDispatching) +
                    std::to_string(o.waitForIdle) + std::to_string(o.minimised));
    if (!starts) return {.errorCode = 2};
    const std::string& arguments = o.arguments;
    if (!fixture.empty()) {
      // The output is the last quoted path of the argument text.
      size_t close = arguments.rfind('"');
      size_t open = arguments.rfind('"', close - 1);
      std::filesystem::copy_file(testing::TestData(fixture),
                                 PathFromUtf8(arguments.substr(open + 1, close - open - 1)));
    }
    return {.started = true, .ended = true};
  }
  void WaitForFile(const std::string&, std::uint32_t) override {}
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
  ASSERT_EQ(potrace.calls.size(), 1u);
  EXPECT_EQ(potrace.calls[0], "/opt/potrace dir/potrace|\"" + Path("tesnova.pbm") + "\" -s -o \"" +
                                  Path("tesnova.svg") + "\"||101");
  EXPECT_EQ(ReadFileBytes(dir / "tesnova.pbm").substr(0, 9), "P4\n40 30\n");
  // The fixture's ring: pixels 6 to 11 from (20, 15); in the DXF frame y runs up from the
  // bitmap's bottom edge, so the centre stays at (20, 15) in this 30 pixel high bitmap.
  Polyline centerline = testing::ReadDxfVertices(dir / "tesnova.dxf");
  ASSERT_GE(centerline.size(), 8u);
  for (const TPoint2D& p : centerline)
    EXPECT_NEAR(std::hypot(p.X - 20, p.Y - 15), 8.5, 1.0) << p.X << " " << p.Y;
}

TEST_F(CenterlinePipeline, PotraceThatDoesNotStart) {
  potrace.starts = false;
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
  EXPECT_TRUE(potrace.calls.empty());
}

}  // namespace
}  // namespace tesnova
