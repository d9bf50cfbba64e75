#include "cad/cad_values.h"

#include <gtest/gtest.h>

#include <cmath>

#include "cad/insertion.h"

namespace tesnova {
namespace {

TEST(CutGeometry, PixelRectangleAndScaleOfTheWorkedExample) {
  CutGeometry g = ComputeCutGeometry({450.3, 420.2}, {520.1, 380.05}, {500, 400}, 200, 1000, 800);
  EXPECT_EQ(g.scale, 0.25);
  EXPECT_EQ(g.left, 302);
  EXPECT_EQ(g.top, 320);
  EXPECT_EQ(g.width, 278);
  EXPECT_EQ(g.height, 159);
  // The traced DXF's origin is the lower-left corner of pixel (302, 478), not the picks.
  EXPECT_EQ(g.baseX, 450.5);
  EXPECT_EQ(g.baseY, 380.25);
  EXPECT_EQ(CutInsertionLine(450.3, 380.05, g.scale), "挿入基点= 450.3,380.05 挿入尺度= 0.25");
  // An odd screen size centres the view half a pixel past the integer half.
  g = ComputeCutGeometry({0, 10}, {10, 0}, {0, 0}, 7, 7, 7);
  EXPECT_EQ(g.left, 3);
  EXPECT_EQ(g.baseX, -0.5);
  EXPECT_EQ(g.baseY, 0.5);
}

TEST(CutGeometry, ReversedCornersGiveNoArea) {
  CutGeometry g = ComputeCutGeometry({520.1, 380.05}, {450.3, 420.2}, {500, 400}, 200, 1000, 800);
  EXPECT_LE(g.width, 0);
  EXPECT_LE(g.height, 0);
  // Odd screen sizes divide with the integer half; points left of the centre truncate
  // towards zero.
  g = ComputeCutGeometry({-0.9, 0.9}, {0.9, -0.9}, {0, 0}, 7, 7, 7);
  EXPECT_EQ(g.left, 3);
  EXPECT_EQ(g.top, 3);
  EXPECT_EQ(g.width, 0);
  EXPECT_EQ(g.height, 0);
}

TEST(ExportRoute, ChosenByTheProgIdPrefixInAnyCase) {
  struct Case {
    const char* progId;
    bool export_;
  } cases[] = {{"BricscadApp.AcadApplication", false}, {"AutoCAD.Application", true},
               {"autocad.application.24", true},       {"PCAD.Application", true},
               {"DraftSight.Application", true},       {"ZWCAD.Application", false},
               {"Gcad.PCADApplication", false},        {"", false}};
  for (const auto& c : cases) EXPECT_EQ(UsesExportRoute(c.progId), c.export_) << c.progId;
}

TEST(InsertCommand, TextOfTheRegionCut) {
  EXPECT_EQ(FormatInsertCommand("C:\\Tools\\tesnova.dxf", 450.3, 380.05, "0.25", "0.0"),
            "-INSERT\r\"*C:\\Tools\\tesnova.dxf\"\rnon\r450.3,380.05\r0.25\r0.0\r");
  EXPECT_EQ(FormatInsertCommand("C:\\My Tools\\a.dxf", -1e-5, 1e15, "0", "90"),
            "-INSERT\r\"*C:\\My Tools\\a.dxf\"\rnon\r-1E-5,1E15\r0\r90\r");
}

TEST(ImagePickValues, ScaleStatusAndInsertionLine) {
  double scale = ImageScale({10, 20}, {410, 220}, 2000, 1000);
  EXPECT_DOUBLE_EQ(scale, 0.2);
  EXPECT_EQ(PickStatusText(2000, 1000, scale),
            "元画像の W= 2000 px (400.00 mm), H= 1000 px (200.00 mm) X尺度= 0.200");
  // A square picture counts its height; the longer side of the box counts.
  EXPECT_DOUBLE_EQ(ImageScale({0, 0}, {30, 50}, 100, 100), 0.5);
  EXPECT_EQ(PickInsertionLine(10, 20, 0.5, 90.3), "挿入基点= 10,20 挿入尺度= 0.5 回転角度= 90.3");
}

TEST(AutomationVariant, ConversionsAsALateBoundCallerExpects) {
  EXPECT_EQ(Variant(2.6).AsInteger(), 3);
  EXPECT_EQ(Variant(7).AsDouble(), 7.0);
  EXPECT_EQ(Variant(true).AsInteger(), -1);
  EXPECT_EQ(Variant(12).AsText(), "12");
  EXPECT_EQ(Variant(std::vector<double>{1, 2, 0}).Y(), 2);
  EXPECT_TRUE(Variant().IsEmpty());
  EXPECT_THROW(Variant("abc").AsDouble(), AutomationError);
  EXPECT_THROW(Variant(std::vector<double>{1}).X(), AutomationError);
  EXPECT_THROW(Variant().AsObject(), AutomationError);
  EXPECT_THROW(Variant(1e300).AsInteger(), AutomationError);
}

}  // namespace
}  // namespace tesnova
