// The tracer table and the one routine that traces the work bitmap with a row.
#include "tools/tracers.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "base/error.h"
#include "base/text_file.h"
#include "raster/bmp_file.h"
#include "raster/pbm_writer.h"
#include "raster/picture.h"
#include "support/fake_ports.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

namespace fs = std::filesystem;

TEST(Tracers, EachRowBuildsItsCommandLine) {
  const WorkFiles files = WorkFilesIn("w");
  ASSERT_EQ(FindTracer("potrace"), &kPotrace);
  ASSERT_EQ(FindTracer("vtracer"), &kVTracer);
  ASSERT_EQ(FindTracer("centerline"), &kCenterlineTracer);
  EXPECT_EQ(FindTracer("autotrace"), nullptr);
  EXPECT_EQ(Tracers().size(), 3u);
  EXPECT_EQ(kPotrace.arguments(files.bmp, files, " -b dxf "), "\"" + files.bmp + "\" -b dxf");
  EXPECT_EQ(kVTracer.arguments(files.bmp, files, kVTracer.defaultOptions),
            "--colormode bw -i \"" + files.bmp + "\" -o \"" + files.svg + "\"");
  EXPECT_EQ(kPotrace.arguments(files.pbm, files, "-b dxf"), "\"" + files.pbm + "\" -b dxf");
  EXPECT_EQ(kVTracer.blackWhiteReading, nullptr);  // VTracer reads colour
  EXPECT_EQ(&kPotrace.OutputOf(files), &files.dxf);
  EXPECT_EQ(&kVTracer.OutputOf(files), &files.svg);
}

// A tracer's DXF as it ends when complete: one entity, then EOF.
constexpr const char* kCompleteDxf =
    "0\nSECTION\n2\nENTITIES\n0\nPOLYLINE\n8\n0\n0\nVERTEX\n0\nSEQEND\n0\nENDSEC\n0\nEOF\n";

class TraceRoutine : public ::testing::Test {
 protected:
  void SetUp() override { WriteFileBytes(PathFromUtf8(files.bmp), "BM"); }
  TraceOutcome Trace(const Tracer& tracer) {
    return TraceWorkBitmap(tracer, {.program = "tracer", .options = "", .files = files}, processes,
                           [this](TracePhase phase, std::string_view) { phases.push_back(phase); });
  }
  testing::ScratchFolder dir;
  WorkFiles files = WorkFilesIn(dir.path());
  testing::FakeProcesses processes;
  std::vector<TracePhase> phases;
};

TEST_F(TraceRoutine, ADxfTracerLeavesTheWorkDxf) {
  processes.onRun = [&](const ProcessOptions&) {
    WriteFileBytes(PathFromUtf8(files.dxf), kCompleteDxf);
  };
  WriteFileBytes(PathFromUtf8(files.dxf), "old");
  const TraceOutcome outcome = Trace(kPotrace);
  EXPECT_EQ(outcome.status, TraceStatus::kTraced);
  EXPECT_EQ(outcome.entities, 1u);
  EXPECT_EQ(ReadFileBytes(PathFromUtf8(files.dxf)), kCompleteDxf);
  EXPECT_EQ(phases, (std::vector<TracePhase>{TracePhase::kStarting, TracePhase::kEnded}));
  ASSERT_EQ(processes.runs.size(), 1u);
  EXPECT_TRUE(processes.runs[0].minimised);
  EXPECT_EQ(processes.runs[0].wait, ProcessWait::kDispatching);
}

TEST_F(TraceRoutine, AnSvgTracersOutputBecomesTheWorkDxf) {
  processes.onRun = [&](const ProcessOptions&) {
    WriteFileBytes(
        PathFromUtf8(files.svg),
        "<svg width=\"10\" height=\"10\">\n"
        "<path d=\"M0,0 L5,0 L5,5 Z \" fill=\"#000000\" transform=\"translate(1,1)\"/>\n");
  };
  EXPECT_EQ(Trace(kVTracer).status, TraceStatus::kTraced);
  EXPECT_NE(ReadFileBytes(PathFromUtf8(files.dxf)).find("POLYLINE"), std::string::npos);
  EXPECT_EQ(phases, (std::vector<TracePhase>{TracePhase::kStarting, TracePhase::kEnded,
                                             TracePhase::kConverting, TracePhase::kConverted}));
}

TEST_F(TraceRoutine, TheCenterlineTracerRunsHereWithoutAProgram) {
  // A black ring 3 pixels wide on white: one circle.
  Bitmap picture(60, 60, 255);
  for (int y = 0; y < 60; ++y)
    for (int x = 0; x < 60; ++x) {
      const double r = std::hypot(x + 0.5 - 30, y + 0.5 - 30);
      if (r > 18.5 && r < 21.5) std::fill(picture.at(x, y), picture.at(x, y) + 3, 0);
    }
  WriteBmp24(PathFromUtf8(files.bmp), picture);
  const TraceOutcome outcome = Trace(kCenterlineTracer);
  EXPECT_EQ(outcome.status, TraceStatus::kTraced);
  EXPECT_TRUE(processes.runs.empty());
  const std::string dxf = ReadFileBytes(PathFromUtf8(files.dxf));
  EXPECT_NE(dxf.find("CIRCLE"), std::string::npos);
  EXPECT_EQ(dxf.substr(dxf.size() - 5), "EOF\r\n");
  ASSERT_EQ(outcome.drawn.size(), 5u);
  EXPECT_EQ(outcome.drawn[2], (std::pair<std::string, std::size_t>{"circles", 1}));
  EXPECT_EQ(phases, (std::vector<TracePhase>{TracePhase::kStarting, TracePhase::kEnded}));
}

TEST(Tracers, PotraceTakesTheOneBitPictureUnlessItsOptionsSetABlackLevel) {
  const struct {
    const char* options;
    bool blackLevel;
  } cases[] = {
      {"-b dxf", false},          {"-b dxf -i --turdsize 4", false},
      {"--backend dxf", false},   {"-b dxf -k 0.3", true},
      {"-k0.3 -b dxf", true},     {"-ik 0.3", true},
      {"--blacklevel 0.3", true}, {"--blacklevel=0.3", true},
      {"--bl 0.3", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    const TraceJob job{.options = c.options};
    const std::optional<BlackRule> reading = kPotrace.blackWhiteReading(job);
    EXPECT_EQ(!reading.has_value(), c.blackLevel);
    if (reading) {
      const std::uint8_t black[] = {127, 0, 255}, white[] = {128, 0, 255};  // sums 382, 383
      EXPECT_TRUE((*reading)(black));
      EXPECT_FALSE((*reading)(white));
    }
  }
}

TEST_F(TraceRoutine, TheCenterlineTracerDrawsTheSameFromTheOneBitPicture) {
  const Bitmap picture = LoadPicture(testing::TestData("pictures/drawing.png"));
  WriteBmp24(PathFromUtf8(files.bmp), picture);
  ASSERT_EQ(Trace(kCenterlineTracer).status, TraceStatus::kTraced);
  const std::string fromBmp = ReadFileBytes(PathFromUtf8(files.dxf));

  TraceJob job{.files = files, .blackWhite = true};
  const std::optional<BlackRule> reading = kCenterlineTracer.blackWhiteReading(job);
  ASSERT_TRUE(reading);
  WriteBlackWhitePbm(PathFromUtf8(files.pbm), BlackWhiteOf(picture, *reading));
  std::filesystem::remove(PathFromUtf8(files.bmp));
  ASSERT_EQ(TraceWorkBitmap(kCenterlineTracer, job, processes).status, TraceStatus::kTraced);
  EXPECT_EQ(ReadFileBytes(PathFromUtf8(files.dxf)), fromBmp);
  EXPECT_NE(fromBmp.find("LINE"), std::string::npos);
}

TEST_F(TraceRoutine, FailuresNameWhatWentWrong) {
  // An old output is never taken for the tracer's: with a tracer that writes nothing, nothing
  // is there afterwards.
  WriteFileBytes(PathFromUtf8(files.svg), "old");
  TraceOutcome outcome = Trace(kVTracer);
  EXPECT_EQ(outcome.status, TraceStatus::kNoOutput);
  EXPECT_EQ(outcome.file, files.svg);

  processes.startWorks = false;
  outcome = Trace(kPotrace);
  EXPECT_EQ(outcome.status, TraceStatus::kNotStarted);
  EXPECT_EQ(outcome.run.errorCode, 2u);

  // An old output that cannot be removed (here a folder with a file in it, as a file another
  // program holds open) stops the trace before the tracer starts.
  processes.runs.clear();
  fs::create_directories(PathFromUtf8(files.dxf) / "held");
  outcome = Trace(kPotrace);
  EXPECT_EQ(outcome.status, TraceStatus::kStaleOutput);
  EXPECT_EQ(outcome.file, files.dxf);
  EXPECT_TRUE(processes.runs.empty());

  // A malformed SVG is raised, with no DXF left.
  fs::remove_all(PathFromUtf8(files.dxf));
  processes.startWorks = true;
  processes.onRun = [&](const ProcessOptions&) {
    WriteFileBytes(PathFromUtf8(files.svg),
                   "<svg height=\"10\">\n<path d=\"M1 2 L3 4,5.5.5 Z\"/>\n");
  };
  EXPECT_THROW(Trace(kVTracer), ConversionError);
  EXPECT_FALSE(fs::exists(PathFromUtf8(files.dxf)));
}

// How a tracer ended counts where the job says so; a time-out and a DXF cut short always do.
TEST_F(TraceRoutine, ATracerThatFailsIsNotTraced) {
  struct Case {
    const char* what;
    std::uint32_t exitCode;
    int signal;
    bool timesOut;
    const char* dxf;
    bool exitStatusCounts;
    TraceStatus expected;
  } cases[] = {
      {"crash", 0, 11, false, kCompleteDxf, true, TraceStatus::kFailed},
      {"exit status 3", 3, 0, false, kCompleteDxf, true, TraceStatus::kFailed},
      {"exit status 3, not counted", 3, 0, false, kCompleteDxf, false, TraceStatus::kTraced},
      {"hung", 0, 0, true, kCompleteDxf, false, TraceStatus::kTimedOut},
      {"half a DXF", 0, 0, false, "0\nSECTION\n2\nENTITIES\n0\nPOLYLINE\n8\n0\n0\nVER", true,
       TraceStatus::kIncompleteDxf},
      {"EOF cut in two", 0, 0, false, "0\nSECTION\n0\nENDSEC\n0\nEO", false,
       TraceStatus::kIncompleteDxf},
  };
  for (const Case& c : cases) {
    processes.exitCode = c.exitCode;
    processes.signal = c.signal;
    processes.timesOut = c.timesOut;
    processes.onRun = [&](const ProcessOptions& o) {
      EXPECT_EQ(o.timeoutMs, 5000u);
      WriteFileBytes(PathFromUtf8(files.dxf), c.dxf);
    };
    const TraceOutcome outcome = TraceWorkBitmap(kPotrace,
                                                 {.program = "tracer",
                                                  .files = files,
                                                  .exitStatusCounts = c.exitStatusCounts,
                                                  .timeoutMs = 5000},
                                                 processes);
    EXPECT_EQ(outcome.status, c.expected) << c.what;
  }
}

TEST_F(TraceRoutine, ALateOutputIsWaitedForAndTold) {
  processes.onRun = [&](const ProcessOptions&) { WriteFileBytes(PathFromUtf8(files.dxf), "x"); };
  TraceWorkBitmap(kPotrace, {.program = "p", .files = files, .outputWaitMs = 30000}, processes);
  ASSERT_EQ(processes.fileWaits.size(), 1u);
  EXPECT_EQ(processes.fileWaits[0], std::make_pair(files.dxf, 30000u));
}

}  // namespace
}  // namespace tesnova
