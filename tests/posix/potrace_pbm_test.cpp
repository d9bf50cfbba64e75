// The black-and-white hand-off to the real Potrace of the system, when there is one.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "base/text_file.h"
#include "raster/bmp_file.h"
#include "raster/pbm_writer.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

TEST(PotracePbm, PotraceTracesTheSameOutlinesAsFromTheColourPicture) {
  const std::filesystem::path potrace = "/usr/bin/potrace";
  if (!std::filesystem::exists(potrace)) GTEST_SKIP() << "no potrace in /usr/bin";
  // Blocks and specks of every colour sum from 370 to 395 in all sorts of mixtures, on white,
  // 61 pixels wide so that the rows end inside a byte.
  Bitmap picture(61, 40, 255);
  std::uint32_t state = 3;
  for (int y = 0; y < picture.height; ++y)
    for (int x = 0; x < picture.width; ++x) {
      state = state * 1664525 + 1013904223;
      if ((x / 4 + y / 3) % 3 == 0 || (state >> 28) == 0) {
        const int sum = 370 + static_cast<int>(state >> 8) % 26;
        const int blue = std::min(255, static_cast<int>(state >> 16) % 256);
        const int rest = sum - std::min(sum, blue);
        std::uint8_t* p = picture.at(x, y);
        p[0] = static_cast<std::uint8_t>(std::min(sum, blue));
        p[1] = static_cast<std::uint8_t>(std::min(255, rest));
        p[2] = static_cast<std::uint8_t>(rest - p[1]);
      }
    }
  testing::ScratchFolder dir;
  WriteBmp24(dir / "colour.bmp", picture);
  WriteBlackWhitePbm(dir / "black-white.pbm", picture);
  for (const char* input : {"colour.bmp", "black-white.pbm"}) {
    const std::string command = potrace.string() + " -b geojson -t 0 -o '" +
                                (dir / input).string() + ".json' '" + (dir / input).string() + "'";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
  }
  const std::string fromColour = ReadFileBytes(dir / "colour.bmp.json");
  EXPECT_GT(fromColour.size(), 1000u);
  EXPECT_TRUE(ReadFileBytes(dir / "black-white.pbm.json") == fromColour);
}

}  // namespace
}  // namespace tesnova
