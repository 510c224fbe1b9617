#include <gtest/gtest.h>
#include <stdio.h>
#include <algorithm>
#include <string.h>
#include "gosub.h"
#include "koApp.h"
#include "koJString.h"
#include "koObject.h"
#include "koUtl1.h"
#include "ko_test.h"

TEST(JString, CharactersGrowthAndPutOut) {
  EXPECT_EQ(koJChar1(0x81) * 100 + koJChar1(0xA1) * 10 + koJChar1('a'), 210);
  EXPECT_EQ(koJLength("a\x82"), 2) << "a lone lead byte counts as one";
  JCHAR el[16];
  char back[16], out[8];
  EXPECT_EQ(koB2Jstr(el, "あaい", true) * 0x10000 + el[0], 3 * 0x10000 + 0x82A0);
  EXPECT_EQ(koByteLength(el, 2), 3);
  EXPECT_TRUE(koJ2Bstr(back, el, -1) == 5 && !strcmp(back, "あaい"));
  EXPECT_EQ(jupper(0x8281), 0x8281) << "full-width letters stay";
  koJString s, t, ten, big, b;
  s.getin("あい");
  EXPECT_TRUE(!s.putout(out, 4) && !strcmp(out, "あ")) << "cut at a whole character";
  EXPECT_TRUE(s.putout(out, 5) && !strcmp(out, "あい"));
  EXPECT_EQ(s.at(2) + s.at(-1), 0);
  ten.getin("0123456789");
  t.append(ten, 5, 10), t.append(ten, 10, 1), t.append(ten, -1, 1);  // starts past either end add nothing
  EXPECT_EQ(t.length, 5);
  // Past the inline storage, content survives growth, even appending itself.
  for (int i = 0; i < 50; i++) big.append("あb", 0, -1);
  big.append(big, 0, -1);
  EXPECT_EQ(big.length * 0x10000 + big.at(198), 200 * 0x10000 + 0x82A0);
  std::string str;
  EXPECT_TRUE(big.putout(str) && str.size() == 300u);
  EXPECT_FALSE(big.resize(-1, 0));
  EXPECT_TRUE(big.resize(202, 'x') && big.at(201) == 'x');
  b.getin("\x81\x40 ab \t");  // a full-width space is not a blank
  b.blankCut(), b.toUpper();
  EXPECT_EQ(b.length * 1000 + b.at(2), 4000 + 'A');
}

TEST(ByteStrings, CopiesAndSearchesKeepWholeCharacters) {
  // size is one more than the destination holds.
  const struct { const char* src; int size, result; const char* out; } copies[] = {{"abcd", 5, 3, "abc"},
      {"あい", 4, 2, "あ"}, {"あい", 3, 0, ""}, {"ab\x82", 16, 2, "ab"}, {"a", 0, -1, "ZZZZZZZZZZZZZZZ"}};  // \x82: a lone lead byte
  for (const auto& r : copies) {
    char buf[16] = "ZZZZZZZZZZZZZZZ";
    EXPECT_EQ(koStrncpy(buf, r.src, r.size), r.result) << r.src << " " << r.size;
    EXPECT_STREQ(buf, r.out) << r.src << " " << r.size;
  }
  EXPECT_EQ(koStrncpy(nullptr, "a", 3), -1);
  const struct { std::string text; int max; std::string out; } shorts[] = {{"メモ帳", 6, "メモ帳"}, {"メモ帳", 5, "メモ..."},
      {"abcdef", 3, "abc..."}, {"a\x82", 1, "a..."}, {"", 0, ""},
      {std::string(5000, 'x'), 200, std::string(200, 'x') + "..."},
      {"\xFA\xB1\xFA\xB1", 3, "\xFA\xB1..."}};  // 﨑: IBM extended kanji are whole characters too
  for (const auto& r : shorts) EXPECT_EQ(koShortText(r.text, r.max), r.out) << r.text.substr(0, 9);
  const struct { std::string text; int max; std::string out; } middles[] = {{"報告書.txt", 10, "報告書.txt"},
      {"報告書の下書き.txt", 12, "報告書...き.txt"}, {"\xFA\xB1\xFA\xB1\xFA\xB1", 5, "\xFA\xB1...\xFA\xB1"}, {"abc", 0, "..."}};
  for (const auto& r : middles) EXPECT_EQ(koMiddleText(r.text, r.max), r.out) << r.text;
  // Patterns: whole matches, case aside, a double-byte character one '?', a trail byte 5C no backslash.
  const struct { const char *pattern, *text; bool match; } wild[] = {
      {"README*", "readme.md", true}, {"*.tar.gz", "a.TAR.GZ", true}, {"*.tar.gz", "a.tar.gz.bak", false},
      {"?.txt", "表.txt", true}, {"?.txt", "ab.txt", false}, {"a*b*c", "aXbYbZc", true}, {"a*b*c", "aXbYc!", false},
      {"D:\\写真\\*", "d:\\写真\\2024\\a.jpg", true}, {"D:\\写真\\*", "D:\\写真2\\a.jpg", false},
      {"*\\", "表", false}, {"*ソ*", "aソb", true}, {"*", "", true}, {"a", "", false}, {"", "a", false}};
  for (const auto& r : wild) EXPECT_EQ(koWildMatch(r.pattern, r.text), r.match) << r.pattern << " " << r.text;
  const char *hyo = "表\\", *so = "aソb", *kata = "xﾃﾞｰﾀ", *data = "データ表示ソフト";
  const char *hello = "Hello World", *path = "a.b\\c", *file = "表.txt";
  const struct { const char *got, *want; } found[] = {
      {koStrchr(hyo, '\\'), hyo + 2},  // 表 is 95 5C
      {koStrchr("ソ", '\\'), nullptr}, {koStrchr(so, 0x835C), so + 1}, {koStrchr("a\x82", 'x'), nullptr},
      {koStrchr("\xFA\x5C", '\\'), nullptr},  // 纊
      {koMbschr(hyo, '\\'), hyo + 2}, {koGetExtension(path), path + 1}, {koGetExtension(file), file + 2},
      {koGetExtension("noext"), nullptr}, {koGetExtension(nullptr), nullptr},
      {koStristr(hello, "WORLD"), hello + 6}, {koStristr(hello, ""), nullptr}, {koStristr("ab", "abc"), nullptr},
      {koStristr(data, "表示"), data + 6}, {koStristr(kata, "ﾃﾞ"), kata + 1}, {koStristr("ソ", "\\"), nullptr}};
  for (const auto& r : found) EXPECT_EQ(r.got, r.want) << "row " << &r - found;
}

TEST(ByteStrings, BlanksQuotesAndFolders) {
  const struct { const char* in; bool cut; const char* out; } blanks[] = {
      {"  abc\t", true, "abc"}, {"abc", false, "abc"}, {"   ", true, ""}, {"", false, ""}};
  char t[64];
  for (const auto& r : blanks) EXPECT_TRUE(koBlankCut(strcpy(t, r.in)) == r.cut && !strcmp(t, r.out)) << r.in;
  EXPECT_TRUE(koIsAllBlank(" \t") && koIsAllBlank("") && !koIsAllBlank(" あ"));
  const struct { const char *in, *out; } quotes[] = {
      {"\"x\"", "x"}, {"\"x", ""}, {"x\"", "x\""}, {"\"", ""},  // never a negative length
      {"", ""}, {"\"表\"", "表"}, {"\"ab表", "ab"},  // drops the whole last character
      {"\"C:\\a b\\\"", "C:\\a b\\"}, {"plain", "plain"}};
  for (const auto& r : quotes) {
    std::string s = "stale";
    EXPECT_STREQ(koStripQuote(t, r.in, "\""), r.out) << r.in;
    EXPECT_STREQ(koStripQuote(s, r.in, "\""), r.out) << r.in;
    EXPECT_EQ(s, r.out) << "the string holds exactly the result";
  }
  // Folders ending in 表 or ソ: their trail byte 5C is no separator.
  const struct { const char* in; int mode; const char* out; } dirs[] = {
      {"C:\\dir", '+', "C:\\dir\\"}, {"C:\\dir\\", '+', "C:\\dir\\"}, {"C:\\dir\\", '-', "C:\\dir"},
      {"", '+', "\\"}, {"C:", ' ', "C:\\"}, {"C:\\", ' ', "C:\\"}, {"C:\\dir\\", ' ', "C:\\dir"},
      {"C:\\表", '+', "C:\\表\\"}, {"C:\\ソ", '-', "C:\\ソ"}, {"C:\\ソ", ' ', "C:\\ソ"},
      {"C:\\\xFA\x5C", '-', "C:\\\xFA\x5C"},  // 纊 (FA 5C)
      {"C:\\d\x82", '+', "C:\\d\\"}};  // a lone lead byte would swallow the backslash
  for (const auto& r : dirs) EXPECT_STREQ((koAdjustDir(strcpy(t, r.in), r.mode), t), r.out) << r.in << " " << (char)r.mode;
}

TEST(CodePage, ShiftJisAndUtf8RoundTrip) {
  char out[16];
  EXPECT_EQ(SJIStoUTF8("", out, sizeof out), 1);
  EXPECT_EQ(SJIStoUTF8("あ", out, sizeof out), 4);
  EXPECT_EQ(Hex(out), "E3 81 82 ");
  EXPECT_EQ(SJIStoUTF8("あ", out, 3) + SJIStoUTF8(nullptr, out, 16), 0) << "too small a destination, no source";
  // Around the stack buffer's end (1,000 units), mixed text, same results.
  for (int units : {2, 998, 999, 1000, 3000}) {
    std::string big = units == 2 ? "表示 ｶﾀｶﾅ ソフト abc 能力" : "";
    for (int i = 0; i < units - 1 && units > 2; i++) big += (i % 2) ? "あ" : "a";
    int need = SJIStoUTF8(big.c_str(), nullptr, 0);
    std::string dst((size_t)need, '\0'), round(big.size() + 1, '\0');
    EXPECT_EQ(SJIStoUTF8(big.c_str(), &dst[0], need), need) << units;
    EXPECT_TRUE(UTF8toSJIS(dst.c_str(), &round[0], (int)round.size()) == (int)big.size() + 1 && round.c_str() == big) << units;
  }
}

TEST(Build, LiteralsAreShiftJisAndErrorTextsFit) {
  // 表 is 95 5C in Shift-JIS; the compiler must not pass UTF-8 through.
  EXPECT_EQ(Hex("表\\"), "95 5C 5C ");
  EXPECT_EQ(strlen("エラーが発生しました"), 20u);
  EXPECT_GT((int)(char)0x95, 0) << "text bytes must be unsigned";
  char buf[29];
  const struct { int code; const char* text; } rows[] = {{-1, "エラーが発生しました"}, {123, "無効な名前"},
      {0x4022, "タイムアウト"}, {23, "CRC エラー"}, {14, "<<error: 14>>"}, {-9999, "<<error: -9999>>"}};
  for (const auto& r : rows)
    EXPECT_EQ(std::string(koObject::ErrorString(r.code, buf)) + "/" + buf, std::string(r.text) + "/" + r.text) << r.code;
  size_t longest = 0;  // fits the documented 29 bytes
  for (int code = -2; code < 0x4100; code++) longest = std::max(longest, strlen(koObject::ErrorString(code, nullptr)));
  EXPECT_LE(longest, 28u);
}

TEST(ViewError, RecordsAndTracesByLevel) {
  struct Named : koObject {
    const char* className() override { return "koPathname"; }
  };
  // Traced when the level is above the object's own level (-1: the global
  // one), and never for code 0.
  const struct { int objectLevel, globalLevel, code, level; bool traced; } rows[] = {{-1, 3, 0, 9, false},
      {-1, 3, 123, 5, true}, {-1, 3, 5, 3, false}, {0, 3, 5, 1, true}, {-1, 7, 5, 7, false}, {-1, 7, 5, 8, true}};
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.objectLevel << " " << r.globalLevel << " " << r.code << " " << r.level);
    Named o;
    o.viewLevel = r.objectLevel;
    koObject::ViewErrorLevel(r.globalLevel);
    EXPECT_EQ(o.viewErrorLevel(), r.objectLevel >= 0 ? r.objectLevel : r.globalLevel);
    char expect[200];
    const char* text = koObject::ErrorString(r.code, nullptr);
    snprintf(expect, sizeof expect, "<<koPathname[%x]::error %s>>\n", (unsigned)(size_t)&o, text);
    ClearTrace();
    EXPECT_TRUE(o.viewError(r.code, nullptr, r.level) == r.code && o.errorCode == r.code);
    EXPECT_EQ(TraceLog(), r.traced ? expect : "");
    snprintf(expect, sizeof expect, "<<::error %s>>\n", text);
    ClearTrace();
    EXPECT_EQ(koObject::ViewError(r.code, nullptr, r.level), r.code);
    EXPECT_EQ(TraceLog(), r.traced && r.objectLevel < 0 ? expect : "") << "the class-wide form";
    EXPECT_EQ(o.resetViewError(), -1);
  }
  EXPECT_TRUE(koObject::ResetViewError() == 3 && koObject::ViewErrorLevel() == 3);
}

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
