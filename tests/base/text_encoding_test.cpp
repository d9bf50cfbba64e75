#include "base/text_encoding.h"

#include <gtest/gtest.h>

#include "base/text_file.h"

namespace tesnova {
namespace {

TEST(TextEncoding, TellsTheEncodingFromTheBytes) {
  struct Case {
    std::string bytes;
    TextEncoding encoding;
  } cases[] = {
      {"", TextEncoding::kAnsi},
      {"plain ASCII\r\n", TextEncoding::kAnsi},
      {"\xEF\xBB\xBF\xE9\xAB\x98", TextEncoding::kUtf8Bom},
      {"\xFF\xFEh\0", TextEncoding::kUtf16Le},
      {"\xFE\xFF\0h", TextEncoding::kUtf16Be},
      // UTF-8 without a mark, as current editors save it: 説明書, José.
      {"\xE8\xAA\xAC\xE6\x98\x8E\xE6\x9B\xB8\r\n", TextEncoding::kUtf8},
      {"Jos\xC3\xA9", TextEncoding::kUtf8},
      // Code page 932 (説明書) is not UTF-8; neither are cut, overlong or surrogate forms.
      {"\x90\xE0\x96\xBE\x8F\x91", TextEncoding::kAnsi},
      {"\xE8\xAA", TextEncoding::kAnsi},
      {"\xC0\xAF", TextEncoding::kAnsi},
      {"\xED\xA0\x80", TextEncoding::kAnsi},
      {"\xF4\x90\x80\x80", TextEncoding::kAnsi},
  };
  for (const Case& c : cases)
    EXPECT_EQ(DetectTextEncoding(c.bytes), c.encoding) << testing::PrintToString(c.bytes);
}

TEST(TextEncoding, EncodesAndDecodesEveryCharacterBackUnchanged) {
  // A name with characters of several scripts and one beyond the basic plane.
  const std::string text = "José 図面\t\xF0\x9F\x98\x80\r\n";
  for (TextEncoding encoding : {TextEncoding::kUtf8, TextEncoding::kUtf8Bom, TextEncoding::kUtf16Le,
                                TextEncoding::kUtf16Be}) {
    std::string bytes = EncodeText(text, encoding);
    EXPECT_EQ(DetectTextEncoding(bytes), encoding) << static_cast<int>(encoding);
    EXPECT_EQ(DecodeTextAs(bytes, encoding), text) << static_cast<int>(encoding);
    EXPECT_EQ(DecodeText(bytes), text) << static_cast<int>(encoding);
  }
  EXPECT_EQ(EncodeText("A", TextEncoding::kUtf16Le), std::string("\xFF\xFE"
                                                                 "A\0",
                                                                 4));
  EXPECT_EQ(EncodeText("A", TextEncoding::kUtf16Be), std::string("\xFE\xFF\0A", 4));
}

}  // namespace
}  // namespace tesnova
