// Shared helpers of the tests.
#ifndef KO_TEST_H
#define KO_TEST_H
#include <string>
#include <vector>
#ifdef _WIN32
#define SEP "\\"
#else
#define SEP "/"
#endif

std::string TraceLog();  // what the library traced through dbout since the last clear
void ClearTrace();
std::string MakeTempDir(const char* tag);  // fresh and empty, never removed
bool CopyFileTo(const std::string& from, const std::string& to);
bool FileExists(const std::string& path);
std::string Hex(const std::string& s);  // bytes in hex, for readable failures

#ifdef _WIN32
#include <windows.h>
#include "koMainWin.h"

// The main window behind a test's dialogs: never shown; its end does not end the message loop.
class HiddenFrame : public koMainWin {
 public:
  HiddenFrame() : koMainWin("wtestHiddenFrame") { quitOnDestroy = false, style &= ~WS_VISIBLE; }
};

// What the screen shows of a window, to shots/NAME.bmp beside the test (KO_SHOT_DIR when set).
bool SaveShot(HWND window, const std::string& name);
// For timer scripts: false for the first calls with a name, so the window can paint; then the shot.
bool ShotWhenPainted(HWND window, const std::string& name);
std::string WinPath(std::string path);  // a build-tree path as a full Windows path
std::string ReadWhole(const std::string& path);
std::string WaitForFile(const std::string& path, int ms);  // its contents once there, or "" after ms
// What the recording stand-in wrote per start (record, record.2, ...): count of them, or what is there after ms.
std::vector<std::string> WaitForRecords(const std::string& record, size_t count, int ms);
std::wstring Wide(const std::string& ansi);  // ANSI code page text as UTF-16 and as UTF-8
std::string Utf8(const std::wstring& text);
inline std::string Utf8(const std::string& ansi) { return Utf8(Wide(ansi)); }
// A visible top-level window of that class in the process, or null after ms.
HWND WaitWindow(DWORD pid, const char* windowClass, int ms, const char* caption = nullptr);
// A visible dialog of this thread with that caption (any with null), other than except.
HWND ThreadDialog(const char* caption, HWND except = nullptr);
std::string ItemText(HWND dialog, int id);
void Click(HWND dialog, int id);  // a button click as the dialog receives it (posted)
// The record list (control 300) of a list dialog: rows, a cell, the row whose first
// cell is name (-1: none), a click selecting a row.
int ListRows(HWND dialog);
std::string ListCell(HWND dialog, int row, int column);
int ListRowOf(HWND dialog, const char* name);
void ListSelect(HWND dialog, int row);
#endif
#endif
