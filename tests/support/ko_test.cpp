#include "ko_test.h"
#include <gtest/gtest.h>
#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <sys/stat.h>
#include <stdlib.h>
#include <string.h>
#include <fstream>
#include <map>
#include <vector>
#ifdef _WIN32
#include <windows.h>
#include <commctrl.h>
#include <direct.h>
#else
#include <unistd.h>
#endif

static std::string traceLog;

static void record(const char* format, va_list ap, bool newline) {
  char buf[2048];
  vsnprintf(buf, sizeof buf, format, ap);
  traceLog += buf;
  if (newline) traceLog += "\n";
}

void dbout(const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  record(format, ap, false);
  va_end(ap);
}

void dboutln(const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  record(format, ap, true);
  va_end(ap);
}

std::string TraceLog() { return traceLog; }
void ClearTrace() { traceLog.clear(); }

std::string MakeTempDir(const char* tag) {
  // Process ids repeat under Wine: take the first name not there yet.
  static int counter = 0;
  char buf[512];
  for (;;) {
#ifdef _WIN32
    char base[MAX_PATH];
    GetTempPathA(sizeof base, base);
    snprintf(buf, sizeof buf, "%sko_%s_%lu_%d", base, tag, GetCurrentProcessId(), ++counter);
    if (_mkdir(buf) == 0) break;
#else
    snprintf(buf, sizeof buf, "/tmp/ko_%s_%d_%d", tag, (int)getpid(), ++counter);
    if (mkdir(buf, 0700) == 0) break;
#endif
    if (errno != EEXIST) break;
  }
  return buf;
}

bool CopyFileTo(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  if (!in) return false;
  std::ofstream out(to, std::ios::binary | std::ios::trunc);
  out << in.rdbuf();
  return (bool)out;
}

bool FileExists(const std::string& path) {
  struct stat st;
  return stat(path.c_str(), &st) == 0;
}

std::string Hex(const std::string& s) {
  std::string r;
  char b[4];
  for (unsigned char c : s) {
    snprintf(b, sizeof b, "%02X ", c);
    r += b;
  }
  return r;
}

#ifdef _WIN32
bool SaveShot(HWND window, const std::string& name) {
  RECT r;
  if (!window || !GetWindowRect(window, &r)) return false;
  int w = r.right - r.left, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  // On top (tests run side by side on one screen) and painted before it is read.
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC screen = GetDC(nullptr);
  HDC mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader.biSize = sizeof bi.bmiHeader;
  bi.bmiHeader.biWidth = w;
  bi.bmiHeader.biHeight = h;  // bottom-up, as a BMP file stores it
  bi.bmiHeader.biPlanes = 1;
  bi.bmiHeader.biBitCount = 24;
  bi.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  if (bmp && bits) {
    HGDIOBJ old = SelectObject(mem, bmp);
    ok = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != 0;
    GdiFlush();
    SelectObject(mem, old);
  }
  if (ok) {
    // Beside the test program: a file chooser may have moved the current folder.
    const char* env = getenv("KO_SHOT_DIR");
    std::string dir;
    if (env && *env) {
      dir = env;
    } else {
      char self[MAX_PATH] = "";
      GetModuleFileNameA(nullptr, self, sizeof self);
      dir = self;
      size_t cut = dir.find_last_of("\\/");
      dir = (cut == std::string::npos ? std::string(".") : dir.substr(0, cut)) + "\\shots";
    }
    _mkdir(dir.c_str());
    DWORD stride = ((DWORD)w * 3 + 3) & ~3u, size = stride * (DWORD)h;
    BITMAPFILEHEADER fh{};
    fh.bfType = 0x4D42;
    fh.bfOffBits = sizeof fh + sizeof bi.bmiHeader;
    fh.bfSize = fh.bfOffBits + size;
    bi.bmiHeader.biSizeImage = size;
    FILE* f = fopen((dir + "\\" + name + ".bmp").c_str(), "wb");
    ok = f && fwrite(&fh, sizeof fh, 1, f) == 1 && fwrite(&bi.bmiHeader, sizeof bi.bmiHeader, 1, f) == 1 &&
         fwrite(bits, 1, size, f) == size;
    if (f) fclose(f);
  }
  if (bmp) DeleteObject(bmp);
  DeleteDC(mem);
  ReleaseDC(nullptr, screen);
  return ok;
}

bool ShotWhenPainted(HWND window, const std::string& name) {
  static std::map<std::string, int> seen;
  if (++seen[name] < 4) return false;
  SaveShot(window, name);
  return true;
}

std::string WinPath(std::string p) {
  for (char& c : p)
    if (c == '/') c = '\\';
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(p.c_str(), sizeof full, full, nullptr);
  return n > 0 && n < sizeof full ? std::string(full) : p;
}

std::string ReadWhole(const std::string& path) {
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return "";
  std::string r;
  char buf[4096];
  size_t n;
  while ((n = fread(buf, 1, sizeof buf, f)) > 0) r.append(buf, n);
  fclose(f);
  return r;
}

std::string WaitForFile(const std::string& path, int ms) {
  for (int t = 0; t < ms; t += 50) {
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) {
      Sleep(100);  // the writer may still be at it
      return ReadWhole(path);
    }
    Sleep(50);
  }
  return "";
}

std::vector<std::string> WaitForRecords(const std::string& record, size_t count, int ms) {
  std::vector<std::string> all;
  for (int t = 0;; t += 50) {
    all.clear();
    for (int i = 1;; i++) {
      std::string name = i == 1 ? record : record + "." + std::to_string(i);
      if (GetFileAttributesA(name.c_str()) == INVALID_FILE_ATTRIBUTES) break;
      all.push_back(ReadWhole(name));
    }
    if (all.size() >= count || t >= ms) return all;
    Sleep(50);
  }
}

std::wstring Wide(const std::string& ansi) {
  int n = MultiByteToWideChar(932, 0, ansi.c_str(), -1, nullptr, 0);
  std::wstring w((size_t)(n > 0 ? n : 1), L'\0');
  if (n > 0) MultiByteToWideChar(932, 0, ansi.c_str(), -1, &w[0], n);
  w.resize(w.size() - 1);
  return w;
}

std::string Utf8(const std::wstring& text) {
  int n = WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
  std::string s((size_t)(n > 0 ? n : 1), '\0');
  if (n > 0) WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &s[0], n, nullptr, nullptr);
  s.resize(s.size() - 1);
  return s;
}

namespace {
struct Wanted {
  DWORD pid;
  const char* cls;
  const char* caption;
  HWND except;
  HWND found;
};

BOOL CALLBACK matchWindow(HWND w, LPARAM lp) {
  Wanted* f = (Wanted*)lp;
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[64] = "", text[256] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (f->pid && pid != f->pid) return TRUE;
  if (w == f->except || strcmp(cls, f->cls) != 0 || !IsWindowVisible(w)) return TRUE;
  if (f->caption) {
    GetWindowTextA(w, text, sizeof text);
    if (strcmp(text, f->caption) != 0) return TRUE;
  }
  f->found = w;
  return FALSE;
}
}  // namespace

HWND WaitWindow(DWORD pid, const char* cls, int ms, const char* caption) {
  for (int t = 0; t < ms; t += 50) {
    Wanted f{pid, cls, caption, nullptr, nullptr};
    EnumWindows(matchWindow, (LPARAM)&f);
    if (f.found) return f.found;
    Sleep(50);
  }
  return nullptr;
}

HWND ThreadDialog(const char* caption, HWND except) {
  Wanted f{0, "#32770", caption, except, nullptr};
  EnumThreadWindows(GetCurrentThreadId(), matchWindow, (LPARAM)&f);
  return f.found;
}

std::string ItemText(HWND dialog, int id) {
  int n = GetWindowTextLengthA(GetDlgItem(dialog, id));
  std::vector<char> buf(n + 2, 0);
  GetDlgItemTextA(dialog, id, buf.data(), n + 1);
  return buf.data();
}

void Click(HWND dialog, int id) {
  PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(dialog, id));
}

int ListRows(HWND dialog) { return (int)SendDlgItemMessageA(dialog, 300, LVM_GETITEMCOUNT, 0, 0); }

std::string ListCell(HWND dialog, int row, int column) {
  char buf[512] = "";
  LVITEMA item{};
  item.iSubItem = column;
  item.pszText = buf;
  item.cchTextMax = sizeof buf;
  SendDlgItemMessageA(dialog, 300, LVM_GETITEMTEXTA, row, (LPARAM)&item);
  return buf;
}

int ListRowOf(HWND dialog, const char* name) {
  for (int i = 0; i < ListRows(dialog); i++)
    if (ListCell(dialog, i, 0) == name) return i;
  return -1;
}

void ListSelect(HWND dialog, int row) {
  LVITEMA item{};
  item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendDlgItemMessageA(dialog, 300, LVM_SETITEMSTATE, row, (LPARAM)&item);
}
#endif

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
  // Every test assumes the Japanese ANSI code page.
  if (GetACP() != 932) {
    fprintf(stderr, "ANSI code page is %u, not 932: run with LC_ALL=ja_JP.UTF-8\n", GetACP());
    return 2;
  }
#endif
  return RUN_ALL_TESTS();
}
