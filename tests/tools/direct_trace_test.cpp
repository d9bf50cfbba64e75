#include "tools/direct_trace.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <thread>

#include "base/error.h"
#include "raster/bmp_file.h"
#include "support/fake_sink.h"
#include "tools/real_tools.h"

namespace tesnova {
namespace {

namespace fs = std::filesystem;
using testing::FakeSink;
using testing::ScratchFolder;
using testing::ShortWaitProcesses;

// A grey-and-colour picture: a dark red square and a light ring on a pale background.
Bitmap Picture() {
  Bitmap b(80, 60, 230);
  for (int y = 15; y < 45; ++y)
    for (int x = 10; x < 40; ++x) {
      std::uint8_t* p = b.at(x, y);
      p[0] = 20, p[1] = 30, p[2] = 160;  // luminance 67
    }
  for (int y = 20; y < 40; ++y)
    for (int x = 50; x < 70; ++x) std::fill(b.at(x, y), b.at(x, y) + 3, 140);
  return b;
}

bool BlackAndWhite(const Bitmap& b) {
  for (size_t i = 0; i < b.pixels.size(); i += 3)
    if ((b.pixels[i] != 0 && b.pixels[i] != 255) || b.pixels[i] != b.pixels[i + 1] ||
        b.pixels[i] != b.pixels[i + 2])
      return false;
  return true;
}

struct DirectTrace : ::testing::Test {
  ScratchFolder scratch;
  fs::path folder = scratch.path() / PathFromUtf8("作業 フォルダ");
  WorkFiles files;
  TracerSettings tracers;
  FakeSink sink;
  ShortWaitProcesses processes;
  testing::CountingShell shell;

  void SetUp() override {
    fs::create_directories(folder);
    files = WorkFilesIn(folder);
    WriteBmp24(PathFromUtf8(files.bmp), Picture());
    tracers.vtracer = testing::RealVTracer();
    tracers.vtracerOptions = "--colormode bw";
  }
  void Trace() { TraceWorkBitmapDirectly(tracers, files, processes, sink); }
  void StartPotrace() { StartPotraceOnWorkBitmap(tracers, files, shell, sink); }
  void Leave(const std::string& path, const std::string& text) {
    std::ofstream(PathFromUtf8(path)) << text;
  }
};

TEST_F(DirectTrace, TracesTheBinarisedWorkBitmapAndLogsEveryStep) {
  if (tracers.vtracer.empty()) GTEST_SKIP() << "no VTracer here";
  Leave(files.svg, "old");
  Leave(files.dxf, "old");
  Trace();

  EXPECT_TRUE(BlackAndWhite(ReadBmp(PathFromUtf8(files.bmp))));
  const std::string args = "--colormode bw -i \"" + files.bmp + "\" -o \"" + files.svg + "\"";
  EXPECT_EQ(sink.LogLines(),
            (std::vector<std::string>{
                "VTracer を起動中 ...", args, "SVG ファイルが生成されました。", files.svg,
                "SVG -> DXF 変換中 ...", "DXF ファイルが生成されました。", files.dxf}));
  EXPECT_EQ(processes.askedTimeoutMs, 30000u);
  std::string dxf = ReadFileBytes(PathFromUtf8(files.dxf));
  EXPECT_NE(dxf.find("POLYLINE"), std::string::npos);
  EXPECT_NE(dxf.find("EOF"), std::string::npos);
  EXPECT_TRUE(sink.Messages().empty());
}

TEST_F(DirectTrace, AVTracerPathNamingNoFileChangesNothing) {
  Leave(files.svg, "old");
  const std::string bmpBefore = ReadFileBytes(PathFromUtf8(files.bmp));
  for (std::string path : {std::string(), PathToUtf8(folder), PathToUtf8(folder / "none.exe")}) {
    tracers.vtracer = path;
    sink.events.clear();
    Trace();
    EXPECT_EQ(
        sink.Messages(),
        std::vector<std::string>{
            path + "\nが、見つかりません.\nVTrace.exeファイルをドラッグ＆ドロップしてください."});
    EXPECT_TRUE(sink.Saw("clear log"));
    EXPECT_TRUE(sink.LogLines().empty());
  }
  EXPECT_EQ(ReadFileBytes(PathFromUtf8(files.bmp)), bmpBefore);
  EXPECT_EQ(ReadFileBytes(PathFromUtf8(files.svg)), "old");
  EXPECT_EQ(processes.starts, 0);
}

TEST_F(DirectTrace, WithoutTheWorkBitmapNothingHappens) {
  tracers.vtracer = PathToUtf8(scratch / "tool.exe");
  Leave(tracers.vtracer, "x");
  fs::remove(PathFromUtf8(files.bmp));
  Trace();
  EXPECT_TRUE(sink.Messages().empty());
  EXPECT_TRUE(sink.LogLines().empty());
  EXPECT_EQ(processes.starts, 0);
}

TEST_F(DirectTrace, ABrokenWorkBitmapIsReportedAndNothingElseChanges) {
  tracers.vtracer = PathToUtf8(scratch / "tool.exe");
  Leave(tracers.vtracer, "x");
  Leave(files.bmp, "BM broken");
  Leave(files.svg, "old");
  try {
    Trace();
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(files.bmp), std::string::npos) << e.what();
  }
  EXPECT_EQ(ReadFileBytes(PathFromUtf8(files.svg)), "old");
  EXPECT_EQ(processes.starts, 0);
}

TEST_F(DirectTrace, AToolThatCannotStartIsLoggedAndRaised) {
  // A file that is no program.
  tracers.vtracer = PathToUtf8(scratch / "vtracer.txt");
  Leave(tracers.vtracer, "not a program");
  Leave(files.svg, "old");
  try {
    Trace();
    FAIL() << "no error";
  } catch (const Error& e) {
    EXPECT_STREQ(e.what(), "VTracer の起動に失敗しました。");
  }
  EXPECT_EQ(sink.LogLines().back(), "VTracer の起動に失敗しました。");
  EXPECT_TRUE(BlackAndWhite(ReadBmp(PathFromUtf8(files.bmp))));
  EXPECT_FALSE(fs::exists(PathFromUtf8(files.svg)));
}

TEST_F(DirectTrace, AToolThatFailsAtOnceEndsAfterTheTimeOutLine) {
  if (tracers.vtracer.empty()) GTEST_SKIP() << "no VTracer here";
  tracers.vtracerOptions = "--no-such-option 1";
  Trace();
  auto lines = sink.LogLines();
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[2], "タイムアウトしました。");
  EXPECT_FALSE(fs::exists(PathFromUtf8(files.svg)));
  EXPECT_FALSE(fs::exists(PathFromUtf8(files.dxf)));
  EXPECT_TRUE(sink.Messages().empty());
}

TEST_F(DirectTrace, AnOldSvgThatCannotBeDeletedStopsTheTrace) {
  tracers.vtracer = PathToUtf8(scratch / "tool.exe");
  Leave(tracers.vtracer, "x");
  // A folder of that name with something in it cannot be removed, as a file held open can't.
  fs::create_directories(PathFromUtf8(files.svg) / "held");
  Trace();
  EXPECT_EQ(sink.Messages(),
            std::vector<std::string>{files.svg + "\nの削除に失敗しました。使用中？"});
  EXPECT_EQ(processes.starts, 0);
}

TEST_F(DirectTrace, PotraceStartWritesTheDxfBesideTheBitmap) {
  tracers.potrace = testing::RealPotrace();
  tracers.potraceOptions = " -b dxf ";
  if (tracers.potrace.empty()) GTEST_SKIP() << "no Potrace here";
  StartPotrace();
  EXPECT_TRUE(sink.Messages().empty());
  processes.inner->WaitForFile(files.dxf, 10000);
  // Nothing waits for Potrace: give it the time to finish the file.
  std::string dxf;
  for (int i = 0; i < 100 && dxf.find("EOF") == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    dxf = ReadFileBytes(PathFromUtf8(files.dxf));
  }
  EXPECT_NE(dxf.find("POLYLINE"), std::string::npos);
}

TEST_F(DirectTrace, PotraceStartTellsWhatIsMissing) {
  tracers.potrace = PathToUtf8(folder / "potrace.exe");
  StartPotrace();
  Leave(tracers.potrace, "x");
  fs::remove(PathFromUtf8(files.bmp));
  StartPotrace();
  EXPECT_EQ(sink.Messages(), (std::vector<std::string>{"Potrace.exe が、見つかりません.",
                                                       files.bmp + "\nが、見つかりません."}));
  EXPECT_EQ(shell.opened, 0);
}

}  // namespace
}  // namespace tesnova
