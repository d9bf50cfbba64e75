#include "tools/wintopo.h"

#include <gtest/gtest.h>

#include <fstream>
#include <optional>

#include "base/text_file.h"
#include "support/fake_desktop.h"
#include "support/fake_sink.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

namespace fs = std::filesystem;
using testing::FakeDesktop;
using testing::FakeSink;
using testing::ScratchFolder;

constexpr WindowId kTopo = 0x1A2B;
constexpr WindowId kDialog = 0x3000;
constexpr std::uint32_t kSaveVectorAs = 0x9008;

struct WinTopoFixture : ::testing::Test {
  ScratchFolder dir;
  WorkFiles files = WorkFilesIn(dir.path());
  FakeSink sink;
  FakeDesktop desktop;

  void SetUp() override {
    std::ofstream(PathFromUtf8(files.bmp)) << "BM";
    desktop.Add({0x10, "Tesnova 2026.01.13", "TForm102"});
    auto& topo = desktop.Add({kTopo, "WinTopo Freeware - tesnova.bmp", "TWinTopo"});
    topo.menus = {{0x9000, 0x9001, 0x9002, 0x9003, 0x9004, 0x9005, 0x9006},
                  {0x9100, 0x9101, 0, 0x9103, 0x9104, 0x9105, 0x9106, 0x9107, kSaveVectorAs}};
  }
  // The save dialog opens when the menu command arrives, after a delay; its button saves.
  void DialogOpensAfter(std::uint32_t ms, const std::string& buttonClass,
                        const std::string& buttonTitle) {
    desktop.onCall = [=, this](const FakeDesktop::Call& c) {
      if (c.what == "post" && c.window == kTopo && c.message == kWmCommand &&
          c.wParam == kSaveVectorAs) {
        EXPECT_FALSE(fs::exists(PathFromUtf8(files.dxf))) << "old DXF still there";
        opensAt = desktop.now + ms;
      }
      if (c.what == "send" && c.message == kBmClick)
        std::ofstream(PathFromUtf8(files.dxf)) << "saved";
    };
    sink.onDispatch = [=, this] {
      if (opensAt && desktop.now >= *opensAt && !desktop.Find(kDialog)) {
        desktop.Add({kDialog, "名前を付けて保存", "#32770"});
        desktop.Add({kDialog + 1, "キャンセル", "Button", kDialog});
        desktop.Add({kDialog + 2, buttonTitle, buttonClass, kDialog});
      }
    };
  }
  std::optional<std::uint32_t> opensAt;
};

TEST_F(WinTopoFixture, FindsTheFirstWindowWhoseTitleBeginsWithWinTopo) {
  desktop.windows.clear();
  desktop.Add({1, "My WinTopo", ""});
  desktop.Add({2, "wintopo", ""});
  EXPECT_EQ(FindWinTopoWindow(desktop), 0u);
  desktop.Add({3, "WinTopo Pro - a.bmp", ""});
  desktop.Add({4, "WinTopo", ""});
  EXPECT_EQ(FindWinTopoWindow(desktop), 3u);
}

TEST_F(WinTopoFixture, VectoriseRestoresWinTopoAndPostsF10) {
  desktop.Find(kTopo)->minimised = true;
  desktop.onCall = [&](const FakeDesktop::Call&) { EXPECT_TRUE(sink.busy); };
  VectoriseInWinTopo(desktop, files, sink);

  auto calls = desktop.CallsTo(kTopo);
  ASSERT_EQ(calls.size(), 4u);
  EXPECT_EQ(calls[0].what, "restore");
  EXPECT_EQ(calls[1].what, "front");
  EXPECT_EQ(calls[2].message, kWmKeyDown);
  EXPECT_EQ(calls[2].wParam, kVkF10);
  EXPECT_EQ(calls[2].lParam, 0x003B0001);
  EXPECT_EQ(calls[3].message, kWmKeyUp);
  EXPECT_EQ(calls[3].lParam, 0xC03B0001);
  EXPECT_TRUE(sink.Messages().empty());
  EXPECT_FALSE(sink.busy);
}

TEST_F(WinTopoFixture, NothingIsSentWithoutTheBitmapOrWinTopo) {
  using Click = void (*)(Desktop&, const WorkFiles&, CommandSink&);
  for (Click click : {VectoriseInWinTopo, SaveWinTopoDxf}) {
    fs::remove(PathFromUtf8(files.bmp));
    sink.events.clear();
    click(desktop, files, sink);
    EXPECT_EQ(sink.Messages(),
              std::vector<std::string>{files.bmp + "\nファイルが見つかりません。"});

    std::ofstream(PathFromUtf8(files.bmp)) << "BM";
    desktop.Find(kTopo)->title = "Tesnova";
    sink.events.clear();
    click(desktop, files, sink);
    EXPECT_EQ(sink.Messages(), std::vector<std::string>{"WinTopo Freeware が見つかりません。"});
    desktop.Find(kTopo)->title = "WinTopo";

    EXPECT_TRUE(desktop.calls.empty());
    EXPECT_FALSE(sink.busy);
  }
}

TEST_F(WinTopoFixture, SaveReplacesTheOldDxfThroughTheSaveDialog) {
  struct Case {
    const char* cls;
    const char* title;
  } cases[] = {{"Button", "保存(&S)"}, {"Button", "Save"}};
  for (const Case& c : cases) {
    std::ofstream(PathFromUtf8(files.dxf)) << "old";
    desktop.windows.resize(2);
    desktop.calls.clear();
    opensAt.reset();
    DialogOpensAfter(1500, c.cls, c.title);
    SaveWinTopoDxf(desktop, files, sink);
    EXPECT_EQ(ReadFileBytes(PathFromUtf8(files.dxf)), "saved") << c.title;
    EXPECT_EQ(desktop.CallsTo(kDialog + 2).size(), 1u) << c.title;
    EXPECT_TRUE(desktop.CallsTo(kDialog + 1).empty());
    EXPECT_TRUE(sink.Messages().empty());
    EXPECT_FALSE(sink.busy);
  }
}

TEST_F(WinTopoFixture, SaveGivesUpQuietlyWhenNoDialogComes) {
  DialogOpensAfter(60000, "Button", "保存(&S)");
  std::uint32_t start = desktop.now;
  SaveWinTopoDxf(desktop, files, sink);
  EXPECT_FALSE(fs::exists(PathFromUtf8(files.dxf)));
  for (const auto& c : desktop.calls) EXPECT_NE(c.what, "send");
  EXPECT_TRUE(sink.Messages().empty());
  EXPECT_FALSE(sink.busy);
  // 51 looks 50 ms apart, then the pauses around the click that never comes.
  EXPECT_EQ(desktop.now - start, 100u + 200u + 100u + 51u * 50u + 100u + 500u);
}

TEST_F(WinTopoFixture, SaveStopsWhenTheOldDxfCannotBeDeleted) {
  // A folder of that name cannot be removed while something lies in it, as an open file can't.
  fs::create_directories(PathFromUtf8(files.dxf) / "held");
  DialogOpensAfter(0, "Button", "保存(&S)");
  SaveWinTopoDxf(desktop, files, sink);
  EXPECT_EQ(sink.Messages(),
            std::vector<std::string>{files.dxf + "\nの削除に失敗しました。使用中？"});
  for (const auto& c : desktop.calls) EXPECT_NE(c.what, "post");
  EXPECT_FALSE(sink.busy);
}

TEST_F(WinTopoFixture, CloseAsksAtMostThreeTimesAndAlwaysPauses) {
  int closes = 0;
  for (int closesAfter : {1, 2, 99}) {
    desktop.windows = {{kTopo, "WinTopo", ""}};
    desktop.calls.clear();
    closes = 0;
    desktop.onCall = [&](const FakeDesktop::Call& c) {
      if (c.what == "send" && c.message == kWmSysCommand && c.wParam == kScClose &&
          ++closes == closesAfter)
        desktop.Find(kTopo)->alive = false;
    };
    auto start = desktop.now;
    CloseWinTopo(desktop);
    EXPECT_EQ(closes, std::min(closesAfter, 3));
    EXPECT_EQ(desktop.now - start, 200u) << closesAfter;
  }
  // No WinTopo any more: nothing is sent, and the pauses of 100, 50 and 50 ms still pass.
  desktop.windows.clear();
  desktop.calls.clear();
  auto start = desktop.now;
  CloseWinTopo(desktop);
  EXPECT_TRUE(desktop.calls.empty());
  EXPECT_EQ(desktop.now - start, 200u);
}

TEST_F(WinTopoFixture, TestCommandShowsTheWindowAndDrivesItsMenus) {
  TestWinTopoMenus(desktop, sink);
  EXPECT_EQ(sink.caption, "00001A2B");
  auto calls = desktop.CallsTo(kTopo);
  ASSERT_EQ(calls.size(), 3u);
  EXPECT_EQ(calls[0].wParam, kSaveVectorAs);
  EXPECT_EQ(calls[1].wParam, 0x9006u);
  EXPECT_EQ(calls[2].message, kWmSysCommand);
  EXPECT_EQ(calls[2].wParam, kScClose);
}

}  // namespace
}  // namespace tesnova
