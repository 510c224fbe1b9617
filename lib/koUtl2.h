// Japanese text conversion between Shift-JIS, EUC-JP, JIS (ISO-2022-JP)
// and UTF-16.
#ifndef KO_UTL2_H
#define KO_UTL2_H
#include <string>
#include "koPlatform.h"

// Encoding numbers of koKanjiConvert. Both UTF-16 numbers act alike; UTF-16
// is a target only, from Shift-JIS only.
enum {
  KOCODE_SJIS = 0x11,
  KOCODE_EUC = 0x12,
  KOCODE_JIS = 0x27,
  KOCODE_UTF16 = 1014,
  KOCODE_UTF16B = 1015,
};

// UTF-16 to the ANSI code page. The string's length includes the
// terminating zero byte. 0, or the platform's error code.
int Unicode2Sjis(const WCHAR* wide, std::string& string);

// Converts source (zero-terminated) into destination, a byte buffer or, for
// a UTF-16 target, a buffer of WCHAR. capacity counts destination units with
// the terminator. 0 on success; -1 when the source ends inside a character
// or an escape sequence, holds a byte that cannot start a character or a
// code that would convert to a zero byte, the result does not fit (it is
// cut at a character and terminated), the pair of encodings is not
// supported (empty output) or an argument is missing.
// The output is terminated whenever capacity is at least 1.
int koKanjiConvert(int from, int to, const char* source, void* destination, int capacity);

// The same with a destination of koKanjiConvertSize units, or of 200 units
// for a UTF-16 target.
int koKanjiConvert(int from, int to, const char* source, void* destination);

// Worst-case destination units, the terminator included: JIS output grows
// by 3 bytes at each change of mode and 3 at the end, half-width kana double.
int koKanjiConvertSize(int from, int to, const char* source);

// A JIS X 0208 code (each byte 0x21 to 0x7E), in place, to Shift-JIS.
void jis2sjis(unsigned char& first, unsigned char& second);

// The JIS X 0208 code of the full-width form of half-width katakana byte
// kana (0xA1 to 0xDF; outside that range 0, 0 and false). True when next,
// a sound mark, was merged into the result and is to be skipped.
bool getKana(unsigned char kana, unsigned char next, unsigned char& first,
             unsigned char& second);

#endif
