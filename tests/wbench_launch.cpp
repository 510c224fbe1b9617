// Whole-process time of a launch under Wine: Runmate.exe opening a file of
// a group with one application, against the least a launcher does
// (minlaunch.exe: an invisible window, WinExec, the message loop), and
// against the same with CreateProcess, which Runmate uses and which does not
// wait for the target to be idle. All start noop.exe, which returns at
// once. The order alternates in each round; medians and ratios are printed.
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include "koSQLite.h"

void dbout(const char*, ...) {}
void dboutln(const char*, ...) {}

namespace {
std::string binDir() {
  char self[MAX_PATH] = "";
  GetFullPathNameA(KO_BENCH_BIN_DIR, sizeof self, self, nullptr);
  std::string d = self;
  for (char& c : d)
    if (c == '/') c = '\\';
  return d;
}

// Milliseconds from CreateProcess to the end of the process.
double timed(std::string line, const std::string& folder) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&a);
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) return -1;
  WaitForSingleObject(pi.hProcess, 30000);
  QueryPerformanceCounter(&b);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return 1000.0 * (double)(b.QuadPart - a.QuadPart) / (double)f.QuadPart;
}

struct MenuOf {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK findMenu(HWND w, LPARAM lp) {
  MenuOf* m = (MenuOf*)lp;
  DWORD pid = 0;
  char cls[16] = "";
  GetWindowThreadProcessId(w, &pid);
  GetClassNameA(w, cls, sizeof cls);
  if (pid != m->pid || strcmp(cls, "#32768") != 0 || !IsWindowVisible(w)) return TRUE;
  m->found = w;
  return FALSE;
}

// Milliseconds from CreateProcess until the candidate menu shows; then it
// is dismissed and the process waited for.
double untilMenu(std::string line, const std::string& folder) {
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&a);
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) return -1;
  MenuOf m{pi.dwProcessId, nullptr};
  for (int t = 0; !m.found && t < 20000; t++) {
    EnumWindows(findMenu, (LPARAM)&m);
    if (!m.found) Sleep(1);
  }
  QueryPerformanceCounter(&b);
  if (m.found) PostMessageA(m.found, WM_KEYDOWN, VK_ESCAPE, 0);
  WaitForSingleObject(pi.hProcess, 30000);
  CloseHandle(pi.hThread);
  CloseHandle(pi.hProcess);
  return m.found ? 1000.0 * (double)(b.QuadPart - a.QuadPart) / (double)f.QuadPart : -1;
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.size() % 2 ? v[v.size() / 2] : (v[v.size() / 2 - 1] + v[v.size() / 2]) / 2;
}
}  // namespace

int main(int argc, char** argv) {
  int pairs = argc > 1 ? atoi(argv[1]) : 11;
  std::string bin = binDir();
  char tmp[MAX_PATH];
  GetTempPathA(sizeof tmp, tmp);
  std::string dir = std::string(tmp) + "ko_bench_launch";
  CreateDirectoryA(dir.c_str(), nullptr);
  std::string exe = dir + "\\Runmate.exe", file = dir + "\\x.bench", noop = bin + "\\noop.exe";
  if (!CopyFileA((bin + "\\Runmate.exe").c_str(), exe.c_str(), FALSE) ||
      !CopyFileA((bin + "\\exec.db").c_str(), (dir + "\\exec.db").c_str(), FALSE)) {
    fprintf(stderr, "cannot copy the program from %s\n", bin.c_str());
    return 1;
  }
  fclose(fopen(file.c_str(), "wb"));
  {
    koSQLite db((dir + "\\exec.db").c_str());
    // One candidate for the launch; five for the menu, with icons (their
    // programs exist) or without (they do not).
    std::string sql = "insert into atable (id,name,cmd) values (90,'noop','\"" + noop +
                      "\"  \"%1\"'); insert into etable (name,elist,na,atab) values ('bench','bench',1,X'5A000000');"
                      "insert into atable (id,name,cmd) values (91,'a','\"" + bin + "\\minlaunch.exe\" %1'),"
                      "(92,'b','\"" + bin + "\\recorder.exe\" %1'),(93,'c','C:\\windows\\system32\\cmd.exe %1'),"
                      "(94,'d','C:\\windows\\notepad.exe %1'),(95,'e','C:\\windows\\explorer.exe %1'),"
                      "(96,'a','x:\\a.exe %1'),(97,'b','x:\\b.exe %1'),(98,'c','x:\\c.exe %1'),"
                      "(99,'d','x:\\d.exe %1'),(100,'e','x:\\e.exe %1');"
                      "insert into etable (name,elist,na,atab) values ('icons','icons',5,"
                      "X'5B0000005C0000005D0000005E0000005F000000'),"
                      "('plain','plain',5,X'6000000061000000620000006300000064000000');";
    if (db.open(nullptr) != 0 || db.exec(sql.c_str(), nullptr, nullptr, nullptr) != 0) {
      fprintf(stderr, "cannot prepare exec.db\n");
      return 1;
    }
  }
  std::string runmate = "\"" + exe + "\" \"" + file + "\"";
  std::string target = "\"" + noop + "\"  \"" + file + "\"";
  std::string least = "\"" + bin + "\\minlaunch.exe\" " + target;
  std::string leastCreate = "\"" + bin + "\\minlaunch.exe\" /c " + target;
  const std::string* lines[3] = {&runmate, &least, &leastCreate};
  std::vector<double> times[3];
  for (auto* l : lines) timed(*l, dir);  // each once, so none pays for a cold cache
  for (int i = 0; i < pairs; i++)
    for (int k = 0; k < 3; k++) {
      int which = (i + k) % 3;
      times[which].push_back(timed(*lines[which], dir));
    }
  double r = median(times[0]), w = median(times[1]), c = median(times[2]);
  printf("rounds %d, medians: Runmate %.1f ms, minimal launcher with WinExec %.1f ms (ratio %.3f), "
         "with CreateProcess %.1f ms (ratio %.3f)\n", pairs, r, w, r / w, c, r / c);
  // The menu of five candidates with and without their icons.
  std::string icons = "\"" + exe + "\" \"" + dir + "\\x.icons\"", plain = "\"" + exe + "\" \"" + dir + "\\x.plain\"";
  std::vector<double> withIcons, without;
  untilMenu(icons, dir);
  untilMenu(plain, dir);
  for (int i = 0; i < pairs; i++) {
    if (i % 2) withIcons.push_back(untilMenu(icons, dir));
    without.push_back(untilMenu(plain, dir));
    if (!(i % 2)) withIcons.push_back(untilMenu(icons, dir));
  }
  double mi = median(withIcons), mp = median(without);
  printf("menu of five, medians: with icons %.1f ms, without %.1f ms (ratio %.3f)\n", mi, mp, mi / mp);
  return 0;
}
