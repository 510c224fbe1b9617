// Whole-process time of Runmate.exe /export and /import /yes of 10,000 groups and 2,000 applications
// (added to the shipped exec.db), under Wine, run by hand; medians printed. Run from the worktree, e.g.
//   KO_BUILD_DIR=$PWD/build/win-i686 xvfb-run -a tests/wine-run.sh build/win-i686/tests/wbench_registrations.exe 5
#include <stdlib.h>
#include "wbench.h"
void dbout(const char*, ...) {}  // the library's trace, unused here
void dboutln(const char*, ...) {}

namespace {
// Milliseconds from CreateProcess to the end; -1 when it failed or its exit code was not 0.
double timed(const std::string& folder, const std::string& args) {
  std::string line = "\"" + folder + "\\Runmate.exe\" " + args;
  STARTUPINFOA si{};
  si.cb = sizeof si;
  PROCESS_INFORMATION pi{};
  LARGE_INTEGER f, a, b;
  QueryPerformanceFrequency(&f), QueryPerformanceCounter(&a);
  if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi)) return -1;
  DWORD code = 1;
  if (WaitForSingleObject(pi.hProcess, 60000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
  QueryPerformanceCounter(&b), GetExitCodeProcess(pi.hProcess, &code);
  CloseHandle(pi.hThread), CloseHandle(pi.hProcess);
  return code ? -1 : 1000.0 * (double)(b.QuadPart - a.QuadPart) / (double)f.QuadPart;
}
}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? atoi(argv[1]) : 5;
  const std::string b = wbench::BinDir(), dir = wbench::TempDir("ko_bench_registrations"), file = dir + "\\all.json";
  koSQLite db((dir + "\\exec.db").c_str());
  if (!CopyFileA((b + "\\Runmate.exe").c_str(), (dir + "\\Runmate.exe").c_str(), FALSE) ||
      !CopyFileA((b + "\\exec.db").c_str(), (dir + "\\exec.db").c_str(), FALSE) || db.open(nullptr) ||
      !wbench::AddRows(db) || db.close()) {
    fprintf(stderr, "cannot make %s with the rows\n", dir.c_str());
    return 1;
  }
  const std::string runs[2] = {"/export \"" + file + "\"", "/import \"" + file + "\" /yes"};
  std::vector<double> ms[2];
  for (int i = -1; i < rounds; i++)  // the first round warms the cache, unrecorded
    for (int k = 0; k < 2; k++) {
      double t = timed(dir, runs[k]);
      if (t < 0) return fprintf(stderr, "Runmate.exe %s failed\n", runs[k].c_str()), 1;
      if (i >= 0) ms[k].push_back(t);
    }
  printf("rounds %d, whole process, medians: /export %.1f ms, /import /yes %.1f ms (%lu bytes of JSON)\n", rounds,
         wbench::Median(ms[0]), wbench::Median(ms[1]), (unsigned long)wbench::FileBytes(file));
  return 0;
}
