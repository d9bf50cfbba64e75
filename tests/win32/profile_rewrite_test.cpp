// The settings file is rewritten as a whole or not at all.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/error.h"
#include "base/text_file.h"
#include "support/test_paths.h"
#include "win32/profile_store_win32.h"

namespace tesnova {
namespace {

namespace fs = std::filesystem;

TEST(RewriteProfileFile, AWriteThatFailsHalfWayLeavesTheFileAsItWas) {
  testing::ScratchFolder dir;
  const fs::path ini = dir / "Tesnova.ini";
  const std::string old = "[Form]\r\nLeft=10\r\nTop=20\r\n[Other]\r\nKept=yes\r\n";
  WriteFileBytes(ini, old);
  EXPECT_THROW(RewriteProfileFile(ini.wstring(),
                                  [](ProfileStore& store) {
                                    store.Write("Form", "Left", "99");
                                    throw Error("Tesnova.ini に書き込めません");
                                  }),
               Error);
  EXPECT_EQ(ReadFileBytes(ini), old);
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"Tesnova.ini"});

  // A whole write replaces the keys it writes and keeps the others.
  RewriteProfileFile(ini.wstring(), [](ProfileStore& store) {
    store.Write("Form", "Left", "99");
    store.Write("Form", "Top", "98");
  });
  const ProfileFile after(ini.wstring());
  EXPECT_EQ(after.Read("Form", "Left", ""), "99");
  EXPECT_EQ(after.Read("Form", "Top", ""), "98");
  EXPECT_EQ(after.Read("Other", "Kept", ""), "yes");
  EXPECT_EQ(dir.Names(), std::vector<std::string>{"Tesnova.ini"});

  // No file yet: made from nothing.
  fs::remove(ini);
  RewriteProfileFile(ini.wstring(), [](ProfileStore& store) { store.Write("A", "B", "c"); });
  EXPECT_EQ(ProfileFile(ini.wstring()).Read("A", "B", ""), "c");
}

}  // namespace
}  // namespace tesnova
