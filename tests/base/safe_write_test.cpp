// Writing where a user's file may stand: the old file is replaced whole or not at all, and no
// temporary is left either way.
#include "base/safe_write.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/error.h"
#include "base/file_system.h"
#include "base/text_file.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

namespace fs = std::filesystem;

TEST(SafeWrite, ReplacesTheOldFileAndLeavesNothingElse) {
  testing::ScratchFolder dir;
  const fs::path file = dir.path() / PathFromUtf8("図面.dxf");
  WriteFileBytes(file, "old content");
  WriteFileBytes(file, "new");
  EXPECT_EQ(ReadFileBytes(file), "new");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"図面.dxf"});
}

TEST(SafeWrite, AFailedWriteNamesTheFileAndLeavesNoTemporary) {
  testing::ScratchFolder dir;
  // The target is a folder: the new content cannot take its place.
  fs::create_directories(dir / "out.dxf" / "inside");
  try {
    WriteFileBytes(dir / "out.dxf", "new");
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find(PathToUtf8(dir / "out.dxf")), std::string::npos)
        << e.what();
  }
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"out.dxf"});
  EXPECT_TRUE(fs::exists(dir / "out.dxf" / "inside"));

  // A folder that does not exist: told in words, with the file's name.
  try {
    WriteFileBytes(dir / "none" / "out.dxf", "new");
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()),
              PathToUtf8(dir / "none" / "out.dxf") + " を作成できません: フォルダがありません");
  }
}

TEST(SafeWrite, AnUncommittedReplacementLeavesTheOldFile) {
  testing::ScratchFolder dir;
  const fs::path file = dir / "settings.ini";
  WriteFileBytes(file, "[Form]\r\nLeft=1\r\n");
  {
    FileReplacement replacement(file);
    WriteFileBytes(replacement.Temporary(), "half");
    EXPECT_EQ(replacement.Temporary().parent_path(), dir.path());
  }
  EXPECT_EQ(ReadFileBytes(file), "[Form]\r\nLeft=1\r\n");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"settings.ini"});
}

// Many megabytes in pieces, so that the disk is asked to take them on the way: every byte
// arrives in order, and a writer given up after that still leaves the old file and no temporary.
TEST(SafeWrite, ALargeFileInPiecesArrivesWholeOrNotAtAll) {
  testing::ScratchFolder dir;
  const fs::path file = dir / "large.dxf";
  WriteFileBytes(file, "old");
  std::string expected;
  auto pieces = [&expected](SafeFileWriter& writer) {
    expected.clear();
    for (int i = 0; i < 10; ++i) {
      std::string piece((std::size_t{1} << 20) + 7 * i, static_cast<char>('a' + i));
      writer.Write(piece);
      expected += piece;
    }
  };
  {
    SafeFileWriter writer(file);
    pieces(writer);
  }
  EXPECT_EQ(ReadFileBytes(file), "old");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"large.dxf"});

  SafeFileWriter writer(file);
  pieces(writer);
  writer.Commit();
  EXPECT_TRUE(ReadFileBytes(file) == expected);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"large.dxf"});
}

TEST(FileIdentity, TellsOneFileUnderTwoNames) {
  testing::ScratchFolder dir;
  WriteFileBytes(dir / "a.svg", "x");
  WriteFileBytes(dir / "b.svg", "x");
  EXPECT_TRUE(SameFile(dir / "a.svg", dir / "a.svg"));
  EXPECT_TRUE(SameFile(dir / "a.svg", dir.path() / "." / "a.svg"));
  EXPECT_FALSE(SameFile(dir / "a.svg", dir / "b.svg"));
  EXPECT_FALSE(SameFile(dir / "a.svg", dir / "missing.svg"));
  EXPECT_FALSE(SameFile(dir / "missing.svg", dir / "missing.svg"));
}

}  // namespace
}  // namespace tesnova
