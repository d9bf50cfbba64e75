#include "vector/dxf_check.h"

#include <gtest/gtest.h>

#include <string>

namespace tesnova {
namespace {

TEST(DxfCheck, SummarisesCompletenessEntitiesAndUnits) {
  const std::string header = "0\nSECTION\n2\nHEADER\n9\n$INSUNITS\n70\n4\n0\nENDSEC\n";
  const std::string entities =
      "0\nSECTION\n2\nENTITIES\n0\nLINE\n8\n0\n0\nPOLYLINE\n0\nVERTEX\n0\nVERTEX\n0\nSEQEND\n"
      "0\nENDSEC\n";
  const std::string end = "0\nEOF\n";
  const struct {
    const char* name;
    std::string text;
    bool complete;
    std::size_t entities;
    int insertUnits;
  } cases[] = {
      {"whole, millimetres", header + entities + end, true, 2, 4},
      {"cut short", header + entities, false, 2, 4},
      {"ends inside a group", header + entities + "0\n", false, 2, 4},
      {"no header", entities + end, true, 2, 0},
      {"CR line ends, padded",
       "  0\rSECTION\r  2\rHEADER\r  9\r$INSUNITS\r 70\r     6\r  0\rENDSEC\r" + entities + end,
       true, 2, 6},
      {"units outside the header", entities + "9\n$INSUNITS\n70\n4\n" + end, true, 2, 0},
      {"CR LF, inches",
       "0\r\nSECTION\r\n2\r\nHEADER\r\n9\r\n$INSUNITS\r\n 70\r\n     "
       "1\r\n0\r\nENDSEC\r\n0\r\nEOF\r\n",
       true, 0, 1},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const DxfSummary summary = SummariseDxf(c.text);
    EXPECT_EQ(summary.complete, c.complete);
    EXPECT_EQ(summary.entities, c.entities);
    EXPECT_EQ(summary.insertUnits, c.insertUnits);
  }
}

}  // namespace
}  // namespace tesnova
