#include "app/main_form.h"

#include <gtest/gtest.h>

#include "app/colour_probe.h"
#include "app/commands.h"
#include "app/form_controls.h"
#include "base/text_file.h"
#include "support/fake_cad.h"
#include "support/fake_desktop.h"
#include "support/fake_ports.h"
#include "support/fake_view.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

class MainFormTest : public ::testing::Test {
 protected:
  std::string Folder() const {
    std::string text = PathToUtf8(scratch.path());
    return text + static_cast<char>(std::filesystem::path::preferred_separator);
  }
  // What the shell was asked to open, as "verb|file|parameters".
  std::vector<std::string> Opened() const {
    std::vector<std::string> out;
    for (const auto& o : shell.opened) out.push_back(o.verb + "|" + o.file + "|" + o.parameters);
    return out;
  }
  testing::ScratchFolder scratch;
  testing::FakeView view;
  ProgramValues values;
  testing::FakeShell shell;
  testing::FakeScreen screen;
  testing::FakeTargetCadDialog dialog;
  testing::FakeProcesses processes;
  testing::FakeDesktop desktop;
  testing::FakeCad cad;
  testing::FakeAutomationHost automation{cad};
  testing::FakeCapture capture;
  // The commands' context around a window.
  AppContext ContextFor(View& window) {
    return {window,
            values,
            shell,
            screen,
            dialog,
            processes,
            desktop,
            automation,
            capture,
            scratch.path(),
            scratch / "Tesnova.bmp"};
  }
  AppContext context = ContextFor(view);
};

TEST_F(MainFormTest, PreparedFormBeforeTheSettings) {
  values.targetCadName = "x";
  view.SetText("Edit12", "old");
  PrepareForm(context);
  EXPECT_EQ(values.targetCadName, "BaricsCAD");
  EXPECT_EQ(values.targetProgId, "BricscadApp.AcadApplication");
  EXPECT_EQ(view.Text("Edit5"), "tesnova.bmp, tesnova.dxf, tesnova.svg");
  EXPECT_EQ(view.Text("Edit12"), "");
  EXPECT_EQ(view.ActivePage(), 1);
  EXPECT_EQ(ComposeCaption("BaricsCAD"), "Tesnova 2026.01.13 [ BaricsCAD ]");
}

TEST_F(MainFormTest, HelpTextsReplaceTheMemosOnlyWhenPresent) {
  view.SetText("Memo3", "built in");
  view.SetText("Memo2", "readme");
  WriteFileBytes(scratch / "CAD-Potrace.txt", "\xEF\xBB\xBF\r\n最初\r\n二行目\r\n");
  LoadHelpTexts(context);
  EXPECT_EQ(view.Text("Memo3"), "built in");
  EXPECT_EQ(view.Text("Memo2"), "readme");
  EXPECT_EQ(view.Text("Memo5"), "\r\n最初\r\n二行目");
  EXPECT_EQ(view.Text("Memo1"), "\r\n最初\r\n二行目");
}

TEST_F(MainFormTest, DroppedExecutableGoesToThePagesToolField) {
  struct Case {
    int page;
    const char* field;
  } cases[] = {{0, "Edit7"},  {1, "Edit11"}, {2, "Edit1"},  {3, "Edit1"},
               {4, "Edit13"}, {5, "Edit13"}, {-1, "Edit13"}};
  for (const Case& c : cases) {
    testing::FakeView fresh;
    AppContext ctx = ContextFor(fresh);
    fresh.SetActivePage(c.page);
    DropFiles(ctx, {"C:\\Tools\\Some.Dir\\PoTrace.ExE", "C:\\b.exe", "C:\\c.bmp"});
    for (const char* f : {"Edit1", "Edit7", "Edit11", "Edit13"})
      EXPECT_EQ(fresh.Text(f), std::string(f) == c.field ? "C:\\Tools\\Some.Dir\\PoTrace.ExE" : "")
          << "page " << c.page << " field " << f;
  }
}

TEST_F(MainFormTest, DroppedBitmapOnlyCountsOnTheHiddenPotracePage) {
  for (const char* path : {"C:\\a.bmp", "C:\\a.png", "C:\\bmp", "C:\\x.bmp\\file"}) {
    view.SetActivePage(2);
    DropFiles(context, {path});
    EXPECT_EQ(view.Text("Edit2"), "") << path;
  }
  view.SetActivePage(3);
  DropFiles(context, {"C:\\a.txt"});
  DropFiles(context, {});
  EXPECT_EQ(view.Text("Edit2"), "");
  DropFiles(context, {"C:\\work\\test.BMP"});
  EXPECT_EQ(view.Text("Edit2"), "C:\\work\\test.BMP");
}

TEST_F(MainFormTest, CommandTableBindsEveryButton) {
  EXPECT_EQ(CommandForButton("Button9"), &Button4Click);
  EXPECT_EQ(CommandForButton("Button16"), &Button4Click);
  EXPECT_EQ(CommandForButton("Button5"), &Button1Click);
  EXPECT_EQ(CommandForButton("Button6"), &Button2Click);
  EXPECT_EQ(CommandForButton("Button17"), &Button2Click);
  EXPECT_EQ(CommandForButton("Button13"), &Button3Click);
  EXPECT_EQ(CommandForButton("Button14"), &Button3Click);
  EXPECT_EQ(CommandForButton("Button25"), nullptr);
  for (int i = 1; i <= 24; ++i)
    EXPECT_NE(CommandForButton("Button" + std::to_string(i)), nullptr) << i;
}

TEST_F(MainFormTest, TargetCadChoiceChangesCaptionAndValuesOnlyOnOk) {
  values.targetProgId = "BricscadApp.AcadApplication";
  Button3Click(context, "Button13");
  EXPECT_EQ(dialog.preselected, "BricscadApp.AcadApplication");
  EXPECT_EQ(values.targetCadName, "BaricsCAD");
  EXPECT_EQ(view.caption(), "");
  dialog.answer = TargetCadChoice{"ZWCAD 2024", "ZWCAD.Application.2024"};
  Button3Click(context, "Button3");
  EXPECT_EQ(view.caption(), "Tesnova 2026.01.13 [ ZWCAD 2024 ]");
  EXPECT_EQ(values.targetCadName, "ZWCAD 2024");
  EXPECT_EQ(values.targetProgId, "ZWCAD.Application.2024");
  EXPECT_EQ(view.calls(), (std::vector<std::string>{"NotOnTop", "OnTop", "NotOnTop", "OnTop"}));
}

TEST_F(MainFormTest, ColourReadingAndThreshold) {
  struct Case {
    std::uint32_t rgb;
    const char* threshold;
    const char* text;
    std::uint32_t binarised;
  } cases[] = {
      {0xFFFFFF, "200", "輝度値=255 [R=255 G=255 B=255]", 0xFFFFFF},
      {0xFF0000, "200", "輝度値=28 [R=0 G=0 B=255]", 0},
      {0xC8C8C8, "200", "輝度値=200 [R=200 G=200 B=200]", 0xFFFFFF},  // equal: white
      {0xC7C7C7, "200", "輝度値=199 [R=199 G=199 B=199]", 0},
      {0x000001, "abc", "輝度値=0 [R=1 G=0 B=0]", 0xFFFFFF},  // no number: threshold 0
  };
  for (const Case& c : cases) {
    ColourReading r = ReadColour(c.rgb, c.threshold);
    EXPECT_EQ(r.text, c.text);
    EXPECT_EQ(r.colour, c.rgb);
    EXPECT_EQ(r.binarised, c.binarised) << c.text;
  }
}

TEST_F(MainFormTest, ProbeToggleAndTicksChangeOnlyWhatDiffers) {
  view.SetText("Button15", "色取得 ON");
  view.SetText("Edit15", "100");
  Button15Click(context, "Button15");
  EXPECT_TRUE(view.timerEnabled("Timer1"));
  EXPECT_EQ(view.Text("Button15"), "色取得 OFF");
  screen.colour = 0x0000FF;  // pure red: Y = 76
  Timer1Timer(context);
  EXPECT_EQ(view.Text("Label8"), "輝度値=76 [R=255 G=0 B=0]");
  EXPECT_EQ(view.Fill("Shape1"), 0x0000FFu);
  EXPECT_EQ(view.Fill("Shape2"), 0u);
  size_t before = view.calls().size();
  Timer1Timer(context);
  EXPECT_EQ(view.calls().size(), before);
  screen.readable = false;
  screen.colour = 0xFFFFFF;
  Timer1Timer(context);
  EXPECT_EQ(view.Text("Label8"), "輝度値=76 [R=255 G=0 B=0]");
  Button15Click(context, "Button15");
  EXPECT_FALSE(view.timerEnabled("Timer1"));
  EXPECT_EQ(view.Text("Button15"), "色取得 ON");
}

TEST_F(MainFormTest, FolderCommandsSelectTheNewestWorkFile) {
  std::string bmp = PathToUtf8(scratch / "tesnova.bmp");
  std::string dxf = PathToUtf8(scratch / "tesnova.dxf");
  Button7Click(context, "Button7");
  Button12Click(context, "Button12");
  EXPECT_EQ(view.Text("Edit12"), "");
  Button2Click(context, "Button6");
  WriteFileBytes(bmp, "BM");
  Button7Click(context, "Button7");
  Button2Click(context, "Button17");
  WriteFileBytes(dxf, "0\r\nEOF\r\n");
  Button12Click(context, "Button12");
  EXPECT_EQ(view.Text("Edit12"), dxf);
  view.SetText("Edit2", "C:\\test\\a b.bmp");
  Button2Click(context, "Button2");
  const std::string open = "open|explorer.exe|";
  EXPECT_EQ(Opened(), (std::vector<std::string>{open + Folder(), open + Folder(), open + Folder(),
                                                open + "/select," + bmp, open + "/select," + bmp,
                                                open + "/select," + dxf,
                                                open + "/select,C:\\test\\a b.bmp"}));
}

TEST_F(MainFormTest, ImageFolderNeedsThePickedFile) {
  Button22Click(context, "Button22");
  EXPECT_EQ(view.Text("Edit12"), "");
  values.cad.picked.topoFullName = "C:/no/such/image.png";
  Button22Click(context, "Button22");
  EXPECT_EQ(view.Text("Edit12"), "C:\\no\\such\\image.png");
  EXPECT_TRUE(shell.opened.empty());
  std::string picked = PathToUtf8(scratch / "picked.png");
  WriteFileBytes(picked, "x");
  values.cad.picked.topoFullName = picked;
  Button22Click(context, "Button22");
  ASSERT_EQ(shell.opened.size(), 1u);
  std::string shown = picked;
  std::replace(shown.begin(), shown.end(), '/', '\\');
  EXPECT_EQ(Opened()[0], "open|explorer.exe|/select," + shown);
  EXPECT_EQ(view.Text("Edit12"), shown);
}

}  // namespace
}  // namespace tesnova
