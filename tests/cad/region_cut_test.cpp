// The region cut against fakes of the CAD program, the screen, the tracers and the window.
#include <gtest/gtest.h>

#include "cad/cad_fixture.h"
#include "raster/bmp_file.h"
#include "tools/tracer_command_lines.h"
#include "vector/number_format.h"

namespace tesnova {
namespace {

using testing::CadCommandTest;
using testing::FakeCapture;

class RegionCut : public CadCommandTest {
 protected:
  void SetUp() override {
    QueuePick(450.3, 420.2);
    QueuePick(520.1, 380.05);
    options.tracers.potrace = FakeProgram("potrace.exe");
    options.tracers.potraceOptions = " -b dxf ";
    // Potrace writes the DXF beside the bitmap: two entities.
    processes.onRun = [this](const ProcessOptions&) {
      WriteFileBytes(scratch / "tesnova.dxf",
                     "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nPOLYLINE\r\n0\r\nVERTEX\r\n"
                     "0\r\nSEQEND\r\n0\r\nLINE\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n");
    };
  }
  void Cut(CutTool tool) {
    options.tool = tool;
    RegionCutCommand(context, options);
  }
  CutOptions options;
};

TEST_F(RegionCut, PotraceRoadCapturesTracesAndInserts) {
  options.prepare.median = options.prepare.gaussian = true;
  options.prepare.monochrome = options.prepare.otsu = true;
  Cut(CutTool::kPotrace);

  // The snap is off while the user picks and back afterwards; the first pick has no base point
  // (the optional argument left out) and goes back to GetCorner as the CAD program gave it; the
  // pick ends with Escape in the CAD window and Tesnova's window in front again.
  EXPECT_TRUE(LoggedBefore("SetVariable osmode 0",
                           "GetPoint missing \n切り取りコーナーの 1 点目を指示 : "));
  EXPECT_TRUE(LoggedBefore(
      "GetCorner (450.300000,420.200000,0.000000) \n切り取りコーナーの 2 点目を指示 : ",
      "SetVariable osmode 37"));
  EXPECT_EQ(EscapeKeys(), 2);
  auto front = std::find(sink.events.begin(), sink.events.end(), "front");
  ASSERT_NE(front, sink.events.end());
  EXPECT_EQ(*(front - 1), "back");

  ASSERT_EQ(capture.copies.size(), 1u);
  const auto& copy = capture.copies[0];
  EXPECT_EQ(copy.window, cad.drawingWindow);
  EXPECT_EQ((std::vector<int>{copy.left, copy.top, copy.width, copy.height}),
            (std::vector<int>{302, 320, 278, 159}));
  // The field shows Otsu's threshold, between ink and paper (the filters blur the edge), and the
  // saved bitmap is black ink on white.
  ASSERT_TRUE(sink.threshold);
  const int threshold = *sink.threshold;
  EXPECT_GE(threshold, FakeCapture::kInkGrey);
  EXPECT_LT(threshold, FakeCapture::kPaperGrey);
  Bitmap saved = ReadBmp(scratch / "tesnova.bmp");
  EXPECT_EQ(saved.width, 278);
  EXPECT_EQ(saved.height, 159);
  EXPECT_EQ(saved.at(10, 10)[0], 0);
  EXPECT_EQ(saved.at(270, 10)[0], 255);

  // The base point is the bitmap's lower-left corner, not the picks up to a pixel beside it.
  EXPECT_EQ(state.insertion.baseX, 450.5);
  EXPECT_EQ(state.insertion.baseY, 380.25);
  EXPECT_EQ(state.insertion.scale, 0.25);
  EXPECT_EQ(state.insertion.rotationDeg, 0);
  EXPECT_EQ(sink.insertion, "挿入基点= 450.5,380.25 挿入尺度= 0.25");
  EXPECT_EQ(state.dxfWaitMs, 1000);
  EXPECT_EQ(sink.picture.width, 278);

  ASSERT_EQ(processes.runs.size(), 1u);
  EXPECT_EQ(processes.runs[0].arguments, "\"" + Work("tesnova.bmp") + "\" -b dxf");
  EXPECT_EQ(processes.runs[0].wait, ProcessWait::kDispatching);
  EXPECT_TRUE(processes.runs[0].minimised);
  ASSERT_EQ(cad.commands.size(), 1u);
  EXPECT_EQ(cad.commands[0],
            FormatInsertCommand(Work("tesnova.dxf"), 450.5, 380.25, "0.25", "0.0"));

  EXPECT_EQ(
      sink.Statuses(),
      (std::vector<std::string>{
          "", "Bitmap を作成中 ...", "フィルター処理中 ...", "ぼかし処理中 ...", "二値化処理中 ...",
          "Bitmap ファイルに保存中 ...", "Potrace 起動中 ...", "Potrace 実行中 ...",
          "-INSERT コマンドを実行 ...", "-INSERT 終了！ ポリライン 2 本"}));
  // The window is out of the way only while the user picks; the buttons come back before the
  // tool stage.
  const auto& e = sink.events;
  EXPECT_EQ(e.front(), "busy");
  auto aside = std::find(e.begin(), e.end(), "aside");
  auto back = std::find(e.begin(), e.end(), "back");
  auto idle = std::find(e.begin(), e.end(), "idle");
  auto starting = std::find(e.begin(), e.end(), "status:Potrace 起動中 ...");
  EXPECT_LT(aside, back);
  EXPECT_LT(idle, starting);
  EXPECT_FALSE(sink.busy);
}

TEST_F(RegionCut, CancelledPickRestoresTheSnapAndMakesNoBitmap) {
  // Either pick cancelled, raised as the CAD programs do or answered empty as some do.
  struct Case {
    bool answersEmpty;
    int picksBeforeCancel;
  } cases[] = {{false, 0}, {false, 1}, {true, 0}, {true, 1}};
  for (const auto& c : cases) {
    cad.log.clear();
    cad.picks.clear();
    cad.variables["osmode"] = Variant(37);
    cad.cancelAnswersEmpty = c.answersEmpty;
    if (c.picksBeforeCancel) QueuePick(450.3, 420.2);
    QueueCancel();
    sink.events.clear();
    Cut(CutTool::kPotrace);
    std::string which = std::to_string(c.answersEmpty) + "/" + std::to_string(c.picksBeforeCancel);
    auto corners = std::count_if(cad.log.begin(), cad.log.end(),
                                 [](const std::string& e) { return e.rfind("GetCorner", 0) == 0; });
    EXPECT_EQ(corners, c.picksBeforeCancel) << which;
    EXPECT_EQ(cad.variables["osmode"].AsInteger(), 37) << which;
    EXPECT_TRUE(capture.copies.empty()) << which;
    EXPECT_FALSE(std::filesystem::exists(scratch / "tesnova.bmp")) << which;
    EXPECT_TRUE(processes.runs.empty()) << which;
    EXPECT_EQ(sink.Messages().back(), Work("tesnova.bmp") + "\nの読み込みエラーです.") << which;
  }
}

TEST_F(RegionCut, CadNotRunningChangesNothing) {
  cad.running = false;
  WriteFileBytes(scratch / "tesnova.bmp", "old");
  Cut(CutTool::kPotrace);
  EXPECT_TRUE(sink.events.empty());
  EXPECT_TRUE(std::filesystem::exists(scratch / "tesnova.bmp"));
}

TEST_F(RegionCut, RefusedSnapRestoreGoesThroughTheCommandLine) {
  cad.failingMember = "SetVariable osmode 37";
  Cut(CutTool::kPotrace);
  ASSERT_EQ(cad.commands.size(), 2u);
  EXPECT_EQ(cad.commands[0], "\x1bSETVAR OSMODE 37\r");
  EXPECT_EQ(capture.copies.size(), 1u);
}

TEST_F(RegionCut, CadLostDuringThePickEndsTheCaptureQuietly) {
  // Every call from the first pick on fails, as when the CAD program has gone.
  cad.dieAtCall = 6;
  Cut(CutTool::kPotrace);
  EXPECT_EQ(cad.log[6].rfind("GetPoint", 0), 0u) << cad.log[6];
  EXPECT_EQ(EscapeKeys(), 0);
  EXPECT_TRUE(capture.copies.empty());
  EXPECT_TRUE(sink.Saw("back"));
  EXPECT_EQ(sink.Messages(),
            (std::vector<std::string>{Work("tesnova.bmp") + "\nの読み込みエラーです."}));
}

TEST_F(RegionCut, ReversedCornersMakeNoBitmap) {
  cad.picks.clear();
  QueuePick(520.1, 380.05);
  QueuePick(450.3, 420.2);
  Cut(CutTool::kPotrace);
  EXPECT_TRUE(capture.copies.empty());
  EXPECT_FALSE(std::filesystem::exists(scratch / "tesnova.bmp"));
  EXPECT_TRUE(processes.runs.empty());
}

TEST_F(RegionCut, ExportRouteLetsTheCadWriteTheViewAndCropsIt) {
  context.targetProgId = "AutoCAD.Application.24";
  options.prepare.monochrome = true;
  cad.onSendCommand = [this](const std::string& text) {
    if (text.rfind("_BMPOUT", 0) != 0) return;
    Bitmap screen(1000, 800, 255);
    std::uint8_t* corner = screen.at(302, 320);
    corner[0] = 1, corner[1] = 2, corner[2] = 3;
    WriteBmp24(scratch / "Tesnova.bmp", screen);
  };
  Cut(CutTool::kPotrace);
  EXPECT_TRUE(capture.copies.empty());
  EXPECT_TRUE(LoggedBefore("SetVariable FILEDIA 0",
                           "SendCommand _BMPOUT\r\"" + Work("Tesnova.bmp") + "\"\r\r"));
  EXPECT_TRUE(LoggedBefore("SendCommand _BMPOUT\r\"" + Work("Tesnova.bmp") + "\"\r\r",
                           "SetVariable FILEDIA 1"));
  Bitmap saved = ReadBmp(scratch / "tesnova.bmp");
  ASSERT_EQ(saved.width, 278);
  // The crop starts at the dark corner pixel, which the threshold 200 turns black.
  EXPECT_EQ(saved.at(0, 0)[2], 0);
  EXPECT_EQ(saved.at(1, 0)[2], 255);
  EXPECT_EQ(saved.at(0, 1)[2], 255);
  EXPECT_EQ(cad.commands.back(),
            FormatInsertCommand(Work("tesnova.dxf"), 450.5, 380.25, "0.25", "0.0"));
}

TEST_F(RegionCut, ExportThatNeverComesWholeMakesNoBitmapAndSaysSo) {
  context.targetProgId = "DRAFTSIGHT.Application";
  // Never written, and written only in part (the header promises more than is there).
  for (bool partial : {false, true}) {
    QueuePick(450.3, 420.2);
    QueuePick(520.1, 380.05);
    cad.onSendCommand = [&](const std::string& text) {
      if (!partial || text.rfind("_BMPOUT", 0) != 0) return;
      Bitmap screen(1000, 800, 255);
      WriteBmp24(scratch / "Tesnova.bmp", screen);
      std::string bytes = ReadFileBytes(scratch / "Tesnova.bmp");
      WriteFileBytes(scratch / "Tesnova.bmp", bytes.substr(0, bytes.size() / 2));
    };
    size_t before = sink.Messages().size();
    Cut(CutTool::kPotrace);
    // Nothing of a partial export is left to be taken for the work bitmap.
    EXPECT_FALSE(std::filesystem::exists(scratch / "tesnova.bmp")) << partial;
    EXPECT_FALSE(std::filesystem::exists(scratch / "Tesnova.bmp")) << partial;
    EXPECT_TRUE(processes.runs.empty()) << partial;
    ASSERT_EQ(sink.Messages().size(), before + 2) << partial;
    EXPECT_EQ(sink.Messages()[before], Work("Tesnova.bmp") + "\nが見つかりません.") << partial;
    // FILEDIA is back to 1 all the same.
    EXPECT_EQ(cad.variables["FILEDIA"].AsInteger(), 1);
  }
}

TEST_F(RegionCut, InsertionScaleMakesUpForTheCadsUnitSettings) {
  // A drawing in millimetres that takes content without units as inches scales the DXF by
  // 25.4: the typed scale makes up for it. A DXF that declares millimetres is not scaled.
  struct Case {
    int insUnits, defaultSource, defaultTarget;
    const char* dxfHeader;
    double typedScale;
  } cases[] = {
      {4, 1, 1, "", 0.25 / 25.4},
      {0, 1, 4, "", 0.25 / 25.4},
      {6, 4, 1, "", 0.25 * 1000},
      {0, 0, 4, "", 0.25},
      {4, 1, 1, "  9\n$INSUNITS\n 70\n4\n", 0.25},
  };
  for (const auto& c : cases) {
    cad.variables["INSUNITS"] = Variant(c.insUnits);
    cad.variables["INSUNITSDEFSOURCE"] = Variant(c.defaultSource);
    cad.variables["INSUNITSDEFTARGET"] = Variant(c.defaultTarget);
    processes.onRun = [&](const ProcessOptions&) {
      WriteFileBytes(scratch / "tesnova.dxf", std::string("  0\nSECTION\n  2\nHEADER\n") +
                                                  c.dxfHeader + "  0\nENDSEC\n  0\nEOF\n");
    };
    QueuePick(450.3, 420.2);
    QueuePick(520.1, 380.05);
    cad.commands.clear();
    Cut(CutTool::kPotrace);
    ASSERT_EQ(cad.commands.size(), 1u) << c.insUnits;
    EXPECT_EQ(cad.commands[0], FormatInsertCommand(Work("tesnova.dxf"), 450.5, 380.25,
                                                   FormatGeneralNumber(c.typedScale), "0.0"))
        << c.insUnits << " " << c.defaultSource << " " << c.defaultTarget;
  }
}

TEST_F(RegionCut, EveryPointSentIsThreeDoubles) {
  Cut(CutTool::kPotrace);
  ASSERT_FALSE(cad.pointArguments.empty());
  EXPECT_EQ(cad.pointArguments,
            (std::vector<std::string>{"GetCorner (450.300000,420.200000,0.000000)"}));
}

TEST_F(RegionCut, PotraceMissingOrFailingToStart) {
  options.tracers.potrace = "";
  Cut(CutTool::kPotrace);
  EXPECT_TRUE(sink.Messages().empty());
  EXPECT_TRUE(processes.runs.empty());

  QueuePick(450.3, 420.2);
  QueuePick(520.1, 380.05);
  options.tracers.potrace = FakeProgram("potrace.exe");
  processes.startWorks = false;
  Cut(CutTool::kPotrace);
  EXPECT_EQ(sink.Messages().back(), "Potrace.exe の起動に失敗しました. 2");
  EXPECT_TRUE(cad.commands.empty());
}

TEST_F(RegionCut, VTracerRoadConvertsTheSvgAndInserts) {
  options.tracers.vtracer = FakeProgram("vtracer.exe");
  options.tracers.vtracerOptions = "--colormode bw";
  options.tracers.dxfWaitMs = 250;
  processes.onRun = [this](const ProcessOptions&) {
    WriteFileBytes(scratch / "tesnova.svg",
                   "<svg width=\"10\" height=\"10\">\n"
                   "<path d=\"M0,0 L5,0 L5,5 Z \" fill=\"#000000\" transform=\"translate(1,1)\"/>\n"
                   "</svg>\n");
  };
  Cut(CutTool::kVTracer);
  ASSERT_EQ(processes.runs.size(), 1u);
  EXPECT_EQ(processes.runs[0].arguments,
            "--colormode bw -i \"" + Work("tesnova.bmp") + "\" -o \"" + Work("tesnova.svg") + "\"");
  EXPECT_EQ(state.dxfWaitMs, 250);
  EXPECT_TRUE(std::filesystem::exists(scratch / "tesnova.dxf"));
  ASSERT_EQ(cad.commands.size(), 1u);
  EXPECT_EQ(cad.commands[0],
            FormatInsertCommand(Work("tesnova.dxf"), 450.5, 380.25, "0.25", "0.0"));
  EXPECT_EQ(sink.Statuses().back(), "-INSERT 終了！ ポリライン 1 本");
}

// A tracer that stops half-way (a crash, a full disk) leaves a DXF without its EOF group: it is
// told and never inserted.
TEST_F(RegionCut, AnIncompleteDxfIsNotInserted) {
  processes.onRun = [this](const ProcessOptions&) {
    WriteFileBytes(scratch / "tesnova.dxf", "0\r\nSECTION\r\n2\r\nENTITIES\r\n0\r\nPOLY");
  };
  Cut(CutTool::kPotrace);
  EXPECT_TRUE(cad.commands.empty());
  EXPECT_EQ(sink.Messages(),
            (std::vector<std::string>{Work("tesnova.dxf") +
                                      "\nは途中で切れています (EOF がありません). 挿入しません."}));
}

// The pause after a tracer comes from the settings file; a huge value would freeze the window.
TEST_F(RegionCut, ThePauseAfterTheTracerIsCapped) {
  options.tracers.dxfWaitMs = 2147483647;
  const auto before = desktop.now;
  Cut(CutTool::kPotrace);
  ASSERT_EQ(cad.commands.size(), 1u);
  EXPECT_LE(desktop.now - before, std::uint64_t{kMaxDxfWaitMs} + 5000);
}

TEST_F(RegionCut, VTracerWithoutSvgReportsIt) {
  options.tracers.vtracer = FakeProgram("vtracer.exe");
  processes.onRun = nullptr;
  Cut(CutTool::kVTracer);
  EXPECT_EQ(sink.Messages(),
            (std::vector<std::string>{Work("tesnova.svg") + "\nが見つかりません."}));
  EXPECT_TRUE(cad.commands.empty());
}

TEST_F(RegionCut, TestPageRunsTheCenterlineBenchOnTheBitmap) {
  processes.onRun = nullptr;
  // A Potrace that writes no SVG: the bench's error goes on to the window's error box.
  EXPECT_THROW(Cut(CutTool::kCenterline), Error);
  ASSERT_EQ(processes.runs.size(), 1u);
  EXPECT_EQ(processes.runs[0].program, options.tracers.potrace);
  EXPECT_NE(processes.runs[0].arguments.find("tesnova.pbm"), std::string::npos);
  EXPECT_TRUE(std::filesystem::exists(scratch / "tesnova.pbm"));
  EXPECT_TRUE(cad.commands.empty());
  // Without a bitmap the bench does not start.
  processes.runs.clear();
  QueueCancel();
  Cut(CutTool::kCenterline);
  EXPECT_TRUE(processes.runs.empty());
}

TEST_F(RegionCut, CenterlineTracerTracesHereAndInsertsLikePotrace) {
  options.prepare.monochrome = true;
  options.prepare.threshold = 128;
  Cut(CutTool::kCenterlineTracer);
  // No outside program: the tracer of Tesnova's own wrote the work DXF, which goes in at the
  // bitmap's lower-left corner like a Potrace trace.
  EXPECT_TRUE(processes.runs.empty());
  const std::string dxf = ReadFileBytes(scratch / "tesnova.dxf");
  EXPECT_EQ(dxf.substr(dxf.size() - 5), "EOF\r\n");
  ASSERT_EQ(cad.commands.size(), 1u);
  EXPECT_EQ(cad.commands[0],
            FormatInsertCommand(Work("tesnova.dxf"), 450.5, 380.25, "0.25", "0.0"));
  const auto statuses = sink.Statuses();
  ASSERT_GE(statuses.size(), 3u);
  EXPECT_EQ(statuses[statuses.size() - 3], "中心線を抽出中 ...");
  EXPECT_TRUE(statuses.back().starts_with("-INSERT 終了！ 図形 ")) << statuses.back();

  // Without a bitmap there is nothing to trace, and it is told.
  cad.commands.clear();
  QueueCancel();
  Cut(CutTool::kCenterlineTracer);
  EXPECT_TRUE(cad.commands.empty());
  EXPECT_EQ(sink.Messages().back(), Work("tesnova.bmp") + "\nの読み込みエラーです.");
}

TEST_F(RegionCut, WinTopoPageOnlyOpensWinTopo) {
  options.tracers.winTopo = "C:\\WinTopo\\WinTopoFree.exe";
  Cut(CutTool::kWinTopo);
  ASSERT_EQ(shell.opened.size(), 1u);
  EXPECT_EQ(shell.opened[0].file, "C:\\WinTopo\\WinTopoFree.exe");
  EXPECT_EQ(shell.opened[0].parameters, "\"" + Work("tesnova.bmp") + "\"");
  EXPECT_EQ(sink.Statuses().back(), "WinTopo 起動中 ...");
  EXPECT_TRUE(cad.commands.empty());
}

}  // namespace
}  // namespace tesnova
