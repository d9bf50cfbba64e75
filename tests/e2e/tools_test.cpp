// The tool commands of Tesnova.exe worked through its window: the direct trace with the VTracer
// stand-in, the Potrace start with the cross-built potrace.exe, and WinTopo's vectorise and
// save buttons driving the WinTopo stand-in.
#include <gtest/gtest.h>

#include "e2e/support/driver.h"
#include "support/windows_potrace.h"
// after windows.h
#include <shellapi.h>

#include "base/text_file.h"
#include "raster/bmp_file.h"
#include "win32/wide_text.h"

namespace tesnova::e2e {
namespace {

namespace fs = std::filesystem;

constexpr const char* kTitle = "Tesnova 2026.01.13";

// A dark red square and a grey ring on a pale background: colours that binarise.
Bitmap Picture() {
  Bitmap b(80, 60, 230);
  for (int y = 15; y < 45; ++y)
    for (int x = 10; x < 40; ++x) {
      std::uint8_t* p = b.at(x, y);
      p[0] = 20, p[1] = 30, p[2] = 160;
    }
  for (int y = 20; y < 40; ++y)
    for (int x = 50; x < 70; ++x) std::fill(b.at(x, y), b.at(x, y) + 3, 140);
  return b;
}

// A black square of 20 x 20 pixels at (10, 10) in a 60 x 40 picture.
Bitmap Square() {
  Bitmap b(60, 40);
  for (int y = 10; y < 30; ++y)
    for (int x = 10; x < 30; ++x) std::fill(b.at(x, y), b.at(x, y) + 3, 0);
  return b;
}

int Count(const std::string& text, const std::string& what) {
  int n = 0;
  for (size_t p = text.find(what); p != std::string::npos; p = text.find(what, p + 1)) ++n;
  return n;
}

class TesnovaTools : public ::testing::Test {
 protected:
  void SetUp() override {
    for (const char* exe : {"Tesnova.exe", "testbed\\vtracer_standin\\vtracer_standin.exe",
                            "testbed\\wintopo_standin\\wintopo_standin.exe"})
      if (!fs::exists(BuiltProgram(exe))) GTEST_SKIP() << exe << " not built";
    EndProgramsWithWindow("WinTopo");  // one left by an earlier run would answer our commands
  }
  void TearDown() override {
    SetEnvironmentVariableW(L"TESNOVA_WINTOPO_STANDIN", nullptr);
    EndProgramsWithWindow("WinTopo");
  }
  HWND C(const std::string& name) { return Control(main, name); }
  std::string Text(const std::string& name) { return WindowText(C(name)); }
  fs::path Work(const char* name) { return program.folder() / name; }
  // The text of the message box Tesnova shows, which is then closed; "" when none came.
  std::string TakeMessage() {
    HWND box = nullptr;
    if (!WaitUntil([&] { return (box = FindMessageBox(program.pid())) != nullptr; })) return "";
    std::string text = WindowText(GetDlgItem(box, 0xFFFF));
    PostMessageW(box, WM_COMMAND, IDOK, 0);
    WaitUntil([&] { return !IsWindow(box); });
    return text;
  }
  void WaitForCommandEnd(const std::string& button) {
    Sleep(200);
    EXPECT_TRUE(WaitUntil([&] { return IsWindowEnabled(C(button)) != 0; }, 20000ms)) << button;
  }

  ProgramUnderTest program{BuiltProgram("Tesnova.exe")};
  HWND main = nullptr;
};

TEST_F(TesnovaTools, ABitmapDroppedOnThePotracePageIsTracedAndLogged) {
  program.SetSetting("ActivePage", "Index", "3");
  program.SetSetting("AutoTrace", "FullName",
                     PathToUtf8(BuiltProgram("testbed\\vtracer_standin\\vtracer_standin.exe")));
  program.SetSetting("AutoTrace", "Param", "--colormode bw");
  WriteBmp24(Work("tesnova.bmp"), Picture());
  WriteBytes(Work("tesnova.svg"), "old");
  main = program.Start(kTitle);
  ASSERT_NE(main, nullptr);

  DropFiles(main, {"C:\\pictures\\test.BMP"});
  ASSERT_TRUE(WaitUntil([&] { return Text("Memo3").find(".dxf") != std::string::npos; }, 30000ms))
      << Text("Memo3");
  const std::string bmp = PathToUtf8(Work("tesnova.bmp"));
  const std::string svg = PathToUtf8(Work("tesnova.svg"));
  const std::string dxf = PathToUtf8(Work("tesnova.dxf"));
  EXPECT_EQ(SplitLines(Text("Memo3")),
            (std::vector<std::string>{
                "VTracer を起動中 ...", "--colormode bw -i \"" + bmp + "\" -o \"" + svg + "\"",
                "SVG ファイルが生成されました。", svg, "SVG -> DXF 変換中 ...",
                "DXF ファイルが生成されました。", dxf}));
  EXPECT_EQ(Text("Edit2"), "C:\\pictures\\test.BMP");
  Bitmap binarised = ReadBmp(Work("tesnova.bmp"));
  for (size_t i = 0; i < binarised.pixels.size(); ++i)
    ASSERT_TRUE(binarised.pixels[i] == 0 || binarised.pixels[i] == 255) << i;
  // The stand-in covers the dark pixels with rectangles: the square is one closed polyline.
  std::string text = ReadBytes(Work("tesnova.dxf"));
  EXPECT_GE(Count(text, "POLYLINE"), 1) << text;
  EXPECT_NE(text.find("EOF"), std::string::npos);
  ASSERT_TRUE(program.Close(main));
}

TEST_F(TesnovaTools, AVTracerThatCannotStartIsLoggedAndShown) {
  program.SetSetting("ActivePage", "Index", "3");
  WriteBytes(Work("vtracer.txt"), "not a program");
  program.SetSetting("AutoTrace", "FullName", PathToUtf8(Work("vtracer.txt")));
  WriteBmp24(Work("tesnova.bmp"), Picture());
  main = program.Start(kTitle);
  ASSERT_NE(main, nullptr);

  Click(C("Button1"));
  EXPECT_EQ(TakeMessage(), "VTracer の起動に失敗しました。");
  EXPECT_EQ(SplitLines(Text("Memo3")).back(), "VTracer の起動に失敗しました。");
  // The window is alive after the error.
  SetWindowTextTo(C("Edit8"), "3");
  EXPECT_EQ(Text("Edit8"), "3");
  ASSERT_TRUE(program.Close(main));
}

TEST_F(TesnovaTools, PotraceStartWritesTheDxfBesideTheWorkBitmap) {
  const fs::path potrace = testing::WindowsPotrace();
  if (!fs::exists(potrace)) GTEST_SKIP() << "no potrace.exe";
  program.SetSetting("PoTrace", "FullName", PathToUtf8(potrace));
  WriteBmp24(Work("tesnova.bmp"), Square());
  main = program.Start(kTitle);
  ASSERT_NE(main, nullptr);
  // The button is hidden in normal use; a click message reaches it all the same.
  Click(C("Button8"));
  ASSERT_TRUE(
      WaitUntil([&] { return ReadBytes(Work("tesnova.dxf")).find("EOF") != std::string::npos; }));
  EXPECT_EQ(Count(ReadBytes(Work("tesnova.dxf")), "POLYLINE"), 1);
  ASSERT_TRUE(program.Close(main));
}

TEST_F(TesnovaTools, WinTopoVectorisesAndSavesTheWorkDxfFromTheButtons) {
  WriteBmp24(Work("tesnova.bmp"), Square());
  WriteBytes(Work("tesnova.dxf"), "old");
  main = program.Start(kTitle);
  ASSERT_NE(main, nullptr);
  Click(C("Tab1"));

  // Without WinTopo the buttons say so.
  Click(C("Button18"));
  EXPECT_EQ(TakeMessage(), "WinTopo Freeware が見つかりません。");
  WaitForCommandEnd("Button18");

  // WinTopo opened on the work bitmap, as the cut's tool stage opens it. Under Wine another
  // process cannot read a window's menu, so the stand-in takes the identifier that lookup
  // yields for its save command.
  SetEnvironmentVariableW(L"TESNOVA_WINTOPO_STANDIN", L"unreadable-menu");
  std::wstring parameters = L"\"" + Work("tesnova.bmp").wstring() + L"\"";
  ShellExecuteW(nullptr, L"open",
                BuiltProgram("testbed\\wintopo_standin\\wintopo_standin.exe").c_str(),
                parameters.c_str(), nullptr, SW_SHOWMINIMIZED);
  HWND topo = WaitForTopWindow("WinTopo stand-in - tesnova.bmp");
  ASSERT_NE(topo, nullptr);
  EXPECT_TRUE(WaitUntil([&] { return IsIconic(topo) != 0; }));

  ASSERT_TRUE(ClickAndWaitForCommand(C("Button18")));
  EXPECT_FALSE(IsIconic(topo));
  ASSERT_TRUE(ClickAndWaitForCommand(C("Button19")));
  ASSERT_TRUE(
      WaitUntil([&] { return ReadBytes(Work("tesnova.dxf")).find("EOF") != std::string::npos; }));
  std::string dxf = ReadBytes(Work("tesnova.dxf"));
  EXPECT_EQ(Count(dxf, "POLYLINE\r\n"), 1) << dxf;
  EXPECT_EQ(Count(dxf, "VERTEX\r\n"), 4) << dxf;
  EXPECT_EQ(FindMessageBox(program.pid()), nullptr);

  // The saved DXF held open by another program: the save stops and says so.
  HANDLE held =
      CreateFileW(Work("tesnova.dxf").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  Click(C("Button19"));
  EXPECT_EQ(TakeMessage(), PathToUtf8(Work("tesnova.dxf")) + "\nの削除に失敗しました。使用中？");
  CloseHandle(held);
  WaitForCommandEnd("Button19");
  EXPECT_EQ(ReadBytes(Work("tesnova.dxf")), dxf);

  PostMessageW(topo, WM_SYSCOMMAND, SC_CLOSE, 0);
  EXPECT_TRUE(WaitUntil([&] { return !IsWindow(topo); }));
  ASSERT_TRUE(program.Close(main));
}

}  // namespace
}  // namespace tesnova::e2e
