#include "vector/svg_to_dxf.h"

#include <gtest/gtest.h>

#include <clocale>
#include <fstream>
#include <string>

#include "base/error.h"
#include "base/text_file.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

const std::string kSvgStart =
    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
    "<svg version=\"1.1\" xmlns=\"http://www.w3.org/2000/svg\" width=\"200\" height=\"100\">\n";

// The polylines of a document as "layer flag: x,y x,y ..." texts, checking the layout on the way.
std::vector<std::string> Polylines(const TDxfLines& dxf) {
  auto lines = dxf.Lines();
  std::vector<std::string> out;
  EXPECT_GE(lines.size(), 18u);
  if (lines.size() < 18) return out;
  size_t i = 14;
  while (i + 4 < lines.size() && lines[i + 1] == "POLYLINE") {
    EXPECT_EQ(lines[i + 4], "70");
    std::string text = lines[i + 3] + " " + lines[i + 5] + ":";
    i += 8;
    while (lines[i + 1] == "VERTEX") {
      text += " " + lines[i + 3] + "," + lines[i + 5];
      i += 6;
    }
    EXPECT_EQ(lines[i + 1], "SEQEND");
    i += 2;
    out.push_back(text);
  }
  EXPECT_EQ(std::vector<std::string>(lines.begin() + i, lines.end()),
            (std::vector<std::string>{"0", "ENDSEC", "0", "EOF"}));
  return out;
}

std::vector<std::string> Convert(const std::string& svg, int divisions = 2) {
  TDxfLines lines;
  ConvertSVGTextToDXF(svg, divisions, lines);
  return Polylines(lines);
}

TEST(SvgToDxf, PathLinesBecomeMovedAndFlippedPolylines) {
  struct Case {
    const char* name;
    std::string svg;
    std::vector<std::string> polylines;
  };
  const std::string path = "<path d=\"M10 20 L30 40 Z \" fill=\"#000000\"";
  const Case cases[] = {
      {"translate and flip",
       kSvgStart + path + " transform=\"translate(5,6)\"/>\n</svg>\n",
       {"0 0: 15,74 35,54 15,74"}},
      {"no transform: no flip", kSvgStart + path + "/>\n", {"0 0: 10,20 30,40 10,20"}},
      {"translate without a comma",
       kSvgStart + path + " transform=\"translate(5 6)\"/>\n",
       {"0 0: 10,20 30,40 10,20"}},
      {"comma as first character",
       kSvgStart + path + " transform=\"translate(,6)\"/>\n",
       {"0 0: 10,20 30,40 10,20"}},
      {"translate that is not a number counts 0",
       kSvgStart + path + " transform=\"translate(x,6)\"/>\n",
       {"0 0: 10,74 30,54 10,74"}},
      {"fractional translate and height, full stop",
       "<svg width=\"20\" height=\"100.5\">\n" + path + " transform=\"translate(0.25,-0.5)\"/>\n",
       {"0 0: 10.25,81 30.25,61 10.25,81"}},
      {"leading blanks are skipped",
       kSvgStart + " " + path + " transform=\"translate(5,6)\"/>\n",
       {}},
      {"only a lower-case z is skipped",
       kSvgStart + "<path d=\"M10 20 L30 40 z\" transform=\"translate(5,6)\"/>\n",
       {}},
      {"no path lines", kSvgStart + "</svg>\n", {}},
      {"height after the paths: earlier paths flip about 0",
       "<svg>\n" + path + " transform=\"translate(0,0)\"/>\n<rect height=\"50\"/>\n" + path +
           " transform=\"translate(0,0)\"/>\n",
       {"0 0: 10,-20 30,-40 10,-20", "0 0: 10,30 30,10 10,30"}},
      {"height whose quote closes on another line stays 0",
       "<svg height=\"100\n\">\n" + path + " transform=\"translate(0,0)\"/>\n<svg height=\"7\">\n",
       {"0 0: 10,-20 30,-40 10,-20"}},
      {"height that is not a number is 0",
       "<svg height=\"100,5\">\n" + path + " transform=\"translate(0,0)\"/>\n",
       {"0 0: 10,-20 30,-40 10,-20"}},
      {"every subpath is a polyline of its own (holes)",
       kSvgStart +
           "<path d=\"M0 0 L10 0 L10 10 Z M2 2 L4 2 L4 4 Z M6 6 L8 6 L8 8 Z \" fill=\"#000000\" "
           "transform=\"translate(1,1)\"/>\n",
       {"0 0: 1,99 11,99 11,89 1,99", "0 0: 3,97 5,97 5,95 3,97", "0 0: 7,93 9,93 9,91 7,93"}},
      {"relative subpaths after Z",
       kSvgStart + "<path d=\"m1 1 l2 0 0 2 z m1 1 l1 0 Z\"/>\n",
       {"0 0: 1,1 3,1 3,3 1,1", "0 0: 2,2 3,2 2,2"}},
      {"a lone moveto draws nothing; data after the last Z is not read",
       kSvgStart + "<path d=\"M5 5 M0 0 L1 0 Z M7 7 L8 8\"/>\n",
       {"0 0: 0,0 1,0 0,0"}},
      {"curves flattened with the divisions",
       kSvgStart + "<path d=\"M0 0 C0 10 10 10 10 0 Z\"/>\n",
       {"0 0: 0,0 5,7.5 10,0 0,0"}},
      {"CR line ends and CR LF",
       "<svg height=\"10\">\r" + path + " transform=\"translate(0,0)\"/>\r\n",
       {"0 0: 10,-10 30,-30 10,-10"}},
      {"CR alone for every line end",
       "<svg height=\"10\">\r" + path + " transform=\"translate(0,0)\"/>\r\r" + path +
           " transform=\"translate(1,0)\"/>\r",
       {"0 0: 10,-10 30,-30 10,-10", "0 0: 11,-10 31,-30 11,-10"}},
  };
  for (const auto& c : cases) EXPECT_EQ(Convert(c.svg), c.polylines) << c.name;
}

TEST(SvgToDxf, MalformedNumberInPathDataRaises) {
  EXPECT_THROW(Convert(kSvgStart + "<path d=\"M10 20 L30 4,0.0.0 Z\"/>\n"), ConversionError);
  EXPECT_THROW(Convert(kSvgStart + "<path d=\"M10 20 L30 Z\"/>\n"), ConversionError);
}

TEST(SvgToDxf, HugeDivisionsAreCappedInsteadOfExhaustingMemory) {
  TDxfLines lines;
  ConvertSVGTextToDXF(kSvgStart + "<path d=\"M0 0 C0 10 10 10 10 0 Z\"/>\n", 2000000000, lines);
  // Header, one entity with the moveto, the capped curve and the closing point, trailer.
  EXPECT_EQ(lines.Lines().size(), 14u + 8u + 6u * (1 + kMaxDivisions + 1) + 2u + 4u);
}

TEST(SvgToDxf, FilesMissingMalformedAndWritten) {
  testing::ScratchFolder dir;
  auto svg = dir / "in.svg";
  auto dxf = dir / "out.dxf";
  std::string message;
  auto sink = [&message](std::string_view text) { message = text; };

  // Missing SVG: the message names it, nothing is written.
  EXPECT_FALSE(ConvertSVGToDXF(svg, dxf, 2, sink));
  EXPECT_EQ(message, PathToUtf8(svg) + "\nが、見つかりません.");
  EXPECT_FALSE(std::filesystem::exists(dxf));

  // A number error leaves no DXF file behind.
  WriteFileBytes(svg, kSvgStart + "<path d=\"M1 2 L3 x Z\"/>\n");
  EXPECT_THROW(ConvertSVGToDXF(svg, dxf, 2, sink), ConversionError);
  EXPECT_FALSE(std::filesystem::exists(dxf));

  // UTF-16 with a byte-order mark; an existing DXF is replaced.
  WriteFileBytes(dxf, "old");
  std::string utf8 = kSvgStart + "<path d=\"M1 2 L3 4 Z \" transform=\"translate(0,0)\"/>\n";
  std::string utf16 = "\xFF\xFE";
  for (char c : utf8) utf16 += std::string{c, '\0'};
  WriteFileBytes(svg, utf16);
  EXPECT_TRUE(ConvertSVGToDXF(svg, dxf, 2, sink));
  std::string bytes = ReadFileBytes(dxf);
  EXPECT_NE(bytes.find("VERTEX\r\n10\r\n1\r\n20\r\n98\r\n"), std::string::npos);
  EXPECT_EQ(bytes.substr(bytes.size() - 5), "EOF\r\n");

  // A document of several chunks reaches the file whole, as it is built in memory.
  std::string many = kSvgStart;
  for (int i = 0; i < 12000; ++i)
    many += "<path d=\"M" + std::to_string(i) +
            " 0.5 C1 2 3 4 5 6 L7 8 Z\" transform=\"translate(" + std::to_string(i % 7) +
            ",3)\"/>\n";
  WriteFileBytes(svg, many);
  EXPECT_TRUE(ConvertSVGToDXF(svg, dxf, 2, sink));
  TDxfLines inMemory;
  ConvertSVGTextToDXF(many, 2, inMemory);
  ASSERT_GT(inMemory.Text().size(), std::size_t{2} << 20);  // chunks of a megabyte
  EXPECT_TRUE(ReadFileBytes(dxf) == inMemory.Text());

  // The empty document: 18 lines.
  WriteFileBytes(svg, "");
  EXPECT_TRUE(ConvertSVGToDXF(svg, dxf, 2, sink));
  EXPECT_EQ(SplitLines(ReadFileBytes(dxf)).size(), 18u);
}

TEST(SvgToDxf, RealTraceTruncatedOrBinaryInputGivesADocumentOrANumberError) {
  // The bundled sample: a real VTracer trace of a scanned drawing, and its bitmap.
  auto demo = (testing::TestData("x").parent_path() / ".." / ".." / "demo").lexically_normal();
  std::string svg = ReadFileBytes(demo / "scan.svg");
  std::string png = ReadFileBytes(demo / "scan.png");
  const std::string inputs[] = {svg, svg.substr(0, svg.size() / 2),
                                svg.substr(0, svg.find("<path") + 40), png, png.substr(0, 1000)};
  for (const auto& input : inputs) {
    TDxfLines lines;
    try {
      ConvertSVGTextToDXF(input, 2, lines);
    } catch (const ConversionError&) {
      continue;
    }
    auto all = lines.Lines();
    ASSERT_GE(all.size(), 18u);
    EXPECT_EQ(all.back(), "EOF");
  }
  // The whole trace has holes: more polylines than path lines.
  TDxfLines lines;
  ConvertSVGTextToDXF(svg, 2, lines);
  size_t paths = 0;
  for (size_t at = svg.find("\n<path d="); at != std::string::npos;
       at = svg.find("\n<path d=", at + 1))
    ++paths;
  EXPECT_GT(Polylines(lines).size(), paths);
}

#ifdef _WIN32
TEST(SvgToDxf, FileStillOpenForWritingIsNotRead) {
  testing::ScratchFolder dir;
  auto svg = dir / "busy.svg";
  std::ofstream writer(svg, std::ios::binary);
  writer << kSvgStart << "<path d=\"M1 2 L3 4 Z\"/>\n";
  writer.flush();
  try {
    ConvertSVGToDXF(svg, dir / "out.dxf", 2, nullptr);
    ADD_FAILURE() << "read while being written";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("busy.svg"), std::string::npos) << e.what();
  }
  EXPECT_FALSE(std::filesystem::exists(dir / "out.dxf"));
  writer.close();
  EXPECT_TRUE(ConvertSVGToDXF(svg, dir / "out.dxf", 2, nullptr));
}
#else
TEST(SvgToDxf, HugeFileIsRefusedNamingIt) {
  testing::ScratchFolder dir;
  auto svg = dir / "huge.svg";
  WriteFileBytes(svg, "x");
  std::filesystem::resize_file(svg, kMaxSvgFileBytes + 1);  // sparse: costs no disk
  try {
    ConvertSVGToDXF(svg, dir / "out.dxf", 2, nullptr);
    FAIL();
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("huge.svg"), std::string::npos);
  }
}
#endif

// Whatever the regional number format, the numbers are written and read with a full stop.
TEST(SvgToDxf, DecimalSeparatorIsAlwaysAFullStop) {
  const char* names[] = {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "German_Germany.1252",
                         "de-DE"};
  std::string saved = std::setlocale(LC_ALL, nullptr);
  const char* used = nullptr;
  for (const char* name : names)
    if (std::setlocale(LC_ALL, name)) {
      used = name;
      break;
    }
  if (!used) GTEST_SKIP() << "no locale with a decimal comma here";
  auto polylines = Convert(
      "<svg height=\"100.5\">\n<path d=\"M0.5 1.25 L2 2 Z\" transform=\"translate(0.5,1)\"/>\n");
  std::setlocale(LC_ALL, saved.c_str());
  EXPECT_EQ(polylines, (std::vector<std::string>{"0 0: 1,98.25 2.5,97.5 1,98.25"})) << used;
}

}  // namespace
}  // namespace tesnova
