// Shift-JIS character classes and conversion between byte strings and
// 16-bit character elements (lead byte high, trail byte low).
#ifndef KO_JCHAR_H
#define KO_JCHAR_H

typedef unsigned short JCHAR;

// A lead byte of code page 932 (0x81-0x9F, 0xE0-0xFC): the next byte
// belongs to the same character.
inline bool koIsLeadByte(unsigned char b) { return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC); }
// 2 lead byte, 1 half-width katakana, 0 single byte.
int koJChar1(unsigned int b);
bool koJChar2(unsigned int b);
int koJLength(const char* text);
int koByteLength(const JCHAR* chars, int n);
int koB2Jstr(JCHAR* elements, const char* text, bool terminate);
int koJ2Bstr(char* text, const JCHAR* elements, int n);
JCHAR jupper(JCHAR c);
JCHAR jlower(JCHAR c);

#endif
