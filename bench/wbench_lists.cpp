// Whole-process time of Runmate.exe started without a path until its group list shows, under Wine, run by
// hand: with 10,000 groups and 2,000 applications added to the shipped exec.db against the shipped one alone.
// Each round runs both, the order alternating; medians and their ratio are printed, then the same until
// the shown dialog first answers a message (its first paint done). Last the whole process of /export and
// /import /yes of the big one (medians). Run from the worktree, e.g.
//   KO_BUILD_DIR=$PWD/build/win-i686 xvfb-run -a tests/wine-run.sh build/win-i686/bench/wbench_lists.exe 5
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include <sqlite3.h>
#include "koSQLite.h"
#include "wbench.h"
void dbout(const char*, ...) {}  // the library's trace, unused here
void dboutln(const char*, ...) {}

namespace {
const int kGroups = 10000, kApps = 2000, kFirstApp = 100000;

// Milliseconds from CreateProcess until the list shows and until it answers; -1 when it never showed.
struct Times { double shown, answering; };
Times timed(const std::string& folder) {
  wbench::Run run("\"" + folder + "\\Runmate.exe\"", folder);
  HWND shown = nullptr;
  for (int t = 0; run.started && !shown && t < 60000; t++)
    if (!(shown = wbench::ShownWindow(run.pi.dwProcessId, "#32770", "拡張子グループのリスト"))) Sleep(1);
  Times times{run.ms(), -1};
  DWORD_PTR ignored;
  if (shown) SendMessageTimeoutA(shown, WM_NULL, 0, 0, SMTO_NORMAL, 60000, &ignored);
  times.answering = run.ms();
  if (shown) PostMessageA(shown, WM_COMMAND, IDCANCEL, 0);
  return shown ? times : Times{-1, -1};
}

// Milliseconds of a whole run with an option (no window); -1 when it did not end with exit code 0.
double ran(const std::string& folder, const std::string& args) {
  wbench::Run run("\"" + folder + "\\Runmate.exe\" " + args, folder);
  DWORD code = run.started ? run.wait() : 1;
  return code ? -1 : run.ms();
}

// Rows of typical length, bound as the program binds them (Shift-JIS in, UTF-8 stored), in one transaction.
bool addRows(koSQLite& db) {
  koTransaction transaction(&db);
  koStatement app = db.statement("insert into atable (id,name,cmd,memo) values (?,?,?,?)");
  koStatement group = db.statement("insert into etable (name,elist,memo,na,atab) values (?,?,?,?,?)");
  if (!transaction.begun() || !app || !group) return false;
  char name[64], cmd[128], list[64];
  for (int i = 1; i <= kApps; i++) {
    snprintf(name, sizeof name, "アプリ%05d", i);
    snprintf(cmd, sizeof cmd, "\"C:\\Program Files\\App%05d\\app.exe\"  \"%%1\"", i);
    if (app->bindInt(0, kFirstApp + i) || app->bindText(1, name, -1) || app->bindText(2, cmd, -1) ||
        app->bindText(3, i % 3 ? "" : "よく使う", -1) || !app->run() || sqlite3_reset(app->stmt))
      return false;
  }
  for (int i = 1; i <= kGroups; i++) {
    snprintf(name, sizeof name, "グループ%05d", i);
    snprintf(list, sizeof list, "g%04d,h%04d,k%04d", i % 10000, i % 7000, i % 3000);
    int na = 2 + i % 4;
    unsigned char ids[4 * 5];
    for (int k = 0; k < na; k++) {
      unsigned id = (unsigned)(kFirstApp + 1 + (i * 7 + k * 13) % kApps);
      for (int j = 0; j < 4; j++) ids[4 * k + j] = (unsigned char)(id >> (8 * j));
    }
    if (group->bindText(0, name, -1) || group->bindText(1, list, -1) ||
        group->bindText(2, i % 2 ? "" : "作業用", -1) || group->bindInt(3, na) ||
        group->bindBlob(4, ids, 4 * na) || !group->run() || sqlite3_reset(group->stmt))
      return false;
  }
  return transaction.commit();
}
}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? atoi(argv[1]) : 5;
  const std::string b = wbench::BinDir(), dirs[2] = {wbench::TempDir("ko_bench_lists_big"), wbench::TempDir("ko_bench_lists_shipped")};
  for (const std::string& dir : dirs) {
    if (!CopyFileA((b + "\\Runmate.exe").c_str(), (dir + "\\Runmate.exe").c_str(), FALSE) ||
        !CopyFileA((b + "\\exec.db").c_str(), (dir + "\\exec.db").c_str(), FALSE)) {
      fprintf(stderr, "cannot copy Runmate.exe and exec.db from %s to %s\n", b.c_str(), dir.c_str());
      return 1;
    }
  }
  koSQLite db((dirs[0] + "\\exec.db").c_str());
  bool made = db.open(nullptr) == 0 && addRows(db);
  if (db.close() || !made) {
    fprintf(stderr, "cannot add the rows to %s\\exec.db\n", dirs[0].c_str());
    return 1;
  }
  std::vector<double> shown[2], answering[2];
  for (const std::string& dir : dirs) timed(dir);  // each once, so none pays for a cold cache
  for (int i = 0; i < rounds; i++)
    for (int k = 0; k < 2; k++) {
      int which = (i + k) % 2;
      Times t = timed(dirs[which]);
      if (t.shown < 0) {
        fprintf(stderr, "the group list of %s never showed\n", dirs[which].c_str());
        return 1;
      }
      shown[which].push_back(t.shown), answering[which].push_back(t.answering);
    }
  double s0 = wbench::Median(shown[0]), s1 = wbench::Median(shown[1]), a0 = wbench::Median(answering[0]), a1 = wbench::Median(answering[1]);
  printf("rounds %d, until shown, medians: %d groups %.1f ms, shipped %.1f ms (ratio %.2f)\n", rounds, kGroups, s0,
         s1, s0 / s1);
  printf("until answering: %d groups %.1f ms, shipped %.1f ms (ratio %.2f)\n", kGroups, a0, a1, a0 / a1);
  const std::string file = dirs[0] + "\\all.json", runs[2] = {"/export \"" + file + "\"", "/import \"" + file + "\" /yes"};
  std::vector<double> ms[2];
  for (int i = -1; i < rounds; i++)  // the first round unrecorded, as above
    for (int k = 0; k < 2; k++) {
      double t = ran(dirs[0], runs[k]);
      if (t < 0) return fprintf(stderr, "Runmate.exe %s failed\n", runs[k].c_str()), 1;
      if (i >= 0) ms[k].push_back(t);
    }
  printf("whole process of %d groups: /export %.1f ms, /import /yes %.1f ms\n", kGroups, wbench::Median(ms[0]), wbench::Median(ms[1]));
  return 0;
}
