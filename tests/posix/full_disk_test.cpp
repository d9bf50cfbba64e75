// Every writer of a user's file on a full disk: a tmpfs of 64 KiB mounted for the test (root
// only; skipped where mounting is not allowed). The old file stays whole, no temporary is left,
// and the message names the file and the cause.
#include <gtest/gtest.h>
#include <sys/mount.h>

#include <functional>

#include "base/error.h"
#include "base/text_file.h"
#include "raster/bmp_file.h"
#include "support/test_paths.h"
#include "vector/dxf_writer.h"

namespace tesnova {
namespace {

namespace fs = std::filesystem;

class FullDisk : public ::testing::Test {
 protected:
  void SetUp() override {
    disk = dir / "disk";
    fs::create_directories(disk);
    if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=64k") != 0)
      GTEST_SKIP() << "cannot mount a tmpfs here";
    mounted = true;
  }
  void TearDown() override {
    if (mounted) umount2(disk.c_str(), MNT_DETACH);
  }
  testing::ScratchFolder dir;
  fs::path disk;
  bool mounted = false;
};

TEST_F(FullDisk, EveryWriterLeavesTheOldFileWhole) {
  const std::string old(20000, 'o');  // about a third of the disk
  Bitmap big(200, 200);               // 120 KB as a BMP: more than the disk holds
  TDxfLines dxf;
  AddDxfHeader(dxf);
  for (int i = 0; i < 20000; ++i) dxf.Add("999");
  AddDxfTrailer(dxf);
  const std::vector<std::string> lines(20000, "a long line of a target CAD list");
  struct Writer {
    const char* name;
    std::function<void(const fs::path&)> write;
  } writers[] = {
      {"o.bin", [](const fs::path& p) { WriteFileBytes(p, std::string(100000, 'n')); }},
      {"o.bmp", [&](const fs::path& p) { WriteBmp24(p, big); }},
      {"o.dxf", [&](const fs::path& p) { SaveDxfLines(dxf, p); }},
      {"o.txt", [&](const fs::path& p) { WriteTextLines(p, lines); }},
  };
  for (const Writer& w : writers) {
    const fs::path file = disk / w.name;
    WriteFileBytes(file, old);
    try {
      w.write(file);
      ADD_FAILURE() << w.name << ": written on a full disk";
    } catch (const FileError& e) {
      EXPECT_EQ(std::string(e.what()),
                PathToUtf8(file) + " に書き込めません: ディスクの空き容量が足りません");
    }
    EXPECT_TRUE(ReadFileBytes(file) == old) << w.name;
    std::vector<fs::path> left;
    for (const auto& entry : fs::directory_iterator(disk)) left.push_back(entry.path());
    EXPECT_EQ(left, std::vector<fs::path>{file}) << w.name;
    fs::remove(file);
  }
}

}  // namespace
}  // namespace tesnova
