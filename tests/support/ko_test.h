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
#include <gtest/gtest.h>
#include <functional>
#include <initializer_list>
#include "koMainWin.h"
// The main window behind a test's dialogs: never shown; its end does not end the message loop.
struct HiddenFrame : koMainWin { HiddenFrame() : koMainWin("wtestHiddenFrame") { quitOnDestroy = false, style &= ~WS_VISIBLE; } };
bool SaveShot(HWND window, const std::string& name);  // the window as on screen, to shots/NAME.bmp beside the test (KO_SHOT_DIR when set)
bool ShotWhenPainted(HWND window, const std::string& name);  // for timer scripts: false for the first calls, then the shot
std::string WinPath(std::string path);  // a build-tree path as a full Windows path
std::string ReadWhole(const std::string& path);
std::string WaitForFile(const std::string& path, int ms);  // its contents once there, or "" after ms
// What the recording stand-in wrote per start (record, record.2, ...), in the order the stand-ins were
// started: count of them, or what is there after ms.
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
// The record list (control 300) of a list dialog: rows, a cell, the row whose first cell is name (-1: none), a click selecting a row.
int ListRows(HWND dialog);
std::string ListCell(HWND dialog, int row, int column);
int ListRowOf(HWND dialog, const char* name);
void ListSelect(HWND dialog, int row);
void Pump();  // dispatches what is queued for this thread
// A scripted user for the dialog tests: steps run one per timer tick while the dialogs under test run their own modal loops.
class Script {
 public:
  using Step = std::function<bool()>;  // false while what it waits for is not there
  void add(Step step);
  void act(std::function<void()> f);
  // Waits for a dialog with that caption (a new one with null), keeps it in into; with a name, its shot.
  void opened(const char* caption, HWND& into, const char* shot = nullptr);
  void closed(HWND& window);  // until gone or hidden (never the last step)
  // Waits for a message box, logs "box TEXT", presses button; with a name, its shot first.
  void answer(int button, const char* shot = nullptr);
  void none();  // two ticks without a box; one that shows is logged "unexpected box TEXT" and closed
  void hold();  // holds the screen for KO_SHOT_SECONDS (when set), to look at it by hand
  void log(const std::string& line) { lines.push_back(line); }
  std::string logged() const;
  // Runs body, which shows modal dialogs, with the steps ticking; then cancels what is open, logging "left box TEXT" or "stuck at step N". True when every step ran.
  bool run(const std::function<void()>& body, int intervalMs = 100);
 private:
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
  void step();
  bool known(HWND window) const;
  std::vector<Step> steps;
  std::vector<HWND*> dialogs;  // what opened() found: never taken for a box
  std::vector<std::string> lines;
  size_t at = 0;
  int idle = 0;
  bool busy = false;
};
void RegText(HKEY root, const std::string& key, const char* name, const std::string& text);  // a string value, made with its key
// A copy of the test exec.db opened and loaded, the module titled "Runmate", font size 9 (KO_SHOT_FONT for screenshots), a hidden frame to own the dialogs, and a script.
class RunmateTest : public ::testing::Test {
 protected:
  std::string dir;
  char cwd[MAX_PATH] = "";  // the current folder the test began in, set back at its end
  HiddenFrame* frame = nullptr;
  Script s;
  void SetUp() override;
  void TearDown() override;
  void reopen();  // as the next start would
  void sql(const std::string& text);  // must succeed
  int scalar(const std::string& query);  // first column of the first row, -1 without
};
// A message box of this thread (no framework object, a text of id 0xFFFF) other than except.
HWND MessageBoxOf(std::initializer_list<HWND> except = {});
std::string Enabled(HWND dialog, std::initializer_list<std::pair<int, const char*>> buttons);  // "name+ name-"
std::string ListBoxTexts(HWND dialog, int id);  // "a,[b],c", the selected one in brackets
void Press(HWND dialog, int id);  // a click handled before this returns
void Type(HWND dialog, int id, const std::string& text);  // a control's new text
void Pick(HWND dialog, int id, const char* text);  // a list box click on that row (null: none)
// "fits", or what does not: a label's text wider than the label, a button's nearer than 4 pixels to its frame,
// a control within 5 dialog units of the edge, the bottom buttons not on one line.
std::string Misfits(HWND dialog, std::initializer_list<int> bottom);
#endif
#endif
