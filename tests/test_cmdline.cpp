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

TEST(CommandLine, SplitsLikeTheSystem) {
  const struct { const char* line; Args args; } rows[] = {
      {"", {}}, {nullptr, {}}, {" \t \x01 ", {}},
      // Blanks separate and leave no empty arguments.
      {"a  b", {"a", "b"}}, {"\t a \t\tb  ", {"a", "b"}},
      // Quotes inside an unquoted word are dropped and do not start quoting.
      {"a\"b\"c \"d\"", {"abc", "d"}}, {"ab\"c d\"", {"abc", "d"}},
      {"\"C:\\My Files\\a b.txt\"", {"C:\\My Files\\a b.txt"}}, {"\"\"\"hi\"\"\"", {"\"hi\""}},
      {"\"\"", {""}}, {"\"\" \"\"", {"", ""}}, {"\"a\"b", {"a", "b"}},
      {"\"open ended", {"open ended"}}, {"x \"two words\" y", {"x", "two words", "y"}},
      // 表 is 95 5C: the trail byte is not a separator or escape; a lead
      // byte before the end of the text does not read past it.
      {"\"D:\\表\\a b\"", {"D:\\表\\a b"}}, {"\"\x95", {"\x95"}},
      // ｱ (B1) and ﾟ (DF) are single bytes: the closing quote ends the
      // argument. Bytes that are no lead byte at all stand alone too.
      {"\"C:\\ｱ\" next", {"C:\\ｱ", "next"}}, {"\"ﾟ\"\"ﾟ\" x", {"ﾟ\"ﾟ", "x"}},
      {"\"\xA0\" \"\x80\" \"\xFD\"", {"\xA0", "\x80", "\xFD"}},
  };
  for (const auto& r : rows) {
    Args want = r.args;
    want.insert(want.begin(), kProgram);  // the program path is argument zero
    EXPECT_EQ(Split(r.line), want) << Hex(r.line ? r.line : "(null)");
  }
}

TEST(CommandLine, DenseArgumentsFitTheVectorAndStorage) {
  // Empty quoted arguments each followed by a word: the densest input.
  std::string line;
  for (int i = 0; i < 50; i++) line += "\"\"a ";
  Args got = Split(line.c_str());
  ASSERT_EQ(got.size(), 101u);
  EXPECT_EQ(got[1] + got[99] + "/" + got[100], "/a");
  // A too small vector is filled, never overrun.
  char storage[64];
  char* argv[3];
  EXPECT_EQ(koSplitCommandLine("a b c d", "p", storage, sizeof storage, argv, 3), 3);
  EXPECT_STREQ(argv[2], "b");
}
