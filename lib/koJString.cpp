#include "koJString.h"
#include <string.h>

koJString::koJString() : length(0), capacity(64), chars(inlineChars), heapChars(nullptr) {}
koJString::~koJString() { delete[] heapChars; }

bool koJString::checkAlloc(int n, bool keep) {
  if (capacity >= n) return true;
  int cap = n > capacity + 64 ? n : capacity + 64;
  JCHAR* fresh = new JCHAR[cap];
  if (keep && length > 0) memcpy(fresh, chars, sizeof(JCHAR) * length);
  delete[] heapChars;
  heapChars = fresh;
  chars = fresh;
  capacity = cap;
  return true;
}

JCHAR koJString::at(int i) const { return (i >= 0 && i < length) ? chars[i] : 0; }

void koJString::getin(const char* text) {
  checkAlloc(koJLength(text), false);
  GetIn(chars, text);
  length = koJLength(text);
}

void koJString::getin(const JCHAR* elements, int n) {
  if (!elements) n = 0;
  if (n < 0) {
    n = 0;
    while (elements[n]) n++;
  }
  checkAlloc(n, false);
  if (n) memmove(chars, elements, sizeof(JCHAR) * n);
  length = n;
}

void koJString::GetIn(JCHAR* elements, const char* text) { koB2Jstr(elements, text, false); }

bool koJString::PutOut(const JCHAR* elements, int n, char* text, int limit) {
  if (!text || limit < 1) return false;
  int count = 0;
  bool all = true;
  for (int i = 0; i < n; i++) {
    JCHAR c = elements[i];
    if (c >= 256) {
      if (count + 2 >= limit) { all = false; break; }
      text[count++] = (char)(c >> 8);
      text[count++] = (char)(c & 0xFF);
    } else {
      if (count + 1 >= limit) { all = false; break; }
      text[count++] = (char)c;
    }
  }
  text[count] = 0;
  return all;
}

bool koJString::putout(char* text, int limit) const { return PutOut(chars, length, text, limit); }

bool koJString::putout(std::string& s) const {
  s.assign((size_t)byteLength() + 1, '\0');
  bool ok = PutOut(chars, length, &s[0], (int)s.size());
  s.resize(strlen(s.c_str()));
  return ok;
}

void koJString::append(JCHAR c, int count) {
  if (count <= 0) return;
  checkAlloc(length + count, true);
  for (int i = 0; i < count; i++) chars[length++] = c;
}

void koJString::append(const koJString& other, int start, int count) {
  if (start < 0 || start >= other.length) return;
  int remain = other.length - start;
  if (count < 0 || count > remain) count = remain;
  checkAlloc(length + count, true);
  // other may be this string: its storage may just have moved.
  memmove(chars + length, other.chars + start, sizeof(JCHAR) * count);
  length += count;
}

void koJString::append(const char* text, int start, int count) {
  koJString tmp;
  tmp.getin(text);
  append(tmp, start, count);
}

bool koJString::resize(int n, JCHAR fill) {
  if (n < 0) return false;
  checkAlloc(n, true);
  for (int i = length; i < n; i++) chars[i] = fill;
  length = n;
  return true;
}

int koJString::byteLength() const { return koByteLength(chars, length); }

void koJString::blankCut() {
  int b = 0, e = length;
  while (b < e && chars[b] <= 0x20) b++;
  while (e > b && chars[e - 1] <= 0x20) e--;
  if (b) memmove(chars, chars + b, sizeof(JCHAR) * (e - b));
  length = e - b;
}

void koJString::toUpper() {
  for (int i = 0; i < length; i++) chars[i] = jupper(chars[i]);
}
void koJString::toLower() {
  for (int i = 0; i < length; i++) chars[i] = jlower(chars[i]);
}
