// Whole-process time of a launch under Wine, run by hand: Runmate.exe opening a file of a group with one
// application, and one of a group of two with a remembered choice, against the least a launcher does
// (minlaunch.exe) with WinExec and with CreateProcess, which Runmate uses and which does not wait for the
// target to be idle; all start noop.exe. Then the time until a menu of five shows, with icons and without.
// Orders alternate by round; medians and ratios are printed.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include "koSQLite.h"
#include "wbench.h"
void dbout(const char*, ...) {}  // the library's trace, unused here
void dboutln(const char*, ...) {}

namespace {
// Milliseconds from CreateProcess to the process's end, or with menu until its menu shows (then dismissed).
double timed(const std::string& line, const std::string& folder, bool menu = false) {
  wbench::Run run(line, folder);
  HWND shown = nullptr;
  for (int t = 0; run.started && menu && !shown && t < 20000; t++)
    if (!(shown = wbench::ShownWindow(run.pi.dwProcessId, "#32768"))) Sleep(1);
  double untilMenu = run.ms();
  if (shown) PostMessageA(shown, WM_KEYDOWN, VK_ESCAPE, 0);
  if (run.started) run.wait(30000);
  return !run.started || (menu && !shown) ? -1 : menu ? untilMenu : run.ms();
}
}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? atoi(argv[1]) : 11;
  // The program timed: the test build's by default; what users run is the
  // stripped release (its debug information alone costs a test build's
  // start some 20 ms under Wine).
  std::string program = argc > 2 ? argv[2] : "";
  std::string b = wbench::BinDir(), dir = wbench::TempDir("ko_bench_launch"), exe = dir + "\\Runmate.exe", noop = b + "\\noop.exe";
  fclose(fopen((dir + "\\x.bench").c_str(), "wb"));
  fclose(fopen((dir + "\\x.kept").c_str(), "wb"));
  koSQLite db((dir + "\\exec.db").c_str());
  // One candidate for the launch; five for the menu, with icons (their programs exist) or without.
  std::string sql = "insert into atable (id,name,cmd) values (90,'noop','\"" + noop + "\"  \"%1\"'),"
                    "(91,'a','\"" + b + "\\minlaunch.exe\" %1'),(92,'b','\"" + b + "\\recorder.exe\" %1'),"
                    "(93,'c','C:\\windows\\system32\\cmd.exe %1'),(94,'d','C:\\windows\\notepad.exe %1'),"
                    "(95,'e','C:\\windows\\explorer.exe %1'),(96,'a','x:\\a.exe %1'),(97,'b','x:\\b.exe %1'),"
                    "(98,'c','x:\\c.exe %1'),(99,'d','x:\\d.exe %1'),(100,'e','x:\\e.exe %1');"
                    "insert into etable (name,elist,na,atab) values ('bench','bench',1,X'5A000000'),"
                    "('icons','icons',5,X'5B0000005C0000005D0000005E0000005F000000'),"
                    "('plain','plain',5,X'6000000061000000620000006300000064000000'),"
                    "('kept','kept',2,X'5B0000005A000000');"
                    "insert into params (key,ix,data) values ('RememberedMatch',0,'kept'||char(0)),('RememberedApp',0,X'5A000000');";
  if (program.empty()) program = b + "\\Runmate.exe";
  if (!CopyFileA(program.c_str(), exe.c_str(), FALSE) ||
      !CopyFileA((b + "\\exec.db").c_str(), (dir + "\\exec.db").c_str(), FALSE) || db.open(nullptr) ||
      db.exec(sql.c_str(), nullptr, nullptr, nullptr) || db.close()) {
    fprintf(stderr, "cannot prepare the program and its exec.db in %s from %s\n", dir.c_str(), b.c_str());
    return 1;
  }
  std::string target = "\"" + noop + "\"  \"" + dir + "\\x.bench\"", least = "\"" + b + "\\minlaunch.exe\" ";
  const std::string lines[] = {"\"" + exe + "\" \"" + dir + "\\x.bench\"", least + target, least + "/c " + target,
                               "\"" + exe + "\" \"" + dir + "\\x.icons\"", "\"" + exe + "\" \"" + dir + "\\x.plain\"",
                               "\"" + exe + "\" \"" + dir + "\\x.kept\""};
  std::vector<double> times[6];
  for (int k = 0; k < 6; k++) timed(lines[k], dir, k == 3 || k == 4);  // each once, so none pays for a cold cache
  const int launches[] = {0, 1, 2, 5};
  for (int i = 0; i < rounds; i++)
    for (int k = 0; k < 6; k++) {
      int which = k < 4 ? launches[(i + k) % 4] : 3 + (i + k) % 2;
      times[which].push_back(timed(lines[which], dir, which == 3 || which == 4));
    }
  double m[6];
  for (int k = 0; k < 6; k++) m[k] = wbench::Median(times[k]);
  printf("rounds %d, medians: Runmate %.1f ms, minimal launcher with WinExec %.1f ms (ratio %.3f), "
         "with CreateProcess %.1f ms (ratio %.3f)\n", rounds, m[0], m[1], m[0] / m[1], m[2], m[0] / m[2]);
  printf("with a remembered choice: Runmate %.1f ms (ratio %.3f to CreateProcess)\n", m[5], m[5] / m[2]);
  printf("menu of five, medians: with icons %.1f ms, without %.1f ms (ratio %.3f)\n", m[3], m[4], m[3] / m[4]);
  return 0;
}
