#include "posix/posix_processes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <fstream>
#include <thread>

#include "base/error.h"
#include "base/text_file.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

namespace fs = std::filesystem;
using testing::ScratchFolder;

fs::path WriteScript(const fs::path& path, const std::string& body) {
  fs::create_directories(path.parent_path());
  std::ofstream(path) << "#!/bin/sh\n" << body << "\n";
  chmod(path.c_str(), 0755);
  return path;
}

// Writes its working folder and then every argument in brackets, one a line, to the file $1.
const char* kEchoArgs = "{ pwd; for a in \"$@\"; do echo \"[$a]\"; done; } > \"$1\"";

std::string Read(const fs::path& p) { return ReadFileBytes(p); }

TEST(PosixProcesses, StartsAProgramUnderAPathWithBlanksInItsFolder) {
  ScratchFolder dir;
  fs::path tool = WriteScript(dir / "my tools" / "echo args.sh", kEchoArgs);
  fs::path out = dir / "out.txt";
  PosixProcesses processes;
  ASSERT_TRUE(processes
                  .RunProcess({.program = tool.string(),
                               .arguments = "\"" + out.string() + "\" my work.bmp -b dxf"})
                  .started);
  // The unquoted path falls apart into two arguments, as on Windows.
  EXPECT_EQ(Read(out), (dir / "my tools").string() + "\n[" + out.string() +
                           "]\n[my]\n[work.bmp]\n[-b]\n[dxf]\n");

  ASSERT_TRUE(processes
                  .RunProcess({.program = tool.string(),
                               .arguments = "\"" + out.string() + "\"",
                               .workFolder = dir.path().string()})
                  .started);
  EXPECT_EQ(Read(out), dir.path().string() + "\n[" + out.string() + "]\n");
}

TEST(PosixProcesses, ARelativeProgramPathMeansTheCallersFolder) {
  ScratchFolder dir;
  WriteScript(dir / "tools" / "echo.sh", kEchoArgs);
  fs::path out = dir / "out.txt";
  fs::path before = fs::current_path();
  fs::current_path(dir.path());
  PosixProcesses processes;
  const ProcessResult run =
      processes.RunProcess({.program = "tools/echo.sh", .arguments = "\"" + out.string() + "\""});
  fs::current_path(before);
  ASSERT_TRUE(run.started) << run.errorCode;
  EXPECT_EQ(Read(out), (dir / "tools").string() + "\n[" + out.string() + "]\n");
}

TEST(PosixProcesses, WaitingStartInTheCurrentFolder) {
  ScratchFolder dir;
  fs::path tool = WriteScript(dir / "bin" / "echo.sh", kEchoArgs);
  fs::path out = dir / "out.txt";
  PosixProcesses processes;
  ASSERT_TRUE(processes
                  .RunProcess({.program = tool.string(),
                               .arguments = "\"" + out.string() + "\" a",
                               .inCurrentFolder = true,
                               .wait = ProcessWait::kBlocking})
                  .started);
  EXPECT_EQ(Read(out), fs::current_path().string() + "\n[" + out.string() + "]\n[a]\n");
}

TEST(PosixProcesses, AFailedStartReportsTheSystemErrorNumber) {
  ScratchFolder dir;
  fs::path plain = dir / "plain.txt";
  std::ofstream(plain) << "not a program\n";
  struct Case {
    fs::path program;
    std::uint32_t code;
  } cases[] = {
      {dir / "missing.exe", ENOENT},
      {dir.path(), EACCES},
      {plain, EACCES},
  };
  PosixProcesses processes;
  for (const Case& c : cases) {
    for (ProcessWait wait : {ProcessWait::kDispatching, ProcessWait::kBlocking}) {
      const ProcessResult run = processes.RunProcess({.program = c.program.string(), .wait = wait});
      EXPECT_FALSE(run.started) << c.program;
      EXPECT_EQ(run.errorCode, c.code) << c.program;
    }
  }
}

TEST(PosixProcesses, TheResultTellsHowTheProgramEnded) {
  PosixProcesses processes;
  for (ProcessWait wait : {ProcessWait::kDispatching, ProcessWait::kBlocking}) {
    ProcessResult run =
        processes.RunProcess({.program = "/bin/sh", .arguments = "-c \"exit 3\"", .wait = wait});
    EXPECT_TRUE(run.started && run.ended);
    EXPECT_EQ(run.exitCode, 3u);
    EXPECT_EQ(run.signal, 0);
    run = processes.RunProcess(
        {.program = "/bin/sh", .arguments = "-c \"kill -9 $$\"", .wait = wait});
    EXPECT_TRUE(run.ended);
    EXPECT_EQ(run.signal, 9);
  }
  // Not waited for: nothing is known of the end.
  const ProcessResult run =
      processes.RunProcess({.program = "/bin/true", .wait = ProcessWait::kNone});
  EXPECT_TRUE(run.started);
  EXPECT_FALSE(run.ended);
}

// A program that runs past its time-out is ended with its whole process group: a child it
// started (here in the background) does not run on.
TEST(PosixProcesses, ATimeOutEndsTheProgramAndItsChildren) {
  ScratchFolder dir;
  const fs::path pid = dir / "child.pid";
  fs::path tool = WriteScript(dir / "hang.sh", "sleep 60 & echo $! > '" + pid.string() + "'; wait");
  PosixProcesses processes;
  for (ProcessWait wait : {ProcessWait::kDispatching, ProcessWait::kBlocking}) {
    fs::remove(pid);
    const ProcessResult run =
        processes.RunProcess({.program = tool.string(), .wait = wait, .timeoutMs = 500});
    EXPECT_TRUE(run.started && run.ended && run.timedOut);
    EXPECT_FALSE(run.Succeeded());
    int child = 0;
    std::ifstream(pid) >> child;
    ASSERT_GT(child, 0);
    // Gone, or a zombie of the shell that was ended with it.
    bool running = false;
    for (int i = 0; i < 100; ++i) {
      std::ifstream stat("/proc/" + std::to_string(child) + "/stat");
      std::string all;
      std::getline(stat, all);
      running = !all.empty() && all.substr(all.rfind(')') + 2, 1) != "Z";
      if (!running) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    EXPECT_FALSE(running) << "the child runs on";
  }
  // A program that ends in time is not touched.
  const ProcessResult quick = processes.RunProcess(
      {.program = "/bin/sh", .arguments = "-c \"exit 0\"", .timeoutMs = 10000});
  EXPECT_TRUE(quick.Succeeded());
}

TEST(PosixProcesses, TheWaitKeepsDispatchingTheCallersEvents) {
  ScratchFolder dir;
  // The child ends only after an event handled during the wait has written "go".
  fs::path tool = WriteScript(dir / "wait.sh",
                              "i=0; while [ ! -f go ] && [ $i -lt 500 ]; do sleep 0.01; "
                              "i=$((i+1)); done; [ -f go ] && echo done > result");
  int dispatched = 0;
  PosixProcesses processes([&] {
    if (++dispatched == 3) std::ofstream(dir / "go") << "";
  });
  ASSERT_TRUE(processes.RunProcess({.program = tool.string()}).started);
  EXPECT_GE(dispatched, 3);
  EXPECT_TRUE(fs::exists(dir / "result"));
}

TEST(PosixProcesses, ClosingTheApplicationEndsTheWaitOnAHungTool) {
  bool closing = false;
  PosixProcesses processes([&] { closing = true; }, [&] { return closing; });
  const ProcessResult run = processes.RunProcess({.program = "/bin/sleep", .arguments = "5"});
  EXPECT_TRUE(run.started);
  EXPECT_FALSE(run.ended);
}

TEST(PosixProcesses, WaitForFileSeesAFileWrittenByAnotherProgram) {
  ScratchFolder dir;
  fs::path late = dir / "late.svg";
  PosixProcesses processes;
  ASSERT_TRUE(processes
                  .RunProcess({.program = "/bin/sh",
                               .arguments = "-c \"sleep 0.3; echo x > '" + late.string() + "'\"",
                               .wait = ProcessWait::kNone})
                  .started);
  processes.WaitForFile(late.string(), 30000);
  EXPECT_TRUE(fs::exists(late));

  // A folder of that name is not the file.
  fs::create_directories(dir / "folder.svg");
  try {
    processes.WaitForFile((dir / "folder.svg").string(), 300);
    FAIL() << "no time-out";
  } catch (const Error& e) {
    EXPECT_EQ(std::string(e.what()),
              "SVG ファイルの生成がタイムアウトしました: " + (dir / "folder.svg").string());
  }
}

}  // namespace
}  // namespace tesnova
