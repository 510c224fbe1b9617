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

// What the library traced through dbout since the last clear.
std::string TraceLog();
void ClearTrace();
// A fresh, empty folder, never removed (it lives in the temporary folder).
std::string MakeTempDir(const char* tag);
bool CopyFileTo(const std::string& from, const std::string& to);
bool FileExists(const std::string& path);
// Bytes of a text in hex, for readable failures.
std::string Hex(const std::string& s);

#ifdef _WIN32
#include <windows.h>
#include "koMainWin.h"

// The program's main window behind a test's dialogs: never shown, and its
// end does not end the message loop.
class HiddenFrame : public koMainWin {
 public:
  HiddenFrame() : koMainWin("wtestHiddenFrame") { quitOnDestroy = false, style &= ~WS_VISIBLE; }
};

// Writes what the screen shows of a window to shots/NAME.bmp beside the
// test program (KO_SHOT_DIR when set); false when nothing was captured.
bool SaveShot(HWND window, const std::string& name);
// For timer scripts: false for the first calls with that name, so the
// window can paint; then saves the shot and returns true.
bool ShotWhenPainted(HWND window, const std::string& name);
// A build-tree path as a full Windows path.
std::string WinPath(std::string path);
std::string ReadWhole(const std::string& path);
// The file's contents once it exists, or empty after ms milliseconds.
std::string WaitForFile(const std::string& path, int ms);
// What the recording stand-in wrote per start (record, record.2, ...): the
// first count once there, or what there is after ms.
std::vector<std::string> WaitForRecords(const std::string& record, size_t count, int ms);
// Text of the ANSI code page as UTF-16 and as UTF-8.
std::wstring Wide(const std::string& ansi);
std::string Utf8(const std::wstring& text);
inline std::string Utf8(const std::string& ansi) { return Utf8(Wide(ansi)); }
// A visible top-level window of that class in the process, or null after ms.
HWND WaitWindow(DWORD pid, const char* windowClass, int ms, const char* caption = nullptr);
// A visible dialog of this thread with that caption (any with null), other than except.
HWND ThreadDialog(const char* caption, HWND except = nullptr);
std::string ItemText(HWND dialog, int id);
// A button click as the dialog receives it (posted).
void Click(HWND dialog, int id);
// The record list (control 300) of a list dialog: row count, a cell, the
// row whose first cell is name (-1: none), a click selecting a row.
int ListRows(HWND dialog);
std::string ListCell(HWND dialog, int row, int column);
int ListRowOf(HWND dialog, const char* name);
void ListSelect(HWND dialog, int row);
#endif
#endif
