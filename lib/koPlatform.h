// Platform layer. The Windows build takes the real Win32 and CRT headers;
// the native build (tests under the sanitizers) gets the few calls the
// portable code needs from lib/native/koPlatform.cpp.
#ifndef KO_PLATFORM_H
#define KO_PLATFORM_H

#ifdef _WIN32
#include <windows.h>
#include <mbstring.h>
// A message box with the program's icon on its caption.
int koMessageBox(HWND owner, const char* text, const char* caption, UINT type);
#else
#include <stdint.h>
#include <stddef.h>

typedef int BOOL;
typedef unsigned int UINT;
typedef uint32_t DWORD;
typedef uint16_t WORD;
typedef unsigned char BYTE;
typedef int32_t LONG;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef uint16_t WCHAR;  // UTF-16 unit, as on Windows
typedef WCHAR* LPWSTR;
typedef const WCHAR* LPCWSTR;

#ifndef TRUE
#define TRUE 1
#define FALSE 0
#endif
#define CP_ACP 0
#define CP_UTF8 65001
#define MB_ERR_INVALID_CHARS 8
#define WC_NO_BEST_FIT_CHARS 0x400

// Code page 932 (through iconv "CP932") stands for the ANSI code page.
int MultiByteToWideChar(UINT cp, DWORD flags, const char* src, int srcLen,
                        WCHAR* dst, int dstLen);
int WideCharToMultiByte(UINT cp, DWORD flags, const WCHAR* src, int srcLen,
                        char* dst, int dstLen, const char* defChar, BOOL* usedDef);
unsigned char* _mbschr(const unsigned char* s, unsigned int c);
int _mbsicmp(const unsigned char* a, const unsigned char* b);
DWORD GetLastError();
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define FILE_ATTRIBUTE_DIRECTORY 0x10
#define FILE_ATTRIBUTE_READONLY 0x1
typedef void* HWND;
#define MB_OK 0
#define MB_ICONINFORMATION 0x40
#define MB_ICONERROR 0x10
// Records the text instead of showing it; koNativeMessages() reads them.
int MessageBoxA(HWND owner, const char* text, const char* caption, UINT type);
inline int koMessageBox(HWND owner, const char* text, const char* caption, UINT type) {
  return MessageBoxA(owner, text, caption, type);
}
const char* koNativeMessages();
void koNativeClearMessages();
void SetLastError(DWORD code);
#endif

// The program's text is code page 932 by name, whatever the system's ANSI
// code page is (932, 65001 or 1252): every conversion says this one.
const UINT koCodePage = 932;
// The attributes of a path given in Shift-JIS, asked in UTF-16.
DWORD koFileAttributes(const char* path);

#endif
