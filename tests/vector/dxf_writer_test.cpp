#include "vector/dxf_writer.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "base/text_file.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

std::vector<std::string> Header() {
  return {"0",      "SECTION", "2",      "HEADER", "9",       "$ACADVER", "1",
          "AC1009", "0",       "ENDSEC", "0",      "SECTION", "2",        "ENTITIES"};
}

TEST(DxfWriter, WritesTheOnePolylineDocumentByteForByte) {
  testing::ScratchFolder dir;
  TDxfLines lines;
  AddDxfHeader(lines);
  AddDxfPolyline(TPointList{{0, 0}, {12.5f, 7.25f}}, "0", false, lines);
  AddDxfTrailer(lines);
  SaveDxfLines(lines, dir / "one.dxf");
  const std::string expected =
      "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n$"
      "ACADVER\r\n1\r\nAC1009\r\n0\r\nENDSEC\r\n0\r\nSECTION\r\n"
      "2\r\nENTITIES\r\n0\r\nPOLYLINE\r\n8\r\n0\r\n70\r\n0\r\n66\r\n1\r\n0\r\nVERTEX\r\n10\r\n0\r\n"
      "20\r\n0\r\n0\r\nVERTEX\r\n10\r\n12.5\r\n20\r\n7."
      "25\r\n0\r\nSEQEND\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n";
  EXPECT_EQ(ReadFileBytes(dir / "one.dxf"), expected);
  EXPECT_EQ(lines.Count(), 40u);
}

TEST(DxfWriter, EntityLayoutEdgeCases) {
  // No entities: the header frame followed directly by the trailer.
  TDxfLines empty;
  AddDxfHeader(empty);
  AddDxfTrailer(empty);
  auto expected = Header();
  expected.insert(expected.end(), {"0", "ENDSEC", "0", "EOF"});
  EXPECT_EQ(empty.Lines(), expected);

  // An empty point list still makes a complete entity.
  TDxfLines none;
  AddDxfPolyline(TPointList{}, "LAYER1", false, none);
  EXPECT_EQ(none.Lines(), (std::vector<std::string>{"0", "POLYLINE", "8", "LAYER1", "70", "0", "66",
                                                    "1", "0", "SEQEND"}));

  // The closed flag changes group 70 only; a repeated start point stays in the vertex list.
  TDxfLines closed;
  AddDxfPolyline(TPointList{{1, 2}, {-3.5f, 0.0001f}, {1, 2}}, "0", true, closed);
  EXPECT_EQ(
      closed.Lines(),
      (std::vector<std::string>{
          "0",  "POLYLINE", "8",  "0", "70", "1",      "66", "1",     "0",  "VERTEX",
          "10", "1",        "20", "2", "0",  "VERTEX", "10", "-3.5",  "20", "9.99999974737875E-5",
          "0",  "VERTEX",   "10", "1", "20", "2",      "0",  "SEQEND"}));
}

TEST(DxfWriter, UnwritableFileRaisesFileErrorNamingIt) {
  testing::ScratchFolder dir;
  TDxfLines lines;
  AddDxfHeader(lines);
  auto target = dir / "missing-folder" / "out.dxf";
  try {
    SaveDxfLines(lines, target);
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("out.dxf"), std::string::npos) << e.what();
  }
}

}  // namespace
}  // namespace tesnova
