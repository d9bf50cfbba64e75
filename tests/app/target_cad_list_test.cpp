#include "app/target_cad_list.h"

#include <gtest/gtest.h>

#include "base/text_file.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

using Items = std::vector<std::string>;

class TargetCadListTest : public ::testing::Test {
 protected:
  std::filesystem::path file() const { return scratch / kTargetCadListFile; }
  std::string Bytes() const { return ReadFileBytes(file()); }
  TargetCadList Loaded(const std::string& bytes) {
    WriteFileBytes(file(), bytes);
    TargetCadList list(file());
    EXPECT_TRUE(list.Load());
    return list;
  }
  testing::ScratchFolder scratch;
};

TEST_F(TargetCadListTest, SplitsAtTheFirstTab) {
  EXPECT_EQ(SplitTargetCadEntry("ZWCAD\tZWCAD.Application"),
            std::make_pair(std::string("ZWCAD"), std::string("ZWCAD.Application")));
  EXPECT_EQ(SplitTargetCadEntry("a\tb\tc"), std::make_pair(std::string("a"), std::string("b\tc")));
  EXPECT_EQ(SplitTargetCadEntry("NoTab"), std::make_pair(std::string(), std::string("NoTab")));
}

TEST_F(TargetCadListTest, MissingFileLeavesTheListAndTheFirstChangeCreatesIt) {
  TargetCadList list(file());
  EXPECT_FALSE(list.Load());
  EXPECT_TRUE(list.Items().empty());
  EXPECT_FALSE(list.Delete());
  EXPECT_FALSE(list.Change("x", "y"));
  EXPECT_FALSE(std::filesystem::exists(file()));
  // A new list is UTF-16LE with its mark: it holds any name.
  list.Add("José 図面", "Zumen.Application");
  EXPECT_EQ(Bytes(), EncodeText("José 図面\tZumen.Application\r\n", TextEncoding::kUtf16Le));
}

TEST_F(TargetCadListTest, LoadsSortedWithoutRegardToCaseAndAnyLineEnds) {
  TargetCadList list = Loaded("zwcad\tZW.App\nAutoCAD\tAutoCAD.Application\r\nbcad\tB.App\r\r\n");
  EXPECT_EQ(list.Items(),
            (Items{"", "AutoCAD\tAutoCAD.Application", "bcad\tB.App", "zwcad\tZW.App"}));
  EXPECT_EQ(list.Selected(), -1);
}

TEST_F(TargetCadListTest, PreselectsTheFirstEntryHoldingTabAndProgId) {
  TargetCadList list = Loaded(
      "Z\tBricscadApp.AcadApplication\r\n"
      "B24\tBricscadApp.AcadApplication.24.0\r\n"
      "Other\tbricscadapp.acadapplication\r\n");
  EXPECT_EQ(list.Preselect("BricscadApp.AcadApplication"), 0);
  EXPECT_EQ(list.Items()[0], "B24\tBricscadApp.AcadApplication.24.0");
  EXPECT_EQ(list.Preselect("Missing.App"), -1);
  EXPECT_EQ(list.Preselect("AcadApplication"), -1);  // must follow the tab directly
}

TEST_F(TargetCadListTest, AddSortsSelectsAndSavesTheWholeList) {
  TargetCadList list = Loaded("zeta\tZ\r\nalpha\tA\r\n");
  list.Add("Mid", "M.App");
  EXPECT_EQ(list.Items(), (Items{"alpha\tA", "Mid\tM.App", "zeta\tZ"}));
  EXPECT_EQ(list.Selected(), 1);
  EXPECT_EQ(Bytes(), "alpha\tA\r\nMid\tM.App\r\nzeta\tZ\r\n");
  list.Add("MID", "M.APP");  // a duplicate regardless of case: the first equal one is selected
  EXPECT_EQ(list.Items().size(), 4u);
  EXPECT_EQ(list.Selected(), 1);
}

TEST_F(TargetCadListTest, DeleteSelectsTheFollowingElseThePreviousEntry) {
  TargetCadList list = Loaded("a\t1\r\nb\t2\r\nc\t3\r\n");
  list.Select(1);
  ASSERT_TRUE(list.Delete());
  EXPECT_EQ(list.Items(), (Items{"a\t1", "c\t3"}));
  EXPECT_EQ(list.Selected(), 1);
  ASSERT_TRUE(list.Delete());
  EXPECT_EQ(list.Selected(), 0);
  ASSERT_TRUE(list.Delete());
  EXPECT_TRUE(list.Items().empty());
  EXPECT_EQ(list.Selected(), -1);
  EXPECT_EQ(Bytes(), "");
}

TEST_F(TargetCadListTest, ChangeReplacesInPlaceWithoutSorting) {
  TargetCadList list = Loaded("a\t1\r\nb\t2\r\n");
  list.Select(0);
  ASSERT_TRUE(list.Change("z", "9"));
  EXPECT_EQ(list.Items(), (Items{"z\t9", "b\t2"}));
  EXPECT_EQ(list.Selected(), 0);
  EXPECT_EQ(Bytes(), "z\t9\r\nb\t2\r\n");
}

TEST_F(TargetCadListTest, SavesInTheEncodingItWasReadIn) {
  struct Case {
    std::string bom;    // none for UTF-8 without a mark
    std::string body;   // "あ\tX\r\n" in the file's encoding
    std::string added;  // the file after adding "い\tY"
  } cases[] = {
      {"\xEF\xBB\xBF", "\xE3\x81\x82\tX\r\n", "\xE3\x81\x82\tX\r\n\xE3\x81\x84\tY\r\n"},
      // UTF-8 without a mark, as current editors save it, stays so.
      {"", "\xE3\x81\x82\tX\r\n", "\xE3\x81\x82\tX\r\n\xE3\x81\x84\tY\r\n"},
      {"\xFF\xFE", std::string("\x42\x30\t\0X\0\r\0\n\0", 10),
       std::string("\x42\x30\t\0X\0\r\0\n\0\x44\x30\t\0Y\0\r\0\n\0", 20)},
      {"\xFE\xFF", std::string("\x30\x42\0\t\0X\0\r\0\n", 10),
       std::string("\x30\x42\0\t\0X\0\r\0\n\x30\x44\0\t\0Y\0\r\0\n", 20)},
  };
  for (const Case& c : cases) {
    TargetCadList list = Loaded(c.bom + c.body);
    EXPECT_EQ(list.Items(), (Items{"あ\tX"}));
    list.Add("い", "Y");
    EXPECT_EQ(Bytes(), c.bom + c.added);
  }
}

TEST_F(TargetCadListTest, AnAnsiListThatCannotHoldANameKeepsItAnyway) {
  TargetCadList list = Loaded("ZWCAD\tZWCAD.Application\r\n");
  EXPECT_EQ(list.Encoding(), TextEncoding::kAnsi);
  list.Add("José", "J.App");
  EXPECT_EQ(ReadTextLines(file()), (Items{"José\tJ.App", "ZWCAD\tZWCAD.Application"}));
  TargetCadList reread(file());
  ASSERT_TRUE(reread.Load());
  EXPECT_EQ(reread.Items(), list.Items());
}

}  // namespace
}  // namespace tesnova
