#include "raster/picture.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "base/error.h"
#include "base/text_file.h"
#include "support/pictures.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

using testing::MaxDifference;
using testing::ReadPpm;
using testing::TestData;

std::filesystem::path Picture(const std::string& name) { return TestData("pictures/" + name); }

// Both builds must give these pixels: the fixtures' own pixels laid onto white as ImageMagick
// decodes them. JPEG decoders may differ by their rounding.
TEST(Picture, LoadsEveryKindToTheSamePixels) {
  const struct {
    const char* file;
    const char* expected;
    int tolerance;
  } cases[] = {
      {"colours-24.bmp", "colours.ppm", 0},
      {"ramp-rle8.bmp", "ramp.ppm", 0},
      {"alpha.png", "alpha.ppm", 0},
      {"grey.png", "grey-png.expected.ppm", 0},
      {"ramp-pal.png", "ramp-pal-png.expected.ppm", 0},
      {"colours-16.png", "colours-16-png.expected.ppm", 0},
      {"colours-interlaced.png", "colours-interlaced-png.expected.ppm", 0},
      {"bw-1.png", "bw-1-png.expected.ppm", 0},
      {"grey-alpha.png", "grey-alpha-png.expected.ppm", 0},
      {"colours-trns.png", "colours-trns-png.expected.ppm", 0},
      {"colours.tif", "colours-tif.expected.ppm", 0},
      {"colours-lzw.tif", "colours-lzw-tif.expected.ppm", 0},
      {"ramp-pal.tif", "ramp-pal-tif.expected.ppm", 0},
      {"grey-16.tif", "grey-16-tif.expected.ppm", 0},
      {"bw-g4.tif", "bw-g4-tif.expected.ppm", 0},
      {"alpha.tif", "alpha-tif.expected.ppm", 0},
      {"colours.jpg", "colours-jpg.expected.ppm", 2},
      {"smooth-420.jpg", "smooth-420-jpg.expected.ppm", 6},
      {"grey.jpg", "grey-jpg.expected.ppm", 2},
      {"colours-cmyk.jpg", "colours-cmyk-jpg.expected.ppm", 2},
      {"colours-progressive.jpg", "colours-progressive-jpg.expected.ppm", 6},
      {"colours-restart.jpg", "colours-restart-jpg.expected.ppm", 6},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file);
    const Bitmap got = LoadPicture(Picture(c.file));
    EXPECT_LE(MaxDifference(got, ReadPpm(Picture(c.expected))), c.tolerance)
        << testing::FirstDifference(got, ReadPpm(Picture(c.expected)));
  }
}

TEST(Picture, AcceptsTheSixExtensionsInAnyCaseAndTrustsTheContent) {
  testing::ScratchFolder folder;
  const std::string png = ReadFileBytes(Picture("alpha.png"));
  const Bitmap expected = ReadPpm(Picture("alpha.ppm"));
  for (const char* name : {"a.PNG", "b.png", "c.Bmp", "d.TIFF", "e.tif", "f.JPEG", "g.jpg"}) {
    SCOPED_TRACE(name);
    EXPECT_TRUE(IsAcceptedPictureFile(name));
    WriteFileBytes(folder / name, png);  // a PNG whatever it is called
    EXPECT_EQ(MaxDifference(LoadPicture(folder / name), expected), 0);
  }
  for (const char* name : {"a.gif", "b.png.txt", "c", "d.jp", "e.tiff2"})
    EXPECT_FALSE(IsAcceptedPictureFile(name)) << name;
}

std::uint32_t Crc32(std::string_view bytes) {
  std::uint32_t crc = 0xFFFFFFFF;
  for (unsigned char b : bytes) {
    crc ^= b;
    for (int k = 0; k < 8; ++k) crc = crc & 1 ? (crc >> 1) ^ 0xEDB88320 : crc >> 1;
  }
  return ~crc;
}

// The PNG with its header's width and height replaced and the header's checksum made good.
std::string PngOfSize(std::string png, std::uint32_t width, std::uint32_t height) {
  auto put = [&](std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) png[at + i] = static_cast<char>(v >> (24 - 8 * i));
  };
  put(16, width);
  put(20, height);
  put(29, Crc32(std::string_view(png).substr(12, 17)));
  return png;
}

TEST(Picture, RefusesBrokenFilesNamingThem) {
  testing::ScratchFolder folder;
  const std::string png = ReadFileBytes(Picture("colours-interlaced.png"));
  const std::string jpg = ReadFileBytes(Picture("colours.jpg"));
  const std::string tif = ReadFileBytes(Picture("colours-lzw.tif"));
  std::string badCrc = png;
  badCrc[40] ^= 0x55;  // inside the image data
  // A text chunk whose CRC does not match, after the header chunk.
  std::string textCrc = png;
  textCrc.insert(33, std::string("\0\0\0\x0DtEXtComment\0hello\0\0\0\0", 25));
  // The entropy-coded data stops early, but the file still ends with the end-of-image marker.
  const std::size_t scan = jpg.find("\xFF\xDA");
  const std::string cutJpg = jpg.substr(0, scan + (jpg.size() - scan) / 3) + "\xFF\xD9";
  const struct {
    const char* name;
    std::string bytes;
  } cases[] = {
      {"empty.png", ""},
      {"gif.png", "GIF89a\x01\x00\x01\x00"},
      {"truncated.png", png.substr(0, png.size() / 2)},
      {"bad-chunk.png", badCrc},
      {"zero.png", PngOfSize(png, 0, 7)},
      {"gigantic.png", PngOfSize(png, 100000, 100000)},
      {"truncated.jpg", jpg.substr(0, jpg.size() / 2)},
      {"cut-before-marker.jpg", cutJpg},
      {"text-crc.png", textCrc},
      {"header-only.jpg", jpg.substr(0, 20)},
      {"truncated.tif", tif.substr(0, tif.size() / 3)},
      {"header-only.tif", tif.substr(0, 8)},
      {"picture.gif", png},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const auto path = folder / c.name;
    WriteFileBytes(path, c.bytes);
    try {
      LoadPicture(path);
      ADD_FAILURE() << "no error";
    } catch (const FileError& e) {
      EXPECT_NE(std::string(e.what()).find(c.name), std::string::npos) << e.what();
    }
  }
  // What is not a regular file is refused before it is read.
  std::filesystem::create_directory(folder / "folder.png");
  try {
    LoadPicture(folder / "folder.png");
    ADD_FAILURE() << "a folder was read";
  } catch (const FileError& e) {
    EXPECT_EQ(std::string(e.what()),
              PathToUtf8(folder / "folder.png") + " はファイルではありません");
  }
}

}  // namespace
}  // namespace tesnova
