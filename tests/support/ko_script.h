// A scripted user for the dialog tests: steps run one per timer tick while
// the dialogs under test run their own modal loops.
#ifndef KO_SCRIPT_H
#define KO_SCRIPT_H
#ifdef _WIN32
#include <windows.h>
#include <gtest/gtest.h>
#include <functional>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

// Dispatches what is queued for this thread, then returns.
void Pump();
// Dispatches for about ms milliseconds.
void PumpFor(int ms);

class Script {
 public:
  // A step returns false while what it waits for is not there yet.
  using Step = std::function<bool()>;

  void add(Step step);
  // Runs f once.
  void act(std::function<void()> f);
  // Waits for a dialog of this thread with that caption (any with null),
  // keeps its handle in into and, with a name, saves its screenshot.
  void opened(const char* caption, HWND& into, const char* shot = nullptr);
  // Waits until the window is gone or hidden (never the last step: once
  // the body's dialogs are gone no tick comes).
  void closed(HWND& window);
  // Waits for a message box over the script's dialogs, logs "box TEXT" and
  // presses button; with a name, saves its screenshot first.
  void answer(int button, const char* shot = nullptr);
  // Two ticks in which no message box shows; one that does is logged as
  // "unexpected box TEXT" and closed.
  void none();
  // Holds the screen for KO_SHOT_SECONDS (when set), to look at it by hand.
  void hold();

  void log(const std::string& line) { lines.push_back(line); }
  std::string logged() const;

  // Runs body, which shows modal dialogs, with the steps ticking. After the
  // last step every dialog still open is cancelled so body returns, and a
  // message box still open is logged as "left box TEXT"; a step that waits
  // too long is logged as "stuck at step N". True when every step ran.
  bool run(const std::function<void()>& body, int intervalMs = 100);

 private:
  static void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD);
  void step();
  bool known(HWND window) const;

  std::vector<Step> steps;
  std::vector<HWND*> dialogs;  // what opened() found: never taken for a box
  std::vector<std::string> lines;
  size_t at = 0;
  int idle = 0;  // ticks the current step waited, or the clean-up ran
  bool busy = false;
};

// A test of the program's dialogs: a copy of the test exec.db opened with
// its records and settings loaded, the module titled "Runmate", font size 9,
// a hidden frame to own the dialogs, and a script.
class RunmateTest : public ::testing::Test {
 protected:
  std::string dir;
  class HiddenFrame* frame = nullptr;
  Script s;
  void SetUp() override;
  void TearDown() override;
  // Closes and opens the database as the next start would.
  void reopen();
  // Runs a statement that must succeed; the first column of the first row
  // of a query (-1 without one).
  void sql(const std::string& text);
  int scalar(const std::string& query);
};

// A message box of this thread (a dialog of no framework object, with a
// text of id 0xFFFF) other than the given dialogs, or null.
HWND MessageBoxOf(std::initializer_list<HWND> except = {});
// The enabled state of buttons as "name+ name-".
std::string Enabled(HWND dialog, std::initializer_list<std::pair<int, const char*>> buttons);
// A list box's rows as "a,[b],c" with the selected one in brackets.
std::string ListBoxTexts(HWND dialog, int id);
// A click as the dialog receives it, handled before this returns.
void Press(HWND dialog, int id);
// A click in a list box on that row text (null: no row), as the control
// tells it.
void Pick(HWND dialog, int id, const char* text);
#endif
#endif
