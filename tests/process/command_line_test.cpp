#include "process/command_line.h"

#include <gtest/gtest.h>

namespace tesnova {
namespace {

using Args = std::vector<std::string>;

TEST(CommandLine, QuotesTheProgramAndPassesTheArgumentsAsGiven) {
  EXPECT_EQ(BuildCommandLine("C:\\Program Files\\p.exe", ""), "\"C:\\Program Files\\p.exe\" ");
  EXPECT_EQ(BuildCommandLine("p", "a \"b c\""), "\"p\" a \"b c\"");
}

TEST(CommandLine, SplitsAsAWindowsProgramDoes) {
  struct Case {
    const char* line;
    Args args;
  } cases[] = {
      {"\"C:\\Program Files\\p.exe\" ", {"C:\\Program Files\\p.exe"}},
      // An unquoted path with a blank falls apart; a quoted one stays whole.
      {"\"p\" C:\\My Work\\t.bmp -b dxf", {"p", "C:\\My", "Work\\t.bmp", "-b", "dxf"}},
      {"\"p\" -i \"C:\\My Work\\t.bmp\" -o \"x y.svg\"",
       {"p", "-i", "C:\\My Work\\t.bmp", "-o", "x y.svg"}},
      {"\"p\"  a\t\tb  ", {"p", "a", "b"}},
      // The program: up to the next quote, no escapes, the next argument may follow at once.
      {"\"C:\\a\\\"x y", {"C:\\a\\", "x", "y"}},
      {"plain.exe a", {"plain.exe", "a"}},
      // Backslashes are literal unless they stand before a quote.
      {"\"p\" C:\\dir\\ a\\\\b", {"p", "C:\\dir\\", "a\\\\b"}},
      {"\"p\" \"C:\\dir\\\\\" next", {"p", "C:\\dir\\", "next"}},
      {"\"p\" a\\\"b", {"p", "a\"b"}},
      {"\"p\" a\\\\\\\"b", {"p", "a\\\"b"}},
      {"\"p\" a\\\\\"b c\"", {"p", "a\\b c"}},
      // Quotes group anywhere in an argument; an empty pair is an empty argument.
      {"\"p\" a\"b c\"d", {"p", "ab cd"}},
      {"\"p\" \"\" x", {"p", "", "x"}},
      // Doubled quotes inside a group: a literal quote, and the group ends.
      {"\"p\" \"a\"\"b c\"", {"p", "a\"b", "c"}},
      {"\"p\" \"a\"\"\"b\"", {"p", "a\"b"}},
      {"\"p\" \"unterminated group", {"p", "unterminated group"}},
      {"\"p\" 日本語\\ファイル.bmp", {"p", "日本語\\ファイル.bmp"}},
  };
  for (const Case& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << c.line;
}

TEST(CommandLine, WorkFolderIsTheProgramsFolderUnlessGiven) {
  struct Case {
    const char* program;
    const char* given;
    const char* folder;
  } cases[] = {
      {"C:\\Program Files\\Potrace\\potrace.exe", "", "C:\\Program Files\\Potrace"},
      {"C:\\Program Files\\Potrace\\potrace.exe", "D:\\work", "D:\\work"},
      {"/usr/bin/potrace", "", "/usr/bin"},
      {"C:\\potrace.exe", "", "C:\\"},
      {"/potrace", "", "/"},
      {"potrace.exe", "", ""},
      {"C:potrace.exe", "", "C:"},
      {"tools/bin\\p.exe", "", "tools/bin"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(WorkFolderFor(c.program, c.given), c.folder) << c.program << " | " << c.given;
}

}  // namespace
}  // namespace tesnova
