#include "base/files.h"

#include <gtest/gtest.h>

#include "base/text_file.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

TEST(Files, UpperExtensionOfTheNamePart) {
  const struct {
    const char* path;
    const char* extension;
  } cases[] = {
      {"dir.v2/scan.Tif", ".TIF"},
      {"dir.v2/scan", ""},
      {"C:\\Tools\\Some.Dir\\PoTrace.ExE", ".EXE"},
      {"C:\\Some.Dir\\potrace", ""},
      {"a.tar.gz", ".GZ"},
      {"", ""},
  };
  for (const auto& c : cases) EXPECT_EQ(UpperExtension(c.path), c.extension) << c.path;
}

TEST(Files, StaleOutputsAreRemovedOrReported) {
  testing::ScratchFolder folder;
  WriteFileBytes(folder / "old.dxf", "0\r\nEOF\r\n");
  EXPECT_TRUE(FileExists(folder / "old.dxf"));
  EXPECT_TRUE(RemoveStaleFile(folder / "old.dxf"));
  EXPECT_FALSE(FileExists(folder / "old.dxf"));
  EXPECT_TRUE(RemoveStaleFile(folder / "never.dxf"));

  // Something that cannot be removed stays, and is told: here a folder with a file in it.
  std::filesystem::create_directories(folder / "held.dxf");
  WriteFileBytes(folder / "held.dxf" / "inside", "x");
  EXPECT_FALSE(FileExists(folder / "held.dxf"));
  EXPECT_FALSE(RemoveStaleFile(folder / "held.dxf"));
}

}  // namespace
}  // namespace tesnova
