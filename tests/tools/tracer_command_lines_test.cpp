#include "tools/tracer_command_lines.h"

#include <gtest/gtest.h>

#include "base/text_file.h"
#include "process/command_line.h"
#include "tools/work_files.h"

namespace tesnova {
namespace {

using Args = std::vector<std::string>;

// What the tracer receives, split as it splits its command line.
Args Received(const std::string& arguments) {
  Args args = SplitCommandLine(BuildCommandLine("C:\\Program Files\\tool.exe", arguments));
  args.erase(args.begin());
  return args;
}

TEST(TracerCommandLines, ArgumentTexts) {
  const std::string bmp = "C:\\Program Files\\Tesnova\\tesnova.bmp";
  const std::string svg = "C:\\Program Files\\Tesnova\\tesnova.svg";
  EXPECT_EQ(PotraceArguments(bmp, "  -b dxf \t"), "\"" + bmp + "\" -b dxf");
  EXPECT_EQ(PotraceSvgArguments("C:\\w\\tesnova.pbm", "C:\\w\\tesnova.svg"),
            "\"C:\\w\\tesnova.pbm\" -s -o \"C:\\w\\tesnova.svg\"");
  EXPECT_EQ(VTracerArguments("--colormode bw", bmp, svg),
            "--colormode bw -i \"" + bmp + "\" -o \"" + svg + "\"");
  EXPECT_EQ(VTracerArguments("   ", "a.bmp", "a.svg"), "-i \"a.bmp\" -o \"a.svg\"");
  EXPECT_EQ(VTracerArguments("", "a.bmp", "a.svg"), "-i \"a.bmp\" -o \"a.svg\"");
  EXPECT_EQ(WinTopoArguments(bmp), "\"" + bmp + "\"");
}

TEST(TracerCommandLines, AWorkFolderWithBlanksReachesEveryTracerAsOneArgument) {
  const std::string bmp = "C:\\Users\\Taro Yamada\\Tesnova\\tesnova.bmp";
  const std::string svg = "C:\\Users\\Taro Yamada\\Tesnova\\tesnova.svg";
  EXPECT_EQ(Received(PotraceArguments(bmp, "-b dxf")), (Args{bmp, "-b", "dxf"}));
  EXPECT_EQ(Received(PotraceArguments(bmp, "")), (Args{bmp}));
  EXPECT_EQ(Received(VTracerArguments("--colormode bw", bmp, svg)),
            (Args{"--colormode", "bw", "-i", bmp, "-o", svg}));
  EXPECT_EQ(Received(WinTopoArguments(bmp)), (Args{bmp}));
}

TEST(TracerCommandLines, WorkFilesLieInTheGivenFolder) {
  WorkFiles files = WorkFilesIn(std::filesystem::path("dir") / PathFromUtf8("作業"));
  auto expect = [](const std::string& name) {
    return PathToUtf8(std::filesystem::path("dir") / PathFromUtf8("作業") / name);
  };
  EXPECT_EQ(files.bmp, expect("tesnova.bmp"));
  EXPECT_EQ(files.svg, expect("tesnova.svg"));
  EXPECT_EQ(files.dxf, expect("tesnova.dxf"));
  EXPECT_EQ(files.pbm, expect("tesnova.pbm"));
}

}  // namespace
}  // namespace tesnova
