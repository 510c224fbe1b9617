#include <gtest/gtest.h>
#include <algorithm>
#include <string.h>
#include <string>
#include <vector>
#include "koUtl2.h"
#include "ko_test.h"

namespace {

const int SJIS = KOCODE_SJIS, EUC = KOCODE_EUC, JIS = KOCODE_JIS, U16 = KOCODE_UTF16;

// Converts through the capacity form; the source sits in a buffer of its
// exact size so that the sanitizer sees any read past its terminator.
std::string Conv(int from, int to, const std::string& src, int* rc = nullptr,
                 int capacity = 0) {
  std::vector<char> in(src.begin(), src.end());
  in.push_back(0);
  if (capacity == 0) capacity = koKanjiConvertSize(from, to, in.data());
  std::vector<char> out((size_t)capacity, '\x55');
  int r = koKanjiConvert(from, to, in.data(), out.data(), capacity);
  if (rc) *rc = r;
  return std::string(out.data(), strnlen(out.data(), out.size()));
}

std::u16string Wide(const std::string& src, int* rc, int capacity = 200) {
  std::vector<char> in(src.begin(), src.end());
  in.push_back(0);
  std::vector<WCHAR> out((size_t)capacity, 0x5555);
  *rc = koKanjiConvert(SJIS, U16, in.data(), out.data(), capacity);
  std::u16string w;
  for (size_t i = 0; i < out.size() && out[i]; i++) w += (char16_t)out[i];
  return w;
}

std::string HexW(const std::u16string& w) {
  std::string s;
  char b[8];
  for (char16_t c : w) {
    snprintf(b, sizeof b, "%04X ", (unsigned)c);
    s += b;
  }
  return s;
}

// Expected bytes were made with the system's iconv (CP932, EUC-JP,
// ISO-2022-JP). JIS has no half-width kana, so those rows come back from
// JIS as full-width text.
struct Sentence {
  const char* sjis;
  const char* euc;
  const char* jis;
  const char* sjisFromJis;  // null: the same as sjis
  const char* eucFromJis;   // null: the same as euc
  const char16_t* wide;
};

const Sentence sentences[] = {
    {"日本語のテキストを変換します。",
     "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8\xA4\xF2\xCA\xD1\xB4\xB9"
     "\xA4\xB7\xA4\xDE\xA4\xB9\xA1\xA3",
     "\x1B\x24\x42\x46\x7C\x4B\x5C\x38\x6C\x24\x4E\x25\x46\x25\x2D\x25\x39\x25\x48\x24\x72\x4A"
     "\x51\x34\x39\x24\x37\x24\x5E\x24\x39\x21\x23\x1B\x28\x42",
     nullptr, nullptr, u"日本語のテキストを変換します。"},
    {"ひらがな、カタカナ、漢字「記号」・ー",
     "\xA4\xD2\xA4\xE9\xA4\xAC\xA4\xCA\xA1\xA2\xA5\xAB\xA5\xBF\xA5\xAB\xA5\xCA\xA1\xA2\xB4\xC1"
     "\xBB\xFA\xA1\xD6\xB5\xAD\xB9\xE6\xA1\xD7\xA1\xA6\xA1\xBC",
     "\x1B\x24\x42\x24\x52\x24\x69\x24\x2C\x24\x4A\x21\x22\x25\x2B\x25\x3F\x25\x2B\x25\x4A\x21"
     "\x22\x34\x41\x3B\x7A\x21\x56\x35\x2D\x39\x66\x21\x57\x21\x26\x21\x3C\x1B\x28\x42",
     nullptr, nullptr, u"ひらがな、カタカナ、漢字「記号」・ー"},
    // Trail bytes 0x5C (the backslash) in 表, ソ, 能, 予.
    {"表示・ソフト・能力の予定表",
     "\xC9\xBD\xBC\xA8\xA1\xA6\xA5\xBD\xA5\xD5\xA5\xC8\xA1\xA6\xC7\xBD\xCE\xCF\xA4\xCE\xCD\xBD"
     "\xC4\xEA\xC9\xBD",
     "\x1B\x24\x42\x49\x3D\x3C\x28\x21\x26\x25\x3D\x25\x55\x25\x48\x21\x26\x47\x3D\x4E\x4F\x24"
     "\x4E\x4D\x3D\x44\x6A\x49\x3D\x1B\x28\x42",
     nullptr, nullptr, u"表示・ソフト・能力の予定表"},
    {"ASCII と漢字: 東京 2024年5月",
     "\x41\x53\x43\x49\x49\x20\xA4\xC8\xB4\xC1\xBB\xFA\x3A\x20\xC5\xEC\xB5\xFE\x20\x32\x30\x32"
     "\x34\xC7\xAF\x35\xB7\xEE",
     "\x41\x53\x43\x49\x49\x20\x1B\x24\x42\x24\x48\x34\x41\x3B\x7A\x1B\x28\x42\x3A\x20\x1B\x24"
     "\x42\x45\x6C\x35\x7E\x1B\x28\x42\x20\x32\x30\x32\x34\x1B\x24\x42\x47\x2F\x1B\x28\x42\x35"
     "\x1B\x24\x42\x37\x6E\x1B\x28\x42",
     nullptr, nullptr, u"ASCII と漢字: 東京 2024年5月"},
    {"Hello, world! (1+2=3)", "Hello, world! (1+2=3)", "Hello, world! (1+2=3)", nullptr,
     nullptr, u"Hello, world! (1+2=3)"},
    // Voiced marks merge except after ウ.
    {"ｶﾞｷﾞｸﾞ ﾊﾟﾋﾟﾌﾟ ｱｲｳｴｵ ｳﾞ ﾊﾞﾝﾄﾞ｡",
     "\x8E\xB6\x8E\xDE\x8E\xB7\x8E\xDE\x8E\xB8\x8E\xDE\x20\x8E\xCA\x8E\xDF\x8E\xCB\x8E\xDF\x8E"
     "\xCC\x8E\xDF\x20\x8E\xB1\x8E\xB2\x8E\xB3\x8E\xB4\x8E\xB5\x20\x8E\xB3\x8E\xDE\x20\x8E\xCA"
     "\x8E\xDE\x8E\xDD\x8E\xC4\x8E\xDE\x8E\xA1",
     "\x1B\x24\x42\x25\x2C\x25\x2E\x25\x30\x1B\x28\x42\x20\x1B\x24\x42\x25\x51\x25\x54\x25\x57"
     "\x1B\x28\x42\x20\x1B\x24\x42\x25\x22\x25\x24\x25\x26\x25\x28\x25\x2A\x1B\x28\x42\x20\x1B"
     "\x24\x42\x25\x26\x21\x2B\x1B\x28\x42\x20\x1B\x24\x42\x25\x50\x25\x73\x25\x49\x21\x23\x1B"
     "\x28\x42",
     "ガギグ パピプ アイウエオ ウ゛ バンド。",
     "\xA5\xAC\xA5\xAE\xA5\xB0\x20\xA5\xD1\xA5\xD4\xA5\xD7\x20\xA5\xA2\xA5\xA4\xA5\xA6\xA5\xA8"
     "\xA5\xAA\x20\xA5\xA6\xA1\xAB\x20\xA5\xD0\xA5\xF3\xA5\xC9\xA1\xA3",
     u"ｶﾞｷﾞｸﾞ ﾊﾟﾋﾟﾌﾟ ｱｲｳｴｵ ｳﾞ ﾊﾞﾝﾄﾞ｡"},
    {"全角ＡＢＣと半角ｶﾅ",
     "\xC1\xB4\xB3\xD1\xA3\xC1\xA3\xC2\xA3\xC3\xA4\xC8\xC8\xBE\xB3\xD1\x8E\xB6\x8E\xC5",
     "\x1B\x24\x42\x41\x34\x33\x51\x23\x41\x23\x42\x23\x43\x24\x48\x48\x3E\x33\x51\x25\x2B\x25"
     "\x4A\x1B\x28\x42",
     "全角ＡＢＣと半角カナ",
     "\xC1\xB4\xB3\xD1\xA3\xC1\xA3\xC2\xA3\xC3\xA4\xC8\xC8\xBE\xB3\xD1\xA5\xAB\xA5\xCA",
     u"全角ＡＢＣと半角ｶﾅ"},
};

}  // namespace

TEST(KanjiConvert, SentencesInEveryDirection) {
  for (const Sentence& t : sentences) {
    SCOPED_TRACE(Hex(t.sjis));
    std::string sjis = t.sjis, euc = t.euc, jis = t.jis;
    std::string sjisBack = t.sjisFromJis ? t.sjisFromJis : t.sjis;
    std::string eucBack = t.eucFromJis ? t.eucFromJis : t.euc;
    int rc = 1;
    EXPECT_EQ(Hex(Conv(SJIS, EUC, sjis, &rc)), Hex(euc));
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(Hex(Conv(SJIS, JIS, sjis, &rc)), Hex(jis));
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(Hex(Conv(EUC, SJIS, euc, &rc)), Hex(sjis));
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(Hex(Conv(EUC, JIS, euc, &rc)), Hex(jis));
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(Hex(Conv(JIS, SJIS, jis, &rc)), Hex(sjisBack));
    EXPECT_EQ(rc, 0);
    EXPECT_EQ(Hex(Conv(JIS, EUC, jis, &rc)), Hex(eucBack));
    EXPECT_EQ(rc, 0);
    for (int code : {SJIS, EUC, JIS}) {
      const std::string& s = code == SJIS ? sjis : code == EUC ? euc : jis;
      EXPECT_EQ(Conv(code, code, s, &rc), s);
      EXPECT_EQ(rc, 0);
    }
    EXPECT_EQ(HexW(Wide(sjis, &rc)), HexW(t.wide));
    EXPECT_EQ(rc, 0);
    std::string back;
    EXPECT_EQ(Unicode2Sjis((const WCHAR*)t.wide, back), 0);
    ASSERT_EQ(back.size(), sjis.size() + 1);
    EXPECT_EQ(back.back(), '\0');
    EXPECT_STREQ(back.c_str(), t.sjis);
  }
}

TEST(KanjiConvert, ModeChangesAndEscapes) {
  int rc = 1;
  EXPECT_EQ(Conv(SJIS, JIS, "aあb", &rc), "a\x1B$B\x24\x22\x1B(Bb");
  EXPECT_EQ(rc, 0);
  // Older kanji set and JIS-Roman are read like ESC $ B and ESC ( B; other
  // sequences change nothing, and none is copied.
  EXPECT_EQ(Conv(JIS, SJIS, "\x1B$@\x24\x22\x1B(Jx\x1B(I\x1B$A\x24\x24", &rc), "あx$$");
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(Conv(JIS, SJIS, "\x1B$B\x24\x22\x1B(B", &rc), "\x82\xA0");
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(Conv(JIS, EUC, "\x1B$B\x24\x22", &rc), "\xA4\xA2") << "a missing close is no fault";
  EXPECT_EQ(rc, 0);
  // Shift-JIS outside the JIS X 0208 rows still goes through the arithmetic.
  EXPECT_EQ(Conv(SJIS, JIS, "\xA0\x80\xFD", &rc), "\xA0\x80\xFD");
  EXPECT_EQ(Conv(SJIS, EUC, "ｱ", &rc), "\x8E\xB1");
  EXPECT_EQ(Conv(EUC, EUC, "\xA4\xA2\x8E\xB1z", &rc), "\xA4\xA2\x8E\xB1z");
  EXPECT_EQ(Conv(SJIS, SJIS, "", &rc), "");
  EXPECT_EQ(rc, 0);
}

TEST(KanjiConvert, HalfWidthKana) {
  // Full-width forms of 0xA1 to 0xDF, from iconv of their NFKC forms.
  static const unsigned short expected[63] = {
      0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523, 0x2525, 0x2527, 0x2529,
      0x2563, 0x2565, 0x2567, 0x2543, 0x213C, 0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B,
      0x252D, 0x252F, 0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F, 0x2541,
      0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C, 0x254D, 0x254E, 0x254F, 0x2552, 0x2555,
      0x2558, 0x255B, 0x255E, 0x255F, 0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569,
      0x256A, 0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C};
  for (int k = 0xA1; k <= 0xDF; k++) {
    unsigned char a = 0, b = 0;
    EXPECT_FALSE(getKana((unsigned char)k, 'x', a, b));
    EXPECT_EQ((a << 8 | b), expected[k - 0xA1]) << std::hex << k;
    bool voiced = (k >= 0xB6 && k <= 0xC4) || (k >= 0xCA && k <= 0xCE);
    EXPECT_EQ(getKana((unsigned char)k, 0xDE, a, b), voiced) << std::hex << k;
    if (voiced) {
      EXPECT_EQ((a << 8 | b), expected[k - 0xA1] + 1);
    }
    bool semi = k >= 0xCA && k <= 0xCE;
    EXPECT_EQ(getKana((unsigned char)k, 0xDF, a, b), semi) << std::hex << k;
    if (semi) {
      EXPECT_EQ((a << 8 | b), expected[k - 0xA1] + 2);
    }
  }
  unsigned char a = 9, b = 9;
  EXPECT_FALSE(getKana(0xE0, 0xDE, a, b));
  EXPECT_EQ(a | b, 0);
  EXPECT_FALSE(getKana(0xA0, 0xDE, a, b));

  // A mark is merged only when it directly follows; in EUC that means
  // the next 0x8E pair.
  int rc = 1;
  EXPECT_EQ(Conv(SJIS, JIS, "ｶﾞ", &rc), "\x1B$B\x25\x2C\x1B(B");
  EXPECT_EQ(Conv(SJIS, JIS, "ｳﾞ", &rc), "\x1B$B\x25\x26\x21\x2B\x1B(B");
  EXPECT_EQ(Conv(SJIS, JIS, "ﾊ ﾟ", &rc), "\x1B$B\x25\x4F\x1B(B \x1B$B\x21\x2C\x1B(B");
  EXPECT_EQ(Conv(EUC, JIS, "\x8E\xCA\x8E\xDF\x8E\xDF", &rc), "\x1B$B\x25\x51\x21\x2C\x1B(B");
  EXPECT_EQ(Conv(EUC, JIS, "\x8E\xCA\xDF", &rc).substr(0, 5), "\x1B$B\x25\x4F")
      << "a bare mark byte after the pair is not a kana";
  EXPECT_EQ(Conv(EUC, SJIS, "\x8E\xB6\x8E\xDE", &rc), "ｶﾞ");
  EXPECT_EQ(rc, 0);
}

TEST(KanjiConvert, RoundTripOfEveryJisCode) {
  // Every JIS X 0208 code position survives JIS -> Shift-JIS -> JIS and
  // EUC -> Shift-JIS -> EUC; Shift-JIS through EUC and back as well.
  for (int hi = 0x21; hi <= 0x7E; hi++) {
    for (int lo = 0x21; lo <= 0x7E; lo++) {
      char jis[] = {'\x1B', '$', 'B', (char)hi, (char)lo, '\x1B', '(', 'B', 0};
      char euc[] = {(char)(hi | 0x80), (char)(lo | 0x80), 0};
      int rc1 = 1, rc2 = 1, rc3 = 1, rc4 = 1;
      std::string sjis = Conv(JIS, SJIS, jis, &rc1);
      ASSERT_EQ(sjis.size(), 2u);
      unsigned char a = (unsigned char)hi, b = (unsigned char)lo;
      jis2sjis(a, b);
      ASSERT_EQ((unsigned char)sjis[0], a);
      ASSERT_EQ((unsigned char)sjis[1], b);
      ASSERT_TRUE((a >= 0x81 && a <= 0x9F) || (a >= 0xE0 && a <= 0xEF)) << Hex(sjis);
      ASSERT_TRUE((b >= 0x40 && b <= 0xFC && b != 0x7F)) << Hex(sjis);
      ASSERT_EQ(Conv(SJIS, JIS, sjis, &rc2), std::string(jis)) << Hex(sjis);
      ASSERT_EQ(Conv(EUC, SJIS, euc, &rc3), sjis);
      ASSERT_EQ(Conv(SJIS, EUC, sjis, &rc4), std::string(euc));
      ASSERT_EQ(rc1 | rc2 | rc3 | rc4, 0);
    }
  }
  // Known codes: あ, 亜 (first kanji), the first and last of the 0xE0 lead.
  struct { unsigned char h, l; unsigned short sjis; } known[] = {
      {0x24, 0x22, 0x82A0}, {0x30, 0x21, 0x889F}, {0x5F, 0x21, 0xE040}, {0x7E, 0x7E, 0xEFFC},
      {0x21, 0x7E, 0x819E}, {0x21, 0x60, 0x8180}};
  for (auto k : known) {
    unsigned char a = k.h, b = k.l;
    jis2sjis(a, b);
    EXPECT_EQ(a << 8 | b, k.sjis);
  }
  // Half-width kana keep their single byte through EUC.
  for (int k = 0xA1; k <= 0xDF; k++) {
    char s[] = {(char)k, 'a', 0};
    char e[] = {'\x8E', (char)k, 'a', 0};
    EXPECT_EQ(Conv(SJIS, EUC, s), e);
    EXPECT_EQ(Conv(EUC, SJIS, e), s);
  }
}

TEST(KanjiConvert, TruncatedSourcesStopAndFail) {
  int rc = 0;
  // A Shift-JIS lead byte before the terminator is half a character.
  EXPECT_EQ(Conv(SJIS, EUC, "aあ\x82", &rc), "a\xA4\xA2");
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(Conv(SJIS, JIS, "aあ\xE0", &rc), "a\x1B$B\x24\x22\x1B(B");
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(HexW(Wide("aあ\x9F", &rc)), HexW(u"aあ"));
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(HexW(Wide("\x81", &rc)), "");
  EXPECT_EQ(rc, -1);
  // EUC: a lead byte alone, and 0x8E without a kana byte after it.
  EXPECT_EQ(Conv(EUC, SJIS, "x\xA4", &rc), "x");
  EXPECT_EQ(rc, -1);
  for (const char* bad : {"x\x8E", "x\x8E\x41", "x\x8E\xE0", "x\x8E\xA0", "x\x8E\x8E\xB1"}) {
    EXPECT_EQ(Conv(EUC, SJIS, bad, &rc), "x") << Hex(bad);
    EXPECT_EQ(rc, -1);
    EXPECT_EQ(Conv(EUC, JIS, bad, &rc), "x") << Hex(bad);
    EXPECT_EQ(rc, -1);
  }
  EXPECT_EQ(Conv(EUC, JIS, "\xA4\xA2\x8E", &rc), "\x1B$B\x24\x22\x1B(B");
  EXPECT_EQ(rc, -1);
  // JIS: a cut escape sequence or a kanji byte alone.
  for (const char* bad : {"ab\x1B", "ab\x1B$", "ab\x1B$B\x24\x22\x24"}) {
    std::string out = Conv(JIS, SJIS, bad, &rc);
    EXPECT_EQ(out.substr(0, 2), "ab") << Hex(bad);
    EXPECT_EQ(rc, -1) << Hex(bad);
  }
  EXPECT_EQ(Conv(JIS, EUC, "ab\x1B$B\x24\x22\x24", &rc), "ab\xA4\xA2");
  // Pairs whose arithmetic gives a zero byte would end the text early.
  EXPECT_EQ(Conv(EUC, JIS, "a\xA4\x80" "b", &rc), "a");
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(Conv(EUC, JIS, "a\x80\xA1" "b", &rc), "a");
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(Conv(SJIS, JIS, "a\x82\x1F" "b", &rc), "a");
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(Conv(JIS, SJIS, "a\x1B$B\x22\x82" "b", &rc), "a");
  EXPECT_EQ(rc, -1);
}

TEST(KanjiConvert, CapacityCutsWholeCharacters) {
  int rc = 0;
  // Room for a and the terminator only: あ is not split.
  EXPECT_EQ(Conv(SJIS, EUC, "aあ", &rc, 3), "a");
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(Conv(SJIS, EUC, "aあ", &rc, 4), "a\xA4\xA2");
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(Conv(EUC, SJIS, "\xA4\xA2\xA4\xA4", &rc, 4), "\x82\xA0");
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(Conv(SJIS, SJIS, "あい", &rc, 4), "あ");
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(Conv(SJIS, SJIS, "あい", &rc, 5), "あい");
  EXPECT_EQ(rc, 0);
  // A cut JIS result still returns to ASCII at its end.
  const std::string full = "a\x1B$B\x24\x22\x24\x24\x1B(Bb";  // aあいb
  for (int cap = 1; cap <= (int)full.size() + 1; cap++) {
    std::string out = Conv(SJIS, JIS, "aあいb", &rc, cap);
    SCOPED_TRACE(cap);
    EXPECT_LT((int)out.size(), cap);
    EXPECT_EQ(rc, cap == (int)full.size() + 1 ? 0 : -1);
    size_t esc = out.rfind('\x1B');
    if (rc == -1 && esc != std::string::npos) {
      EXPECT_EQ(out.substr(esc), "\x1B(B");
    }
    if (cap == 10) {
      EXPECT_EQ(out, "a\x1B$B\x24\x22\x1B(B");
    }
  }
  // Capacity 0 writes nothing at all.
  char guard[2] = {'#', '#'};
  EXPECT_EQ(koKanjiConvert(SJIS, EUC, "a", guard, 0), -1);
  EXPECT_EQ(guard[0], '#');
}

TEST(KanjiConvert, Utf16ThatDoesNotFit) {
  // 250 あ: the plain form holds 199 units and the terminator.
  std::string src;
  for (int i = 0; i < 250; i++) src += "あ";
  std::vector<WCHAR> out(210, 0x5555);
  EXPECT_EQ(koKanjiConvert(SJIS, U16, src.c_str(), out.data()), -1);
  for (int i = 0; i < 199; i++) ASSERT_EQ(out[i], 0x3042) << i;
  EXPECT_EQ(out[199], 0);
  EXPECT_EQ(out[200], 0x5555);
  int rc = 0;
  EXPECT_EQ(Wide(src.substr(0, 2 * 199), &rc).size(), 199u);
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(HexW(Wide("abcdef", &rc, 4)), HexW(u"abc"));
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(HexW(Wide("abc", &rc, 3)), HexW(u"ab"));
  EXPECT_EQ(rc, -1);
  EXPECT_EQ(HexW(Wide("abc", &rc, 4)), HexW(u"abc"));
  EXPECT_EQ(rc, 0);
  EXPECT_EQ(HexW(Wide("abc", &rc, 1)), "");
  EXPECT_EQ(rc, -1);
}

TEST(KanjiConvert, UnsupportedPairsFailEmpty) {
  const int pairs[][2] = {{SJIS, 99}, {99, SJIS}, {0, 0}, {U16, SJIS}, {U16, U16},
                          {EUC, U16}, {JIS, KOCODE_UTF16B}, {99, 99}};
  for (auto p : pairs) {
    for (const char* src : {"abc", ""}) {
      WCHAR out[8] = {0x5555, 0x5555};
      EXPECT_EQ(koKanjiConvert(p[0], p[1], src, out, 8), -1) << p[0] << " " << p[1];
      EXPECT_EQ(out[0] & 0xFF, 0) << p[0] << " " << p[1];
    }
  }
  char out[8] = "zzz";
  EXPECT_EQ(koKanjiConvert(SJIS, EUC, nullptr, out, 8), -1);
  EXPECT_EQ(out[0], 0);
  EXPECT_EQ(koKanjiConvert(SJIS, EUC, "a", nullptr, 8), -1);
  int rc = 1;
  EXPECT_EQ(HexW(Wide("", &rc)), "");
  EXPECT_EQ(rc, 0);
}

TEST(Unicode2Sjis, LengthCountsTheTerminator) {
  std::string s = "old";
  EXPECT_EQ(Unicode2Sjis((const WCHAR*)u"", s), 0);
  EXPECT_EQ(s, std::string(1, '\0'));
  EXPECT_EQ(Unicode2Sjis((const WCHAR*)u"ｶﾅ表", s), 0);
  EXPECT_EQ(s, std::string("ｶﾅ表") + '\0');
  EXPECT_NE(Unicode2Sjis(nullptr, s), 0);
  EXPECT_EQ(s, "");
}

// Arbitrary bytes in every direction, against a destination with guard
// bytes on both sides: nothing outside the capacity is written, the output
// is terminated, and a result that fits equals the unbounded one.
TEST(KanjiConvert, RandomBytesStayInBounds) {
  static const unsigned char interesting[] = {
      0x1B, '$', '(', 'B', 'J', '@', 0x8E, 0x8F, 0x81, 0x82, 0x9F, 0xE0, 0xEF, 0xFC,
      0xA1, 0xB6, 0xCA, 0xDE, 0xDF, 0x80, 0xA0, 0xFD, 0xFF, 0x24, 0x21, 0x7E, 'a', ' '};
  static const int codes[] = {SJIS, EUC, JIS, U16, KOCODE_UTF16B, 99};
  unsigned long seed = 20240531;
  auto next = [&seed]() {
    seed = seed * 1103515245u + 12345u;
    return (unsigned)((seed >> 16) & 0x7FFF);
  };
  const int guard = 16;
  int failures = 0, successes = 0;
  for (int n = 0; n < 4000 && !HasFatalFailure(); n++) {
    int from = codes[next() % 4 == 0 ? next() % 6 : next() % 3];
    int to = codes[next() % 6];
    int len = (int)(next() % 24);
    std::vector<char> src((size_t)len + 1, 0);
    for (int i = 0; i < len; i++) {
      unsigned r = next();
      unsigned char c = (r & 1) ? interesting[(r >> 1) % sizeof interesting]
                                : (unsigned char)(1 + (r >> 1) % 255);
      src[(size_t)i] = (char)c;
    }
    bool wide = to == U16 || to == KOCODE_UTF16B;
    size_t unit = wide ? sizeof(WCHAR) : 1;
    int bound = wide ? 200 : koKanjiConvertSize(from, to, src.data());
    std::vector<unsigned char> full((size_t)bound * unit + 2 * guard, 0xA5);
    int rcFull = koKanjiConvert(from, to, src.data(), full.data() + guard);
    int fullLength = 0;
    while (fullLength < bound && (full[guard + (size_t)fullLength * unit] ||
                                  (wide && full[guard + (size_t)fullLength * unit + 1])))
      fullLength++;
    // Mostly around the real length, where cutting happens.
    int range = next() % 4 ? fullLength + 3 : bound + 2;
    int capacity = 1 + (int)(next() % (unsigned)range);
    std::vector<unsigned char> cut((size_t)capacity * unit + 2 * guard, 0xA5);
    int rcCut = koKanjiConvert(from, to, src.data(), cut.data() + guard, capacity);

    SCOPED_TRACE(testing::Message() << "case " << n << " " << from << "->" << to
                                    << " cap " << capacity << " src " << Hex(src.data()));
    for (auto* buf : {&full, &cut}) {
      size_t inner = buf->size() - 2 * guard;
      for (int i = 0; i < guard; i++) {
        ASSERT_EQ((*buf)[(size_t)i], 0xA5) << "written before the destination";
        ASSERT_EQ((*buf)[guard + inner + (size_t)i], 0xA5) << "written past the capacity";
      }
    }
    ASSERT_TRUE(rcFull == 0 || rcFull == -1);
    ASSERT_TRUE(rcCut == 0 || rcCut == -1);
    auto units = [&](const std::vector<unsigned char>& b, int cap) {
      std::vector<unsigned> u;
      for (int i = 0; i < cap; i++) {
        const unsigned char* p = b.data() + guard + (size_t)i * unit;
        unsigned v = wide ? (unsigned)(p[0] | p[1] << 8) : p[0];
        if (!v) return u;
        u.push_back(v);
      }
      u.push_back(~0u);  // no terminator
      return u;
    };
    std::vector<unsigned> a = units(full, bound), b = units(cut, capacity);
    ASSERT_TRUE(a.empty() || a.back() != ~0u) << "unbounded output not terminated";
    ASSERT_TRUE(b.empty() || b.back() != ~0u) << "cut output not terminated";
    if ((int)a.size() < capacity) {
      ASSERT_EQ(rcCut, rcFull) << "a result that fits must not fail";
      ASSERT_EQ(a, b);
    } else {
      ASSERT_EQ(rcCut, -1) << "a cut result must fail";
      if (to != JIS) {
        // Whole characters up to the capacity, as far as they go.
        ASSERT_TRUE(std::equal(b.begin(), b.end(), a.begin())) << "not a prefix";
        ASSERT_GE((int)b.size() + (wide ? 1 : 2), capacity);
      }
    }
    (rcFull == 0 ? successes : failures)++;
  }
  // Both outcomes were exercised.
  EXPECT_GT(successes, 500);
  EXPECT_GT(failures, 500);
}
