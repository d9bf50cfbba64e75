#include "centerline/pbm_file.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/text_file.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

void SetPixel(Bitmap& bitmap, int x, int y, std::uint8_t b, std::uint8_t g, std::uint8_t r) {
  std::uint8_t* p = bitmap.at(x, y);
  p[0] = b, p[1] = g, p[2] = r;
}

TEST(Pbm, WritesTheDocumentedExampleByteForByte) {
  Bitmap bitmap(3, 2);  // white
  SetPixel(bitmap, 0, 0, 0, 0, 0);
  SetPixel(bitmap, 2, 0, 0, 0, 0);
  testing::ScratchFolder dir;
  SaveBitmapAsPBM(bitmap, dir / "a b.pbm");
  EXPECT_EQ(ReadFileBytes(dir / "a b.pbm"), std::string("\x50\x34\x0A\x33\x20\x32\x0A\xA0\x00", 9));
}

TEST(Pbm, BlackIsMeanGreyBelow128) {
  struct Case {
    std::uint8_t b, g, r;
    bool black;
  };
  const Case cases[] = {{128, 128, 128, false}, {127, 127, 127, true}, {128, 0, 255, true},
                        {129, 0, 255, false},   {0, 0, 0, true},       {255, 255, 255, false}};
  for (const Case& c : cases) {
    Bitmap bitmap(1, 1);
    SetPixel(bitmap, 0, 0, c.b, c.g, c.r);
    EXPECT_EQ(EncodePbm(bitmap), std::string("P4\n1 1\n") + (c.black ? '\x80' : '\x00'))
        << int(c.b) << " " << int(c.g) << " " << int(c.r);
  }
}

TEST(Pbm, RowsArePaddedToWholeBytesWithClearBits) {
  Bitmap wide(10, 2, 0);  // black
  SetPixel(wide, 1, 1, 255, 255, 255);
  EXPECT_EQ(EncodePbm(wide), std::string("P4\n10 2\n\xFF\xC0\xBF\xC0", 12));

  Bitmap sixteen(16, 1, 0);
  SetPixel(sixteen, 15, 0, 255, 255, 255);
  EXPECT_EQ(EncodePbm(sixteen), std::string("P4\n16 1\n\xFF\xFE", 10));
}

TEST(Pbm, EmptyBitmapHasOnlyTheHeader) {
  EXPECT_EQ(EncodePbm(Bitmap(0, 5)), "P4\n0 5\n");
  EXPECT_EQ(EncodePbm(Bitmap(7, 0)), "P4\n7 0\n");
}

TEST(Pbm, ReplacesAnOldFileAndReportsOneThatCannotBeWritten) {
  testing::ScratchFolder dir;
  WriteFileBytes(dir / "x.pbm", std::string(100, 'z'));
  SaveBitmapAsPBM(Bitmap(1, 1, 0), dir / "x.pbm");
  EXPECT_EQ(ReadFileBytes(dir / "x.pbm"), std::string("P4\n1 1\n\x80"));
  EXPECT_THROW(SaveBitmapAsPBM(Bitmap(1, 1), dir / "no such folder" / "x.pbm"), FileError);
}

}  // namespace
}  // namespace tesnova
