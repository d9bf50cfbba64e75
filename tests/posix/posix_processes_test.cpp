#include "posix/posix_processes.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cerrno>
#include <fstream>

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
  std::uint32_t code = 0;
  ASSERT_TRUE(processes.RunProcess(tool.string(), "\"" + out.string() + "\" my work.bmp -b dxf", "",
                                   true, false, true, code));
  // The unquoted path falls apart into two arguments, as on Windows.
  EXPECT_EQ(Read(out), (dir / "my tools").string() + "\n[" + out.string() +
                           "]\n[my]\n[work.bmp]\n[-b]\n[dxf]\n");

  ASSERT_TRUE(processes.RunProcess(tool.string(), "\"" + out.string() + "\"", dir.path().string(),
                                   true, false, true, code));
  EXPECT_EQ(Read(out), dir.path().string() + "\n[" + out.string() + "]\n");
}

TEST(PosixProcesses, ARelativeProgramPathMeansTheCallersFolder) {
  ScratchFolder dir;
  WriteScript(dir / "tools" / "echo.sh", kEchoArgs);
  fs::path out = dir / "out.txt";
  fs::path before = fs::current_path();
  fs::current_path(dir.path());
  PosixProcesses processes;
  std::uint32_t code = 0;
  bool started = processes.RunProcess("tools/echo.sh", "\"" + out.string() + "\"", "", true, false,
                                      true, code);
  fs::current_path(before);
  ASSERT_TRUE(started) << code;
  EXPECT_EQ(Read(out), (dir / "tools").string() + "\n[" + out.string() + "]\n");
}

TEST(PosixProcesses, WaitingStartInTheCurrentFolder) {
  ScratchFolder dir;
  fs::path tool = WriteScript(dir / "bin" / "echo.sh", kEchoArgs);
  fs::path out = dir / "out.txt";
  PosixProcesses processes;
  ASSERT_TRUE(processes.RunProcessAndWait(tool.string(), "\"" + out.string() + "\" a"));
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
    std::uint32_t code = 0;
    EXPECT_FALSE(processes.RunProcess(c.program.string(), "", "", true, false, true, code));
    EXPECT_EQ(code, c.code) << c.program;
    EXPECT_FALSE(processes.RunProcessAndWait(c.program.string(), "")) << c.program;
  }
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
  std::uint32_t code = 0;
  ASSERT_TRUE(processes.RunProcess(tool.string(), "", "", true, false, true, code));
  EXPECT_GE(dispatched, 3);
  EXPECT_TRUE(fs::exists(dir / "result"));
}

TEST(PosixProcesses, ClosingTheApplicationEndsTheWaitOnAHungTool) {
  bool closing = false;
  PosixProcesses processes([&] { closing = true; }, [&] { return closing; });
  std::uint32_t code = 0;
  EXPECT_TRUE(processes.RunProcess("/bin/sleep", "5", "", true, false, true, code));
}

TEST(PosixProcesses, WaitForFileSeesAFileWrittenByAnotherProgram) {
  ScratchFolder dir;
  fs::path late = dir / "late.svg";
  PosixProcesses processes;
  std::uint32_t code = 0;
  ASSERT_TRUE(processes.RunProcess("/bin/sh", "-c \"sleep 0.3; echo x > '" + late.string() + "'\"",
                                   "", false, false, true, code));
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
