#include "base/text_file.h"

#include <gtest/gtest.h>

#include "base/error.h"
#include "support/test_paths.h"

namespace tesnova {
namespace {

TEST(TextFile, SplitsAtEveryKindOfLineEnd) {
  struct Case {
    std::string text;
    std::vector<std::string> lines;
  };
  const Case cases[] = {
      {"", {}},
      {"a", {"a"}},
      {"a\r\nb\r\n", {"a", "b"}},
      {"a\nb\rc\r\n\r\nd", {"a", "b", "c", "", "d"}},
      {"\n", {""}},
  };
  for (const auto& c : cases) EXPECT_EQ(SplitLines(c.text), c.lines) << c.text;
}

TEST(TextFile, ByteOrderMarkSelectsTheEncoding) {
  EXPECT_EQ(DecodeText("\xEF\xBB\xBFh\xE9\xAB\x98"), "h\xE9\xAB\x98");            // UTF-8 高
  EXPECT_EQ(DecodeText(std::string("\xFF\xFEh\0\xD8\x9A", 6)), "h\xE9\xAB\x98");  // UTF-16LE
  EXPECT_EQ(DecodeText(std::string("\xFE\xFF\0h\x9A\xD8", 6)), "h\xE9\xAB\x98");  // UTF-16BE
  EXPECT_EQ(DecodeText(std::string("\xFF\xFE\x3D\xD8\x00\xDE", 6)),
            "\xF0\x9F\x98\x80");  // surrogates
  EXPECT_EQ(DecodeText("plain"), "plain");
  // Without a mark: valid UTF-8 with non-ASCII bytes is UTF-8, else the ANSI code page (932
  // on a Japanese system).
  EXPECT_EQ(DecodeText("\xE8\xAA\xAC\xE6\x98\x8E"), "説明");
  EXPECT_EQ(DecodeText("\x90\xE0\x96\xBE"), "説明");
}

TEST(TextFile, DecodedViewCopiesOnlyWhatNeedsDecoding) {
  std::string decoded;
  const std::string ascii = "plain <svg>\r\n";
  EXPECT_EQ(DecodeTextView(ascii, decoded).data(), ascii.data());
  const std::string utf8 = "\xEF\xBB\xBFh\xE9\xAB\x98";
  EXPECT_EQ(DecodeTextView(utf8, decoded).data(), utf8.data() + 3);
  EXPECT_TRUE(decoded.empty());
  for (const std::string& bytes : {std::string("\xFF\xFEh\0\xD8\x9A", 6), std::string("h\xE9")}) {
    std::string storage;
    const std::string_view view = DecodeTextView(bytes, storage);
    EXPECT_EQ(view, DecodeText(bytes));
    EXPECT_EQ(view.data(), storage.data());
  }
}

TEST(TextFile, WritesCrLfAfterEveryLineAndReadsBack) {
  testing::ScratchFolder dir;
  auto file = dir / "lines.txt";
  WriteTextLines(file, {"0", "SECTION", ""});
  EXPECT_EQ(ReadFileBytes(file), "0\r\nSECTION\r\n\r\n");
  EXPECT_EQ(ReadTextLines(file), (std::vector<std::string>{"0", "SECTION", ""}));
}

TEST(TextFile, ErrorsNameTheFile) {
  testing::ScratchFolder dir;
  auto missing = dir / "missing.svg";
  try {
    ReadFileBytes(missing);
    FAIL() << "no error";
  } catch (const FileError& e) {
    EXPECT_NE(std::string(e.what()).find("missing.svg"), std::string::npos);
  }
  EXPECT_THROW(WriteTextLines(dir / "no-such-folder" / "x.dxf", {"EOF"}), FileError);
}

TEST(TextFile, Utf8PathsRoundTrip) {
  testing::ScratchFolder dir;
  auto file = dir.path() / PathFromUtf8("図面 1.txt");
  WriteFileBytes(file, "x");
  EXPECT_EQ(ReadFileBytes(PathFromUtf8(PathToUtf8(file))), "x");
}

}  // namespace
}  // namespace tesnova
