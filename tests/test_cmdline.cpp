#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "koApp.h"
#include "ko_test.h"

namespace {
const char* kProgram = "C:\\Tools\\runmate.exe";

std::vector<std::string> Split(const char* line) {
  size_t size = koArgStorageSize(line, kProgram);
  int entries = koArgVectorSize(line);
  std::vector<char> storage(size);
  std::vector<char*> argv(entries);
  int argc = koSplitCommandLine(line, kProgram, storage.data(), size, argv.data(), entries);
  std::vector<std::string> out;
  for (int i = 0; i < argc; i++) out.push_back(argv[i]);
  return out;
}

using Args = std::vector<std::string>;
}  // namespace

TEST(CommandLine, ProgramPathIsArgumentZero) {
  EXPECT_EQ(Split(""), Args{kProgram});
  EXPECT_EQ(Split(nullptr), Args{kProgram});
  EXPECT_EQ(Split(" \t \x01 "), Args{kProgram});
}

TEST(CommandLine, BlanksSeparateAndLeaveNoEmptyArguments) {
  EXPECT_EQ(Split("a  b"), (Args{kProgram, "a", "b"}));
  EXPECT_EQ(Split("\t a \t\tb  "), (Args{kProgram, "a", "b"}));
  // Quotes inside an unquoted word are dropped and do not start quoting.
  EXPECT_EQ(Split("a\"b\"c \"d\""), (Args{kProgram, "abc", "d"}));
  EXPECT_EQ(Split("ab\"c d\""), (Args{kProgram, "abc", "d"}));
}

TEST(CommandLine, QuotedArguments) {
  EXPECT_EQ(Split("\"C:\\My Files\\a b.txt\""), (Args{kProgram, "C:\\My Files\\a b.txt"}));
  EXPECT_EQ(Split("\"\"\"hi\"\"\""), (Args{kProgram, "\"hi\""}));
  EXPECT_EQ(Split("\"\""), (Args{kProgram, ""}));
  EXPECT_EQ(Split("\"\" \"\""), (Args{kProgram, "", ""}));
  EXPECT_EQ(Split("\"a\"b"), (Args{kProgram, "a", "b"}));
  EXPECT_EQ(Split("\"open ended"), (Args{kProgram, "open ended"}));
  EXPECT_EQ(Split("x \"two words\" y"), (Args{kProgram, "x", "two words", "y"}));
}

TEST(CommandLine, DoubleByteCharactersStayWhole) {
  // 表 is 95 5C: the trail byte is not a separator or escape.
  EXPECT_EQ(Split("\"D:\\表\\a b\""), (Args{kProgram, "D:\\表\\a b"}));
  // A lead byte before the end of the text does not read past it.
  EXPECT_EQ(Split("\"\x95"), (Args{kProgram, "\x95"}));
}

TEST(CommandLine, HalfWidthKatakanaDoesNotSwallowTheQuote) {
  // ｱ (B1) and ﾟ (DF) are single bytes: the closing quote ends the argument.
  EXPECT_EQ(Split("\"C:\\ｱ\" next"), (Args{kProgram, "C:\\ｱ", "next"}));
  EXPECT_EQ(Split("\"ﾟ\"\"ﾟ\" x"), (Args{kProgram, "ﾟ\"ﾟ", "x"}));
  // Bytes that are no lead byte at all stand alone too.
  EXPECT_EQ(Split("\"\xA0\" \"\x80\" \"\xFD\""), (Args{kProgram, "\xA0", "\x80", "\xFD"}));
}

TEST(CommandLine, DenseArgumentsFitTheVectorAndStorage) {
  // Empty quoted arguments each followed by a word: the densest input.
  std::string line;
  for (int i = 0; i < 50; i++) line += "\"\"a ";
  Args got = Split(line.c_str());
  ASSERT_EQ(got.size(), 101u);
  EXPECT_EQ(got[1], "");
  EXPECT_EQ(got[2], "a");
  EXPECT_EQ(got[100], "a");
  // A too small vector is filled, never overrun.
  char storage[64];
  char* argv[3];
  EXPECT_EQ(koSplitCommandLine("a b c d", "p", storage, sizeof storage, argv, 3), 3);
  EXPECT_STREQ(argv[2], "b");
}
