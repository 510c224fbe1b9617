#include "gosub.h"
#include <string.h>
#include "dbsub.h"
#ifdef _WIN32
#include <windows.h>
#include "koFind.h"
#include "koPathname.h"
#endif

std::string menus[MAX_CANDIDATES];
std::string cmdLine[MAX_CANDIDATES];
int nCmd = 0;
char xExt[300];
char srcFile[300];
char exeFile[300];

int GoDecide(bool isFolder, const char* ext) {
  nCmd = 0;
  int group = isFolder ? searchDirItem() : searchExtItem(ext ? ext : "");
  if (group == 0) return 0;
  extItem g;
  g.id = group;
  if (!readExtItem(&g)) return 0;
  appItem a;
  // Ids whose application is gone are skipped, never shown as a repeat of
  // the previous candidate.
  for (int i = 0; i < g.count() && nCmd < MAX_CANDIDATES; i++) {
    a.id = g.atab[i];
    if (!readAppItem(&a)) continue;
    menus[nCmd] = a.name;
    cmdLine[nCmd] = a.detail;
    nCmd++;
  }
  return nCmd;
}

bool BuildCommandLine(const char* command, const char* path, std::string& out) {
  out.clear();
  if (!command || !*command) return false;
  if (!path) path = "";
  std::string tmpl = command;
  size_t at = tmpl.find("%1");
  if (at == std::string::npos) {
    out = tmpl + " \"" + path + "\"";
  } else {
    out = tmpl.substr(0, at) + path + tmpl.substr(at + 2);
  }
  return true;
}

#ifdef _WIN32
int GoCheck(const char* path) {
  nCmd = 0;
  xExt[0] = 0;
  if (!path) path = "";
  bool isFolder = false;
  koFind find;
  if (find.findFirst(path, 0xFF) == 0) {
    isFolder = (find.getData()->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  } else {
    // A drive root or a folder given with its final backslash is a folder
    // too, though a directory search does not list it.
    DWORD attr = GetFileAttributesA(path);
    isFolder = attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY);
  }
  find.close();
  if (!isFolder) {
    koPathname parts;
    if (parts.storeName(path) == 0 && parts.ext) {
      strncpy(xExt, parts.ext, sizeof xExt - 1);
      xExt[sizeof xExt - 1] = 0;
    }
  }
  return GoDecide(isFolder, xExt);
}

int GoCheck() { return GoCheck(srcFile); }

void GoExec(int index) {
  if (index < 0 || index >= nCmd) return;
  GoExec(cmdLine[index].c_str(), srcFile);
}

void GoExec(const char* command, const char* path) {
  std::string line;
  if (!BuildCommandLine(command, path, line)) return;
  WinExec(line.c_str(), SW_SHOWNORMAL);
}

void GoExec0() { ShellExecuteA(nullptr, "open", srcFile, nullptr, nullptr, SW_SHOWNORMAL); }
#endif
