// A scripted user for the dialog tests: steps run one per timer tick while
// the dialogs under test run their own modal loops.
#ifndef KO_SCRIPT_H
#define KO_SCRIPT_H
#ifdef _WIN32
#include <windows.h>
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
  // Waits until the window is gone or hidden.
  void closed(HWND& window);
  // Waits for a message box over the script's dialogs, logs "box TEXT" and
  // presses button; with a name, saves its screenshot first.
  void answer(int button, const char* shot = nullptr);
  // Holds the screen for KO_SHOT_SECONDS (when set), to look at it by hand.
  void hold();

  void log(const std::string& line) { lines.push_back(line); }
  std::string logged() const;

  // Runs body, which shows modal dialogs, with the steps ticking. After the
  // last step every dialog still open is cancelled so body returns; a step
  // that waits too long is logged as "stuck at step N". True when every
  // step ran.
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

// A message box of this thread other than the given dialogs, or null.
HWND MessageBoxOf(std::initializer_list<HWND> except = {});
// The enabled state of buttons as "name+ name-".
std::string Enabled(HWND dialog, std::initializer_list<std::pair<int, const char*>> buttons);
// A list box's rows as "a,[b],c" with the selected one in brackets.
std::string ListBoxTexts(HWND dialog, int id);
// A click as the dialog receives it, handled before this returns.
void Press(HWND dialog, int id);
#endif
#endif
