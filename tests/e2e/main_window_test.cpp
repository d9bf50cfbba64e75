// Tesnova.exe started in a fresh folder and worked through its window.
#include <gtest/gtest.h>

#include <cstdlib>

#include "e2e/support/driver.h"
#include "e2e/support/screenshot.h"
#include "win32/control_ids.h"
#include "win32/wide_text.h"

namespace tesnova::e2e {
namespace {

constexpr const char* kTitle = "Tesnova 2026.01.13";
constexpr const char* kPotracePath = "C:\\Program Files\\Potrace\\potrace.exe";

class TesnovaWindow : public ::testing::Test {
 protected:
  HWND Start() {
    main = program.Start(kTitle);
    return main;
  }
  HWND C(const std::string& name) { return Control(main, name); }
  std::string Text(const std::string& name) { return WindowText(C(name)); }
  bool Visible(const std::string& name) { return IsWindowVisible(C(name)); }
  void ShowPage(int page) {
    Click(C("Tab" + std::to_string(page)));
    const char* probe[] = {"Edit7", "Edit11", "Edit1", "Edit2", "Memo2", "Edit13"};
    ASSERT_TRUE(WaitUntil([&] { return Visible(probe[page]); })) << "page " << page;
  }
  std::filesystem::path Ini() const { return program.SettingsFile(); }
  std::string IniValue(const char* section, const char* key) {
    return program.Setting(section, key);
  }
  void CloseProgram() { ASSERT_TRUE(program.Close(main)) << "Tesnova did not end"; }

  ProgramUnderTest program{BuiltProgram("Tesnova.exe")};
  HWND main = nullptr;
};

// The active page by its probe control; -1 when no page is shown.
int ShownPage(TesnovaWindow& t, HWND main) {
  const char* probe[] = {"Edit7", "Edit11", "Edit1", "Edit2", "Memo2", "Edit13"};
  int shown = -1;
  for (int page = 0; page < 6; ++page)
    if (IsWindowVisible(Control(main, probe[page]))) shown = page;
  (void)t;
  return shown;
}

TEST_F(TesnovaWindow, FirstStartShowsTheDefaultsCentredOnTop) {
  ASSERT_NE(Start(), nullptr);
  EXPECT_EQ(WindowText(main), "Tesnova 2026.01.13 [ BaricsCAD ]");

  RECT outer, client;
  GetWindowRect(main, &outer);
  GetClientRect(main, &client);
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSX);
  ReleaseDC(nullptr, screen);
  EXPECT_EQ(client.right, MulDiv(531, dpi, 96));
  EXPECT_EQ(client.bottom, MulDiv(427, dpi, 96));
  EXPECT_EQ(outer.left, (GetSystemMetrics(SM_CXSCREEN) - (outer.right - outer.left)) / 2);
  EXPECT_EQ(outer.top, (GetSystemMetrics(SM_CYSCREEN) - (outer.bottom - outer.top)) / 2);
  EXPECT_TRUE(IsTopmost(main));
  EXPECT_TRUE(GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW);

  struct Field {
    const char* name;
    const char* text;
  } fields[] = {
      {"Edit1", ""},
      {"Edit2", kPotracePath},
      {"Edit3", "-b dxf"},
      {"Edit4", "-b dxf"},
      {"Edit7", ""},
      {"Edit9", ""},
      {"Edit11", ""},
      {"Edit10", "1000"},
      {"Edit8", "2"},
      {"Edit15", "200"},
      {"Edit12", ""},
      {"Edit6", ""},
      {"Edit13", "Edit13"},
      {"Label8", ""},
      {"Button15", "色取得 ON"},
      {"Edit5", "tesnova.bmp, tesnova.dxf, tesnova.svg"},
  };
  for (const Field& f : fields) EXPECT_EQ(Text(f.name), f.text) << f.name;
  for (const char* ticked : {"CheckBox3", "CheckBox5", "CheckBox6"})
    EXPECT_TRUE(IsChecked(C(ticked))) << ticked;
  for (const char* unticked : {"CheckBox1", "CheckBox2", "CheckBox4"})
    EXPECT_FALSE(IsChecked(C(unticked))) << unticked;
  EXPECT_EQ(ShownPage(*this, main), 1);
  EXPECT_EQ(Text("Button10"), "1. CAD 切り取り  ");
  for (const char* hidden : {"Button5", "Button8", "Button21"}) {
    EXPECT_FALSE(Visible(hidden)) << hidden;
  }
  // The test pages have no tab.
  EXPECT_EQ(ControlById(main, ControlId("Tab3")), nullptr);
  EXPECT_EQ(ControlById(main, ControlId("Tab5")), nullptr);

  // A picture of each page with a tab, for a person to look at.
  for (int page : {0, 1, 2, 4}) {
    ShowPage(page);
    Sleep(300);
    EXPECT_TRUE(SaveWindowPng(main, "tesnova-page-" + std::to_string(page) + ".png"));
  }
}

TEST_F(TesnovaWindow, SettingsAreWrittenAtExitAndReadBack) {
  ASSERT_NE(Start(), nullptr);
  EXPECT_FALSE(std::filesystem::exists(Ini()));
  SetWindowTextTo(C("Edit1"), "C:\\Tools\\potrace.exe");
  SetWindowTextTo(C("Edit9"), "--colormode bw");
  SetWindowTextTo(C("Edit8"), "4");
  SetWindowTextTo(C("Edit10"), "3000");  // used by no cut: not stored
  SetWindowTextTo(C("Edit15"), "150");
  SetChecked(C("CheckBox1"), true);
  SetChecked(C("CheckBox3"), false);
  SetChecked(C("CheckBox5"), false);  // not stored: ticked again at the next start
  ShowPage(2);
  RECT r;
  GetWindowRect(main, &r);
  CloseProgram();

  ASSERT_TRUE(std::filesystem::exists(Ini()));
  struct Key {
    const char* section;
    const char* key;
    std::string value;
  } keys[] = {
      {"Form", "Left", std::to_string(r.left)},
      {"Form", "Top", std::to_string(r.top)},
      {"PoTrace", "FullName", "C:\\Tools\\potrace.exe"},
      {"BMP", "FullName", kPotracePath},
      {"PoTrace", "Param", "-b dxf"},
      {"AutoTrace", "FullName", ""},
      {"AutoTrace", "Param", "--colormode bw"},
      {"TargetCad", "Name", "BaricsCAD"},
      {"TargetCad", "ProgId", "BricscadApp.AcadApplication"},
      {"PoTrace", "ParamDxf", "-b dxf"},
      {"ReadDxf", "Sleep", "1000"},
      {"SvgToDxf", "Divisions", "4"},
      {"WinTopoFree", "FullName", ""},
      {"ActivePage", "Index", "2"},
      {"Bitmap", "Binarize", "1"},
      {"Bitmap", "Gaussian", "0"},
      {"Bitmap", "Filter", "0"},
      {"Bitmap", "Keisha", "0"},
      {"WinTopo", "Close", "1"},
      {"Niichika", "Shikiichi", "150"},
  };
  for (const Key& k : keys)
    EXPECT_EQ(IniValue(k.section, k.key), k.value) << k.section << "." << k.key;

  // Second start: a hidden page, a moved window, hexadecimal and odd values.
  program.SetSetting("ActivePage", "Index", "3");
  program.SetSetting("Form", "Left", "10");
  program.SetSetting("Form", "Top", "0x14");
  program.SetSetting("ReadDxf", "Sleep", "0x3E8");
  program.SetSetting("Bitmap", "Gaussian", "yes");
  program.SetSetting("Bitmap", "Keisha", "2");
  program.SetSetting("TargetCad", "Name", "ZWCAD");
  // A help text beside the program replaces the built-in one.
  WriteBytes(program.folder() / "CAD-WinTopo.txt", "\xEF\xBB\xBFWinTopo の手順\r\n1. 切り取り\r\n");
  ASSERT_NE(Start(), nullptr);
  EXPECT_EQ(Text("Memo4"), "WinTopo の手順\r\n1. 切り取り");
  EXPECT_EQ(Text("Memo5"), "");
  EXPECT_EQ(WindowText(main), "Tesnova 2026.01.13 [ ZWCAD ]");
  GetWindowRect(main, &r);
  EXPECT_EQ(r.left, 10);
  EXPECT_EQ(r.top, 20);
  EXPECT_EQ(ShownPage(*this, main), 3);
  EXPECT_EQ(Text("Edit1"), "C:\\Tools\\potrace.exe");
  EXPECT_EQ(Text("Edit10"), "1000");
  EXPECT_EQ(Text("Edit15"), "150");
  EXPECT_TRUE(IsChecked(C("CheckBox1")));
  EXPECT_FALSE(IsChecked(C("CheckBox2")));
  EXPECT_TRUE(IsChecked(C("CheckBox4")));
  EXPECT_TRUE(IsChecked(C("CheckBox5")));
  CloseProgram();
  EXPECT_EQ(IniValue("ActivePage", "Index"), "3");
  EXPECT_EQ(IniValue("Bitmap", "Keisha"), "1");

  // An index beyond the pages shows none, and -1 goes back.
  program.SetSetting("ActivePage", "Index", "7");
  ASSERT_NE(Start(), nullptr);
  EXPECT_EQ(ShownPage(*this, main), -1);
  CloseProgram();
  EXPECT_EQ(IniValue("ActivePage", "Index"), "-1");
}

TEST_F(TesnovaWindow, DroppedFilesGoToThePagesField) {
  ASSERT_NE(Start(), nullptr);
  struct Case {
    int page;
    const char* field;
  } cases[] = {{1, "Edit11"}, {0, "Edit7"}, {2, "Edit1"}, {4, "Edit13"}};
  for (const Case& c : cases) {
    ShowPage(c.page);
    std::string path = "C:\\Tools\\page" + std::to_string(c.page) + "\\Tracer.ExE";
    DropFiles(main, {path, "C:\\other.exe", "C:\\third.exe"});
    EXPECT_TRUE(WaitUntil([&] { return Text(c.field) == path; })) << c.field;
  }
  EXPECT_EQ(Text("Edit1"), "C:\\Tools\\page2\\Tracer.ExE");
  // A long path arrives whole (page "ReadMe" is active).
  std::string longPath = "C:\\" + std::string(150, 'a') + "\\" + std::string(150, 'b') + ".exe";
  DropFiles(main, {longPath});
  EXPECT_TRUE(WaitUntil([&] { return Text("Edit13") == longPath; })) << Text("Edit13").size();
  // A bitmap on a page other than the hidden "Potrace" page does nothing.
  ShowPage(2);
  DropFiles(main, {"C:\\pictures\\test.bmp"});
  DropFiles(main, {"C:\\pictures\\notes.txt"});
  Sleep(300);
  EXPECT_EQ(Text("Edit2"), kPotracePath);
  EXPECT_EQ(Text("Edit1"), "C:\\Tools\\page2\\Tracer.ExE");
  CloseProgram();

  // The hidden pages only come up from the settings file.
  program.SetSetting("ActivePage", "Index", "3");
  ASSERT_NE(Start(), nullptr);
  DropFiles(main, {"C:\\hidden\\potrace.exe"});
  EXPECT_TRUE(WaitUntil([&] { return Text("Edit1") == "C:\\hidden\\potrace.exe"; }));
  DropFiles(main, {"C:\\pictures\\test.bmp"});
  EXPECT_TRUE(WaitUntil([&] { return Text("Edit2") == "C:\\pictures\\test.bmp"; }));
  CloseProgram();

  program.SetSetting("ActivePage", "Index", "5");
  ASSERT_NE(Start(), nullptr);
  DropFiles(main, {"C:\\test\\bench.exe"});
  EXPECT_TRUE(WaitUntil([&] { return Text("Edit13") == "C:\\test\\bench.exe"; }));
  EXPECT_EQ(Text("Edit1"), "C:\\hidden\\potrace.exe");
  CloseProgram();
}

TEST_F(TesnovaWindow, MinimisedWindowSavesWhereItWillBeRestored) {
  program.SetSetting("Form", "Left", "40");
  program.SetSetting("Form", "Top", "50");
  ASSERT_NE(Start(), nullptr);
  PostMessageW(main, WM_SYSCOMMAND, SC_MINIMIZE, 0);
  ASSERT_TRUE(WaitUntil([&] { return IsIconic(main) != FALSE; }));
  CloseProgram();
  EXPECT_EQ(IniValue("Form", "Left"), "40");
  EXPECT_EQ(IniValue("Form", "Top"), "50");
}

// A settings write that fails at exit is told while the window is still there, with the offer
// to try again; once the cause is gone, the retry saves and the program ends.
TEST_F(TesnovaWindow, RefusedSettingsWriteIsToldBeforeTheWindowGoesAndCanBeRetried) {
  // A folder in the settings file's place: read as missing, refused when written.
  std::filesystem::create_directory(Ini());
  ASSERT_NE(Start(), nullptr);
  EXPECT_EQ(WindowText(main), "Tesnova 2026.01.13 [ BaricsCAD ]");
  PostMessageW(main, WM_CLOSE, 0, 0);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(program.pid())) != nullptr; }));
  // The path and the sentence on lines of their own.
  EXPECT_NE(AllTexts(box).find(WideToUtf8(Ini().wstring()) + "\r\nに書き込めません"),
            std::string::npos)
      << AllTexts(box);
  EXPECT_TRUE(IsWindowVisible(main));
  std::filesystem::remove(Ini());
  PostMessageW(box, WM_COMMAND, IDRETRY, 0);
  EXPECT_TRUE(WaitUntil([&] { return !program.Running(); }));
  EXPECT_NE(IniValue("Form", "Left"), "<missing>");
  // Nothing but the settings file is left beside the program.
  for (const auto& entry : std::filesystem::directory_iterator(program.folder()))
    EXPECT_NE(entry.path().extension(), ".tmp") << entry.path();
}

TEST_F(TesnovaWindow, RefusedSettingsWriteCanBeLeftUnsaved) {
  std::filesystem::create_directory(Ini());
  ASSERT_NE(Start(), nullptr);
  PostMessageW(main, WM_CLOSE, 0, 0);
  HWND box = nullptr;
  ASSERT_TRUE(WaitUntil([&] { return (box = FindMessageBox(program.pid())) != nullptr; }));
  PostMessageW(box, WM_COMMAND, IDCANCEL, 0);
  EXPECT_TRUE(WaitUntil([&] { return !program.Running(); }));

  EXPECT_TRUE(std::filesystem::is_directory(Ini()));
}

// A saved position off every monitor opens the window centred on the primary monitor.
TEST_F(TesnovaWindow, AnOffScreenPositionOpensCentred) {
  for (const auto& [left, top] : {std::pair{"99999", "100"}, {"-2147483648", "-2147483648"}}) {
    program.SetSetting("Form", "Left", left);
    program.SetSetting("Form", "Top", top);
    ASSERT_NE(Start(), nullptr);
    RECT r;
    GetWindowRect(main, &r);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    GetMonitorInfoW(MonitorFromPoint({0, 0}, MONITOR_DEFAULTTOPRIMARY), &info);
    const RECT& work = info.rcWork;
    EXPECT_LE(std::abs((r.left + r.right) - (work.left + work.right)), 2) << left;
    EXPECT_GE(r.top, work.top) << top;
    EXPECT_LE(r.bottom, work.bottom) << top;
    CloseProgram();
  }
}

TEST_F(TesnovaWindow, SettingsFileKeepsEveryCharacter) {
  // An existing file in the ANSI code page (932) is still read.
  WriteBytes(Ini(), "[PoTrace]\r\nFullName=C:\\\x90\x7D\x96\xCA\\potrace.exe\r\n");
  ASSERT_NE(Start(), nullptr);
  EXPECT_EQ(Text("Edit1"), "C:\\図面\\potrace.exe");
  // A value the code page cannot hold turns the file into UTF-16LE, the other values kept.
  SetWindowTextTo(C("Edit11"), "C:\\Users\\José\\WinTopoFree.exe");
  CloseProgram();
  EXPECT_TRUE(ReadBytes(Ini()).starts_with("\xFF\xFE[")) << ReadBytes(Ini()).substr(0, 8);
  EXPECT_EQ(IniValue("PoTrace", "FullName"), "C:\\図面\\potrace.exe");
  EXPECT_EQ(IniValue("WinTopoFree", "FullName"), "C:\\Users\\José\\WinTopoFree.exe");

  // A new file is UTF-16LE with its mark, and gives back what no code page holds.
  std::filesystem::remove(Ini());
  const std::string potrace = "C:\\Users\\José\\potrace.exe";
  const std::string vtracer = "C:\\Users\\Zoë\\図面\\vtracer.exe";
  ASSERT_NE(Start(), nullptr);
  SetWindowTextTo(C("Edit1"), potrace);
  SetWindowTextTo(C("Edit7"), vtracer);
  CloseProgram();
  EXPECT_TRUE(ReadBytes(Ini()).starts_with("\xFF\xFE[")) << ReadBytes(Ini()).substr(0, 8);
  EXPECT_EQ(IniValue("PoTrace", "FullName"), potrace);
  EXPECT_EQ(IniValue("AutoTrace", "FullName"), vtracer);
  ASSERT_NE(Start(), nullptr);
  EXPECT_EQ(Text("Edit1"), potrace);
  EXPECT_EQ(Text("Edit7"), vtracer);
  CloseProgram();
}

TEST_F(TesnovaWindow, HelpTextsInEveryEncodingCurrentEditorsSave) {
  const std::string help = "説明書\r\n1. CAD 切り取り";
  // UTF-8 without a mark (current editors), with a mark, UTF-16LE, and the ANSI code page 932.
  WriteBytes(program.folder() / "CAD-VTracer.txt", help);
  WriteBytes(program.folder() / "CAD-WinTopo.txt", "\xEF\xBB\xBF" + help);
  WriteBytes(program.folder() / "CAD-Potrace.txt",
             std::string("\xFF\xFE\xAC\x8A\x0E\x66\xF8\x66\r\0\n\0"
                         "1\0",
                         14));
  WriteBytes(program.folder() / "Palvero.txt",
             "\x90\xE0\x96\xBE\x8F\x91\r\n1. CAD \x90\xD8\x82\xE8\x8E\xE6\x82\xE8");
  ASSERT_NE(Start(), nullptr);
  EXPECT_EQ(Text("Memo3"), help);
  EXPECT_EQ(Text("Memo4"), help);
  EXPECT_EQ(Text("Memo5"), "説明書\r\n1");
  EXPECT_EQ(Text("Memo1"), "説明書\r\n1");
  EXPECT_EQ(Text("Memo2"), help);
  CloseProgram();
}

TEST_F(TesnovaWindow, WindowsKeysSwitchPagesAndPressTheFocusedButton) {
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(BringToFront(main));
  ASSERT_EQ(ShownPage(*this, main), 1);
  // Ctrl+Tab and Ctrl+PgDn go forward, Ctrl+Shift+Tab and Ctrl+PgUp back, round over the
  // pages that have a tab.
  struct Step {
    std::vector<WORD> keys;
    int page;
  } steps[] = {
      {{VK_CONTROL, VK_TAB}, 2},           {{VK_CONTROL, VK_TAB}, 4},
      {{VK_CONTROL, VK_TAB}, 0},           {{VK_CONTROL, VK_SHIFT, VK_TAB}, 4},
      {{VK_CONTROL, VK_SHIFT, VK_TAB}, 2}, {{VK_CONTROL, VK_PRIOR}, 1},
      {{VK_CONTROL, VK_PRIOR}, 0},         {{VK_CONTROL, VK_PRIOR}, 4},
      {{VK_CONTROL, VK_NEXT}, 0},          {{VK_CONTROL, VK_NEXT}, 1},
  };
  for (const Step& step : steps) {
    TypeKeys(step.keys);
    EXPECT_TRUE(WaitUntil([&] { return ShownPage(*this, main) == step.page; }))
        << "expected page " << step.page << ", shown " << ShownPage(*this, main);
  }

  // Enter on a focused button presses it, tabs included.
  PressKey(C("Button15"), VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return Text("Button15") == "色取得 OFF"; }));
  PressKey(C("Button15"), VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return Text("Button15") == "色取得 ON"; }));
  PressKey(C("Tab2"), VK_RETURN);
  EXPECT_TRUE(WaitUntil([&] { return ShownPage(*this, main) == 2; }));
  // Enter in a field presses nothing.
  PressKey(C("Edit4"), VK_RETURN);
  Sleep(300);
  EXPECT_EQ(ShownPage(*this, main), 2);
  EXPECT_EQ(Text("Edit4"), "-b dxf");
  CloseProgram();

  // From a page without a tab, the keys go to the nearest tabbed page.
  program.SetSetting("ActivePage", "Index", "3");
  ASSERT_NE(Start(), nullptr);
  ASSERT_TRUE(BringToFront(main));
  TypeKeys({VK_CONTROL, VK_TAB});
  EXPECT_TRUE(WaitUntil([&] { return ShownPage(*this, main) == 4; }));
  CloseProgram();
}

TEST_F(TesnovaWindow, PicturesOfThePagesWithoutTabs) {
  for (int page : {3, 5}) {
    program.SetSetting("ActivePage", "Index", std::to_string(page));
    ASSERT_NE(Start(), nullptr);
    ASSERT_EQ(ShownPage(*this, main), page);
    Sleep(300);
    EXPECT_TRUE(SaveWindowPng(main, "tesnova-page-" + std::to_string(page) + ".png"));
    CloseProgram();
  }
}

}  // namespace
}  // namespace tesnova::e2e
