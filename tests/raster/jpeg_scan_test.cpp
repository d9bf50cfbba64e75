#include "raster/jpeg_scan.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "base/text_file.h"
#include "raster/picture.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

std::string Jpeg(const std::string& name) {
  return ReadFileBytes(testing::TestData("pictures/" + name));
}

// Every JPEG the tests hold, baseline, progressive, with restart markers, grey and CMYK, and
// those the fuzzer starts from: whole.
TEST(JpegScan, WholeFilesPass) {
  int seen = 0;
  for (const auto& folder : {testing::TestData("pictures"), testing::TestData("../fuzz/corpus")})
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder))
      if (entry.path().extension() == ".jpg") {
        SCOPED_TRACE(entry.path().string());
        EXPECT_EQ(JpegScanDamage(ReadFileBytes(entry.path()), kMaxPicturePixels), std::nullopt);
        ++seen;
      }
  EXPECT_GE(seen, 6);
}

std::size_t Nth(const std::string& bytes, const std::string& what, int n) {
  std::size_t at = 0;
  for (int i = 0; i <= n; ++i) at = bytes.find(what, i ? at + 1 : 0);
  return at;
}

TEST(JpegScan, DamagedDataIsNamed) {
  const std::string cut = "画像データが途中で切れています";
  const std::string broken = "画像データが壊れています";
  const std::string baseline = Jpeg("colours.jpg");
  const std::string progressive = Jpeg("colours-progressive.jpg");
  const std::string restart = Jpeg("colours-restart.jpg");
  const std::size_t scan = baseline.find("\xFF\xDA");
  const std::size_t thirdScan = Nth(progressive, "\xFF\xDA", 2);
  const std::size_t secondRestart = Nth(restart, "\xFF\xD1", 0);
  std::string swapped = restart;
  swapped[secondRestart + 1] = '\xD2';
  std::string dropped = restart;
  dropped.erase(secondRestart, 2);
  std::string extra = baseline;
  extra.insert(extra.size() - 2, "\x12\x34");
  // 65535 x 65535 declared in a few bytes: nothing is set aside for it, the decoder refuses it.
  std::string huge = progressive;
  huge.replace(progressive.find("\xFF\xC2") + 5, 4, "\xFF\xFF\xFF\xFF");
  std::string arithmetic = baseline;
  arithmetic[baseline.find("\xFF\xC0") + 1] = '\xC9';
  const struct {
    const char* name;
    std::string bytes;
    std::optional<std::string> damage;
  } cases[] = {
      // The data stops early, the file still ends with the end-of-image marker.
      {"baseline cut", baseline.substr(0, scan + (baseline.size() - scan) / 3) + "\xFF\xD9", cut},
      {"progressive cut in a scan", progressive.substr(0, thirdScan + 20) + "\xFF\xD9", cut},
      {"no end marker", baseline.substr(0, baseline.size() - 2), cut},
      {"header only", baseline.substr(0, 20), cut},
      {"restart out of turn", swapped, broken},
      {"restart missing", dropped, broken},
      {"bytes after the data", extra, broken},
      // Arithmetic coding is left to the decoder.
      {"arithmetic", arithmetic, std::nullopt},
      {"larger than the budget", huge, std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(JpegScanDamage(c.bytes, kMaxPicturePixels), c.damage);
  }
}

}  // namespace
}  // namespace tesnova
