// The program's top: start-up, the invisible main window that runs one
// launch (or the management dialogs) as a chain of posted commands, and the
// end.
#include <windows.h>
#include <stdarg.h>
#include <string.h>
#include <algorithm>
#include <map>
#include <string>
#include <vector>
#include "cmdOptions.h"
#include "dbsub.h"
#include "extList.h"
#include "goMenu.h"
#include "gosub.h"
#include "koApp.h"
#include "koDlg0.h"
#include "koMainWin.h"
#include "koMenu.h"
#include "koUtl1.h"
#include "remember.h"
#include "shellEntry.h"
#include "resource.h"

koApp App;
koPopupMenu* menu1 = nullptr;
// Started from the context-menu entry: the runs of one selection become one.
bool collecting = false;
Collector collector;

void dbout(const char*, ...) {}
void dboutln(const char*, ...) {}

namespace {
void tell(const char* text) {
  koMessageBox(nullptr, text, App.title.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

// The program's invisible window. A send of several files runs in three
// rounds of posted commands: every file is decided, then every group that
// asks gets its menu (a choice holds for all its files), and only then
// does anything start, in the order of the files. Nothing started may
// take the foreground from a menu, and no failure stops the other files.
class AppWin : public koMainWin {
 public:
  // forceMenu: Shift was held at the start; every file gets the menu, with
  // the shell's own choice in it.
  AppWin(const char* title, const std::vector<std::wstring>& paths, bool forceMenu)
      : koMainWin(title), forceMenu(forceMenu) {
    style = WS_OVERLAPPEDWINDOW;  // shown only as a transparent pixel under the menu
    rect.right = rect.left + 400;
    rect.bottom = rect.top + 400;
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
    for (const std::wstring& p : paths) {
      files.emplace_back();
      files.back().path = p;
    }
  }

  void post(int id) {
    if (hWnd) PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(id, 0), (LPARAM)hWnd);
    else pending.push_back(id);
  }

  // A send that asks nothing runs its rounds without a window: making one
  // starts the graphics driver, which would cost a launch more than the
  // rest of its work. At the first menu the window is made and the rounds
  // go on through it; false then, true when the run has ended.
  bool runWithoutWindow() {
    post(CMD_DECIDE);
    while (!pending.empty()) {
      int id = pending.front();
      pending.erase(pending.begin());
      if (id == CMD_CLOSE) return true;
      if (id == CMD_MENU && firstAsking() != files.end()) {
        pending.clear();
        resumeWith = CMD_MENU;
        return false;
      }
      command(id, 0);
    }
    return true;
  }

  void onStart() override {
    if (collecting && !files.empty()) {
      // The other runs of the selection start within moments of this one:
      // their paths are taken until none came for a while.
      collector.open(hWnd);
      SetTimer(hWnd, kQuiet, 250, nullptr);
      SetTimer(hWnd, kLongest, 3000, nullptr);
      return;
    }
    post(resumeWith ? resumeWith : files.empty() ? CMD_MANAGE : CMD_DECIDE);
  }

  bool other(koEvent& e) override {
    if (e.message == WM_TIMER && (e.wParam == kQuiet || e.wParam == kLongest)) {
      // The collection is over: on with what it has.
      KillTimer(hWnd, kQuiet);
      KillTimer(hWnd, kLongest);
      collector.stop();
      post(CMD_DECIDE);
      return true;
    }
    if (e.message != WM_COPYDATA) return koMainWin::other(e);
    std::vector<std::wstring> more;
    if (collector.isOpen() && Collector::Paths(e.lParam, more)) {
      for (const std::wstring& p : more) {
        files.emplace_back();
        files.back().path = p;
      }
      SetTimer(hWnd, kQuiet, 250, nullptr);  // more may follow
      e.result = TRUE;
    }
    return true;
  }

  bool command(int id, int code) override {
    switch (id) {
      case CMD_MANAGE:
        if (!GetAllItem()) {
          tell(DbFailureText());
        } else {
          char folder[300];
          App.path.getFilePos(folder);
          DbCheckFolder(folder);
          ExtList(this);
        }
        post(CMD_CLOSE);
        return true;
      case CMD_HELP:
        help();
        return true;
      case CMD_DECIDE:
        decide(files[current]);
        post(++current < files.size() ? CMD_DECIDE : CMD_MENU);
        return true;
      case CMD_MENU:
        askNextGroup();
        return true;
      case CMD_START:
        startNext();
        return true;
      case CMD_SHELL:
        started(GoExec0(), files[current]);
        return true;
    }
    if ((unsigned)(id - CMD_CANDIDATE) < MAX_CANDIDATES) {
      started(GoExec(files[current].command.c_str(), files[current].path), files[current]);
      return true;
    }
    return koMainWin::command(id, code);
  }

  bool mouse(int message, koPoint position, int keys) override {
    if (message != WM_RBUTTONDOWN) return false;
    POINT p{position.x, position.y};
    ClientToScreen(hWnd, &p);
    if (menu1) TrackPopupMenuEx(menu1->handle(), 0, p.x, p.y, hWnd, nullptr);
    return true;
  }

 private:
  enum { kQuiet = 1, kLongest = 2 };  // the collection's timers
  // What is known of one file of the send.
  struct Send {
    std::wstring path;
    std::string shown;  // the path as shown, in code page 932
    int group = 0;      // the group that decided it, 0 for none: one menu each
    // CMD_SHELL or CMD_CANDIDATE + i once decided; CMD_MENU while its
    // group's menu is to come; CMD_CLOSE when the user cancelled it;
    // 0 when it failed (failure says why).
    int action = 0;
    std::string match;          // what it matched: its extension, or a pattern
    std::string name, command;  // the application chosen
    SendFailure failure;
  };
  // A group's candidates, kept from its decision for its menu.
  struct Candidates {
    std::vector<std::string> names, commands;
    std::vector<int> apps;
  };
  std::vector<Send> files;
  std::vector<int> pending;  // the rounds' commands while there is no window
  int resumeWith = 0;        // where the window takes the rounds up, when they began without it
  bool forceMenu;
  size_t current = 0;
  std::map<int, Candidates> asking;
  std::string dbFailure;  // once the database failed, the rest are not asked again
  std::vector<Remembered> remembered;
  bool rememberedRead = false;  // read at the first decision that may use it

  void fail(Send& f, const std::string& what, const std::string& detail, const std::string& todo) {
    f.action = 0;
    f.failure = SendFailure{f.shown, what, detail, todo};
  }

  void decide(Send& f) {
    f.shown = ShownPath(f.path);
    if (!dbFailure.empty()) return fail(f, dbFailure, "", "");
    int n = GoCheck(f.path);
    if (n < 0) {
      dbFailure = DbFailureText();
      return fail(f, dbFailure, "", "");
    }
    f.group = goGroup;
    f.match = goMatch;
    int known = -1;
    if (n > 1 && !forceMenu) {
      if (!readRemembered()) return fail(f, dbFailure, "", "");
      bool forgotten = false;
      known = RememberedCandidate(remembered, f.match.c_str(), &forgotten);
      if (forgotten) store();
    }
    if (n == 0 && !forceMenu) {
      f.action = CMD_SHELL;
    } else if ((n == 1 && !forceMenu) || known >= 0) {
      int pick = known >= 0 ? known : 0;
      choose(f, pick, menus[pick], cmdLine[pick]);
    } else {
      f.action = CMD_MENU;
      Candidates& c = asking[goGroup];
      c.names.assign(menus, menus + nCmd);
      c.commands.assign(cmdLine, cmdLine + nCmd);
      c.apps.assign(candidateApp, candidateApp + nCmd);
    }
  }

  bool readRemembered() {
    if (!rememberedRead && !LoadRemembered(remembered))
      dbFailure = DbFailureText();
    return rememberedRead = dbFailure.empty();
  }

  // The remembered choices written as they are now; said when they cannot be.
  void store() {
    koTransaction t(db);
    if (t.begun() && SaveRemembered(remembered) && t.commit()) return;
    tell("選んだアプリケーションを記憶できませんでした。\n今回はこのまま開きます。\n\n"
         "exec.db に書き込めるか確かめてください。");
  }

  void choose(Send& f, int index, const std::string& name, const std::string& command) {
    f.action = CMD_CANDIDATE + index;
    f.name = name;
    f.command = command;
  }

  // The first file whose group's menu is still to come.
  std::vector<Send>::iterator firstAsking() {
    return std::find_if(files.begin(), files.end(), [](const Send& f) { return f.action == CMD_MENU; });
  }

  // The menu of the first group still asking, for all its files; then the
  // next group, or the starts.
  void askNextGroup() {
    auto first = firstAsking();
    if (first == files.end()) {
      current = 0;
      return post(CMD_START);
    }
    int group = first->group;
    size_t count = 0;
    for (const Send& f : files) count += f.action == CMD_MENU && f.group == group;
    const Candidates& c = asking[group];
    nCmd = (int)c.names.size();
    std::copy(c.names.begin(), c.names.end(), menus);
    std::copy(c.commands.begin(), c.commands.end(), cmdLine);
    std::copy(c.apps.begin(), c.apps.end(), candidateApp);
    // Shift: what is remembered for this file may be forgotten here.
    bool known = forceMenu && nCmd > 0 && readRemembered() &&
                 RememberedCandidate(remembered, first->match.c_str()) >= 0;
    // A file without an extension has nothing to remember its choice by.
    int entries = (forceMenu ? MENU_SHELL : 0) | (first->match.empty() ? 0 : MENU_ALWAYS) | (known ? MENU_FORGET : 0);
    int choice = viewMenu(MenuTitle(first->shown.c_str(), count), entries);
    if (choice == CMD_FORGET) {
      ForgetRemembered(remembered, first->match.c_str());
      store();
      return post(CMD_MENU);  // the same group asks again
    }
    if ((unsigned)(choice - CMD_REMEMBER) < (unsigned)nCmd) {
      ForgetRemembered(remembered, first->match.c_str());
      remembered.push_back(Remembered{first->match, c.apps[choice - CMD_REMEMBER]});
      store();
      choice += CMD_CANDIDATE - CMD_REMEMBER;
    }
    for (Send& f : files) {
      if (f.action != CMD_MENU || f.group != group) continue;
      if (choice == CMD_SHELL) f.action = CMD_SHELL;
      else if ((unsigned)(choice - CMD_CANDIDATE) < (unsigned)nCmd)
        choose(f, choice - CMD_CANDIDATE, c.names[choice - CMD_CANDIDATE], c.commands[choice - CMD_CANDIDATE]);
      else f.action = CMD_CLOSE;  // (中止), Escape or a click elsewhere: this group only
    }
    post(CMD_MENU);
  }

  // The next file that is to open, as its own command; the end after the last.
  void startNext() {
    while (current < files.size() && (files[current].action == 0 || files[current].action == CMD_CLOSE)) current++;
    if (current == files.size()) return finish();
    SetLaunchPath(files[current].path);
    post(files[current].action);
  }

  void started(DWORD error, Send& f) {
    if (error && f.action == CMD_SHELL) {
      if (error == ERROR_NO_ASSOCIATION)
        fail(f, "このファイルを開くアプリケーションがありません。", "",
             "グループにこの拡張子を登録するか、Windows で既定のアプリを選んでください。");
      else
        fail(f, "開けませんでした。", koSystemReason(error), "");
    } else if (error) {
      fail(f, "アプリケーション[" + f.name + "]を起動できませんでした。",
           "プログラム: " + ProgramOf(f.command.c_str()) + "\n" + koSystemReason(error),
           "「アプリの設定」でコマンドを確かめてください。");
    }
    current++;
    post(CMD_START);
  }

  // One message for every file that did not open; none when each opened
  // or was cancelled by the user, whose own choice that was.
  void finish() {
    std::vector<SendFailure> failures;
    for (const Send& f : files)
      if (f.action == 0) failures.push_back(f.failure);
    if (!failures.empty()) {
      koMessageBox(nullptr, ClosingMessage(failures, files.size()).c_str(), App.title.c_str(), MB_OK | MB_ICONERROR);
      quitCode = 1;
    }
    post(CMD_CLOSE);
  }

  // Ctrl+Enter on a candidate of the open menu: that candidate, remembered.
  // The menu itself does not choose on it, so its keys are looked at here.
  static HMENU openMenu;
  static int ctrlChoice;
  static LRESULT CALLBACK menuKeys(int code, WPARAM wParam, LPARAM lParam) {
    MSG* m = (MSG*)lParam;
    if (code == MSGF_MENU && m->message == WM_KEYDOWN && m->wParam == VK_RETURN && GetKeyState(VK_CONTROL) < 0) {
      for (int i = 0; i < GetMenuItemCount(openMenu); i++) {
        UINT id = GetMenuItemID(openMenu, i);
        if ((GetMenuState(openMenu, (UINT)i, MF_BYPOSITION) & MF_HILITE) && id - CMD_CANDIDATE < (UINT)nCmd) {
          ctrlChoice = (int)(id - CMD_CANDIDATE) + CMD_REMEMBER;
          EndMenu();
          return 1;
        }
      }
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
  }

  // The candidates at the cursor; returns the command chosen, 0 when the
  // menu was closed without a choice. entries: FillGoMenu's.
  int viewMenu(const std::string& title, int entries) {
    POINT p;
    GetCursorPos(&p);
    delete menu1;
    menu1 = new koPopupMenu();
    std::vector<HBITMAP> icons = FillGoMenu(menu1->handle(), title, entries);
    // Foreground first, so a click elsewhere closes the menu and keys reach
    // it. A window that was never shown cannot take the keyboard under an X
    // window manager: it shows itself, transparent and one pixel small.
    SetWindowLongPtrW(hWnd, GWL_STYLE, WS_POPUP);
    SetWindowLongPtrW(hWnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TOPMOST);
    SetLayeredWindowAttributes(hWnd, 0, 0, LWA_ALPHA);
    SetWindowPos(hWnd, HWND_TOPMOST, p.x, p.y, 1, 1, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    SetForegroundWindow(hWnd);
    // The focus arrives as messages; one arriving inside the menu would
    // close it.
    for (DWORD start = GetTickCount(); GetTickCount() - start < 500;) {
      MSG m;
      while (PeekMessageW(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageW(&m);
      }
      if (GetFocus() == hWnd && GetTickCount() - start > 50) break;
      Sleep(5);
    }
    // The first candidate highlighted: Enter on an unmoved menu takes it.
    // Down passes the title line, then lands on the first entry.
    if (nCmd > 0) {
      PostMessageW(hWnd, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageW(hWnd, WM_KEYDOWN, VK_DOWN, 0);
    }
    openMenu = menu1->handle();
    ctrlChoice = 0;
    HHOOK keys = SetWindowsHookExW(WH_MSGFILTER, menuKeys, nullptr, GetCurrentThreadId());
    int choice = (int)TrackPopupMenuEx(menu1->handle(), TPM_RETURNCMD | TPM_NONOTIFY, p.x, p.y,
                                       hWnd, nullptr);
    if (keys) UnhookWindowsHookEx(keys);
    if (ctrlChoice) choice = ctrlChoice;
    PostMessageW(hWnd, WM_NULL, 0, 0);
    delete menu1;  // before its icons
    menu1 = nullptr;
    for (HBITMAP icon : icons) DeleteObject(icon);
    return choice;
  }

  void help() {
    char folder[300];
    App.path.getFilePos(folder);
    std::string failure = OpenBesideProgram(folder, "docs\\contents.html");
    if (!failure.empty()) tell(failure.c_str());
  }
};

HMENU AppWin::openMenu = nullptr;
int AppWin::ctrlChoice = 0;

int koApp::startup(int argc, char** argv) {
  char folder[300];
  path.getFilePos(folder);
  // A run of the context-menu entry whose selection another run collects
  // hands its paths over and ends.
  if (!wideArgs.empty() && _wcsicmp(wideArgs[0].c_str(), kCollectOption) == 0) {
    wideArgs.erase(wideArgs.begin());
    collecting = !wideArgs.empty();
    if (collecting && !collector.first() && collector.handOver(wideArgs)) {
      startupEnds = true;
      return 0;
    }
  }
  // An option (/export, /import, /which, /?) is the whole run; its result the exit code.
  if (HasOptions(wideArgs)) {
    startupEnds = true;
    return RunOptions(wideArgs, folder, title.c_str());
  }
  if (!DbOpen(folder, title.c_str())) return -1;
  LoadParams();
  if (argc < 1 || koStrncpy(exeFile, argv[0], sizeof exeFile + 1) != (int)strlen(argv[0])) {
    exeFile[0] = 0;
  }
  srcFile[0] = 0;
  return 0;
}

int koApp::main() {
  koDialog::FontSize(dialogFont);
  // Shift held while the launch starts: the user wants to choose.
  bool shift = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
  AppWin* win = new AppWin("TestW", wideArgs, shift);
  if (!wideArgs.empty() && !collecting && win->runWithoutWindow()) {
    delete win;  // its end quits the loop with its code
    return 0;
  }
  if (!win->create(nullptr) || !win->hWnd) {
    // Without its window nothing would ever end the message loop.
    delete win;
    return -1;
  }
  return 0;
}

void koApp::terminal(int&) {
  TermDb();
  EraseItem();
}
