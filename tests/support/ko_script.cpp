#include "ko_script.h"
#ifdef _WIN32
#include <sqlite3.h>
#include <stdlib.h>
#include <string.h>
#include "dbsub.h"
#include "koDlg0.h"
#include "koModule.h"
#include "koWin.h"
#include "ko_test.h"

namespace {
koModule module;
Script* running = nullptr;
const int kStuckTicks = 150;

BOOL CALLBACK collect(HWND w, LPARAM lp) {
  char cls[16] = "";
  GetClassNameA(w, cls, sizeof cls);
  if (strcmp(cls, "#32770") == 0 && IsWindowVisible(w)) ((std::vector<HWND>*)lp)->push_back(w);
  return TRUE;
}

// The visible dialogs of this thread, message boxes included.
std::vector<HWND> threadDialogs() {
  std::vector<HWND> all;
  EnumThreadWindows(GetCurrentThreadId(), collect, (LPARAM)&all);
  return all;
}

// Not by the static of id 0xFFFF alone: a template's unnamed labels (the
// About box's) have it too.
bool isBox(HWND w) { return !koWin::GetWin(w) && GetDlgItem(w, 0xFFFF) != nullptr; }

// Ends a message box as its close box would: nothing is agreed to.
void dismiss(HWND box) { EndDialog(box, IDCANCEL); }
}  // namespace

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

void PumpFor(int ms) {
  DWORD end = GetTickCount() + (DWORD)ms;
  do {
    Pump();
    Sleep(10);
  } while ((int)(end - GetTickCount()) > 0);
}

void Script::add(Step s) { steps.push_back(std::move(s)); }

void Script::act(std::function<void()> f) {
  add([f] {
    f();
    return true;
  });
}

void Script::opened(const char* caption, HWND& into, const char* shot) {
  std::string c = caption ? caption : "", s = shot ? shot : "";
  bool any = caption == nullptr;
  dialogs.push_back(&into);
  add([this, c, s, any, &into] {
    into = nullptr;
    if (!any) {
      into = ThreadDialog(c.c_str());
    } else {
      for (HWND w : threadDialogs())
        if (!known(w) && !isBox(w)) into = w;
    }
    if (!into) return false;
    return s.empty() || ShotWhenPainted(into, s);
  });
}

void Script::closed(HWND& window) {
  add([&window] { return !IsWindow(window) || !IsWindowVisible(window); });
}

void Script::answer(int button, const char* shot) {
  std::string s = shot ? shot : "";
  add([this, button, s] {
    HWND box = nullptr;
    for (HWND w : threadDialogs())
      if (!known(w) && isBox(w)) box = w;
    if (!box) return false;
    if (!s.empty() && !ShotWhenPainted(box, s)) return false;
    log("box " + ItemText(box, 0xFFFF));
    Click(box, button);
    return true;
  });
}

void Script::none() {
  int ticks = 0;
  add([this, ticks]() mutable {
    if (HWND box = MessageBoxOf()) {
      log("unexpected box " + ItemText(box, 0xFFFF));
      dismiss(box);
    }
    return ++ticks >= 2;
  });
}

void Script::hold() {
  int ticks = 0;
  add([ticks]() mutable {
    static const char* seconds = getenv("KO_SHOT_SECONDS");
    if (!seconds) return true;
    if (ticks == 0) ticks = atoi(seconds) * 10 + 1;
    return --ticks <= 0;
  });
}

bool Script::known(HWND w) const {
  for (HWND* d : dialogs)
    if (*d == w) return true;
  return false;
}

std::string Script::logged() const {
  std::string all;
  for (auto& l : lines) all += l + "\n";
  return all;
}

void Script::step() {
  if (busy) return;  // a step's own message loop must not re-enter
  busy = true;
  if (at < steps.size()) {
    if (steps[at]()) {
      at++;
      idle = 0;
    } else if (++idle > kStuckTicks) {
      log("stuck at step " + std::to_string(at));
      at = steps.size() + 1;
    }
  } else if (HWND box = MessageBoxOf()) {
    log("left box " + ItemText(box, 0xFFFF));
    dismiss(box);
  } else if (HWND open = ThreadDialog(nullptr)) {
    // Cancel as the user would; one that keeps asking is ended.
    if (++idle > 20) EndDialog(open, IDCANCEL);
    else PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
  }
  busy = false;
}

void CALLBACK Script::tick(HWND, UINT, UINT_PTR, DWORD) {
  if (running) running->step();
}

bool Script::run(const std::function<void()>& body, int intervalMs) {
  at = 0;
  idle = 0;
  Script* outer = running;
  running = this;
  UINT_PTR timer = SetTimer(nullptr, 0, (UINT)intervalMs, tick);
  body();
  KillTimer(nullptr, timer);
  running = outer;
  return at == steps.size();
}

void RunmateTest::SetUp() {
  dir = MakeTempDir("runmate");
  ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "\\exec.db"));
  reopen();
  pModule = &module;
  module.title = "Runmate";
  koDialog::FontSize(9);
  frame = new HiddenFrame;
  ASSERT_TRUE(frame->create("frame"));
}

void RunmateTest::TearDown() {
  if (frame) DestroyWindow(frame->hWnd);
  pModule = nullptr;
  TermDb();
  EraseItem();
}

void RunmateTest::reopen() {
  TermDb();
  EraseItem();
  ASSERT_TRUE(DbOpen(dir.c_str(), "Runmate"));
  GetAllItem();
  LoadParams();
}

void RunmateTest::sql(const std::string& text) {
  ASSERT_EQ(db->exec(text.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << text;
}

int RunmateTest::scalar(const std::string& query) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db->dbHandle, query.c_str(), -1, &st, nullptr);
  int n = st && sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
  sqlite3_finalize(st);
  return n;
}

HWND MessageBoxOf(std::initializer_list<HWND> except) {
  for (HWND w : threadDialogs()) {
    bool skip = false;
    for (HWND e : except) skip = skip || e == w;
    if (!skip && isBox(w)) return w;
  }
  return nullptr;
}

std::string Enabled(HWND d, std::initializer_list<std::pair<int, const char*>> buttons) {
  std::string s;
  for (auto& b : buttons) {
    if (!s.empty()) s += " ";
    s += b.second;
    s += IsWindowEnabled(GetDlgItem(d, b.first)) ? "+" : "-";
  }
  return s;
}

std::string ListBoxTexts(HWND d, int id) {
  std::string all;
  int n = (int)SendDlgItemMessageA(d, id, LB_GETCOUNT, 0, 0);
  int sel = (int)SendDlgItemMessageA(d, id, LB_GETCURSEL, 0, 0);
  for (int i = 0; i < n; i++) {
    char buf[512] = "";
    SendDlgItemMessageA(d, id, LB_GETTEXT, i, (LPARAM)buf);
    if (i) all += ",";
    all += i == sel ? std::string("[") + buf + "]" : buf;
  }
  return all;
}

void Press(HWND d, int id) {
  SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(d, id));
}

void Pick(HWND d, int id, const char* text) {
  int row = text ? (int)SendDlgItemMessageA(d, id, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text) : -1;
  SendDlgItemMessageA(d, id, LB_SETCURSEL, (WPARAM)row, 0);
  SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), (LPARAM)GetDlgItem(d, id));
}
#endif
