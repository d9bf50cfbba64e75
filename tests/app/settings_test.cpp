#include "app/settings.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>

#include "base/error.h"
#include "base/integer_text.h"
#include "support/fake_ports.h"
#include "support/fake_view.h"

namespace tesnova {
namespace {

using testing::FakeProfile;

TEST(IntegerText, DecimalHexadecimalAndFallback) {
  struct Case {
    const char* text;
    int expected;
  } cases[] = {
      {"1000", 1000},
      {"-5", -5},
      {"+7", 7},
      {"0x3E8", 1000},
      {"0X3e8", 1000},
      {"$3E8", 1000},
      {"-$10", -16},
      {"$FFFFFFFF", -1},
      {"", 42},
      {"yes", 42},
      {"12a", 42},
      {" 12", 42},
      {"0x", 42},
      {"-", 42},
      {"2147483647", 2147483647},
      {"2147483648", 42},
      {"-2147483648", -2147483647 - 1},
      {"$100000000", 42},
  };
  for (const Case& c : cases) EXPECT_EQ(IntegerOrDefault(c.text, 42), c.expected) << c.text;
}

// Every value of a settings file, none of them a default.
Settings Unusual() {
  Settings s;
  s.left = -3;
  s.top = 40;
  s.potraceFullName = "C:\\tools\\potrace.exe";
  s.bmpFullName = "C:\\テスト.bmp";
  s.potraceParam = "-b dxf -t 4";
  s.autoTraceFullName = "C:\\vtracer.exe";
  s.autoTraceParam = "--colormode bw";
  s.targetCadName = "ZWCAD";
  s.targetProgId = "ZWCAD.Application.2024";
  s.potraceParamDxf = "-b dxf -a 0";
  s.dxfWaitMs = 2500;
  s.divisions = "8";
  s.winTopoFullName = "C:\\WinTopo\\WinTopoFree.exe";
  s.activePage = 3;
  s.binarize = true;
  s.gaussian = true;
  s.filter = false;
  s.keisha = true;
  s.winTopoClose = false;
  s.threshold = "180";
  s.centerline = true;
  return s;
}

TEST(Settings, MissingFileGivesTheDefaults) {
  FakeProfile profile;
  Settings s = ReadSettings(profile, 374, 298);
  EXPECT_EQ(s.left, 374);
  EXPECT_EQ(s.top, 298);
  EXPECT_EQ(s.potraceFullName, "");
  EXPECT_EQ(s.bmpFullName, "C:\\Program Files\\Potrace\\potrace.exe");
  EXPECT_EQ(s.potraceParam, "-b dxf");
  EXPECT_EQ(s.potraceParamDxf, "-b dxf");
  EXPECT_EQ(s.autoTraceFullName, "");
  EXPECT_EQ(s.autoTraceParam, "");
  EXPECT_EQ(s.winTopoFullName, "");
  EXPECT_EQ(s.targetCadName, "BaricsCAD");
  EXPECT_EQ(s.targetProgId, "BricscadApp.AcadApplication");
  EXPECT_EQ(s.dxfWaitMs, 1000);
  EXPECT_EQ(s.divisions, "2");
  EXPECT_EQ(s.activePage, 1);
  EXPECT_FALSE(s.binarize);
  EXPECT_FALSE(s.gaussian);
  EXPECT_TRUE(s.filter);
  EXPECT_FALSE(s.keisha);
  EXPECT_TRUE(s.winTopoClose);
  EXPECT_EQ(s.threshold, "200");
  EXPECT_FALSE(s.centerline);
  EXPECT_EQ(CentredOrigin(1280, 547), 366);
  EXPECT_EQ(CentredOrigin(500, 547), -23);  // truncates toward zero
}

TEST(Settings, StoredValuesAndTheirEncodings) {
  FakeProfile profile;
  profile.Set("form", "LEFT", "-8");
  profile.Set("Form", "Top", "$20");
  profile.Set("PoTrace", "FullName", "");  // empty, not the default
  profile.Set("BMP", "FullName", " D:\\図面\\a b.bmp ");
  profile.Set("ReadDxf", "Sleep", "0x3E8");
  profile.Set("SvgToDxf", "Divisions", "abc");  // text exactly as typed
  profile.Set("ActivePage", "Index", "3");
  profile.Set("Bitmap", "Binarize", "yes");  // no number: the default
  profile.Set("Bitmap", "Filter", "2");
  profile.Set("Bitmap", "Gaussian", "1");
  profile.Set("WinTopo", "Close", "0");
  profile.Set("Niichika", "Shikiichi", "0x10");
  Settings s = ReadSettings(profile, 1, 2);
  EXPECT_EQ(s.left, -8);
  EXPECT_EQ(s.top, 32);
  EXPECT_EQ(s.potraceFullName, "");
  EXPECT_EQ(s.bmpFullName, " D:\\図面\\a b.bmp ");
  EXPECT_EQ(s.dxfWaitMs, 1000);
  EXPECT_EQ(s.divisions, "abc");
  EXPECT_EQ(s.activePage, 3);
  EXPECT_FALSE(s.binarize);
  EXPECT_TRUE(s.filter);
  EXPECT_TRUE(s.gaussian);
  EXPECT_FALSE(s.winTopoClose);
  EXPECT_EQ(s.threshold, "0x10");
}

TEST(Settings, WritesEveryKeyInOrderAndReadsItBack) {
  Settings s = Unusual();
  s.activePage = -1;
  FakeProfile profile;
  WriteSettings(profile, s, "C:\\Tesnova\\Tesnova.ini");
  const std::vector<std::string> order = {
      "Form.Left",        "Form.Top",           "PoTrace.FullName", "BMP.FullName",
      "PoTrace.Param",    "AutoTrace.FullName", "AutoTrace.Param",  "TargetCad.Name",
      "TargetCad.ProgId", "PoTrace.ParamDxf",   "ReadDxf.Sleep",    "WinTopoFree.FullName",
      "ActivePage.Index", "SvgToDxf.Divisions", "Bitmap.Binarize",  "Bitmap.Gaussian",
      "Bitmap.Filter",    "Bitmap.Keisha",      "WinTopo.Close",    "Niichika.Shikiichi",
      "Centerline.Trace"};
  EXPECT_EQ(profile.written, order);
  EXPECT_EQ(profile.Get("ActivePage", "Index"), "-1");
  EXPECT_EQ(profile.Get("Bitmap", "Binarize"), "1");
  EXPECT_EQ(profile.Get("Bitmap", "Filter"), "0");
  EXPECT_EQ(profile.Get("ReadDxf", "Sleep"), "2500");

  EXPECT_EQ(ReadSettings(profile, 0, 0), s);
}

TEST(Settings, RefusedWriteNamesTheFileAndStops) {
  FakeProfile profile;
  profile.refuse = FakeProfile::Name("TargetCad", "Name");
  try {
    WriteSettings(profile, Settings{}, "C:\\ro\\Tesnova.ini");
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "C:\\ro\\Tesnova.ini に書き込めません");
  }
  EXPECT_EQ(profile.written.size(), 7u);
}

TEST(Settings, WindowRoundTripKeepsEveryValue) {
  const Settings s = Unusual();
  testing::FakeView view;
  ProgramValues values;
  ApplySettings(s, view, values);
  EXPECT_EQ(CollectSettings(view, values, s.left, s.top), s);
  EXPECT_EQ(values.targetProgId, "ZWCAD.Application.2024");
  EXPECT_EQ(view.Text("Edit10"), "2500");
  EXPECT_EQ(view.ActivePage(), 3);
}

TEST(Settings, WindowTakesTheWaitFromTheProgramValue) {
  FakeProfile profile;
  profile.Set("ReadDxf", "Sleep", "1500");
  profile.Set("ActivePage", "Index", "7");
  testing::FakeView view;
  ProgramValues values;
  ApplySettings(ReadSettings(profile, 0, 0), view, values);
  EXPECT_EQ(view.Text("Edit10"), "1500");
  EXPECT_EQ(values.cad.dxfWaitMs, 1500);
  EXPECT_EQ(view.ActivePage(), -1);  // out of range: no page
  EXPECT_TRUE(view.Checked("CheckBox3"));
  EXPECT_EQ(view.Text("Edit2"), "C:\\Program Files\\Potrace\\potrace.exe");

  view.SetText("Edit10", "3000");  // typed but never used by a cut
  Settings out = CollectSettings(view, values, 10, 20);
  EXPECT_EQ(out.dxfWaitMs, 1500);
  EXPECT_EQ(out.activePage, -1);
}

}  // namespace
}  // namespace tesnova
