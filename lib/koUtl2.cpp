#include "koUtl2.h"
#include "koJChar.h"
#include <limits.h>
#include <string.h>
#include <vector>

typedef unsigned char uchar;

namespace {

const uchar ESC = 0x1B;

// JIS X 0208 codes of the half-width katakana 0xA1 to 0xDF.
const unsigned short kanaTable[63] = {
    0x2123, 0x2156, 0x2157, 0x2122, 0x2126, 0x2572, 0x2521, 0x2523,  // A1
    0x2525, 0x2527, 0x2529, 0x2563, 0x2565, 0x2567, 0x2543, 0x213C,  // A9
    0x2522, 0x2524, 0x2526, 0x2528, 0x252A, 0x252B, 0x252D, 0x252F,  // B1
    0x2531, 0x2533, 0x2535, 0x2537, 0x2539, 0x253B, 0x253D, 0x253F,  // B9
    0x2541, 0x2544, 0x2546, 0x2548, 0x254A, 0x254B, 0x254C, 0x254D,  // C1
    0x254E, 0x254F, 0x2552, 0x2555, 0x2558, 0x255B, 0x255E, 0x255F,  // C9
    0x2560, 0x2561, 0x2562, 0x2564, 0x2566, 0x2568, 0x2569, 0x256A,  // D1
    0x256B, 0x256C, 0x256D, 0x256F, 0x2573, 0x212B, 0x212C,          // D9
};

bool isKana(uchar c) { return c >= 0xA1 && c <= 0xDF; }
bool isByteCode(int code) {
  return code == KOCODE_SJIS || code == KOCODE_EUC || code == KOCODE_JIS;
}
bool isWideCode(int code) { return code == KOCODE_UTF16 || code == KOCODE_UTF16B; }

// Shift-JIS lead and trail byte to a JIS X 0208 code, byte arithmetic.
void sjis2jis(uchar c, uchar d, uchar& first, uchar& second) {
  if (c > 0xDF) c = (uchar)(c - 0x40);
  if (d >= 0x80) d = (uchar)(d - 1);
  if (d < 0x9E) {
    first = (uchar)(2 * c + 0x1F);
    second = (uchar)(d - 0x1F);
  } else {
    first = (uchar)(2 * c + 0x20);
    second = (uchar)(d - 0x7D);
  }
}

// Bounded output. Writes whole characters only; for JIS output it keeps
// room to close kanji mode, so a cut result is still well formed. Once a
// piece is refused nothing more is written and the result is failure.
class Sink {
 public:
  Sink(uchar* d, int capacity, bool jis) : d_(d), cap_(capacity), jis_(jis) { d_[0] = 0; }

  bool put(uchar a) { return put(&a, 1, false); }
  bool put(uchar a, uchar b, bool kanji) {
    uchar pair[2] = {a, b};
    return put(pair, 2, kanji);
  }
  bool put(const uchar* bytes, int k, bool kanji) {
    if (full_) return false;
    // Arithmetic on bytes that are no text can give a zero byte, which
    // would end the result early while reporting success.
    if (memchr(bytes, 0, (size_t)k)) {
      full_ = true;
      return false;
    }
    kanji = jis_ && kanji;
    int escape = kanji != kanji_ ? 3 : 0;
    int reserve = (kanji ? 3 : 0) + 1;
    if ((long)n_ + escape + k + reserve > cap_) {
      full_ = true;
      return false;
    }
    if (escape) {
      d_[n_++] = ESC;
      d_[n_++] = kanji ? '$' : '(';
      d_[n_++] = 'B';
      kanji_ = kanji;
    }
    memcpy(d_ + n_, bytes, (size_t)k);
    n_ += k;
    return true;
  }
  int finish(int rc) {
    if (kanji_) {
      d_[n_++] = ESC;
      d_[n_++] = '(';
      d_[n_++] = 'B';
      kanji_ = false;
    }
    d_[n_] = 0;
    return full_ ? -1 : rc;
  }

 private:
  uchar* d_;
  int cap_;
  bool jis_;
  int n_ = 0;
  bool kanji_ = false;
  bool full_ = false;
};

int copySame(int code, const uchar* s, Sink& out) {
  while (*s) {
    int k = 1;
    if (s[1] && ((code == KOCODE_SJIS && koIsLeadByte(*s)) || (code == KOCODE_EUC && (*s & 0x80))))
      k = 2;
    if (!out.put(s, k, false)) break;
    s += k;
  }
  return out.finish(0);
}

int fromSjis(int to, const uchar* s, Sink& out) {
  int rc = 0;
  while (*s) {
    uchar c = *s, a, b;
    bool ok;
    if (koIsLeadByte(c)) {
      // A lead byte must not take the terminator as its trail byte.
      if (!s[1]) {
        rc = -1;
        break;
      }
      sjis2jis(c, s[1], a, b);
      s += 2;
      if (to == KOCODE_EUC) ok = out.put(a | 0x80, b | 0x80, false);
      else ok = out.put(a, b, true);
    } else if (isKana(c)) {
      if (to == KOCODE_EUC) {
        ok = out.put(0x8E, c, false);
        s++;
      } else {
        s += getKana(c, s[1], a, b) ? 2 : 1;
        ok = out.put(a, b, true);
      }
    } else {
      ok = out.put(c);
      s++;
    }
    if (!ok) break;
  }
  return out.finish(rc);
}

int fromEuc(int to, const uchar* s, Sink& out) {
  int rc = 0;
  while (*s) {
    uchar c = *s, a, b;
    bool ok;
    if (c == 0x8E) {
      // Only 0xA1 to 0xDF are half-width kana; anything else is no text.
      uchar kana = s[1];
      if (!isKana(kana)) {
        rc = -1;
        break;
      }
      if (to == KOCODE_JIS) {
        uchar next = s[2] == 0x8E ? s[3] : 0;
        s += getKana(kana, next, a, b) ? 4 : 2;
        ok = out.put(a, b, true);
      } else {
        ok = out.put(kana);
        s += 2;
      }
    } else if (c & 0x80) {
      if (!s[1]) {
        rc = -1;
        break;
      }
      a = c & 0x7F;
      b = s[1] & 0x7F;
      s += 2;
      if (to == KOCODE_SJIS) {
        jis2sjis(a, b);
        ok = out.put(a, b, false);
      } else {
        ok = out.put(a, b, true);
      }
    } else {
      ok = out.put(c);
      s++;
    }
    if (!ok) break;
  }
  return out.finish(rc);
}

int fromJis(int to, const uchar* s, Sink& out) {
  int rc = 0;
  bool kanji = false;
  while (*s) {
    uchar c = *s, a, b;
    bool ok = true;
    if (c == ESC) {
      if (!s[1] || !s[2]) {
        rc = -1;
        break;
      }
      if (s[1] == '$' && (s[2] == 'B' || s[2] == '@')) kanji = true;
      else if (s[1] == '(' && (s[2] == 'B' || s[2] == 'J')) kanji = false;
      s += 3;
    } else if (kanji) {
      if (!s[1]) {
        rc = -1;
        break;
      }
      a = c;
      b = s[1];
      s += 2;
      if (to == KOCODE_EUC) {
        a |= 0x80;
        b |= 0x80;
      } else {
        jis2sjis(a, b);
      }
      ok = out.put(a, b, false);
    } else {
      ok = out.put(c);
      s++;
    }
    if (!ok) break;
  }
  return out.finish(rc);
}

bool isHighSurrogate(WCHAR w) { return w >= 0xD800 && w <= 0xDBFF; }

int sjisToWide(const uchar* s, WCHAR* w, int capacity) {
  // Up to a lone lead byte at the end, which is half a character.
  int len = 0, rc = 0;
  while (s[len]) {
    if (koIsLeadByte(s[len])) {
      if (!s[len + 1]) {
        rc = -1;
        break;
      }
      len += 2;
    } else {
      len++;
    }
  }
  if (len == 0) return rc;
  const char* src = (const char*)s;
  int n = MultiByteToWideChar(koCodePage, 0, src, len, nullptr, 0);
  if (n <= 0) return -1;
  if (n < capacity) {
    n = MultiByteToWideChar(koCodePage, 0, src, len, w, capacity - 1);
    if (n <= 0) return -1;
    w[n] = 0;
    return rc;
  }
  // Does not fit: convert all, then keep what the capacity allows.
  std::vector<WCHAR> all((size_t)n);
  n = MultiByteToWideChar(koCodePage, 0, src, len, all.data(), n);
  if (n <= 0) return -1;
  int keep = n < capacity - 1 ? n : capacity - 1;
  if (keep > 0 && isHighSurrogate(all[(size_t)keep - 1])) keep--;
  memcpy(w, all.data(), (size_t)keep * sizeof(WCHAR));
  w[keep] = 0;
  return -1;
}

}  // namespace

int Unicode2Sjis(const WCHAR* wide, std::string& string) {
  string.clear();
  if (!wide) return 87;  // ERROR_INVALID_PARAMETER
  int n = WideCharToMultiByte(koCodePage, 0, wide, -1, nullptr, 0, nullptr, nullptr);
  if (n <= 0) return (int)GetLastError();
  string.assign((size_t)n, ' ');
  if (WideCharToMultiByte(koCodePage, 0, wide, -1, &string[0], n, nullptr, nullptr) == 0) {
    string.clear();
    return (int)GetLastError();
  }
  return 0;
}

void jis2sjis(unsigned char& first, unsigned char& second) {
  int t = (uchar)(first - 0x21);
  if (t & 1) {
    second = (uchar)(second + 0x7E);
  } else if (second + 0x1F > 0x7E) {
    second = (uchar)(second + 0x20);
  } else {
    second = (uchar)(second + 0x1F);
  }
  int h = t / 2;
  first = (uchar)(h <= 0x1E ? h + 0x81 : h + 0xC1);
}

bool getKana(unsigned char kana, unsigned char next, unsigned char& first,
             unsigned char& second) {
  if (!isKana(kana)) {
    first = second = 0;
    return false;
  }
  unsigned short code = kanaTable[kana - 0xA1];
  first = (uchar)(code >> 8);
  second = (uchar)(code & 0xFF);
  bool ha = kana >= 0xCA && kana <= 0xCE;
  if (next == 0xDF && ha) {
    second = (uchar)(second + 2);
    return true;
  }
  if (next == 0xDE && (ha || (kana >= 0xB6 && kana <= 0xC4))) {
    second = (uchar)(second + 1);
    return true;
  }
  return false;
}

int koKanjiConvertSize(int from, int to, const char* source) {
  size_t len = source ? strlen(source) : 0;
  size_t size = len + 1;
  if (to == KOCODE_JIS && from != KOCODE_JIS) size = 5 * len + 4;
  else if (from == KOCODE_SJIS && to == KOCODE_EUC) size = 2 * len + 1;
  return size > (size_t)INT_MAX ? INT_MAX : (int)size;
}

int koKanjiConvert(int from, int to, const char* source, void* destination, int capacity) {
  if (!destination || capacity < 1) return -1;
  const uchar* s = (const uchar*)source;
  if (isWideCode(to)) {
    WCHAR* w = (WCHAR*)destination;
    w[0] = 0;
    if (!s || from != KOCODE_SJIS) return -1;
    return sjisToWide(s, w, capacity);
  }
  uchar* d = (uchar*)destination;
  d[0] = 0;
  if (!s || !isByteCode(from) || !isByteCode(to)) return -1;
  Sink out(d, capacity, to == KOCODE_JIS && from != KOCODE_JIS);
  if (from == to) return copySame(from, s, out);
  if (from == KOCODE_SJIS) return fromSjis(to, s, out);
  if (from == KOCODE_EUC) return fromEuc(to, s, out);
  return fromJis(to, s, out);
}

int koKanjiConvert(int from, int to, const char* source, void* destination) {
  int capacity = isWideCode(to) ? 200 : koKanjiConvertSize(from, to, source);
  return koKanjiConvert(from, to, source, destination, capacity);
}
