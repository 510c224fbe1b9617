#include <gtest/gtest.h>
#include <string.h>
#include "gosub.h"
#include "koApp.h"
#include "ko_test.h"

namespace {
using Args = std::vector<std::string>;
const char* kProgram = "C:\\Tools\\runmate.exe";

Args Split(const char* line) {
  size_t size = koArgStorageSize(line, kProgram);
  int entries = koArgVectorSize(line);
  std::vector<char> storage(size);
  std::vector<char*> argv(entries);
  int argc = koSplitCommandLine(line, kProgram, storage.data(), size, argv.data(), entries);
  return Args(argv.begin(), argv.begin() + argc);
}
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
      // ｱ (B1), ﾟ (DF) and bytes that are no lead byte at all stand alone.
      {"\"C:\\ｱ\" next", {"C:\\ｱ", "next"}}, {"\"ﾟ\"\"ﾟ\" x", {"ﾟ\"ﾟ", "x"}},
      {"\"\xA0\" \"\x80\" \"\xFD\"", {"\xA0", "\x80", "\xFD"}}};
  for (const auto& r : rows) {
    Args want = r.args;
    want.insert(want.begin(), kProgram);  // the program path is argument zero
    EXPECT_EQ(Split(r.line), want) << Hex(r.line ? r.line : "(null)");
  }
  // A too small vector is filled, never overrun.
  char storage[64], *argv[3];
  EXPECT_TRUE(koSplitCommandLine("a b c d", "p", storage, sizeof storage, argv, 3) == 3 && !strcmp(argv[2], "b"));
}

TEST(CommandLine, TemplateTakesThePathAtTheFirstPlaceholderOnly) {
  const std::string longTmpl = std::string(1500, 'x') + " \"%1\"", longPath(259, 'p');
  const struct { const char *tmpl, *path; bool ok; std::string expected; } rows[] = {
      {"\"C:\\ed.exe\"  \"%1\"", "D:\\My Files\\表 ソ.txt", true, "\"C:\\ed.exe\"  \"D:\\My Files\\表 ソ.txt\""},
      {"cmd /c type %1 > %1.bak", "a.txt", true, "cmd /c type a.txt > %1.bak"},
      {"notepad.exe", "C:\\a b.txt", true, "notepad.exe \"C:\\a b.txt\""},  // appended
      {"", "x", false, ""}, {nullptr, "x", false, ""},
      {longTmpl.c_str(), longPath.c_str(), true, std::string(1500, 'x') + " \"" + longPath + "\""}};
  for (const auto& r : rows) {
    std::string out = "stale";
    EXPECT_EQ(BuildCommandLine(r.tmpl, r.path, out) ? out : "failed " + out, r.ok ? r.expected : "failed ");
  }
}
