#include "koJChar.h"

int koJChar1(unsigned int b) {
  b &= 0xFF;
  if ((b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC)) return 2;  // 0xFA-0xFC: IBM extended kanji (髙, 﨑)
  if (b >= 0xA1 && b <= 0xDF) return 1;
  return 0;
}

bool koJChar2(unsigned int b) {
  b &= 0xFF;
  return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}

int koJLength(const char* text) {
  if (!text) return 0;
  const unsigned char* p = (const unsigned char*)text;
  int n = 0;
  while (*p) {
    if (koJChar1(*p) == 2 && p[1]) p += 2;
    else p++;
    n++;
  }
  return n;
}

int koByteLength(const JCHAR* chars, int n) {
  if (!chars) return 0;
  int bytes = 0;
  for (int i = 0; n < 0 || i < n; i++) {
    if (chars[i] == 0) break;
    bytes += chars[i] < 256 ? 1 : 2;
  }
  return bytes;
}

int koB2Jstr(JCHAR* elements, const char* text, bool terminate) {
  int n = 0;
  const unsigned char* p = (const unsigned char*)(text ? text : "");
  while (*p) {
    if (koJChar1(*p) == 2 && p[1]) {
      elements[n++] = (JCHAR)((p[0] << 8) | p[1]);
      p += 2;
    } else {
      elements[n++] = *p++;
    }
  }
  if (terminate) elements[n] = 0;
  return n;
}

int koJ2Bstr(char* text, const JCHAR* elements, int n) {
  int bytes = 0;
  for (int i = 0; n < 0 || i < n; i++) {
    JCHAR c = elements[i];
    if (c == 0) break;
    if (c >= 256) text[bytes++] = (char)(c >> 8);
    text[bytes++] = (char)(c & 0xFF);
  }
  text[bytes] = 0;
  return bytes;
}

JCHAR jupper(JCHAR c) { return (c >= 'a' && c <= 'z') ? (JCHAR)(c - 'a' + 'A') : c; }
JCHAR jlower(JCHAR c) { return (c >= 'A' && c <= 'Z') ? (JCHAR)(c - 'A' + 'a') : c; }
