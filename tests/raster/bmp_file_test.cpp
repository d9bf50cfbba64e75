#include "raster/bmp_file.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "base/error.h"
#include "base/text_file.h"
#include "support/pictures.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

using testing::FirstDifference;
using testing::ReadPpm;
using testing::TestData;

// A BMP file put together field by field, for the variants no common writer produces.
struct BmpBuilder {
  std::uint32_t headerSize = 40;
  std::int32_t width = 0, height = 0;
  std::uint16_t bpp = 24;
  std::uint32_t compression = 0;
  std::vector<std::uint32_t> masks;    // after an info header, or inside a V4/V5 header
  std::vector<std::uint32_t> palette;  // 0x00RRGGBB
  std::string data;

  std::string Build() const {
    std::string header;
    auto put = [&](std::uint64_t v, int bytes) {
      for (int i = 0; i < bytes; ++i) header += static_cast<char>(v >> (8 * i) & 0xFF);
    };
    put(headerSize, 4);
    put(static_cast<std::uint32_t>(width), 4);
    put(static_cast<std::uint32_t>(height), 4);
    put(1, 2);
    put(bpp, 2);
    put(compression, 4);
    put(data.size(), 4);
    put(0, 8);
    put(palette.size(), 4);
    put(0, 4);
    std::string extra;
    if (headerSize == 40) {
      for (auto m : masks) header += std::string(reinterpret_cast<const char*>(&m), 4);
    } else {
      for (std::size_t i = 0; i < 4; ++i) put(i < masks.size() ? masks[i] : 0, 4);
      header.resize(headerSize, '\0');
    }
    for (auto c : palette) put(c, 4);
    std::string file = "BM";
    const std::uint32_t offset = 14 + static_cast<std::uint32_t>(header.size());
    const std::uint32_t size = offset + static_cast<std::uint32_t>(data.size());
    for (std::uint32_t v : {size, 0u, offset})
      for (int i = 0; i < 4; ++i) file += static_cast<char>(v >> (8 * i) & 0xFF);
    return file + header + data;
  }
};

std::string Bytes(std::initializer_list<int> values) {
  std::string s;
  for (int v : values) s += static_cast<char>(v);
  return s;
}

Bitmap Pixels(int w, int h, std::initializer_list<std::uint32_t> rgb) {
  Bitmap out(w, h);
  std::size_t i = 0;
  for (std::uint32_t c : rgb) {
    out.pixels[i++] = c & 0xFF;
    out.pixels[i++] = c >> 8 & 0xFF;
    out.pixels[i++] = c >> 16 & 0xFF;
  }
  return out;
}

TEST(BmpFile, ReadsWhatImageMagickWrites) {
  const struct {
    const char* file;
    const char* expected;
  } cases[] = {
      {"colours-24.bmp", "colours.ppm"},      {"colours-core24.bmp", "colours.ppm"},
      {"colours-4.bmp", "colours.ppm"},       {"colours-core4.bmp", "colours.ppm"},
      {"colours-v5.bmp", "colours.ppm"},      {"ramp-8.bmp", "ramp.ppm"},
      {"ramp-rle8.bmp", "ramp.ppm"},          {"bw-1.bmp", "bw.ppm"},
      {"colours-565.bmp", "colours-565.ppm"}, {"alpha-32.bmp", "alpha.ppm"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const Bitmap got = ReadBmp(TestData(std::string("pictures/") + c.file));
    EXPECT_EQ(FirstDifference(got, ReadPpm(TestData(std::string("pictures/") + c.expected))), "");
  }
}

TEST(BmpFile, ReadsHandMadeVariants) {
  const std::uint32_t kRed = 0xFF0000, kGreen = 0x00FF00, kBlue = 0x0000FF, kWhite = 0xFFFFFF,
                      kBlack = 0;
  BmpBuilder topDown{.width = 2, .height = -2, .bpp = 24};
  topDown.data = Bytes({0, 0, 255, 0, 255, 0, 0, 0, 255, 0, 0, 0, 0, 0, 0, 0});
  // RLE4 from the bottom row up: a run, an end of line, a delta, an absolute run, the end.
  BmpBuilder rle4{.width = 6, .height = 3, .bpp = 4, .compression = 2};
  rle4.palette = {kBlack, kRed, kGreen, kBlue};
  rle4.data = Bytes({5, 0x12, 0, 0, 0, 2, 2, 1, 0, 3, 0x31, 0x20, 0, 1});
  BmpBuilder rgb555{.width = 3, .height = 1, .bpp = 16};
  rgb555.data = Bytes({0x00, 0x7C, 0xE0, 0x03, 0x1F, 0x00, 0, 0});
  BmpBuilder bgrx{.width = 2, .height = 1, .bpp = 32};  // the fourth byte is not alpha
  bgrx.data = Bytes({255, 0, 0, 0, 0, 0, 255, 77});
  BmpBuilder zeroAlpha{.width = 2, .height = 1, .bpp = 32, .compression = 3};
  zeroAlpha.headerSize = 108;
  zeroAlpha.masks = {0xFF0000, 0xFF00, 0xFF, 0xFF000000};
  zeroAlpha.data = Bytes({255, 0, 0, 0, 0, 255, 0, 0});
  BmpBuilder fields565{.width = 2, .height = 1, .bpp = 16, .compression = 3};
  fields565.masks = {0xF800, 0x07E0, 0x001F};
  fields565.data = Bytes({0x00, 0xF8, 0x1F, 0x00});
  BmpBuilder shortPalette{.width = 3, .height = 1, .bpp = 8};  // index 2 is not in it
  shortPalette.palette = {kGreen, kBlue};
  shortPalette.data = Bytes({1, 0, 2, 0});

  const struct {
    const char* name;
    BmpBuilder bmp;
    Bitmap expected;
  } cases[] = {
      {"top-down rows", topDown, Pixels(2, 2, {kRed, kGreen, kBlue, kBlack})},
      {"RLE4 with delta", rle4,
       Pixels(6, 3,
              {kWhite, kWhite, kBlue, kRed, kGreen, kWhite,     // top row, after the delta
               kWhite, kWhite, kWhite, kWhite, kWhite, kWhite,  //
               kRed, kGreen, kRed, kGreen, kRed, kWhite})},
      {"16 bits 5-5-5", rgb555, Pixels(3, 1, {kRed, kGreen, kBlue})},
      {"32 bits without alpha", bgrx, Pixels(2, 1, {kBlue, kRed})},
      {"alpha mask, all alpha zero", zeroAlpha, Pixels(2, 1, {kBlue, kGreen})},
      {"bit fields 5-6-5", fields565, Pixels(2, 1, {kRed, kBlue})},
      {"index beyond the palette", shortPalette, Pixels(3, 1, {kBlue, kGreen, kBlack})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FirstDifference(ReadBmp(c.bmp.Build(), "x.bmp"), c.expected), "");
  }
}

TEST(BmpFile, WritesWhatItReadsBackAtEveryRowPadding) {
  testing::ScratchFolder folder;
  for (int width : {1, 2, 3, 4, 5}) {
    const Bitmap original = testing::RandomBitmap(width, 3, width);
    const auto path = folder / ("w" + std::to_string(width) + ".bmp");
    WriteBmp24(path, original);
    EXPECT_EQ(FirstDifference(ReadBmp(path), original), "") << width;
    EXPECT_EQ(std::filesystem::file_size(path), 54 + 3 * ((width * 3 + 3) / 4 * 4));
  }
}

TEST(BmpFile, RefusesBrokenFilesNamingThem) {
  const std::string good = ReadFileBytes(TestData("pictures/colours-24.bmp"));
  const std::string rle = ReadFileBytes(TestData("pictures/ramp-rle8.bmp"));
  auto with = [](std::string s, std::size_t at, std::initializer_list<int> bytes) {
    for (int b : bytes) s[at++] = static_cast<char>(b);
    return s;
  };
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty", ""},
      {"not a BMP", "GIF89a" + good.substr(6)},
      {"cut in the header", good.substr(0, 30)},
      {"cut in the pixels", good.substr(0, good.size() - 40)},
      {"cut in RLE data", rle.substr(0, rle.size() - 30)},
      {"zero width", with(good, 18, {0, 0, 0, 0})},
      {"zero height", with(good, 22, {0, 0, 0, 0})},
      {"negative width", with(good, 18, {0xFF, 0xFF, 0xFF, 0xFF})},
      {"lying size 2^31 - 1", with(good, 18, {0xFF, 0xFF, 0xFF, 0x7F})},
      {"height -2^31", with(good, 22, {0, 0, 0, 0x80})},
      {"huge both ways", with(with(good, 18, {0, 0, 1, 0}), 22, {0, 0, 1, 0})},
      {"7 bits per pixel", with(good, 28, {7, 0})},
      {"unknown header size", with(good, 14, {41, 0, 0, 0})},
      {"embedded PNG", with(good, 30, {5, 0, 0, 0})},
      {"RLE8 at 24 bits", with(good, 30, {1, 0, 0, 0})},
      {"top-down RLE", with(rle, 22, {0xF9, 0xFF, 0xFF, 0xFF})},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    try {
      ReadBmp(c.bytes, "壊れた.bmp");
      ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find("壊れた.bmp"), std::string::npos) << e.what();
    }
  }
}

TEST(BmpFile, ReadingTheFileAgreesWithReadingItsBytes) {
  // A 24-bit file is read row by row from the file, every other kind from its bytes; both
  // roads give the same pixels or the same refusal, naming the file.
  testing::ScratchFolder folder;
  std::vector<std::string> files;
  for (const auto& entry : std::filesystem::directory_iterator(TestData("pictures")))
    if (entry.path().extension() == ".bmp") files.push_back(ReadFileBytes(entry.path()));
  const std::string good = ReadFileBytes(TestData("pictures/colours-24.bmp"));
  BmpBuilder topDown{.width = 3, .height = -2, .bpp = 24};
  topDown.data = Bytes({1, 2, 3, 4, 5, 6, 7, 8, 9, 0, 0, 0, 9, 8, 7, 6, 5, 4, 3, 2, 1, 0, 0, 0});
  files.push_back(topDown.Build());
  std::string offsetOutside = good;
  offsetOutside[10] = offsetOutside[11] = offsetOutside[12] = '\x7F';
  files.push_back(offsetOutside);
  files.push_back(good.substr(0, good.size() - 1));  // the last row's padding may go
  files.push_back(good.substr(0, good.size() - 40));
  files.push_back(good.substr(0, 40));
  ASSERT_GT(files.size(), 10u);
  for (std::size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(i);
    const auto path = folder / "読む.bmp";
    WriteFileBytes(path, files[i]);
    std::string fromBytes, fromFile;
    Bitmap expected, got;
    try {
      expected = ReadBmp(files[i], PathToUtf8(path));
    } catch (const FileError& e) {
      fromBytes = e.what();
    }
    try {
      got = ReadBmp(path);
    } catch (const FileError& e) {
      fromFile = e.what();
    }
    EXPECT_EQ(fromFile, fromBytes);
    EXPECT_EQ(FirstDifference(got, expected), "");
  }
}

TEST(BmpFile, MissingFileOrFolderIsAFileError) {
  testing::ScratchFolder folder;
  EXPECT_THROW(ReadBmp(folder / "none.bmp"), FileError);
  EXPECT_THROW(WriteBmp24(folder / "none" / "x.bmp", Bitmap(2, 2)), FileError);
}

}  // namespace
}  // namespace tesnova
