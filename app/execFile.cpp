// The program's top: start-up, the invisible main window that runs one
// launch (or the management dialogs) as a chain of posted commands, and the
// end.
#include <windows.h>
#include <stdarg.h>
#include <string.h>
#include "dbsub.h"
#include "extList.h"
#include "gosub.h"
#include "koApp.h"
#include "koDlg0.h"
#include "koMainWin.h"
#include "koMenu.h"
#include "koUtl1.h"
#include "resource.h"

koApp App;
koPopupMenu* menu1 = nullptr;

void dbout(const char*, ...) {}
void dboutln(const char*, ...) {}

namespace {

void SetGoMenu(koMenu* menu) {
  for (int i = 0; i < nCmd; i++)
    AppendMenuA(menu->handle(), MF_STRING, CMD_CANDIDATE + i, menus[i].c_str());
  AppendMenuA(menu->handle(), MF_STRING, CMD_CLOSE, "(中止)");
}

void tell(const char* text) {
  MessageBoxA(nullptr, text, App.title.c_str(), MB_OK | MB_ICONEXCLAMATION);
}
}  // namespace

class AppWin : public koMainWin {
 public:
  explicit AppWin(const char* title) : koMainWin(title) {
    style = WS_OVERLAPPEDWINDOW;  // never shown
    rect.right = rect.left + 400;
    rect.bottom = rect.top + 400;
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
  }

  void post(int id) { PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(id, 0), (LPARAM)hWnd); }

  void onStart() override {
    if (!srcFile[0]) {
      GetAllItem();
      post(CMD_MANAGE);
    } else {
      post(CMD_DECIDE);
    }
  }

  bool command(int id, int code) override {
    switch (id) {
      case CMD_SHELL:
        GoExec0();
        post(CMD_CLOSE);
        return true;
      case CMD_MANAGE:
        ExtList(this);
        post(CMD_CLOSE);
        return true;
      case CMD_HELP:
        help();
        return true;
      case CMD_DECIDE: {
        int n = GoCheck(srcFile);
        post(n == 0 ? CMD_SHELL : n == 1 ? CMD_CANDIDATE : CMD_MENU);
        return true;
      }
      case CMD_MENU:
        viewMenu();
        return true;
    }
    if ((unsigned)(id - CMD_CANDIDATE) < MAX_CANDIDATES) {
      GoExec(id - CMD_CANDIDATE);
      post(CMD_CLOSE);
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

  // The candidates at the cursor. A menu closed without a choice ends the
  // program too, or it would run on with its invisible window.
  void viewMenu() {
    POINT p;
    GetCursorPos(&p);
    menu1 = new koPopupMenu();
    SetGoMenu(menu1);
    // Foreground first, so a click elsewhere closes the menu.
    SetForegroundWindow(hWnd);
    int chosen = (int)TrackPopupMenuEx(menu1->handle(), TPM_RETURNCMD | TPM_NONOTIFY, p.x, p.y,
                                       hWnd, nullptr);
    PostMessageA(hWnd, WM_NULL, 0, 0);
    post(chosen ? chosen : CMD_CLOSE);
  }

  void help() {
    char doc[300];
    App.path.getFilePos(doc);
    if (strlen(doc) + strlen("docs\\contents.html") >= sizeof doc) return;
    strcat(doc, "docs\\contents.html");
    ShellExecuteA(nullptr, "open", doc, nullptr, nullptr, SW_SHOW);
  }
};

int koApp::startup(int argc, char** argv) {
  char folder[300];
  path.getFilePos(folder);
  if (!DbOpen(folder, title.c_str())) return -1;
  LoadParams();
  if (argc < 1 || koStrncpy(exeFile, argv[0], sizeof exeFile + 1) != (int)strlen(argv[0])) {
    exeFile[0] = 0;
  }
  srcFile[0] = 0;
  if (argc >= 2) {
    // A path that does not fit is refused: a cut path could open another file.
    if (strlen(argv[1]) >= sizeof srcFile) {
      tell("パスが長すぎるため開けません");
      return -1;
    }
    strcpy(srcFile, argv[1]);
  }
  return 0;
}

int koApp::main() {
  koDialog::FontSize(dialogFont);
  AppWin* win = new AppWin("TestW");
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
