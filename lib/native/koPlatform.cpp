// Native stand-ins for the Win32 and CRT calls of the portable code.
#include "koPlatform.h"
#include "koJChar.h"
#include <errno.h>
#include <iconv.h>
#include <string.h>
#include <string>
#include <vector>

static DWORD lastError = 0;
DWORD GetLastError() { return lastError; }
void SetLastError(DWORD code) { lastError = code; }

static const char* charsetOf(UINT cp) {
  return cp == CP_UTF8 ? "UTF-8" : "CP932";
}

// Converts with iconv; returns the output length in bytes or -1. The
// descriptors are kept: opening one costs far more than a conversion.
static iconv_t descriptor(const char* to, const char* from) {
  struct Entry {
    std::string to, from;
    iconv_t cd;
  };
  struct Cache {
    std::vector<Entry> entries;
    ~Cache() {
      for (Entry& e : entries) iconv_close(e.cd);
    }
  };
  static thread_local Cache cache;
  for (Entry& e : cache.entries)
    if (e.to == to && e.from == from) return e.cd;
  iconv_t cd = iconv_open(to, from);
  if (cd != (iconv_t)-1) cache.entries.push_back({to, from, cd});
  return cd;
}

static long convertAll(const char* to, const char* from, const char* in,
                       size_t inLen, std::vector<char>& out) {
  iconv_t cd = descriptor(to, from);
  if (cd == (iconv_t)-1) return -1;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);  // reset the shift state
  out.assign(inLen * 4 + 8, 0);
  char* ip = const_cast<char*>(in);
  size_t il = inLen;
  char* op = out.data();
  size_t ol = out.size();
  size_t r = iconv(cd, &ip, &il, &op, &ol);
  if (r == (size_t)-1) return -1;
  return (long)(out.size() - ol);
}

int MultiByteToWideChar(UINT cp, DWORD, const char* src, int srcLen,
                        WCHAR* dst, int dstLen) {
  if (!src || dstLen < 0 || (dstLen > 0 && !dst)) {
    SetLastError(87);
    return 0;
  }
  size_t len = srcLen < 0 ? strlen(src) + 1 : (size_t)srcLen;
  std::vector<char> out;
  long n = convertAll("UTF-16LE", charsetOf(cp), src, len, out);
  if (n < 0) {
    SetLastError(1113);  // no mapping for the character
    return 0;
  }
  int units = (int)(n / 2);
  if (dstLen == 0) return units;
  if (units > dstLen) {
    SetLastError(122);  // insufficient buffer
    return 0;
  }
  for (int i = 0; i < units; i++)
    dst[i] = (WCHAR)((unsigned char)out[2 * i] | ((unsigned char)out[2 * i + 1] << 8));
  return units;
}

int WideCharToMultiByte(UINT cp, DWORD, const WCHAR* src, int srcLen,
                        char* dst, int dstLen, const char*, BOOL* usedDef) {
  if (usedDef) *usedDef = FALSE;
  if (!src || dstLen < 0 || (dstLen > 0 && !dst)) {
    SetLastError(87);
    return 0;
  }
  size_t len = 0;
  if (srcLen < 0) {
    while (src[len]) len++;
    len++;
  } else {
    len = (size_t)srcLen;
  }
  std::vector<char> in(len * 2);
  for (size_t i = 0; i < len; i++) {
    in[2 * i] = (char)(src[i] & 0xFF);
    in[2 * i + 1] = (char)(src[i] >> 8);
  }
  std::vector<char> out;
  long n = convertAll(charsetOf(cp), "UTF-16LE", in.data(), in.size(), out);
  if (n < 0) {
    SetLastError(1113);
    return 0;
  }
  if (dstLen == 0) return (int)n;
  if (n > dstLen) {
    SetLastError(122);
    return 0;
  }
  memcpy(dst, out.data(), (size_t)n);
  return (int)n;
}


unsigned char* _mbschr(const unsigned char* s, unsigned int c) {
  for (;;) {
    unsigned int ch = *s;
    if (koIsLeadByte(*s) && s[1]) ch = (*s << 8) | s[1];
    if (ch == c) return const_cast<unsigned char*>(s);
    if (*s == 0) return nullptr;
    s += (ch > 0xFF) ? 2 : 1;
  }
}

int _mbsicmp(const unsigned char* a, const unsigned char* b) {
  for (;;) {
    unsigned int ca = *a, cb = *b;
    if (koIsLeadByte(*a) && a[1]) { ca = (*a << 8) | a[1]; a += 2; } else a++;
    if (koIsLeadByte(*b) && b[1]) { cb = (*b << 8) | b[1]; b += 2; } else b++;
    if (ca < 0x100 && ca >= 'A' && ca <= 'Z') ca += 'a' - 'A';
    if (cb < 0x100 && cb >= 'A' && cb <= 'Z') cb += 'a' - 'A';
    if (ca != cb) return ca < cb ? -1 : 1;
    if (ca == 0) return 0;
  }
}

#include <string>
#include <sys/stat.h>

DWORD koFileAttributes(const char* path) {
  struct stat st;
  if (!path || stat(path, &st) != 0) return INVALID_FILE_ATTRIBUTES;
  return S_ISDIR(st.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : 0x80;
}

static std::string messages;
int MessageBoxA(HWND, const char* text, const char* caption, UINT) {
  messages += caption ? caption : "";
  messages += ": ";
  messages += text ? text : "";
  messages += "\n";
  return 1;
}
const char* koNativeMessages() { return messages.c_str(); }
void koNativeClearMessages() { messages.clear(); }
