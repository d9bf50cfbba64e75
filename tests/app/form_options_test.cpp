// Where the form meets the commands: its fields read into the commands' options, and what the
// commands show put back into its controls.
#include "app/form_options.h"

#include <gtest/gtest.h>

#include "app/view_sink.h"
#include "raster/bitmap.h"
#include "support/fake_view.h"

namespace tesnova {
namespace {

TEST(FormOptions, TheFieldsBecomeTheCommandsOptions) {
  testing::FakeView view;
  view.SetText("Edit1", "C:\\potrace.exe");
  view.SetText("Edit4", "-b dxf -t 4");
  view.SetText("Edit7", "C:\\vtracer.exe");
  view.SetText("Edit9", "--colormode bw");
  view.SetText("Edit11", "C:\\WinTopo.exe");
  view.SetText("Edit8", "6");
  view.SetText("Edit10", "abc");  // no integer: the default wait
  view.SetText("Edit15", "300");  // held within the thresholds' limits
  for (const char* box : {"CheckBox1", "CheckBox3", "CheckBox4", "CheckBox5"})
    view.SetChecked(box, true);

  const CutOptions cut = ReadCutOptions(view, CutTool::kVTracer);
  EXPECT_EQ(cut.tool, CutTool::kVTracer);
  EXPECT_EQ(cut.tracers.potrace, "C:\\potrace.exe");
  EXPECT_EQ(cut.tracers.potraceOptions, "-b dxf -t 4");
  EXPECT_EQ(cut.tracers.vtracer, "C:\\vtracer.exe");
  EXPECT_EQ(cut.tracers.vtracerOptions, "--colormode bw");
  EXPECT_EQ(cut.tracers.winTopo, "C:\\WinTopo.exe");
  EXPECT_EQ(cut.tracers.divisions, 6);
  EXPECT_EQ(cut.tracers.dxfWaitMs, 1000);
  EXPECT_TRUE(cut.prepare.median && cut.prepare.monochrome && cut.prepare.otsu);
  EXPECT_FALSE(cut.prepare.gaussian);
  EXPECT_FALSE(cut.prepare.deskewRotation);
  EXPECT_EQ(cut.prepare.threshold, 254);

  // The centerline tracer takes over from the page's tool when ticked, but not from the
  // centerline bench of the test page.
  view.SetChecked("CheckBox7", true);
  EXPECT_EQ(ReadCutOptions(view, CutTool::kWinTopo).tool, CutTool::kCenterlineTracer);
  EXPECT_EQ(ReadCutOptions(view, CutTool::kCenterline).tool, CutTool::kCenterline);
  EXPECT_TRUE(ReadPickOptions(view).centerline);
  view.SetChecked("CheckBox7", false);

  // The pick deskews when asked, never filters, and opens WinTopo.
  const PickOptions pick = ReadPickOptions(view);
  EXPECT_TRUE(pick.deskew);
  EXPECT_TRUE(pick.prepare.monochrome && pick.prepare.otsu);
  EXPECT_FALSE(pick.prepare.median || pick.prepare.gaussian);
  EXPECT_EQ(pick.prepare.threshold, 254);
  EXPECT_EQ(pick.winTopo, "C:\\WinTopo.exe");
  EXPECT_FALSE(pick.centerline);
}

TEST(ViewSink, PutsWhatTheCommandShowsIntoItsControls) {
  testing::FakeView view;
  ViewSink sink(view, {"Button4", "Button9"});
  sink.Status("作業中 ...");
  sink.ShowInsertion("挿入基点= 1,2 挿入尺度= 0.5");
  sink.ShowThreshold(87);
  sink.ClearLog();
  sink.Log("a");
  sink.Log("b");
  sink.Message("終了");
  sink.ShowPicture(Bitmap(3, 2));
  EXPECT_EQ(view.Text("Edit12"), "作業中 ...");
  EXPECT_EQ(view.Text("Edit6"), "挿入基点= 1,2 挿入尺度= 0.5");
  EXPECT_EQ(view.Text("Edit15"), "87");
  EXPECT_EQ(view.Text("Memo3"), "a\r\nb");
  EXPECT_EQ(view.messages(), std::vector<std::string>{"終了"});
  EXPECT_EQ(view.picture().width, 3);

  // Only the command's own buttons are greyed out, and come back.
  sink.SetBusy(true);
  EXPECT_TRUE(view.disabled("Button4") && view.disabled("Button9"));
  EXPECT_FALSE(view.disabled("Button10"));
  sink.SetBusy(false);
  EXPECT_FALSE(view.disabled("Button4") || view.disabled("Button9"));
}

}  // namespace
}  // namespace tesnova
