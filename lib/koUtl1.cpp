#include "koUtl1.h"
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include "koJChar.h"
#include "koPlatform.h"

typedef unsigned char uchar;

bool koIsAllBlank(const char* text) {
  if (!text) return true;
  for (const uchar* p = (const uchar*)text; *p; p++)
    if (*p > 0x20) return false;
  return true;
}

bool koBlankCut(char* text) {
  if (!text || !*text) return false;
  uchar* p = (uchar*)text;
  uchar* s = p;
  while (*s && *s <= 0x20) s++;
  if (!*s) {
    *p = 0;
    return true;
  }
  size_t len = strlen((char*)s);
  size_t end = len;
  while (end > 0 && s[end - 1] <= 0x20) end--;
  bool cut = (s != p) || end != len;
  if (s != p) memmove(p, s, end);
  p[end] = 0;
  return cut;
}

int koStrncpy(char* destination, const char* source, int size) {
  if (!destination || !source || size < 1) return -1;
  const uchar* s = (const uchar*)source;
  int count = 1, result = 0;
  while (*s) {
    if (koJChar1(*s) == 2) {
      // A lone lead byte before the terminator is half a character: stop.
      if (!s[1]) break;
      count += 2;
      if (count >= size) break;
      destination[result++] = (char)s[0];
      destination[result++] = (char)s[1];
      s += 2;
    } else {
      count += 1;
      if (count >= size) break;
      destination[result++] = (char)*s++;
    }
  }
  destination[result] = 0;
  return result;
}

char* koStrchr(const char* text, unsigned int c) {
  if (!text) return nullptr;
  const uchar* p = (const uchar*)text;
  while (*p) {
    if (koJChar1(*p) == 2) {
      if (!p[1]) return nullptr;
      if (c >= 256 && (unsigned)((p[0] << 8) | p[1]) == c) return (char*)p;
      p += 2;
    } else {
      if (c < 256 && *p == c) return (char*)p;
      p++;
    }
  }
  return nullptr;
}

char* koGetExtension(const char* text) {
  char* last = nullptr;
  for (char* p = koStrchr(text, '.'); p; p = koStrchr(p + 1, '.')) last = p;
  return last;
}

static uchar upperByte(uchar c) { return (c >= 'a' && c <= 'z') ? (uchar)(c - 32) : c; }

// Compares n bytes of a pattern at a place of the text, by character class.
static bool xstrcmp(const uchar* t, const uchar* p, size_t n) {
  size_t i = 0;
  while (i < n) {
    int ct = koJChar1(t[i]), cp = koJChar1(p[i]);
    if (ct != cp) return false;
    if (ct == 2) {
      if (t[i] != p[i]) return false;
      if (i + 1 < n && t[i + 1] != p[i + 1]) return false;
      i += 2;
    } else if (ct == 0) {
      if (upperByte(t[i]) != upperByte(p[i])) return false;
      i++;
    } else {
      if (t[i] != p[i]) return false;
      i++;
    }
  }
  return true;
}

char* koStristr(const char* text, const char* pattern) {
  if (!text || !pattern || !*pattern) return nullptr;
  size_t n = strlen(pattern), tl = strlen(text);
  if (tl < n) return nullptr;
  const uchar* pat = (const uchar*)pattern;
  uchar first = koJChar1(pat[0]) == 0 ? upperByte(pat[0]) : pat[0];
  const uchar* p = (const uchar*)text;
  const uchar* end = p + tl;
  while ((size_t)(end - p) >= n) {
    int cls = koJChar1(*p);
    if (cls == 2) {
      if (!p[1]) return nullptr;
      if (*p == first && xstrcmp(p, pat, n)) return (char*)p;
      p += 2;
    } else {
      uchar c = cls == 0 ? upperByte(*p) : *p;
      if (c == first && xstrcmp(p, pat, n)) return (char*)p;
      p++;
    }
  }
  return nullptr;
}

// The last character of a text if it is a real backslash (the trail byte of
// a double-byte character, as in 表 or ソ, is 0x5C too).
static char* lastBackslash(char* path) {
  char* last = nullptr;
  const uchar* p = (const uchar*)path;
  while (*p) {
    if (koJChar1(*p) == 2 && p[1]) {
      last = nullptr;
      p += 2;
    } else {
      last = *p == '\\' ? (char*)p : nullptr;
      p++;
    }
  }
  return last;
}

void koAdjustDir(char* path, int mode) {
  if (!path) return;
  size_t len = strlen(path);
  if (mode == '+') {
    // A lone lead byte at the end would swallow the backslash: it is half a
    // character, dropped.
    size_t i = 0;
    while (i < len) {
      bool lead = koJChar1((uchar)path[i]) == 2;
      if (lead && !path[i + 1]) {
        path[--len] = 0;
        break;
      }
      i += lead ? 2 : 1;
    }
    if (!lastBackslash(path)) {
      path[len] = '\\';
      path[len + 1] = 0;
    }
  } else if (mode == '-') {
    if (char* b = lastBackslash(path)) *b = 0;
  } else {
    if (len == 2) {
      path[2] = '\\';
      path[3] = 0;
      return;
    }
    if (len > 3) {
      if (char* b = lastBackslash(path)) *b = 0;
    }
  }
}

// Length in bytes of a source without its first and its last character,
// or 0 when there is nothing between them.
static size_t innerLength(const char* source, size_t* start) {
  const uchar* s = (const uchar*)source;
  size_t firstLen = (koJChar1(s[0]) == 2 && s[1]) ? 2 : 1;
  size_t lastStart = 0, i = 0;
  while (s[i]) {
    lastStart = i;
    i += (koJChar1(s[i]) == 2 && s[i + 1]) ? 2 : 1;
  }
  *start = firstLen;
  return lastStart > firstLen ? lastStart - firstLen : 0;
}

static bool startsWithQuote(const char* source, const char* quotes) {
  uchar c = (uchar)source[0];
  return c && quotes && koJChar1(c) != 2 && strchr(quotes, c);
}

char* koStripQuote(char* destination, const char* source, const char* quotes) {
  if (!destination) return destination;
  if (!source) {
    *destination = 0;
    return destination;
  }
  if (startsWithQuote(source, quotes)) {
    size_t start;
    size_t n = innerLength(source, &start);
    memmove(destination, source + start, n);
    destination[n] = 0;
  } else {
    memmove(destination, source, strlen(source) + 1);
  }
  return destination;
}

const char* koStripQuote(std::string& destination, const char* source, const char* quotes) {
  if (!source) {
    destination.clear();
  } else if (startsWithQuote(source, quotes)) {
    size_t start;
    size_t n = innerLength(source, &start);
    destination.assign(source + start, n);
  } else {
    destination.assign(source);
  }
  return destination.c_str();
}

char* koMbschr(const char* text, unsigned int c) {
  if (!text) return nullptr;
  return (char*)_mbschr((const unsigned char*)text, c);
}

// Code page 932 <-> UTF-8 through UTF-16, on the stack for short texts.
static int convertVia16(UINT from, UINT to, const char* source, char* destination, int capacity) {
  if (!source) return 0;
  int n = MultiByteToWideChar(from, 0, source, -1, nullptr, 0);
  if (n <= 0) return 0;
  WCHAR stackBuf[1000];
  WCHAR* heap = nullptr;
  WCHAR* buf = stackBuf;
  int bufCap = 1000;
  if (n > 999) {
    heap = new WCHAR[n + 2];
    buf = heap;
    bufCap = n + 2;
  }
  int result = 0;
  if (MultiByteToWideChar(from, 0, source, -1, buf, bufCap) != 0)
    result = WideCharToMultiByte(to, 0, buf, -1, destination, destination ? capacity : 0,
                                 nullptr, nullptr);
  delete[] heap;
  return result;
}

int SJIStoUTF8(const char* source, char* destination, int capacity) {
  if (destination && capacity < 1) return 0;
  return convertVia16(koCodePage, CP_UTF8, source, destination, capacity);
}

int UTF8toSJIS(const char* source, char* destination, int capacity) {
  if (destination && capacity < 1) return 0;
  return convertVia16(CP_UTF8, koCodePage, source, destination, capacity);
}

namespace {
// The text in UTF-16; empty when it does not convert.
std::vector<WCHAR> wideOf(UINT codePage, DWORD flags, const std::string& text) {
  int n = MultiByteToWideChar(codePage, flags, text.data(), (int)text.size(), nullptr, 0);
  std::vector<WCHAR> w(n > 0 ? (size_t)n : 0);
  if (n <= 0 || MultiByteToWideChar(codePage, flags, text.data(), (int)text.size(), w.data(), n) != n) w.clear();
  return w;
}
}  // namespace

bool koUtf8ToSjisExact(const std::string& utf8, std::string& out) {
  out.clear();
  if (utf8.empty()) return true;
  if (utf8.find('\0') != std::string::npos || utf8.size() > 0x7FFFFFF) return false;
  std::vector<WCHAR> wide = wideOf(CP_UTF8, MB_ERR_INVALID_CHARS, utf8);
  if (wide.empty()) return false;
  BOOL lost = FALSE;
  int n = WideCharToMultiByte(koCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(), nullptr, 0, nullptr,
                              &lost);
  if (n <= 0 || lost) return false;
  std::string sjis((size_t)n, '\0');
  if (WideCharToMultiByte(koCodePage, WC_NO_BEST_FIT_CHARS, wide.data(), (int)wide.size(), &sjis[0], n, nullptr,
                          &lost) != n || lost)
    return false;
  // A character that maps one way only comes back as another: no equivalent either.
  if (wideOf(koCodePage, 0, sjis) != wide) return false;
  out = sjis;
  return true;
}

std::string koShortText(const std::string& text, int maxBytes) {
  if (maxBytes < 0) maxBytes = 0;
  if ((int)text.size() <= maxBytes) return text;
  size_t end = 0;
  while (end < text.size()) {
    size_t step = koJChar1((uchar)text[end]) == 2 && end + 1 < text.size() ? 2 : 1;
    if ((int)(end + step) > maxBytes) break;
    end += step;
  }
  return text.substr(0, end) + "...";
}

std::string koMiddleText(const std::string& text, int maxBytes) {
  if (maxBytes < 0) maxBytes = 0;
  if ((int)text.size() <= maxBytes) return text;
  std::vector<size_t> starts;  // where each character begins
  for (size_t i = 0; i < text.size(); i += koJChar1((uchar)text[i]) == 2 && i + 1 < text.size() ? 2 : 1)
    starts.push_back(i);
  starts.push_back(text.size());
  size_t head = 0, tail = text.size();
  for (size_t s : starts)
    if ((int)s <= maxBytes / 2) head = s;
  for (auto it = starts.rbegin(); it != starts.rend(); ++it)
    if ((int)(text.size() - *it + head) <= maxBytes) tail = *it;
  return text.substr(0, head) + "..." + text.substr(tail);
}

bool koWildMatch(const char* pattern, const char* text) {
  const uchar* p = (const uchar*)(pattern ? pattern : "");
  const uchar* t = (const uchar*)(text ? text : "");
  auto width = [](const uchar* c) { return koJChar1(*c) == 2 && c[1] ? 2 : 1; };
  const uchar *star = nullptr, *resume = nullptr;  // the last '*' and where its run ends
  while (*t) {
    if (*p == '*') {
      star = ++p, resume = t;
      continue;
    }
    int n = width(t);
    bool same = *p == '?' || (width(p) == n && (n == 2 ? p[0] == t[0] && p[1] == t[1] : upperByte(*p) == upperByte(*t)));
    if (*p && same) {
      p += *p == '?' ? 1 : n, t += n;
    } else if (star) {
      p = star, resume += width(resume), t = resume;  // the star takes one character more
    } else {
      return false;
    }
  }
  while (*p == '*') p++;
  return !*p;
}

#ifdef _WIN32
std::wstring koWideOf(const char* text, UINT codePage) {
  int n = MultiByteToWideChar(codePage, 0, text ? text : "", -1, nullptr, 0);
  std::wstring w(n > 0 ? (size_t)n : 1, L'\0');
  if (n > 0) MultiByteToWideChar(codePage, 0, text, -1, &w[0], n);
  w.resize(wcslen(w.c_str()));
  return w;
}

std::string koSjisOf(const wchar_t* text, int length) {
  if (!text || !length) return "";
  int n = WideCharToMultiByte(koCodePage, WC_NO_BEST_FIT_CHARS, text, length, nullptr, 0, nullptr, nullptr);
  std::string out(n > 0 ? (size_t)n : 0, '\0');
  if (n > 0) WideCharToMultiByte(koCodePage, WC_NO_BEST_FIT_CHARS, text, length, &out[0], n, nullptr, nullptr);
  if (length < 0 && !out.empty()) out.pop_back();  // the terminator converted with it
  return out;
}

std::wstring koWindowText(HWND window) {
  std::wstring text((size_t)GetWindowTextLengthW(window) + 1, L'\0');
  text.resize((size_t)GetWindowTextW(window, &text[0], (int)text.size()));
  return text;
}

std::wstring koProgramPath() {
  std::wstring path(32768, L'\0');  // the longest path Windows has
  DWORD n = GetModuleFileNameW(nullptr, &path[0], (DWORD)path.size());
  path.resize(n < path.size() ? n : 0);
  return path;
}

std::wstring koUnheld(const std::wstring& text) {
  std::wstring unheld;
  for (size_t i = 0; i < text.size(); i++) {
    size_t units = IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() ? 2 : 1;
    std::wstring one = text.substr(i, units);
    std::string sjis;
    if (!koSjisExact(one, sjis) && unheld.find(one) == std::wstring::npos) unheld += one;
    i += units - 1;
  }
  return unheld;
}

std::string koCodePoints(const std::wstring& text) {
  std::string codes;
  for (size_t i = 0; i < text.size(); i++) {
    unsigned code = text[i];
    if (IS_HIGH_SURROGATE(text[i]) && i + 1 < text.size() && IS_LOW_SURROGATE(text[i + 1]))
      code = 0x10000 + ((code - 0xD800) << 10) + (text[++i] - 0xDC00u);
    char one[16];
    snprintf(one, sizeof one, "U+%04X", code);
    codes += (codes.empty() ? "" : ", ") + std::string(one);
  }
  return codes;
}

DWORD koFileAttributes(const char* path) {
  return path ? GetFileAttributesW(koWideOf(path).c_str()) : INVALID_FILE_ATTRIBUTES;
}

bool koSjisExact(const std::wstring& text, std::string& out) {
  out.clear();
  if (text.empty()) return true;
  BOOL lost = FALSE;
  int n = WideCharToMultiByte(koCodePage, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, nullptr, 0, nullptr, &lost);
  if (n <= 0) return false;
  out.assign((size_t)n, '\0');
  WideCharToMultiByte(koCodePage, WC_NO_BEST_FIT_CHARS, text.c_str(), -1, &out[0], n, nullptr, &lost);
  out.resize((size_t)n - 1);
  return !lost;
}

std::string koSystemReason(DWORD code) {
  wchar_t* text = nullptr;
  FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, 0, (wchar_t*)&text, 0, nullptr);
  std::string r = text ? koSjisOf(text) : "";
  if (text) LocalFree(text);
  while (!r.empty() && (r.back() == '\n' || r.back() == '\r')) r.pop_back();
  return r.empty() ? "エラー " + std::to_string(code) : r;
}
#endif
