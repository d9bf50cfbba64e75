// Pictures prepared straight into one bit a pixel: the decoders' rows, the preparation without
// the 24-bit bitmap, and the P4 files the tracers are handed.
#include "raster/prepare_black_white.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text_file.h"
#include "raster/pbm_reader.h"
#include "raster/pbm_writer.h"
#include "raster/picture.h"
#include "support/pictures.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

std::filesystem::path Picture(const std::string& name) {
  return testing::TestData("pictures/" + name);
}

// Every decoder and layout, all 13 pixels wide (odd, and not a whole number of bytes).
const char* const kEveryKind[] = {
    "colours-24.bmp",   "colours-core24.bmp",
    "colours-v5.bmp",   "colours-4.bmp",
    "colours-565.bmp",  "alpha-32.bmp",
    "bw-1.bmp",         "ramp-8.bmp",
    "ramp-rle8.bmp",    "alpha.png",
    "bw-1.png",         "colours-16.png",
    "grey.png",         "colours-interlaced.png",
    "colours-trns.png", "colours.tif",
    "bw-g4.tif",        "alpha.tif",
    "colours.jpg",      "colours-cmyk.jpg",
    "smooth-420.jpg",   "drawing.png",
};

const BlackRule kRules[] = {kPotraceBlack, BelowMeanGrey(128), BelowLuminance(100)};

TEST(BlackWhitePicture, DecodedRowsGiveTheBitsOfTheWholeBitmap) {
  for (const char* name : kEveryKind) {
    SCOPED_TRACE(name);
    const Bitmap whole = LoadPicture(Picture(name));
    for (const BlackRule& rule : kRules) {
      BlackWhiteRowSink sink(rule);
      LoadPictureRows(Picture(name), sink);
      const BlackWhitePicture streamed = sink.Take();
      ASSERT_EQ(streamed.width, whole.width);
      ASSERT_EQ(streamed.height, whole.height);
      for (int y = 0; y < whole.height; ++y) {
        for (int x = 0; x < whole.width; ++x)
          ASSERT_EQ(streamed.Black(x, y), rule(whole.at(x, y))) << x << "," << y;
        // The spare bits of each row's last byte stay 0, as P4 wants them.
        const int spare = static_cast<int>(streamed.stride() * 8) - whole.width;
        EXPECT_EQ(streamed.row(y)[streamed.stride() - 1] & ((1 << spare) - 1), 0);
      }
      EXPECT_EQ(streamed, BlackWhiteOf(whole, rule));
    }
  }
}

TEST(BlackWhitePicture, PreparedAsPrepareBitmapAndTheTracersReadingWouldMakeIt) {
  const struct {
    const char* what;
    PrepareOptions options;
  } cases[] = {
      {"as it is", {}},
      {"threshold 120", {.monochrome = true, .threshold = 120}},
      {"threshold 254", {.monochrome = true, .threshold = 254}},
      {"Otsu", {.monochrome = true, .otsu = true}},
      {"median", {.median = true}},
      {"Gaussian and Otsu", {.gaussian = true, .monochrome = true, .otsu = true}},
      {"deskew and threshold", {.deskewRotation = 0.01, .monochrome = true, .threshold = 150}},
  };
  for (const char* name : {"drawing.png", "colours.jpg", "ramp-8.bmp", "grey.png"}) {
    for (const auto& c : cases) {
      SCOPED_TRACE(std::string(name) + ", " + c.what);
      for (const BlackRule& rule : {kPotraceBlack, BelowMeanGrey(128)}) {
        Bitmap bitmap = LoadPicture(Picture(name));
        const PrepareReport expectedReport = PrepareBitmap(bitmap, c.options);
        PrepareReport report;
        EXPECT_EQ(PrepareBlackWhitePicture(Picture(name), c.options, rule, &report),
                  BlackWhiteOf(bitmap, rule));
        EXPECT_EQ(report.threshold, expectedReport.threshold);
        EXPECT_EQ(report.otsuThreshold, expectedReport.otsuThreshold);
      }
    }
  }
}

// A PNG of grey rows whose compressed data holds one stored deflate block a row; the block of
// row `damaged` (if any) has lengths that do not agree, as damage in the middle of a file gives.
std::string GreyPng(int width, int height, int damaged) {
  auto crc = [](const std::string& bytes) {
    std::uint32_t c = 0xFFFFFFFFu;
    for (unsigned char b : bytes) {
      c ^= b;
      for (int k = 0; k < 8; ++k) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return c ^ 0xFFFFFFFFu;
  };
  auto u32 = [](std::uint32_t v) {
    return std::string{static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                       static_cast<char>(v >> 8), static_cast<char>(v)};
  };
  auto chunk = [&](const std::string& kind, const std::string& data) {
    return u32(static_cast<std::uint32_t>(data.size())) + kind + data + u32(crc(kind + data));
  };
  std::string raw, deflate = "\x78\x01";
  std::uint32_t a = 1, b = 0;
  for (int y = 0; y < height; ++y) {
    std::string row(1, '\0');
    for (int x = 0; x < width; ++x) row += static_cast<char>((x * 37 + y * 11) & 0xFF);
    for (unsigned char ch : row) a = (a + ch) % 65521, b = (b + a) % 65521;
    const std::uint16_t n = static_cast<std::uint16_t>(row.size());
    const std::uint16_t check = y == damaged ? n : static_cast<std::uint16_t>(~n);
    deflate += static_cast<char>(y + 1 == height ? 1 : 0);
    deflate += {static_cast<char>(n), static_cast<char>(n >> 8), static_cast<char>(check),
                static_cast<char>(check >> 8)};
    deflate += row;
  }
  deflate += u32(b << 16 | a);
  std::string header = u32(width) + u32(height) + std::string("\x08\x00\x00\x00\x00", 5);
  return std::string("\x89PNG\r\n\x1A\n", 8) + chunk("IHDR", header) + chunk("IDAT", deflate) +
         chunk("IEND", "");
}

// Counts the rows a decoder hands over.
class CountingSink final : public PictureRowSink {
 public:
  void Begin(int width, int) override { row.assign(static_cast<std::size_t>(width) * 3, 0); }
  std::uint8_t* RowStorage(int) override { return row.data(); }
  void RowDone(int) override { ++rows; }
  std::vector<std::uint8_t> row;
  int rows = 0;
};

TEST(BlackWhitePicture, AFileDamagedAfterSomeRowsIsAnErrorNamingIt) {
  testing::ScratchFolder dir;
  WriteFileBytes(dir / "whole.png", GreyPng(21, 40, -1));
  WriteFileBytes(dir / "damaged at row 20.png", GreyPng(21, 40, 20));
  CountingSink whole;
  LoadPictureRows(dir / "whole.png", whole);
  EXPECT_EQ(whole.rows, 40);
  CountingSink damaged;
  try {
    LoadPictureRows(dir / "damaged at row 20.png", damaged);
    ADD_FAILURE() << "no error";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("damaged at row 20.png"), std::string::npos) << e.what();
  }
#ifndef _WIN32                  // the Windows decoder hands rows over in strips of 64
  EXPECT_GT(damaged.rows, 10);  // the rows before the damage (the decoder may read one ahead)
#endif
  EXPECT_LT(damaged.rows, 40);
  // The same through the whole preparation, Otsu's two passes included.
  for (const PrepareOptions& options :
       {PrepareOptions{}, PrepareOptions{.monochrome = true, .otsu = true}})
    EXPECT_THROW(PrepareBlackWhitePicture(dir / "damaged at row 20.png", options, kPotraceBlack),
                 FileError);
}

TEST(BlackWhitePbm, ReadsWhatItWritesAndRefusesDamagedFiles) {
  testing::ScratchFolder dir;
  const Bitmap colours = LoadPicture(Picture("drawing.png"));
  const BlackWhitePicture picture = BlackWhiteOf(colours, kPotraceBlack);
  WriteBlackWhitePbm(dir / "a.pbm", picture);
  EXPECT_EQ(ReadFileBytes(dir / "a.pbm"), [&] {
    WriteBlackWhitePbm(dir / "from bitmap.pbm", colours);
    return ReadFileBytes(dir / "from bitmap.pbm");
  }());
  EXPECT_EQ(ReadBlackWhitePbm(dir / "a.pbm"), picture);
  // Comments and other blanks in the header; spare bits set in the file do not count.
  WriteFileBytes(dir / "comments.pbm", std::string("P4 # by hand\n3\t#x\r\n2\n\xFF\x40", 23));
  const BlackWhitePicture small = ReadBlackWhitePbm(dir / "comments.pbm");
  EXPECT_EQ(small.width, 3);
  EXPECT_EQ(small.bits, (std::vector<std::uint8_t>{0xE0, 0x40}));

  const std::string good = ReadFileBytes(dir / "a.pbm");
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty.pbm", ""},
      {"plain.pbm", "P1\n2 2\n0 1 1 0\n"},
      {"no blank.pbm", "P42 2\n\x80\x40"},
      {"zero.pbm", "P4\n0 5\n"},
      {"no size.pbm", "P4\n\n"},
      {"huge.pbm", "P4\n100000 100000\n\x80"},
      {"rows cut.pbm", good.substr(0, good.size() - 1)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    WriteFileBytes(dir / c.name, c.bytes);
    try {
      ReadBlackWhitePbm(dir / c.name);
      ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find(c.name), std::string::npos) << e.what();
    }
  }
}

}  // namespace
}  // namespace tesnova
