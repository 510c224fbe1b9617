#include <gtest/gtest.h>
#include <algorithm>
#include <string.h>
#include <string>
#include <vector>
#include "koUtl2.h"
#include "ko_test.h"

namespace {

const int SJIS = KOCODE_SJIS, EUC = KOCODE_EUC, JIS = KOCODE_JIS, U16 = KOCODE_UTF16;

// Converts through the capacity form (0: the size the library asks for);
// the source sits in a buffer of its exact size so that the sanitizer sees
// any read past its terminator.
std::string Conv(int from, int to, const std::string& src, int* rc = nullptr, int capacity = 0) {
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

// Expected bytes were made with the system's iconv (CP932, EUC-JP,
// ISO-2022-JP). JIS has no half-width kana, so those come back from JIS as
// full-width text.
struct Sentence {
  const char *sjis, *euc, *jis;
  const char *sjisFromJis, *eucFromJis;  // null: the same as sjis, euc
  const char16_t* wide;
};

const Sentence sentences[] = {
    {"日本語のテキストを変換します。",
     "\xC6\xFC\xCB\xDC\xB8\xEC\xA4\xCE\xA5\xC6\xA5\xAD\xA5\xB9\xA5\xC8\xA4\xF2\xCA\xD1\xB4\xB9"
     "\xA4\xB7\xA4\xDE\xA4\xB9\xA1\xA3",
     "\x1B\x24\x42\x46\x7C\x4B\x5C\x38\x6C\x24\x4E\x25\x46\x25\x2D\x25\x39\x25\x48\x24\x72\x4A"
     "\x51\x34\x39\x24\x37\x24\x5E\x24\x39\x21\x23\x1B\x28\x42",
     nullptr, nullptr, u"日本語のテキストを変換します。"},
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
};

}  // namespace

TEST(KanjiConvert, SentencesInEveryDirection) {
  for (const Sentence& t : sentences) {
    SCOPED_TRACE(Hex(t.sjis));
    const char* sjisBack = t.sjisFromJis ? t.sjisFromJis : t.sjis;
    const char* eucBack = t.eucFromJis ? t.eucFromJis : t.euc;
    const struct { int from, to; const char *src, *want; } ways[] = {
        {SJIS, EUC, t.sjis, t.euc}, {SJIS, JIS, t.sjis, t.jis},  {EUC, SJIS, t.euc, t.sjis},
        {EUC, JIS, t.euc, t.jis},   {JIS, SJIS, t.jis, sjisBack}, {JIS, EUC, t.jis, eucBack},
        {SJIS, SJIS, t.sjis, t.sjis}, {EUC, EUC, t.euc, t.euc},   {JIS, JIS, t.jis, t.jis}};
    for (const auto& w : ways) {
      int rc = 1;
      EXPECT_EQ(Hex(Conv(w.from, w.to, w.src, &rc)), Hex(w.want)) << w.from << "->" << w.to;
      EXPECT_EQ(rc, 0) << w.from << "->" << w.to;
    }
    int rc = 1;
    EXPECT_EQ(Wide(t.sjis, &rc), t.wide);
    EXPECT_EQ(rc, 0);
    std::string back;
    EXPECT_EQ(Unicode2Sjis((const WCHAR*)t.wide, back), 0);
    EXPECT_EQ(back, std::string(t.sjis) + '\0') << "the length counts the terminator";
  }
}

// Mode changes, half-width kana and their marks, sources that end inside a
// character or hold no text, and destinations too small.
TEST(KanjiConvert, Cases) {
  struct Row {
    int from, to;
    const char* src;
    int capacity;  // 0: as large as the library asks
    const char* want;
    int rc;
  };
  const Row rows[] = {
      {SJIS, JIS, "aあb", 0, "a\x1B$B\x24\x22\x1B(Bb", 0},
      // Older kanji set and JIS-Roman are read like ESC $ B and ESC ( B;
      // other sequences change nothing, and none is copied.
      {JIS, SJIS, "\x1B$@\x24\x22\x1B(Jx\x1B(I\x1B$A\x24\x24", 0, "あx$$", 0},
      {JIS, EUC, "\x1B$B\x24\x22", 0, "\xA4\xA2", 0},  // a missing close is no fault
      {SJIS, JIS, "\xA0\x80\xFD", 0, "\xA0\x80\xFD", 0},
      {SJIS, EUC, "ｱ", 0, "\x8E\xB1", 0},
      {EUC, EUC, "\xA4\xA2\x8E\xB1z", 0, "\xA4\xA2\x8E\xB1z", 0},
      {SJIS, SJIS, "", 0, "", 0},
      // A mark merges only when it directly follows, and never after ウ;
      // in EUC that means the next 0x8E pair.
      {SJIS, JIS, "ｶﾞ", 0, "\x1B$B\x25\x2C\x1B(B", 0},
      {SJIS, JIS, "ｳﾞ", 0, "\x1B$B\x25\x26\x21\x2B\x1B(B", 0},
      {SJIS, JIS, "ﾊ ﾟ", 0, "\x1B$B\x25\x4F\x1B(B \x1B$B\x21\x2C\x1B(B", 0},
      {EUC, JIS, "\x8E\xCA\x8E\xDF\x8E\xDF", 0, "\x1B$B\x25\x51\x21\x2C\x1B(B", 0},
      {EUC, JIS, "\x8E\xCA\xDF", 0, "\x1B$B\x25\x4F\x1B(B", -1},  // a bare mark byte
      {EUC, SJIS, "\x8E\xB6\x8E\xDE", 0, "ｶﾞ", 0},
      // A lead byte before the terminator is half a character.
      {SJIS, EUC, "aあ\x82", 0, "a\xA4\xA2", -1},
      {SJIS, JIS, "aあ\xE0", 0, "a\x1B$B\x24\x22\x1B(B", -1},
      {EUC, SJIS, "x\xA4", 0, "x", -1},
      // 0x8E without a kana byte after it.
      {EUC, SJIS, "x\x8E", 0, "x", -1},
      {EUC, JIS, "x\x8E", 0, "x", -1},
      {EUC, SJIS, "x\x8E\x41", 0, "x", -1},
      {EUC, JIS, "x\x8E\xE0", 0, "x", -1},
      {EUC, SJIS, "x\x8E\xA0", 0, "x", -1},
      {EUC, JIS, "x\x8E\x8E\xB1", 0, "x", -1},
      {EUC, JIS, "\xA4\xA2\x8E", 0, "\x1B$B\x24\x22\x1B(B", -1},
      // A cut escape sequence, a kanji byte alone.
      {JIS, SJIS, "ab\x1B", 0, "ab", -1},
      {JIS, SJIS, "ab\x1B$", 0, "ab", -1},
      {JIS, SJIS, "ab\x1B$B\x24\x22\x24", 0, "ab\x82\xA0", -1},
      {JIS, EUC, "ab\x1B$B\x24\x22\x24", 0, "ab\xA4\xA2", -1},
      // Pairs whose arithmetic gives a zero byte would end the text early.
      {EUC, JIS, "a\xA4\x80" "b", 0, "a", -1},
      {EUC, JIS, "a\x80\xA1" "b", 0, "a", -1},
      {SJIS, JIS, "a\x82\x1F" "b", 0, "a", -1},
      {JIS, SJIS, "a\x1B$B\x22\x82" "b", 0, "a", -1},
      // Too small a destination: whole characters only.
      {SJIS, EUC, "aあ", 3, "a", -1},
      {SJIS, EUC, "aあ", 4, "a\xA4\xA2", 0},
      {EUC, SJIS, "\xA4\xA2\xA4\xA4", 4, "\x82\xA0", -1},
      {SJIS, SJIS, "あい", 4, "あ", -1},
      {SJIS, SJIS, "あい", 5, "あい", 0},
      {SJIS, JIS, "aあいb", 10, "a\x1B$B\x24\x22\x1B(B", -1},  // still back to ASCII
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(testing::Message() << r.from << "->" << r.to << " " << Hex(r.src) << " cap "
                                    << r.capacity);
    int rc = 1;
    EXPECT_EQ(Hex(Conv(r.from, r.to, r.src, &rc, r.capacity)), Hex(r.want));
    EXPECT_EQ(rc, r.rc);
  }
}

TEST(KanjiConvert, HalfWidthKanaAndTheirMarks) {
  // Full-width forms of 0xA1 to 0xDF, from iconv of their NFKC forms.
  static const unsigned short expected[63] = {
      0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523, 0x2525, 0x2527, 0x2529,
      0x2563, 0x2565, 0x2567, 0x2543, 0x213C, 0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B,
      0x252D, 0x252F, 0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F, 0x2541,
      0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C, 0x254D, 0x254E, 0x254F, 0x2552, 0x2555,
      0x2558, 0x255B, 0x255E, 0x255F, 0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569,
      0x256A, 0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C};
  for (int k = 0xA0; k <= 0xE0; k++) {
    SCOPED_TRACE(testing::Message() << std::hex << k);
    bool kana = k >= 0xA1 && k <= 0xDF;
    bool voiced = (k >= 0xB6 && k <= 0xC4) || (k >= 0xCA && k <= 0xCE);
    bool semi = k >= 0xCA && k <= 0xCE;
    unsigned want = kana ? expected[k - 0xA1] : 0;
    const struct { unsigned char next; bool merged; unsigned add; } marks[] = {
        {'x', false, 0}, {0xDE, voiced, 1}, {0xDF, semi, 2}};
    for (const auto& m : marks) {
      unsigned char a = 9, b = 9;
      EXPECT_EQ(getKana((unsigned char)k, m.next, a, b), m.merged);
      EXPECT_EQ((unsigned)(a << 8 | b), want + (m.merged ? m.add : 0)) << "mark " << (int)m.next;
    }
    // Half-width kana keep their single byte through EUC.
    if (kana) {
      char s[] = {(char)k, 'a', 0}, e[] = {'\x8E', (char)k, 'a', 0};
      EXPECT_EQ(Conv(SJIS, EUC, s), e);
      EXPECT_EQ(Conv(EUC, SJIS, e), s);
    }
  }
}

TEST(KanjiConvert, RoundTripOfEveryJisCode) {
  // Every JIS X 0208 code position survives JIS -> Shift-JIS -> JIS and
  // EUC -> Shift-JIS -> EUC, through valid Shift-JIS bytes.
  int bad = 0;
  for (int hi = 0x21; hi <= 0x7E; hi++) {
    for (int lo = 0x21; lo <= 0x7E; lo++) {
      const char jis[] = {'\x1B', '$', 'B', (char)hi, (char)lo, '\x1B', '(', 'B', 0};
      const char euc[] = {(char)(hi | 0x80), (char)(lo | 0x80), 0};
      int rc1 = 1, rc2 = 1, rc3 = 1, rc4 = 1;
      std::string sjis = Conv(JIS, SJIS, jis, &rc1);
      unsigned char a = sjis.size() == 2 ? (unsigned char)sjis[0] : 0;
      unsigned char b = sjis.size() == 2 ? (unsigned char)sjis[1] : 0;
      bool ok = ((a >= 0x81 && a <= 0x9F) || (a >= 0xE0 && a <= 0xEF)) && b >= 0x40 &&
                b <= 0xFC && b != 0x7F && Conv(SJIS, JIS, sjis, &rc2) == jis &&
                Conv(EUC, SJIS, euc, &rc3) == sjis && Conv(SJIS, EUC, sjis, &rc4) == euc &&
                (rc1 | rc2 | rc3 | rc4) == 0;
      if (!ok && bad++ < 5) ADD_FAILURE() << Hex(euc) << " -> " << Hex(sjis);
    }
  }
  EXPECT_EQ(bad, 0);
  // あ, 亜 (the first kanji), the first and last of the 0xE0 lead, and the
  // trail bytes around the 0x7F gap.
  const struct { unsigned char h, l; unsigned short sjis; } known[] = {
      {0x24, 0x22, 0x82A0}, {0x30, 0x21, 0x889F}, {0x5F, 0x21, 0xE040}, {0x7E, 0x7E, 0xEFFC},
      {0x21, 0x7E, 0x819E}, {0x21, 0x60, 0x8180}};
  for (auto k : known) {
    unsigned char a = k.h, b = k.l;
    jis2sjis(a, b);
    EXPECT_EQ(a << 8 | b, k.sjis) << Hex(std::string{(char)k.h, (char)k.l});
  }
}

TEST(KanjiConvert, Utf16ThatDoesNotFit) {
  // 250 あ: the plain form holds 199 units and the terminator.
  std::string src;
  for (int i = 0; i < 250; i++) src += "あ";
  std::vector<WCHAR> out(210, 0x5555);
  EXPECT_EQ(koKanjiConvert(SJIS, U16, src.c_str(), out.data()), -1);
  EXPECT_EQ(std::count(out.begin(), out.begin() + 199, 0x3042), 199);
  EXPECT_EQ(out[199], 0);
  EXPECT_EQ(out[200], 0x5555);
  const struct { std::string src; int capacity; const char16_t* want; int rc; } rows[] = {
      {src.substr(0, 2 * 199), 200, nullptr, 0}, {"abcdef", 4, u"abc", -1},
      {"abc", 3, u"ab", -1}, {"abc", 4, u"abc", 0}, {"abc", 1, u"", -1}, {"", 200, u"", 0},
      {"aあ\x9F", 200, u"aあ", -1}, {"\x81", 200, u"", -1}};  // a lead byte at the end
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << Hex(r.src.substr(0, 8)) << " cap " << r.capacity);
    int rc = 1;
    std::u16string got = Wide(r.src, &rc, r.capacity);
    EXPECT_EQ(got, r.want ? r.want : std::u16string(199, u'あ'));
    EXPECT_EQ(rc, r.rc);
  }
}

TEST(KanjiConvert, UnsupportedPairsAndArgumentsFailEmpty) {
  const int pairs[][2] = {{SJIS, 99}, {99, SJIS}, {0, 0},   {U16, SJIS},
                          {U16, U16}, {EUC, U16}, {JIS, KOCODE_UTF16B}};
  for (auto p : pairs) {
    for (const char* src : {"abc", "", (const char*)nullptr}) {
      WCHAR out[8] = {0x5555, 0x5555};
      EXPECT_EQ(koKanjiConvert(p[0], p[1], src, out, 8), -1) << p[0] << " " << p[1];
      EXPECT_EQ(out[0] & 0xFF, 0) << p[0] << " " << p[1];
    }
  }
  char text[8] = "zzz";
  EXPECT_EQ(koKanjiConvert(SJIS, EUC, nullptr, text, 8), -1);
  EXPECT_EQ(text[0], 0);
  char guard[2] = {'#', '#'};
  EXPECT_EQ(koKanjiConvert(SJIS, EUC, "a", guard, 0), -1);
  EXPECT_EQ(guard[0], '#') << "capacity 0 writes nothing";
  EXPECT_EQ(koKanjiConvert(SJIS, EUC, "a", nullptr, 8), -1);
  std::string s = "old";
  EXPECT_NE(Unicode2Sjis(nullptr, s), 0);
  EXPECT_EQ(s, "");
}

// Arbitrary bytes in every direction, against a destination with guard
// bytes on both sides: nothing outside the capacity is written, the output
// is terminated, a result that fits equals the unbounded one, a cut one is
// its prefix (or, for JIS, still ends back in ASCII).
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
  int outcomes[2] = {0, 0};
  for (int n = 0; n < 4000 && !HasFatalFailure(); n++) {
    int from = codes[next() % 4 == 0 ? next() % 6 : next() % 3];
    int to = codes[next() % 6];
    std::vector<char> src(next() % 24 + 1, 0);
    for (size_t i = 0; i + 1 < src.size(); i++) {
      unsigned r = next();
      src[i] = (char)((r & 1) ? interesting[(r >> 1) % sizeof interesting] : 1 + (r >> 1) % 255);
    }
    bool wide = to == U16 || to == KOCODE_UTF16B;
    size_t unit = wide ? sizeof(WCHAR) : 1;
    // Output units up to the terminator; ~0u marks a missing terminator.
    auto run = [&](int capacity, int* rc) {
      std::vector<unsigned char> buf((size_t)capacity * unit + 2 * guard, 0xA5);
      *rc = koKanjiConvert(from, to, src.data(), buf.data() + guard, capacity);
      for (int i = 0; i < guard; i++) {
        EXPECT_EQ(buf[(size_t)i], 0xA5) << "written before the destination";
        EXPECT_EQ(buf[buf.size() - 1 - (size_t)i], 0xA5) << "written past the capacity";
      }
      std::vector<unsigned> u;
      for (int i = 0; i < capacity; i++) {
        const unsigned char* p = buf.data() + guard + (size_t)i * unit;
        unsigned v = wide ? (unsigned)(p[0] | p[1] << 8) : p[0];
        if (!v) return u;
        u.push_back(v);
      }
      u.push_back(~0u);
      return u;
    };
    SCOPED_TRACE(testing::Message() << "case " << n << " " << from << "->" << to << " src "
                                    << Hex(src.data()));
    int bound = wide ? 200 : koKanjiConvertSize(from, to, src.data()), rcFull, rcCut;
    std::vector<unsigned> full = run(bound, &rcFull);
    // Mostly around the real length, where cutting happens.
    int capacity = 1 + (int)(next() % (next() % 4 ? full.size() + 3 : bound + 2u));
    SCOPED_TRACE(capacity);
    std::vector<unsigned> cut = run(capacity, &rcCut);
    ASSERT_TRUE(rcFull == 0 || rcFull == -1);
    ASSERT_TRUE(full.empty() || full.back() != ~0u) << "unbounded output not terminated";
    ASSERT_TRUE(cut.empty() || cut.back() != ~0u) << "cut output not terminated";
    if ((int)full.size() < capacity) {
      ASSERT_EQ(rcCut, rcFull) << "a result that fits must not fail";
      ASSERT_EQ(full, cut);
    } else if (to == JIS) {
      ASSERT_EQ(rcCut, -1) << "a cut result must fail";
      // Escapes in the output are then the converter's own.
      auto esc = std::find(cut.rbegin(), cut.rend(), 0x1Bu);
      if (from != JIS && !memchr(src.data(), 0x1B, src.size()) && esc != cut.rend()) {
        ASSERT_GE(esc - cut.rbegin(), 2);
        ASSERT_EQ(*(esc - 1), (unsigned)'(') << "a cut result ends back in ASCII";
      }
    } else {
      ASSERT_EQ(rcCut, -1) << "a cut result must fail";
      ASSERT_TRUE(std::equal(cut.begin(), cut.end(), full.begin())) << "not a prefix";
      ASSERT_GE((int)cut.size() + (wide ? 1 : 2), capacity) << "whole characters, as far as they go";
    }
    outcomes[rcFull == 0]++;
  }
  EXPECT_GT(outcomes[0], 500);  // both outcomes were exercised
  EXPECT_GT(outcomes[1], 500);
}
