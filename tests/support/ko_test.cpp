#include "ko_test.h"
#include <gtest/gtest.h>
#include <errno.h>
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <algorithm>
#include <fstream>
#include <map>
#include <utility>
#ifdef _WIN32
#include <commctrl.h>
#include <direct.h>
#include <sqlite3.h>
#include "dbsub.h"
#include "koDlg0.h"
#include "koModule.h"
#else
#include <unistd.h>
#endif

static std::string traceLog;
static void trace(const char* format, va_list ap, const char* end) {
  char buf[2048];
  vsnprintf(buf, sizeof buf, format, ap);
  traceLog += std::string(buf) + end;
}
void dbout(const char* format, ...) { va_list ap; va_start(ap, format); trace(format, ap, ""); va_end(ap); }
void dboutln(const char* format, ...) { va_list ap; va_start(ap, format); trace(format, ap, "\n"); va_end(ap); }
std::string TraceLog() { return traceLog; }
void ClearTrace() { traceLog.clear(); }
std::string MakeTempDir(const char* tag) {
  static int counter = 0;  // process ids repeat under Wine: the first name not there yet
  char buf[600], base[260] = "/tmp/";
#ifdef _WIN32
  GetTempPathA(sizeof base, base);
  unsigned long pid = GetCurrentProcessId();
#define mkdir(path, mode) _mkdir(path)
#else
  unsigned long pid = (unsigned long)getpid();
#endif
  do snprintf(buf, sizeof buf, "%sko_%s_%lu_%d", base, tag, pid, ++counter);
  while (mkdir(buf, 0700) != 0 && errno == EEXIST);
  return buf;
}
bool CopyFileTo(const std::string& from, const std::string& to) {
  std::ifstream in(from, std::ios::binary);
  return in && (bool)(std::ofstream(to, std::ios::binary | std::ios::trunc) << in.rdbuf());
}
bool FileExists(const std::string& path) { struct stat st; return stat(path.c_str(), &st) == 0; }
std::string Hex(const std::string& s) {
  std::string r;
  for (unsigned char c : s) r += "0123456789ABCDEF"[c >> 4], r += "0123456789ABCDEF"[c & 15], r += ' ';
  return r;
}
#ifdef _WIN32
bool SaveShot(HWND window, const std::string& name) {
  RECT r{};
  int w = window && GetWindowRect(window, &r) ? r.right - r.left : 0, h = r.bottom - r.top;
  if (w <= 0 || h <= 0) return false;
  // On top (tests share one screen) and painted before it is read.
  SetWindowPos(window, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW | RDW_ALLCHILDREN);
  HDC screen = GetDC(nullptr), mem = CreateCompatibleDC(screen);
  BITMAPINFO bi{};
  bi.bmiHeader = {sizeof bi.bmiHeader, w, h, 1, 24, BI_RGB, 0, 0, 0, 0, 0};  // bottom-up, as BMP stores it
  void* bits = nullptr;
  HBITMAP bmp = CreateDIBSection(screen, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
  bool ok = false;
  HGDIOBJ old = bmp && bits ? SelectObject(mem, bmp) : nullptr;
  if (old) ok = BitBlt(mem, 0, 0, w, h, screen, r.left, r.top, SRCCOPY) != 0, GdiFlush(), SelectObject(mem, old);
  if (ok) {  // beside the test program: a file chooser may have moved the current folder
    const char* env = getenv("KO_SHOT_DIR");
    char self[MAX_PATH] = ".\\x";
    if (!env || !*env) GetModuleFileNameA(nullptr, self, sizeof self), *strrchr(self, '\\') = 0;
    std::string dir = env && *env ? env : std::string(self) + "\\shots";
    _mkdir(dir.c_str());
    DWORD size = (((DWORD)w * 3 + 3) & ~3u) * (DWORD)h, offset = sizeof(BITMAPFILEHEADER) + sizeof bi.bmiHeader;
    BITMAPFILEHEADER fh{0x4D42, offset + size, 0, 0, offset};
    bi.bmiHeader.biSizeImage = size;
    std::ofstream f(dir + "\\" + name + ".bmp", std::ios::binary);
    ok = (bool)f.write((char*)&fh, sizeof fh).write((char*)&bi.bmiHeader, sizeof bi.bmiHeader).write((char*)bits, size);
  }
  if (bmp) DeleteObject(bmp);
  return DeleteDC(mem), ReleaseDC(nullptr, screen), ok;
}
bool ShotWhenPainted(HWND window, const std::string& name) {
  static std::map<std::string, int> seen;
  return ++seen[name] >= 4 && (SaveShot(window, name), true);
}
std::string WinPath(std::string p) {
  for (char& c : p) c = c == '/' ? '\\' : c;
  char full[MAX_PATH];
  DWORD n = GetFullPathNameA(p.c_str(), sizeof full, full, nullptr);
  return n > 0 && n < sizeof full ? std::string(full) : p;
}
std::string ReadWhole(const std::string& path) { std::ifstream in(path, std::ios::binary); return {std::istreambuf_iterator<char>(in), {}}; }
std::string WaitForFile(const std::string& path, int ms) {
  for (int t = 0; t < ms; t += 50, Sleep(50))
    if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) return Sleep(100), ReadWhole(path);  // the writer may still be at it
  return "";
}
std::vector<std::string> WaitForRecords(const std::string& record, size_t count, int ms) {
  for (int t = 0;; t += 50, Sleep(50)) {
    std::vector<std::string> all;
    for (std::string name = record; GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
         name = record + "." + std::to_string(all.size() + 1))
      all.push_back(ReadWhole(name));
    // A record that reads empty was caught while it was being put in place (seen under Wine): read again.
    bool partial = std::any_of(all.begin(), all.end(), [](const std::string& r) { return r.find('\n') == std::string::npos; });
    if ((all.size() < count || partial) && t < std::max(ms, 2000)) continue;
    std::sort(all.begin(), all.end());  // by the creation time before the line
    for (std::string& r : all) r.erase(0, r.find('\n') + 1);
    return all;
  }
}
std::wstring Wide(const std::string& ansi) {  // never more units than bytes
  std::wstring w(ansi.size() + 1, L'\0');
  return w.substr(0, std::max(0, MultiByteToWideChar(932, 0, ansi.c_str(), -1, &w[0], (int)w.size()) - 1));
}
std::string Utf8(const std::wstring& text) {  // at most three bytes a unit
  std::string s(text.size() * 3 + 1, '\0');
  return s.substr(0, std::max(0, WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, &s[0], (int)s.size(), nullptr, nullptr) - 1));
}
namespace {
struct Wanted { DWORD pid; const char *cls, *caption; HWND except; std::vector<HWND> found; };
BOOL CALLBACK matchWindow(HWND w, LPARAM lp) {
  Wanted* f = (Wanted*)lp;
  DWORD pid = 0;
  GetWindowThreadProcessId(w, &pid);
  char cls[64] = "", text[256] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (f->caption) GetWindowTextA(w, text, sizeof text);
  if ((!f->pid || pid == f->pid) && w != f->except && !strcmp(cls, f->cls) && IsWindowVisible(w) &&
      (!f->caption || !strcmp(text, f->caption)))
    f->found.push_back(w);
  return TRUE;
}
// The visible dialogs of this thread, message boxes included.
std::vector<HWND> threadDialogs(const char* caption = nullptr, HWND except = nullptr) {
  Wanted f{0, "#32770", caption, except, {}};
  EnumThreadWindows(GetCurrentThreadId(), matchWindow, (LPARAM)&f);
  return f.found;
}
// Not by the static of id 0xFFFF alone: a template's unnamed labels (the About box's) have it too.
bool isBox(HWND w) { return !koWin::GetWin(w) && GetDlgItem(w, 0xFFFF) != nullptr; }
void dismiss(HWND box) { EndDialog(box, IDCANCEL); }  // as its close box: nothing agreed to
koModule module;
Script* running = nullptr;
}  // namespace
HWND WaitWindow(DWORD pid, const char* cls, int ms, const char* caption) {
  for (int t = 0; t < ms; t += 50, Sleep(50)) {
    Wanted f{pid, cls, caption, nullptr, {}};
    EnumWindows(matchWindow, (LPARAM)&f);
    if (!f.found.empty()) return f.found[0];
  }
  return nullptr;
}
HWND ThreadDialog(const char* caption, HWND except) { std::vector<HWND> f = threadDialogs(caption, except); return f.empty() ? nullptr : f[0]; }
std::string ItemText(HWND dialog, int id) {
  std::vector<char> buf(GetWindowTextLengthA(GetDlgItem(dialog, id)) + 2, 0);
  return GetDlgItemTextA(dialog, id, buf.data(), (int)buf.size() - 1), buf.data();
}
void Click(HWND d, int id) { PostMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(d, id)); }
void Press(HWND d, int id) { SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(d, id)); }
int ListRows(HWND dialog) { return (int)SendDlgItemMessageA(dialog, 300, LVM_GETITEMCOUNT, 0, 0); }
std::string ListCell(HWND dialog, int row, int column) {
  char buf[512] = "";
  LVITEMA item{};
  item.iSubItem = column, item.pszText = buf, item.cchTextMax = sizeof buf;
  SendDlgItemMessageA(dialog, 300, LVM_GETITEMTEXTA, row, (LPARAM)&item);
  return buf;
}
int ListRowOf(HWND dialog, const char* name) {
  for (int i = ListRows(dialog) - 1;; i--) if (i < 0 || ListCell(dialog, i, 0) == name) return i;
}
void ListSelect(HWND dialog, int row) {
  LVITEMA item{};
  item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendDlgItemMessageA(dialog, 300, LVM_SETITEMSTATE, row, (LPARAM)&item);
}
void Pump() { for (MSG m; PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE);) TranslateMessage(&m), DispatchMessageA(&m); }
void RegText(HKEY root, const std::string& key, const char* name, const std::string& text) {
  std::wstring k = Wide(key), n = name ? Wide(name) : L"", t = Wide(text);
  HKEY h;
  if (RegCreateKeyExW(root, k.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &h, nullptr) != ERROR_SUCCESS) return;
  RegSetValueExW(h, name ? n.c_str() : nullptr, 0, REG_SZ, (const BYTE*)t.c_str(), (DWORD)(t.size() + 1) * 2);
  RegCloseKey(h);
}
void Script::add(Step s) { steps.push_back(std::move(s)); }
void Script::act(std::function<void()> f) { add([f] { return f(), true; }); }
void Script::opened(const char* caption, HWND& into, const char* shot) {
  dialogs.push_back(&into);
  add([this, c = std::string(caption ? caption : ""), s = std::string(shot ? shot : ""), any = !caption, &into] {
    into = any ? nullptr : ThreadDialog(c.c_str());
    for (HWND w : any ? threadDialogs() : std::vector<HWND>()) into = !known(w) && !isBox(w) ? w : into;
    return into && (s.empty() || ShotWhenPainted(into, s));
  });
}
void Script::closed(HWND& window) { add([&window] { return !IsWindowVisible(window); }); }
void Script::answer(int button, const char* shot) {
  add([this, button, s = std::string(shot ? shot : "")] {
    HWND box = nullptr;
    for (HWND w : threadDialogs()) box = !known(w) && isBox(w) ? w : box;
    if (!box || (!s.empty() && !ShotWhenPainted(box, s))) return false;
    return log("box " + ItemText(box, 0xFFFF)), Click(box, button), true;
  });
}
void Script::none() {
  add([this, ticks = 0]() mutable {
    if (HWND box = MessageBoxOf()) log("unexpected box " + ItemText(box, 0xFFFF)), dismiss(box);
    return ++ticks >= 2;
  });
}
void Script::hold() { add([ticks = getenv("KO_SHOT_SECONDS") ? atoi(getenv("KO_SHOT_SECONDS")) * 10 : 0]() mutable { return --ticks < 0; }); }
bool Script::known(HWND w) const { return std::any_of(dialogs.begin(), dialogs.end(), [w](HWND* d) { return *d == w; }); }
std::string Script::logged() const { std::string all; for (auto& l : lines) all += l + "\n"; return all; }
void Script::step() {
  if (busy) return;  // a step's own message loop must not re-enter
  busy = true;
  if (at < steps.size()) {
    if (steps[at]()) at++, idle = 0;
    else if (++idle > 150) log("stuck at step " + std::to_string(at)), at = steps.size() + 1;
  } else if (HWND box = MessageBoxOf()) {
    log("left box " + ItemText(box, 0xFFFF)), dismiss(box);
  } else if (HWND open = ThreadDialog(nullptr)) {  // cancelled as by the user; one that keeps asking is ended
    ++idle > 20 ? EndDialog(open, IDCANCEL) : PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
  }
  busy = false;
}
void CALLBACK Script::tick(HWND, UINT, UINT_PTR, DWORD) { running ? running->step() : void(); }
bool Script::run(const std::function<void()>& body, int intervalMs) {
  at = idle = 0;
  Script* outer = std::exchange(running, this);
  UINT_PTR timer = SetTimer(nullptr, 0, (UINT)intervalMs, tick);
  body();
  return KillTimer(nullptr, timer), running = outer, at == steps.size();
}
static int ShotFontSize() {  // 9, or KO_SHOT_FONT ("max": the largest allowed) for screenshots
  const char* size = getenv("KO_SHOT_FONT");
  return !size || !*size ? 9 : !strcmp(size, "max") ? (int)OPT_FONT_MAX : atoi(size);
}
void RunmateTest::SetUp() {
  GetCurrentDirectoryA(sizeof cwd, cwd);
  dir = MakeTempDir("runmate");
  ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "\\exec.db"));
  reopen();
  pModule = &module, module.title = "Runmate";
  koDialog::FontSize(ShotFontSize());
  frame = new HiddenFrame;
  ASSERT_TRUE(frame->create("frame"));
}
void RunmateTest::TearDown() {
  if (frame) DestroyWindow(frame->hWnd);
  pModule = nullptr, TermDb(), EraseItem(), SetCurrentDirectoryA(cwd);  // a file chooser may have moved it
}
void RunmateTest::reopen() {
  TermDb(), EraseItem();
  ASSERT_TRUE(DbOpen(dir.c_str(), "Runmate"));
  GetAllItem(), LoadParams();
}
void RunmateTest::sql(const std::string& text) { ASSERT_EQ(db->exec(text.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << text; }
int RunmateTest::scalar(const std::string& query) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db->dbHandle, query.c_str(), -1, &st, nullptr);
  int n = st && sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
  return sqlite3_finalize(st), n;
}
HWND MessageBoxOf(std::initializer_list<HWND> except) {
  for (HWND w : threadDialogs()) if (isBox(w) && std::find(except.begin(), except.end(), w) == except.end()) return w;
  return nullptr;
}
std::string Enabled(HWND d, std::initializer_list<std::pair<int, const char*>> buttons) {
  std::string s;
  for (auto& b : buttons) s += (s.empty() ? "" : " ") + std::string(b.second) + (IsWindowEnabled(GetDlgItem(d, b.first)) ? "+" : "-");
  return s;
}
std::string ListBoxTexts(HWND d, int id) {
  std::string all;
  int n = (int)SendDlgItemMessageA(d, id, LB_GETCOUNT, 0, 0), sel = (int)SendDlgItemMessageA(d, id, LB_GETCURSEL, 0, 0);
  for (int i = 0; i < n; i++) {
    char buf[512] = "";
    SendDlgItemMessageA(d, id, LB_GETTEXT, i, (LPARAM)buf);
    all += (i ? "," : "") + (i == sel ? std::string("[") + buf + "]" : buf);
  }
  return all;
}
void Type(HWND d, int id, const std::string& text) { SetDlgItemTextA(d, id, text.c_str()); }
void Pick(HWND d, int id, const char* text) {
  int row = text ? (int)SendDlgItemMessageA(d, id, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text) : -1;
  SendDlgItemMessageA(d, id, LB_SETCURSEL, (WPARAM)row, 0);
  SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), (LPARAM)GetDlgItem(d, id));
}
std::string Misfits(HWND d, std::initializer_list<int> bottom) {
  std::string bad;
  RECT margin = {0, 0, 5, 5}, client{};
  MapDialogRect(d, &margin), GetClientRect(d, &client);
  for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char text[200] = "", cls[40] = "";
    GetWindowTextA(c, text, sizeof text), GetClassNameA(c, cls, sizeof cls);
    RECT r{};
    GetWindowRect(c, &r), MapWindowPoints(nullptr, d, (POINT*)&r, 2);
    if (r.left < margin.right || r.top < margin.bottom || r.right > client.right - margin.right ||
        r.bottom > client.bottom - margin.bottom)
      bad += std::string("edge ") + cls + " " + text + "; ";
    LONG style = GetWindowLongA(c, GWL_STYLE);
    bool button = !_stricmp(cls, "Button"), label = !_stricmp(cls, "Static") && (style & SS_TYPEMASK) <= SS_RIGHT;
    if (!button && !label) continue;
    std::string shown;
    for (const char* p = text; *p; p++) if (*p != '&' || (label && (style & SS_NOPREFIX))) shown += *p;
    HDC dc = GetDC(c);
    HGDIOBJ old = SelectObject(dc, (HFONT)SendMessageA(c, WM_GETFONT, 0, 0));
    SIZE size{};
    GetTextExtentPoint32A(dc, shown.c_str(), (int)shown.size(), &size);
    SelectObject(dc, old), ReleaseDC(c, dc);
    LONG type = style & BS_TYPEMASK;
    bool check = button && (type == BS_CHECKBOX || type == BS_AUTOCHECKBOX || type == BS_RADIOBUTTON || type == BS_AUTORADIOBUTTON);
    // A push button's frame is 2 pixels, a check box's box stands before its text.
    int pad = !button ? 0 : check ? GetSystemMetrics(SM_CXMENUCHECK) + 4 : 2 * (2 + 4);
    if (size.cx + pad > r.right - r.left || size.cy + (button && !check ? 4 : 0) > r.bottom - r.top)
      bad += "clipped " + shown + " " + std::to_string(size.cx) + "/" + std::to_string(r.right - r.left) + "; ";
  }
  RECT first{};
  for (int id : bottom) {
    RECT r{};
    GetWindowRect(GetDlgItem(d, id), &r);
    if (!first.bottom) first = r;
    if (r.top != first.top || r.bottom != first.bottom) bad += "bottom button " + ItemText(d, id) + " off line; ";
  }
  return bad.empty() ? "fits" : bad;
}
#endif

int main(int argc, char** argv) {
  testing::InitGoogleTest(&argc, argv);
#ifdef _WIN32
  // The tests' own texts are Shift-JIS through the A functions: the Japanese ANSI code page, unless the
  // run is about another one (KO_LOCALE), where the test uses UTF-16 only.
  if (GetACP() != 932 && !getenv("KO_LOCALE"))
    return fprintf(stderr, "ANSI code page is %u, not 932: run with LC_ALL=ja_JP.UTF-8\n", GetACP()), 2;
#endif
  return RUN_ALL_TESTS();
}
