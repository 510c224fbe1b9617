// A scripted user for the dialog tests: steps run one per timer tick while
// the dialogs under test run their own modal loops.
#ifndef KO_SCRIPT_H
#define KO_SCRIPT_H
#ifdef _WIN32
#include <gtest/gtest.h>
#include <functional>
#include <initializer_list>
#include <utility>
#include "ko_test.h"

void Pump();  // dispatches what is queued for this thread
void PumpFor(int ms);

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
  // Runs body, which shows modal dialogs, with the steps ticking; then cancels what is open,
  // logging "left box TEXT" or "stuck at step N". True when every step ran.
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

// A copy of the test exec.db opened and loaded, the module titled "Runmate",
// font size 9, a hidden frame to own the dialogs, and a script.
class RunmateTest : public ::testing::Test {
 protected:
  std::string dir;
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
// The enabled state of buttons as "name+ name-".
std::string Enabled(HWND dialog, std::initializer_list<std::pair<int, const char*>> buttons);
std::string ListBoxTexts(HWND dialog, int id);  // "a,[b],c", the selected one in brackets
void Press(HWND dialog, int id);  // a click handled before this returns
void Type(HWND dialog, int id, const std::string& text);  // a control's new text
void Pick(HWND dialog, int id, const char* text);  // a list box click on that row (null: none)
#endif
#endif
