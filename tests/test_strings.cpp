#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "koJString.h"
#include "koUtl1.h"
#include "ko_test.h"

TEST(JChar, ClassesLengthsAndElements) {
  EXPECT_EQ(koJChar1(0x81), 2);
  EXPECT_EQ(koJChar1(0xA0), 2);
  EXPECT_EQ(koJChar1(0xA1), 1);
  EXPECT_EQ(koJChar1(0xDF), 1);
  EXPECT_EQ(koJChar1(0xF0), 0);
  EXPECT_EQ(koJChar1('a'), 0);
  EXPECT_TRUE(koJChar2(0x40));
  EXPECT_FALSE(koJChar2(0x7F));
  EXPECT_FALSE(koJChar2(0xFD));

  EXPECT_EQ(koJLength("あいう"), 3);
  EXPECT_EQ(koJLength("a\x82"), 2) << "a lone lead byte counts as one";
  JCHAR el[16];
  EXPECT_EQ(koB2Jstr(el, "あaい", true), 3);
  EXPECT_EQ(el[0], 0x82A0);
  EXPECT_EQ(el[1], 'a');
  EXPECT_EQ(el[3], 0);
  EXPECT_EQ(koByteLength(el, -1), 5);
  EXPECT_EQ(koByteLength(el, 2), 3);
  char back[16];
  EXPECT_EQ(koJ2Bstr(back, el, -1), 5);
  EXPECT_STREQ(back, "あaい");
  EXPECT_EQ(jupper('a'), 'A');
  EXPECT_EQ(jlower('Z'), 'z');
  EXPECT_EQ(jupper(0x8281), 0x8281) << "full-width letters stay";
}

TEST(JString, GrowAppendAndPutOut) {
  koJString s;
  s.getin("表示ソフト");
  EXPECT_EQ(s.length, 5);
  EXPECT_EQ(s.at(0), 0x955C);
  EXPECT_EQ(s.at(5), 0);
  EXPECT_EQ(s.at(-1), 0);
  char out[8];
  koJString ai;
  ai.getin("あい");
  EXPECT_FALSE(ai.putout(out, 4));
  EXPECT_STREQ(out, "あ");
  EXPECT_TRUE(ai.putout(out, 5));
  EXPECT_STREQ(out, "あい");

  koJString ten;
  ten.getin("0123456789");
  koJString t;
  t.append(ten, 5, 10);
  EXPECT_EQ(t.length, 5);
  t.append(ten, 10, 1);  // start past the end: nothing
  EXPECT_EQ(t.length, 5);
  t.append(ten, -1, 1);
  EXPECT_EQ(t.length, 5);

  // Past the inline storage, content survives growth, even appending itself.
  koJString big;
  for (int i = 0; i < 50; i++) big.append("あb", 0, -1);
  EXPECT_EQ(big.length, 100);
  big.append(big, 0, -1);
  EXPECT_EQ(big.length, 200);
  EXPECT_EQ(big.at(198), 0x82A0);
  EXPECT_EQ(big.at(199), 'b');
  std::string str;
  EXPECT_TRUE(big.putout(str));
  EXPECT_EQ(str.size(), 300u);

  EXPECT_FALSE(big.resize(-1, 0));
  EXPECT_TRUE(big.resize(202, 'x'));
  EXPECT_EQ(big.at(201), 'x');

  koJString b;
  b.getin("\x81\x40 ab \t");  // a full-width space is not a blank
  b.blankCut();
  EXPECT_EQ(b.length, 4);
  EXPECT_EQ(b.at(0), 0x8140);
  b.toUpper();
  EXPECT_EQ(b.at(2), 'A');
  koJString blank;
  blank.getin("  \t ");
  blank.blankCut();
  EXPECT_EQ(blank.length, 0);
}

TEST(ByteStrings, StrncpyKeepsWholeCharacters) {
  char buf[16];
  memset(buf, 'Z', sizeof buf);
  EXPECT_EQ(koStrncpy(buf, "abcd", 5), 3);
  EXPECT_STREQ(buf, "abc");
  EXPECT_EQ(koStrncpy(buf, "あい", 4), 2);
  EXPECT_STREQ(buf, "あ");
  EXPECT_EQ(koStrncpy(buf, "あい", 3), 0);
  EXPECT_STREQ(buf, "");
  // A lead byte just before the terminator is not copied alone.
  EXPECT_EQ(koStrncpy(buf, "ab\x82", 16), 2);
  EXPECT_STREQ(buf, "ab");
  EXPECT_EQ(koStrncpy(nullptr, "a", 3), -1);
  EXPECT_EQ(koStrncpy(buf, "a", 0), -1);
}

TEST(ByteStrings, ShortTextForPrompts) {
  EXPECT_EQ(koShortText("メモ帳", 6), "メモ帳");
  EXPECT_EQ(koShortText("メモ帳", 5), "メモ...") << "never half a character";
  EXPECT_EQ(koShortText("abcdef", 3), "abc...");
  EXPECT_EQ(koShortText(std::string(5000, 'x')).size(), 203u);
  EXPECT_EQ(koShortText("a\x82", 1), "a...") << "a lone lead byte at the end";
  EXPECT_EQ(koShortText("", 0), "");
}

TEST(ByteStrings, SearchIsDoubleByteAware) {
  const char* hyo = "表\\";  // 95 5C 5C
  EXPECT_EQ(koStrchr(hyo, '\\') - hyo, 2);
  EXPECT_EQ(koStrchr("ソ", '\\'), nullptr);
  const char* s = "aソb";
  EXPECT_EQ(koStrchr(s, 0x835C), s + 1);
  EXPECT_EQ(koStrchr("a\x82", 'x'), nullptr);
  const char* p = "a.b\\c";
  EXPECT_EQ(koGetExtension(p), p + 1);
  EXPECT_EQ(koGetExtension("noext"), nullptr);
  EXPECT_EQ(koGetExtension(nullptr), nullptr);
  const char* k = "表.txt";
  EXPECT_STREQ(koGetExtension(k), ".txt");

  const char* hw = "Hello World";
  EXPECT_EQ(koStristr(hw, "WORLD"), hw + 6);
  EXPECT_EQ(koStristr(hw, ""), nullptr);
  EXPECT_EQ(koStristr("ab", "abc"), nullptr);
  const char* j = "データ表示ソフト";
  EXPECT_EQ(koStristr(j, "表示"), j + 6);
  const char* hk = "xﾃﾞｰﾀ";
  EXPECT_EQ(koStristr(hk, "ﾃﾞ"), hk + 1);
  // The trail byte of ソ (5C) is not a backslash to match.
  EXPECT_EQ(koStristr("ソ", "\\"), nullptr);

  EXPECT_EQ(koMbschr(hyo, '\\') - hyo, 2);
}

TEST(ByteStrings, BlanksAndQuotes) {
  char t[32];
  strcpy(t, "  abc\t");
  EXPECT_TRUE(koBlankCut(t));
  EXPECT_STREQ(t, "abc");
  EXPECT_FALSE(koBlankCut(t));
  strcpy(t, "   ");
  EXPECT_TRUE(koBlankCut(t));
  EXPECT_STREQ(t, "");
  EXPECT_FALSE(koBlankCut(t));
  EXPECT_TRUE(koIsAllBlank(""));
  EXPECT_TRUE(koIsAllBlank(" \t"));
  EXPECT_FALSE(koIsAllBlank(" あ"));

  EXPECT_STREQ(koStripQuote(t, "\"x\"", "\""), "x");
  EXPECT_STREQ(koStripQuote(t, "\"x", "\""), "");
  EXPECT_STREQ(koStripQuote(t, "x\"", "\""), "x\"");
  EXPECT_STREQ(koStripQuote(t, "\"", "\""), "") << "never a negative length";
  EXPECT_STREQ(koStripQuote(t, "", "\""), "");
  EXPECT_STREQ(koStripQuote(t, "\"表\"", "\""), "表");
  EXPECT_STREQ(koStripQuote(t, "\"ab表", "\""), "ab") << "drops the whole last character";
  std::string s;
  EXPECT_STREQ(koStripQuote(s, "\"C:\\a b\\\"", "\""), "C:\\a b\\");
  EXPECT_EQ(s.size(), 7u) << "the string holds exactly the result";
  koStripQuote(s, "plain", "\"");
  EXPECT_EQ(s, "plain");
}

TEST(ByteStrings, AdjustDirFindsTheRealBackslash) {
  char p[64];
  strcpy(p, "C:\\dir");
  koAdjustDir(p, '+');
  EXPECT_STREQ(p, "C:\\dir\\");
  koAdjustDir(p, '+');
  EXPECT_STREQ(p, "C:\\dir\\");
  koAdjustDir(p, '-');
  EXPECT_STREQ(p, "C:\\dir");
  strcpy(p, "");
  koAdjustDir(p, '+');
  EXPECT_STREQ(p, "\\");
  strcpy(p, "C:");
  koAdjustDir(p, ' ');
  EXPECT_STREQ(p, "C:\\");
  koAdjustDir(p, ' ');
  EXPECT_STREQ(p, "C:\\");
  strcpy(p, "C:\\dir\\");
  koAdjustDir(p, ' ');
  EXPECT_STREQ(p, "C:\\dir");
  // Folders ending in 表 or ソ: their trail byte 5C is no separator.
  strcpy(p, "C:\\表");
  koAdjustDir(p, '+');
  EXPECT_STREQ(p, "C:\\表\\");
  strcpy(p, "C:\\ソ");
  koAdjustDir(p, '-');
  EXPECT_STREQ(p, "C:\\ソ");
  koAdjustDir(p, ' ');
  EXPECT_STREQ(p, "C:\\ソ");
}

TEST(CodePage, ShiftJisAndUtf8RoundTrip) {
  char out[16];
  EXPECT_EQ(SJIStoUTF8("", out, sizeof out), 1);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(SJIStoUTF8("", nullptr, 0), 1);
  EXPECT_EQ(SJIStoUTF8("あ", out, sizeof out), 4);
  EXPECT_EQ(Hex(out), "E3 81 82 ");
  EXPECT_EQ(SJIStoUTF8("あ", out, 3), 0) << "too small a destination";
  EXPECT_EQ(SJIStoUTF8(nullptr, out, 16), 0);
  char back[16];
  EXPECT_EQ(UTF8toSJIS("\xE3\x81\x82", back, sizeof back), 3);
  EXPECT_STREQ(back, "あ");

  const char* mixed = "表示 ｶﾀｶﾅ ソフト abc 能力";
  char u8[128], sj[128];
  int n = SJIStoUTF8(mixed, u8, sizeof u8);
  ASSERT_GT(n, 0);
  EXPECT_EQ(SJIStoUTF8(mixed, nullptr, 0), n);
  EXPECT_EQ(UTF8toSJIS(u8, sj, sizeof sj), (int)strlen(mixed) + 1);
  EXPECT_STREQ(sj, mixed);

  // Around the stack buffer's end: 998, 999 and 1000 units, same results.
  for (int units : {998, 999, 1000, 3000}) {
    std::string big;
    for (int i = 0; i < units - 1; i++) big += (i % 2) ? "あ" : "a";
    int need = SJIStoUTF8(big.c_str(), nullptr, 0);
    std::string dst((size_t)need, '\0');
    ASSERT_EQ(SJIStoUTF8(big.c_str(), &dst[0], need), need) << units;
    std::string round((size_t)big.size() + 1, '\0');
    ASSERT_EQ(UTF8toSJIS(dst.c_str(), &round[0], (int)round.size()), (int)big.size() + 1);
    EXPECT_EQ(round.c_str(), big);
  }
}
