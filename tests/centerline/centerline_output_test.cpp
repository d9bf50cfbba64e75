#include <gtest/gtest.h>

#include <cmath>

#include "base/error.h"
#include "base/text_file.h"
#include "centerline/centerline_dxf.h"
#include "centerline/centerline_pipeline.h"
#include "centerline/potrace_frame.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

TEST(CenterlineDxf, OneOpenPolylineInTheMinimalDocument) {
  testing::ScratchFolder dir;
  WriteCenterlineDxf(dir / "c.dxf", {{0, 0}, {12.5, 7.25}});
  EXPECT_EQ(ReadFileBytes(dir / "c.dxf"),
            "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n$ACADVER\r\n1\r\nAC1009\r\n0\r\nENDSEC\r\n"
            "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nPOLYLINE\r\n8\r\n0\r\n70\r\n0\r\n66\r\n1\r\n"
            "0\r\nVERTEX\r\n10\r\n0\r\n20\r\n0\r\n0\r\nVERTEX\r\n10\r\n12.5\r\n20\r\n7.25\r\n"
            "0\r\nSEQEND\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n");
  EXPECT_THROW(WriteCenterlineDxf(dir / "none" / "c.dxf", {}), FileError);
}

TEST(PotraceFrame, GroupTransformToBottomLeftPixels) {
  const std::vector<std::string> lines = {
      "<svg version=\"1.0\"",
      "<g transform=\"translate(0.000000,30.000000) scale(0.100000,-0.100000)\"",
      "fill=\"#000000\" stroke=\"none\">"};
  SvgTransform t = ReadGroupTransform(lines);
  // Potrace's path units are tenths of a pixel with y up from the bottom edge.
  EXPECT_EQ(ToPixelFrame({{155, 251}, {0, 0}}, t, 30), (Polyline{{15.5, 25.1}, {0, 0}}));
  // Without a group the path units are SVG units (y down).
  EXPECT_EQ(ToPixelFrame({{1, 2}}, ReadGroupTransform({"<svg>", "<path d=\"\"/>"}), 30),
            (Polyline{{1, 28}}));
  SvgTransform m = ParseTransformList("matrix(1 0 0 1 5 6) scale(2)");
  EXPECT_EQ(m.Apply({1, 1}), (TPoint2D{7, 8}));
  // Potrace's -A: degrees, about the origin or a point of its own.
  const TPoint2D turned = ParseTransformList("rotate(90)").Apply({1, 0});
  EXPECT_NEAR(turned.X, 0, 1e-12);
  EXPECT_NEAR(turned.Y, 1, 1e-12);
  const TPoint2D about = ParseTransformList("rotate(-90 10,20)").Apply({11, 20});
  EXPECT_NEAR(about.X, 10, 1e-12);
  EXPECT_NEAR(about.Y, 19, 1e-12);
  EXPECT_THROW(ParseTransformList("skewX(30)"), Error);
  EXPECT_THROW(ParseTransformList("scale(2x)"), ConversionError);
}

// Outlines with wild coordinates would resample into more points than memory holds: the bench
// stops with a message naming the SVG, and writes no DXF.
TEST(CenterlineResampling, RefusesOutlinesTooLongToResample) {
  testing::ScratchFolder dir;
  WriteFileBytes(dir / "huge.svg",
                 "<svg version=\"1.0\">\n"
                 "<path d=\"M0 0 L1000000000 0 L1000000000 1000000000 L0 1000000000 z "
                 "M10 10 L10 20 L20 20 L20 10 z\"/>\n"
                 "</svg>\n");
  try {
    CenterlineFromPotraceSvg(PathToUtf8(dir / "huge.svg"), 30, PathToUtf8(dir / "c.dxf"), {});
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_NE(std::string(e.what()).find("huge.svg の輪郭が長すぎて"), std::string::npos)
        << e.what();
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "c.dxf"));
}

}  // namespace
}  // namespace tesnova
