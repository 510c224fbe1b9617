#include <gtest/gtest.h>
#include <algorithm>
#include <string.h>
#include "koUtl2.h"
#include "ko_test.h"

namespace {
const int SJIS = KOCODE_SJIS, EUC = KOCODE_EUC, JIS = KOCODE_JIS, U16 = KOCODE_UTF16;

std::string Bytes(const char* hex) {
  std::string s;
  for (; hex[0] && hex[1]; hex += 2) s += (char)std::stoi(std::string(hex, 2), nullptr, 16);
  return s;
}

// Through the capacity form (0: the size the library asks for); the source
// has its exact size so that the sanitizer sees reads past it.
std::string Conv(int from, int to, const std::string& src, int* rc = nullptr, int capacity = 0) {
  std::vector<char> in(src.c_str(), src.c_str() + src.size() + 1);
  if (capacity == 0) capacity = koKanjiConvertSize(from, to, in.data());
  std::vector<char> out((size_t)capacity, '\x55');
  int r = koKanjiConvert(from, to, in.data(), out.data(), capacity);
  if (rc) *rc = r;
  return std::string(out.data(), strnlen(out.data(), out.size()));
}
// The same in hex, with the result code.
std::string Out(int from, int to, const std::string& src, int capacity = 0) {
  int rc = 1;
  std::string out = Hex(Conv(from, to, src, &rc, capacity));
  return out + "rc " + std::to_string(rc);
}

std::u16string Wide(const std::string& src, int* rc, int capacity = 200) {
  std::vector<char> in(src.c_str(), src.c_str() + src.size() + 1);
  std::vector<WCHAR> out((size_t)capacity, 0x5555);
  *rc = koKanjiConvert(SJIS, U16, in.data(), out.data(), capacity);
  std::u16string w;
  for (size_t i = 0; i < out.size() && out[i]; i++) w += (char16_t)out[i];
  return w;
}
}  // namespace

TEST(KanjiConvert, SentencesInEveryDirection) {
  // EUC and JIS (hex) from the system's iconv. JIS has no half-width kana:
  // they come back full-width (sjisBack, eucBack; null: unchanged).
#define BOTH(t) t, u"" t
  const struct { const char* sjis; const char16_t* wide; const char *euc, *jis, *sjisBack = nullptr, *eucBack = nullptr; } rows[] = {
      {BOTH("表示・ソフト・能力の予定表"), "C9BDBCA8A1A6A5BDA5D5A5C8A1A6C7BDCECFA4CECDBDC4EAC9BD",  // trail bytes 5C
       "1B2442493D3C282126253D255525482126473D4E4F244E4D3D446A493D1B2842"},
      {BOTH("ASCII と漢字: 東京 2024年5月"), "415343494920A4C8B4C1BBFA3A20C5ECB5FE2032303234C7AF35B7EE",
       "4153434949201B2442244834413B7A1B28423A201B2442456C357E1B284220323032341B2442472F1B2842351B2442376E1B2842"},
      {BOTH("ｶﾞｷﾞｸﾞ ﾊﾟﾋﾟﾌﾟ ｱｲｳｴｵ ｳﾞ ﾊﾞﾝﾄﾞ｡"),
       "8EB68EDE8EB78EDE8EB88EDE208ECA8EDF8ECB8EDF8ECC8EDF208EB18EB28EB38EB48EB5208EB38EDE208ECA8EDE8EDD8EC48EDE8EA1",
       "1B2442252C252E25301B2842201B24422551255425571B2842201B24422522252425262528252A1B2842201B24422526212B1B2842201B"
       "244225502573254921231B2842", "ガギグ パピプ アイウエオ ウ゛ バンド。",
       "A5ACA5AEA5B020A5D1A5D4A5D720A5A2A5A4A5A6A5A8A5AA20A5A6A1AB20A5D0A5F3A5C9A1A3"}};
#undef BOTH
  for (const auto& t : rows) {
    SCOPED_TRACE(Hex(t.sjis));
    std::string s = t.sjis, e = Bytes(t.euc), j = Bytes(t.jis);
    std::string sb = t.sjisBack ? t.sjisBack : s, eb = t.eucBack ? Bytes(t.eucBack) : e;
    const struct { int from, to; std::string src, want; } ways[] = {
        {SJIS, EUC, s, e}, {SJIS, JIS, s, j}, {EUC, SJIS, e, s}, {EUC, JIS, e, j}, {JIS, SJIS, j, sb},
        {JIS, EUC, j, eb}, {SJIS, SJIS, s, s}, {EUC, EUC, e, e}, {JIS, JIS, j, j}};
    for (const auto& w : ways) EXPECT_EQ(Out(w.from, w.to, w.src), Hex(w.want) + "rc 0") << w.from << "->" << w.to;
    int rc = 1;
    EXPECT_TRUE(Wide(s, &rc) == t.wide && rc == 0);
    std::string back;
    EXPECT_TRUE(Unicode2Sjis((const WCHAR*)t.wide, back) == 0 && back == s + '\0') << "the length counts the terminator";
  }
}

// Mode changes, kana marks, sources that end inside a character or hold no
// text, destinations too small (capacity 0: as large as the library asks).
TEST(KanjiConvert, Cases) {
  const struct { int from, to; const char* src; int capacity; const char* want; int rc; } rows[] = {
      // Older kanji set and JIS-Roman read like ESC $ B and ESC ( B; other
      // sequences change nothing; none is copied. A missing close is no fault.
      {SJIS, JIS, "aあb", 0, "a\x1B$B\x24\x22\x1B(Bb", 0}, {JIS, EUC, "\x1B$B\x24\x22", 0, "\xA4\xA2", 0},
      {JIS, SJIS, "\x1B$@\x24\x22\x1B(Jx\x1B(I\x1B$A\x24\x24", 0, "あx$$", 0}, {SJIS, SJIS, "", 0, "", 0},
      {SJIS, JIS, "\xA0\x80\xFD", 0, "\xA0\x80\xFD", 0}, {EUC, EUC, "\xA4\xA2\x8E\xB1z", 0, "\xA4\xA2\x8E\xB1z", 0},
      // A mark merges only when it directly follows (ｶﾞ and ｳﾞ: the kana sentence above).
      {SJIS, JIS, "ﾊ ﾟ", 0, "\x1B$B\x25\x4F\x1B(B \x1B$B\x21\x2C\x1B(B", 0},
      {EUC, JIS, "\x8E\xCA\x8E\xDF\x8E\xDF", 0, "\x1B$B\x25\x51\x21\x2C\x1B(B", 0},
      {EUC, JIS, "\x8E\xCA\xDF", 0, "\x1B$B\x25\x4F\x1B(B", -1},  // a bare mark byte
      // Half a character before the terminator; 0x8E without a kana after it;
      // a cut escape sequence, a kanji byte alone.
      {SJIS, EUC, "aあ\x82", 0, "a\xA4\xA2", -1}, {SJIS, JIS, "aあ\xE0", 0, "a\x1B$B\x24\x22\x1B(B", -1},
      {EUC, SJIS, "x\xA4", 0, "x", -1}, {EUC, SJIS, "x\x8E", 0, "x", -1}, {EUC, JIS, "x\x8E", 0, "x", -1},
      {EUC, SJIS, "x\x8E\x41", 0, "x", -1}, {EUC, JIS, "x\x8E\xE0", 0, "x", -1}, {EUC, SJIS, "x\x8E\xA0", 0, "x", -1},
      {EUC, JIS, "x\x8E\x8E\xB1", 0, "x", -1}, {EUC, JIS, "\xA4\xA2\x8E", 0, "\x1B$B\x24\x22\x1B(B", -1},
      {JIS, SJIS, "ab\x1B", 0, "ab", -1}, {JIS, SJIS, "ab\x1B$", 0, "ab", -1},
      {JIS, SJIS, "ab\x1B$B\x24\x22\x24", 0, "ab\x82\xA0", -1}, {JIS, EUC, "ab\x1B$B\x24\x22\x24", 0, "ab\xA4\xA2", -1},
      // Pairs whose arithmetic gives a zero byte would end the text early.
      {EUC, JIS, "a\xA4\x80" "b", 0, "a", -1}, {EUC, JIS, "a\x80\xA1" "b", 0, "a", -1},
      {SJIS, JIS, "a\x82\x1F" "b", 0, "a", -1}, {JIS, SJIS, "a\x1B$B\x22\x82" "b", 0, "a", -1},
      // Too small a destination: whole characters only, JIS still back to ASCII.
      {SJIS, EUC, "aあ", 3, "a", -1}, {SJIS, EUC, "aあ", 4, "a\xA4\xA2", 0}, {SJIS, SJIS, "あい", 4, "あ", -1},
      {SJIS, SJIS, "あい", 5, "あい", 0}, {EUC, SJIS, "\xA4\xA2\xA4\xA4", 4, "\x82\xA0", -1},
      {SJIS, JIS, "aあいb", 10, "a\x1B$B\x24\x22\x1B(B", -1}};
  for (const auto& r : rows) {
    EXPECT_EQ(Out(r.from, r.to, r.src, r.capacity), Hex(r.want) + "rc " + std::to_string(r.rc))
        << r.from << "->" << r.to << " " << Hex(r.src) << " cap " << r.capacity;
  }
}

TEST(KanjiConvert, HalfWidthKanaAndTheirMarks) {
  // JIS codes of the full-width forms of 0xA1 to 0xDF (iconv of their NFKC).
  const std::string jis = Bytes(
      "212321562157212221262572252125232525252725292563256525672543213C2522252425262528252A"
      "252B252D252F25312533253525372539253B253D253F2541254425462548254A254B254C254D254E254F"
      "255225552558255B255E255F2560256125622564256625682569256A256B256C256D256F2573212B212C");
  for (int k = 0xA0; k <= 0xE0; k++) {
    SCOPED_TRACE(testing::Message() << std::hex << k);
    bool kana = k >= 0xA1 && k <= 0xDF, semi = k >= 0xCA && k <= 0xCE, voiced = semi || (k >= 0xB6 && k <= 0xC4);
    unsigned want = kana ? (unsigned char)jis[2 * (k - 0xA1)] << 8 | (unsigned char)jis[2 * (k - 0xA1) + 1] : 0;
    const struct { unsigned char next; bool merged; unsigned add; } marks[] = {{'x', false, 0}, {0xDE, voiced, 1}, {0xDF, semi, 2}};
    for (const auto& m : marks) {
      unsigned char a = 9, b = 9;
      EXPECT_EQ(getKana((unsigned char)k, m.next, a, b), m.merged);
      EXPECT_EQ((unsigned)(a << 8 | b), want + (m.merged ? m.add : 0)) << "mark " << (int)m.next;
    }
    std::string s{(char)k, 'a'}, e{'\x8E', (char)k, 'a'};
    EXPECT_TRUE(!kana || (Conv(SJIS, EUC, s) == e && Conv(EUC, SJIS, e) == s)) << "a single byte through EUC";
  }
}

TEST(KanjiConvert, RoundTripOfEveryJisCode) {
  // Every JIS X 0208 position survives JIS -> Shift-JIS -> JIS and EUC ->
  // Shift-JIS -> EUC, through valid Shift-JIS bytes.
  int bad = 0;
  for (int hi = 0x21; hi <= 0x7E; hi++) {
    for (int lo = 0x21; lo <= 0x7E; lo++) {
      const char jis[] = {'\x1B', '$', 'B', (char)hi, (char)lo, '\x1B', '(', 'B', 0};
      const char euc[] = {(char)(hi | 0x80), (char)(lo | 0x80), 0};
      int rc[4] = {1, 1, 1, 1};
      std::string sjis = Conv(JIS, SJIS, jis, &rc[0]);
      unsigned char a = sjis.size() == 2 ? (unsigned char)sjis[0] : 0, b = sjis.size() == 2 ? sjis[1] : 0;
      bool ok = ((a >= 0x81 && a <= 0x9F) || (a >= 0xE0 && a <= 0xEF)) && b >= 0x40 && b <= 0xFC &&
                b != 0x7F && Conv(SJIS, JIS, sjis, &rc[1]) == jis && Conv(EUC, SJIS, euc, &rc[2]) == sjis &&
                Conv(SJIS, EUC, sjis, &rc[3]) == euc && (rc[0] | rc[1] | rc[2] | rc[3]) == 0;
      if (!ok && bad++ < 5) ADD_FAILURE() << Hex(euc) << " -> " << Hex(sjis);
    }
  }
  EXPECT_EQ(bad, 0);
  // あ, 亜, the first and last of the 0xE0 lead, trail bytes around 0x7F.
  const struct { unsigned char h, l; unsigned short sjis; } known[] = {{0x24, 0x22, 0x82A0}, {0x30, 0x21, 0x889F},
      {0x5F, 0x21, 0xE040}, {0x7E, 0x7E, 0xEFFC}, {0x21, 0x7E, 0x819E}, {0x21, 0x60, 0x8180}};
  for (auto k : known) {
    unsigned char a = k.h, b = k.l;
    EXPECT_EQ((jis2sjis(a, b), a << 8 | b), k.sjis) << Hex(std::string{(char)k.h, (char)k.l});
  }
}

TEST(KanjiConvert, Utf16ThatDoesNotFitAndBadArguments) {
  // 250 あ: the plain form holds 199 units and the terminator.
  std::string src;
  for (int i = 0; i < 250; i++) src += "あ";
  std::vector<WCHAR> out(210, 0x5555);
  EXPECT_EQ(koKanjiConvert(SJIS, U16, src.c_str(), out.data()), -1);
  EXPECT_EQ(std::count(out.begin(), out.begin() + 199, 0x3042), 199);
  EXPECT_TRUE(out[199] == 0 && out[200] == 0x5555);
  const struct { std::string src; int capacity; const char16_t* want; int rc; } rows[] = {
      {src.substr(0, 2 * 199), 200, nullptr, 0}, {"abcdef", 4, u"abc", -1}, {"abc", 3, u"ab", -1},
      {"abc", 4, u"abc", 0}, {"abc", 1, u"", -1}, {"", 200, u"", 0},
      {"aあ\x9F", 200, u"aあ", -1}, {"\x81", 200, u"", -1}};  // a lead byte at the end
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << Hex(r.src.substr(0, 8)) << " cap " << r.capacity);
    int rc = 1;
    EXPECT_TRUE(Wide(r.src, &rc, r.capacity) == (r.want ? r.want : std::u16string(199, u'あ')) && rc == r.rc);
  }
  // Unsupported pairs and arguments fail with empty output.
  const int pairs[][2] = {{SJIS, 99}, {99, SJIS}, {0, 0}, {U16, SJIS}, {U16, U16}, {EUC, U16}, {JIS, KOCODE_UTF16B}};
  WCHAR w[8];
  for (auto p : pairs)
    for (const char* src : {"abc", "", (const char*)nullptr})
      EXPECT_TRUE((w[0] = 0x5555, koKanjiConvert(p[0], p[1], src, w, 8) == -1 && (w[0] & 0xFF) == 0)) << p[0] << " " << p[1];
  char text[8] = "zzz", guard[2] = {'#', '#'};
  EXPECT_TRUE(koKanjiConvert(SJIS, EUC, nullptr, text, 8) == -1 && text[0] == 0);
  EXPECT_TRUE(koKanjiConvert(SJIS, EUC, "a", guard, 0) == -1 && guard[0] == '#') << "capacity 0 writes nothing";
  EXPECT_EQ(koKanjiConvert(SJIS, EUC, "a", nullptr, 8), -1);
  std::string s = "old";
  EXPECT_TRUE(Unicode2Sjis(nullptr, s) != 0 && s.empty());
}

// Arbitrary bytes in every direction into a destination with guard bytes
// on both sides: nothing outside the capacity is written, the output is
// terminated, a result that fits equals the unbounded one, a cut one is its
// prefix (for JIS: still ends back in ASCII).
TEST(KanjiConvert, RandomBytesStayInBounds) {
  static const unsigned char interesting[] = {0x1B, '$', '(', 'B', 'J', '@', 0x8E, 0x8F, 0x81, 0x82,
      0x9F, 0xE0, 0xEF, 0xFC, 0xA1, 0xB6, 0xCA, 0xDE, 0xDF, 0x80, 0xA0, 0xFD, 0xFF, 0x24, 0x21, 0x7E, 'a', ' '};
  static const int codes[] = {SJIS, EUC, JIS, U16, KOCODE_UTF16B, 99};
  unsigned long seed = 20240531;
  auto next = [&seed]() { return (unsigned)(((seed = seed * 1103515245u + 12345u) >> 16) & 0x7FFF); };
  const int guard = 16;
  int outcomes[2] = {0, 0};
  for (int n = 0; n < 4000 && !HasFatalFailure(); n++) {
    int from = codes[next() % 4 == 0 ? next() % 6 : next() % 3], to = codes[next() % 6];
    std::vector<char> src(next() % 24 + 1, 0);
    for (size_t i = 0; i + 1 < src.size(); i++) src[i] = (char)(next() & 1 ? interesting[next() % sizeof interesting] : 1 + next() % 255);
    bool wide = to == U16 || to == KOCODE_UTF16B;
    size_t unit = wide ? sizeof(WCHAR) : 1;
    // The output up to its terminator, in bytes.
    auto run = [&](int capacity, int* rc) {
      std::string buf((size_t)capacity * unit + 2 * guard, '\xA5');
      *rc = koKanjiConvert(from, to, src.data(), &buf[guard], capacity);
      EXPECT_EQ(buf.substr(0, guard) + buf.substr(buf.size() - guard), std::string(2 * guard, '\xA5'))
          << "written outside the capacity";
      for (size_t i = guard; i < buf.size() - guard; i += unit)
        if (buf.compare(i, unit, std::string(unit, '\0')) == 0) return buf.substr(guard, i - guard);
      ADD_FAILURE() << "not terminated";
      return std::string();
    };
    SCOPED_TRACE(testing::Message() << "case " << n << " " << from << "->" << to << " src " << Hex(src.data()));
    int bound = wide ? 200 : koKanjiConvertSize(from, to, src.data()), rcFull, rcCut;
    std::string full = run(bound, &rcFull);
    int capacity = 1 + (int)(next() % (next() % 4 ? full.size() / unit + 3 : bound + 2u));  // mostly where cutting happens
    SCOPED_TRACE(capacity);
    std::string cut = run(capacity, &rcCut);
    ASSERT_TRUE(rcFull == 0 || rcFull == -1);
    if ((int)(full.size() / unit) < capacity) {
      ASSERT_EQ(rcCut, rcFull) << "a result that fits must not fail";
      ASSERT_EQ(Hex(full), Hex(cut));
    } else {
      ASSERT_EQ(rcCut, -1) << "a cut result must fail";
      if (to != JIS) {
        ASSERT_EQ(Hex(full.substr(0, cut.size())), Hex(cut)) << "not a prefix";
        ASSERT_GE((int)(cut.size() / unit) + (wide ? 1 : 2), capacity) << "whole characters, as far as they go";
      } else if (from != JIS && !memchr(src.data(), 0x1B, src.size()) && cut.rfind('\x1B') != std::string::npos) {
        ASSERT_EQ(cut.substr(cut.rfind('\x1B'), 3), "\x1B(B") << "a cut result ends back in ASCII";
      }
    }
    outcomes[rcFull == 0]++;
  }
  EXPECT_TRUE(outcomes[0] > 500 && outcomes[1] > 500) << "both outcomes exercised";
}
