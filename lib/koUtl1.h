// Byte-string utilities that respect Shift-JIS double-byte characters, and
// the conversion between code page 932 and UTF-8.
#ifndef KO_UTL1_H
#define KO_UTL1_H
#include <string>

bool koIsAllBlank(const char* text);
bool koBlankCut(char* text);
// Copies source without splitting a double-byte character. size is one
// more than the destination holds, terminator included: a buffer of n
// bytes is passed as n + 1 and gets at most n - 1 bytes and the
// terminator. Returns the bytes copied, -1 for a null pointer or size < 1.
int koStrncpy(char* destination, const char* source, int size);
char* koStrchr(const char* text, unsigned int c);
char* koGetExtension(const char* text);
char* koStristr(const char* text, const char* pattern);
void koAdjustDir(char* path, int mode);
char* koStripQuote(char* destination, const char* source, const char* quotes);
const char* koStripQuote(std::string& destination, const char* source, const char* quotes);
char* koMbschr(const char* text, unsigned int c);
// At most maxBytes bytes of text, never half a double-byte character, with
// "..." when something was cut: for stored names shown in prompts.
std::string koShortText(const std::string& text, int maxBytes = 200);
// Whether text matches pattern whole, ASCII case aside: '*' stands for any
// run of characters, '?' for one (a double-byte character is one).
bool koWildMatch(const char* pattern, const char* text);
// The text whole when it has at most maxBytes, else its start and its end
// (whole characters, together at most maxBytes) with "..." between: the
// end of a file name says the most.
std::string koMiddleText(const std::string& text, int maxBytes);

// Bytes written with the terminator; with a null destination the size
// needed. 0 on any failure, a too small destination included.
int SJIStoUTF8(const char* source, char* destination, int capacity);
int UTF8toSJIS(const char* source, char* destination, int capacity);
// utf8 in code page 932 when every character has its own equivalent
// there and converts back to the same text; false (out empty) for any
// other text: invalid UTF-8, a NUL, a character with no or only a
// best-fit equivalent.
bool koUtf8ToSjisExact(const std::string& utf8, std::string& out);

#ifdef _WIN32
#include <windows.h>
// Text of a code page (Shift-JIS unless said) in UTF-16, for Windows.
std::wstring koWideOf(const char* text, UINT codePage = 932);
inline std::wstring koWideOf(const std::string& text) { return koWideOf(text.c_str()); }
// UTF-16 from Windows in Shift-JIS for showing: a character code page 932
// has not becomes '?'. Text that is kept goes through koSjisExact instead.
std::string koSjisOf(const wchar_t* text, int length = -1);
// A window's text as it holds it, in UTF-16.
std::wstring koWindowText(HWND window);
// The running program's path whole, however long; "" when Windows does not
// give it.
std::wstring koProgramPath();
// The characters of text that code page 932 cannot hold, each once, in
// their order: empty when the text converts whole.
std::wstring koUnheld(const std::wstring& text);
// Characters named by their code points, "U+00E9, U+1F600": how a Shift-JIS
// message names what it cannot show.
std::string koCodePoints(const std::wstring& text);
// UTF-16 in Shift-JIS; false when a character has no equivalent there (a
// best-fit substitute could name another file).
bool koSjisExact(const std::wstring& text, std::string& out);
// The system's reason for an error code, in the user's language.
std::string koSystemReason(DWORD code);
#endif

#endif
