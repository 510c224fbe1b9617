// What the Windows benchmarks share: where the built programs are, a folder
// of their own, the window a started process shows, medians.
#ifndef KO_WBENCH_H
#define KO_WBENCH_H
#include <windows.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>

namespace wbench {
// The build's program folder (KO_BENCH_BIN_DIR) as a full Windows path.
inline std::string BinDir() {
  char bin[MAX_PATH] = "";
  GetFullPathNameA(KO_BENCH_BIN_DIR, sizeof bin, bin, nullptr);
  std::replace(bin, bin + strlen(bin), '/', '\\');
  return bin;
}
// A folder of that name in the temporary folder, made when missing.
inline std::string TempDir(const char* name) {
  char tmp[MAX_PATH] = "";
  GetTempPathA(sizeof tmp, tmp);
  std::string dir = std::string(tmp) + name;
  CreateDirectoryA(dir.c_str(), nullptr);
  return dir;
}
struct Wanted { DWORD pid; const char *windowClass, *caption; HWND found; };
inline BOOL CALLBACK MatchWindow(HWND w, LPARAM lp) {
  Wanted* f = (Wanted*)lp;
  DWORD owner = 0;
  char cls[32] = "", text[128] = "";
  GetWindowThreadProcessId(w, &owner), GetClassNameA(w, cls, sizeof cls);
  if (owner != f->pid || strcmp(cls, f->windowClass) || !IsWindowVisible(w)) return TRUE;
  if (f->caption && (GetWindowTextA(w, text, sizeof text), strcmp(text, f->caption))) return TRUE;
  return f->found = w, FALSE;
}
// A visible top-level window of the process with that class (and caption,
// when given), or null.
inline HWND ShownWindow(DWORD pid, const char* windowClass, const char* caption = nullptr) {
  Wanted wanted{pid, windowClass, caption, nullptr};
  EnumWindows(MatchWindow, (LPARAM)&wanted);
  return wanted.found;
}
// A process started from a command line in a folder, timed from its start; ended (after limit ms) and released.
struct Run {
  PROCESS_INFORMATION pi{};
  LARGE_INTEGER start{};
  bool started;
  Run(std::string line, const std::string& folder) {
    STARTUPINFOA si{};
    si.cb = sizeof si;
    QueryPerformanceCounter(&start);
    started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &si, &pi) != 0;
  }
  double ms() const {
    LARGE_INTEGER f, now;
    QueryPerformanceFrequency(&f), QueryPerformanceCounter(&now);
    return 1000.0 * (double)(now.QuadPart - start.QuadPart) / (double)f.QuadPart;
  }
  DWORD wait(DWORD limit = 60000) {  // its exit code
    DWORD code = 1;
    if (WaitForSingleObject(pi.hProcess, limit) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    return GetExitCodeProcess(pi.hProcess, &code), code;
  }
  ~Run() { started ? (void)(wait(), CloseHandle(pi.hThread), CloseHandle(pi.hProcess)) : void(); }
};
inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2;
}
}  // namespace wbench
#endif
