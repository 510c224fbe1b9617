// What the Windows benchmarks share: where the built programs are, a folder
// of their own, the window a started process shows, medians.
#ifndef KO_WBENCH_H
#define KO_WBENCH_H
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include <vector>
#include <sqlite3.h>
#include "koSQLite.h"

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
inline long long FileBytes(const std::string& path) {
  WIN32_FILE_ATTRIBUTE_DATA d;
  return GetFileAttributesExA(path.c_str(), GetFileExInfoStandard, &d) ? ((long long)d.nFileSizeHigh << 32) | d.nFileSizeLow : -1;
}
inline double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v.empty() ? 0 : (v[(v.size() - 1) / 2] + v[v.size() / 2]) / 2;
}

// 10,000 groups and 2,000 applications of typical length, bound as the program binds them (Shift-JIS in, UTF-8 stored), in one transaction.
inline bool AddRows(koSQLite& db) {
  const int kGroups = 10000, kApps = 2000, kFirstApp = 100000;
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
}  // namespace wbench
#endif
