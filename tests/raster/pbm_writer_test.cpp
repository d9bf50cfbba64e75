// The black-and-white portable bitmap for Potrace: Potrace's own threshold, the packing.
#include "raster/pbm_writer.h"

#include <gtest/gtest.h>

#include <string>

#include "base/error.h"
#include "base/text_file.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

TEST(BlackWhitePbm, PacksRowsFromTheTopLeftmostPixelInTheTopBit) {
  Bitmap picture(10, 2, 255);
  picture.at(0, 0)[1] = 127;                      // sum 637: white
  picture.at(0, 0)[0] = picture.at(0, 0)[2] = 0;  // sum 127: black
  picture.at(9, 0)[0] = 127;
  picture.at(9, 0)[1] = 0;  // sum 382: black
  picture.at(8, 1)[2] = 128;
  picture.at(8, 1)[1] = picture.at(8, 1)[0] = 0;  // 128 + 0 + 0: black
  picture.at(3, 1)[0] = 128;
  picture.at(3, 1)[1] = 0;  // 128 + 0 + 255 = 383: white
  testing::ScratchFolder dir;
  WriteBlackWhitePbm(dir / "a.pbm", picture);
  EXPECT_EQ(ReadFileBytes(dir / "a.pbm"), std::string("P4\n10 2\n\x80\x40\x00\x80", 12));
  WriteBlackWhitePbm(dir / "empty.pbm", Bitmap());
  EXPECT_EQ(ReadFileBytes(dir / "empty.pbm"), "P4\n0 0\n");
  EXPECT_THROW(WriteBlackWhitePbm(dir / "none" / "a.pbm", picture), FileError);
}

}  // namespace
}  // namespace tesnova
