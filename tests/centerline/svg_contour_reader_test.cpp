#include "centerline/svg_contour_reader.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/text_file.h"
#include "centerline/contour_classes.h"
#include "centerline/cubic_bezier.h"
#include "centerline/path_commands.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

std::string Describe(const std::vector<TPathCommand>& commands) {
  std::string out;
  for (const TPathCommand& c : commands) {
    if (!out.empty()) out += "; ";
    out += c.Cmd;
    for (double v : c.Params) {
      char buffer[32];
      std::snprintf(buffer, sizeof buffer, " %g", v);
      out += buffer;
    }
  }
  return out;
}

TEST(SvgPathCommands, ReadsAbsoluteRelativeAndRepeatedCommands) {
  struct Case {
    const char* data;
    const char* commands;
  };
  const Case cases[] = {
      {"M 10 20 L 30 40 Z", "M 10 20; L 30 40; Z"},
      // Relative commands from the current point; after z the subpath's start is current.
      {"m 5 5 l 1 1", "M 5 5; L 6 6"},
      {"M10,20 c1 2 3 4 5 6", "M 10 20; C 11 22 13 24 15 26"},
      {"M0 0 l1 0 z m2 3 l1 1", "M 0 0; L 1 0; Z; M 2 3; L 3 4"},
      // Repeated groups without a letter: more of the same, after a moveto linetos.
      {"L 1 2 3 4", "L 1 2; L 3 4"},
      {"m1 1 2 2 3 3", "M 1 1; L 3 3; L 6 6"},
      {"M0 0 c1 1 2 2 3 3 1 1 2 2 3 3", "M 0 0; C 1 1 2 2 3 3; C 4 4 5 5 6 6"},
      // Letters need no separator; a break may fall anywhere between tokens.
      {"M155 251c-40 -18\n-60 -51 -60 -102z", "M 155 251; C 115 233 95 200 95 149; Z"},
      // Unknown commands are skipped together with their numbers.
      {"M 0 0 H 5 L 1 1", "M 0 0; L 1 1"},
      // Numbers that ran out: the command stays without them; left-over numbers are dropped.
      {"M 1 2 L 3", "M 1 2; L"},
      {"M 1 L 2 3", "M; L 2 3"},
      {"L 1 2 3", "L 1 2"},
      {"", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(Describe(ParsePathCommands(c.data)), c.commands) << c.data;
}

TEST(SvgPathCommands, BadNumberRaisesTheConversionMessage) {
  try {
    ParsePathCommands("M 1 2 L 3 12pt");
    FAIL() << "no error";
  } catch (const ConversionError& e) {
    EXPECT_STREQ(e.what(), "'12p' は浮動小数点数ではありません");
  }
  EXPECT_THROW(ParsePathCommands("M 1 1e"), ConversionError);
  EXPECT_THROW(ParsePathCommands("M 1 ."), ConversionError);
  EXPECT_EQ(Describe(ParsePathCommands("M +1.5 -.5e1")), "M 1.5 -5");
}

TEST(SvgPathCommands, PolylineFlattensCurvesWithoutTheirEndPoints) {
  Polyline line = PathCommandsToPolyline(ParsePathCommands("M 10 20 L 30 40 Z"));
  EXPECT_EQ(line, (Polyline{{10, 20}, {30, 40}}));

  Polyline curve = PathCommandsToPolyline(ParsePathCommands("M 0 0 C 0 0 1 1 1 0"));
  ASSERT_EQ(curve.size(), 20u);
  EXPECT_EQ(curve[0], (TPoint2D{0, 0}));
  EXPECT_EQ(curve[1], CubicBezierPoint({0, 0}, {0, 0}, {1, 1}, {1, 0}, 0.05));
  EXPECT_NEAR(curve[10].X, 0.5, 1e-12);  // t = 0.5: (0.5, 0.375)
  EXPECT_NEAR(curve[10].Y, 0.375, 1e-12);
  EXPECT_NE(curve.back(), (TPoint2D{1, 0}));

  // A curve before any moveto starts at (0, 0); commands without numbers are skipped.
  Polyline early = PathCommandsToPolyline(ParsePathCommands("C 0 0 2 0 2 0 L 5"));
  ASSERT_EQ(early.size(), 19u);
  EXPECT_EQ(early[0], CubicBezierPoint({0, 0}, {0, 0}, {2, 0}, {2, 0}, 0.05));
}

TEST(SvgPathCommands, EveryMovetoStartsASubpath) {
  auto parts = SplitSubpaths(ParsePathCommands("M0 0 l1 0 0 1z m5 5 l1 0 M 9 9 L"));
  ASSERT_EQ(parts.size(), 3u);
  EXPECT_EQ(PathCommandsToPolyline(parts[0]), (Polyline{{0, 0}, {1, 0}, {1, 1}}));
  EXPECT_EQ(PathCommandsToPolyline(parts[1]), (Polyline{{5, 5}, {6, 5}}));
  EXPECT_EQ(PathCommandsToPolyline(parts[2]), (Polyline{{9, 9}}));
}

TEST(SvgHeader, ReadsTheSvgLineOnly) {
  EXPECT_EQ(ExtractAttribute(R"(<line stroke-width="3" width="5">)", "width"), "3");
  EXPECT_EQ(ExtractAttribute(R"(<svg width="5)", "width"), "");
  EXPECT_EQ(ExtractAttribute(R"(<svg height="5">)", "width"), "");
  EXPECT_EQ(ParseSVGLength("123.5pt"), 123.5);
  EXPECT_EQ(ParseSVGLength("100%"), 100);
  EXPECT_EQ(ParseSVGLength("px"), 0);

  TSVGHeader h = ReadSVGHeader(
      {"<?xml?>", R"(<svg width="100pt" height="50pt" viewBox="0,0 100 50">)", "<g>"});
  EXPECT_EQ((std::vector<double>{h.Width, h.Height, h.ViewBoxX, h.ViewBoxY, h.ViewBoxWidth,
                                 h.ViewBoxHeight}),
            (std::vector<double>{100, 50, 0, 0, 100, 50}));
  TSVGHeader three = ReadSVGHeader({R"(<svg width="7" viewBox="0 0 100">)"});
  EXPECT_EQ(three.Width, 7);
  EXPECT_EQ(three.ViewBoxWidth, 0);
  TSVGHeader later = ReadSVGHeader({"<svg version=\"1.0\"", R"( width="40pt" height="30pt")"});
  EXPECT_EQ(later.Width, 0);
  EXPECT_EQ(later.Height, 0);
  EXPECT_THROW(ReadSVGHeader({R"(<svg viewBox="0 0 12pt 5">)"}), ConversionError);
}

TEST(SvgPathData, TakesTheDAttributeAcrossLines) {
  const std::vector<std::string> lines = {
      R"(<path id="p1" d="M 1 2 L 3 4"/>)",
      R"(<path d="M 5 6)",
      R"(c 1 1 2 2 3 3)",
      R"(z"/> <path d="M 0 0 L 1 1"/>)",
      R"(<path fill="none"/>)",
      R"(<path d="M 1 1 L 2 2"/><path d="M 3 3 L 4 4"/>)",
      R"(<path d="M 7 7)",
  };
  EXPECT_EQ(
      ExtractPathData(lines),
      (std::vector<std::string>{"M 1 2 L 3 4", "M 5 6\nc 1 1 2 2 3 3\nz", "M 1 1 L 2 2", ""}));
}

TEST(SvgContours, ReadsPotraceOutputOneContourPerSubpath) {
  // Potrace writes a shape and its hole as subpaths of one path element.
  SvgContours ring = ParseSVGToPolylines(testing::TestData("centerline/small-ring.svg"));
  EXPECT_EQ(ring.header.Width, 0);  // the attributes stand on the line after "<svg"
  ASSERT_EQ(ring.contours.size(), 2u);
  EXPECT_EQ(ring.contours[0].front(), (TPoint2D{155, 251}));
  EXPECT_EQ(ring.contours[1].front(), (TPoint2D{240, 190}));  // "z m85 -61" from the start
  // The outer edge runs counter-clockwise, the hole clockwise (y up), in tenths of a pixel:
  // outer radius about 11 px, hole about 6 px around (200, 150).
  EXPECT_GT(SignedArea(ring.contours[0]), 0);
  EXPECT_LT(SignedArea(ring.contours[1]), 0);
  EXPECT_NEAR(SignedArea(ring.contours[0]), 3.14159 * 110 * 110, 0.06 * 3.14159 * 110 * 110);
  EXPECT_NEAR(SignedArea(ring.contours[1]), -3.14159 * 60 * 60, 0.12 * 3.14159 * 60 * 60);
  for (const TPoint2D& p : ring.contours[1]) EXPECT_NEAR(Hypot(p.X - 200, p.Y - 150), 60, 6);

  // Two shapes are two path elements; the square is written as repeated relative linetos.
  SvgContours two = ParseSVGToPolylines(testing::TestData("centerline/two-blobs.svg"));
  ASSERT_EQ(two.contours.size(), 2u);
  EXPECT_EQ(two.contours[1], (Polyline{{240, 100},
                                       {240, 50},
                                       {290, 50},
                                       {340, 50},
                                       {340, 100},
                                       {340, 150},
                                       {290, 150},
                                       {240, 150},
                                       {240, 100}}));
}

TEST(SvgContours, FileCasesAndErrors) {
  testing::ScratchFolder dir;
  WriteFileBytes(dir / "bom.svg",
                 "\xEF\xBB\xBF<svg width=\"4\">\r\n<path d=\"\"/>\r<path d=\"M 1 1 L 2 2\"/>\n");
  SvgContours bom = ParseSVGToPolylines(dir / "bom.svg");
  EXPECT_EQ(bom.header.Width, 4);
  EXPECT_EQ(bom.contours, (ContourList{{}, {{1, 1}, {2, 2}}}));

  WriteFileBytes(dir / "none.svg", "<svg>\n</svg>\n");
  EXPECT_TRUE(ParseSVGToPolylines(dir / "none.svg").contours.empty());

  WriteFileBytes(dir / "bad.svg", "<path d=\"M 1 1 L 2 1x\"/>\n");
  EXPECT_THROW(ParseSVGToPolylines(dir / "bad.svg"), ConversionError);
  WriteFileBytes(dir / "bad2.svg", "<path d=\"M 1 1 L 2 1,5\"/>\n");
  EXPECT_NO_THROW(ParseSVGToPolylines(dir / "bad2.svg"));  // the comma separates
  WriteFileBytes(dir / "bad3.svg", "<path d=\"M 1 1 L 2 1;5\"/>\n");
  EXPECT_THROW(ParseSVGToPolylines(dir / "bad3.svg"), ConversionError);
  EXPECT_THROW(ParseSVGToPolylines(dir / "missing.svg"), FileError);
}

}  // namespace
}  // namespace tesnova
