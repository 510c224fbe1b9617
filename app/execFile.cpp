// The program's top: start-up, the invisible main window that runs one
// launch (or the management dialogs) as a chain of posted commands, and the
// end.
#include <windows.h>
#include <stdarg.h>
#include <string.h>
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
#include "resource.h"

koApp App;
koPopupMenu* menu1 = nullptr;

void dbout(const char*, ...) {}
void dboutln(const char*, ...) {}

namespace {
void tell(const char* text) {
  koMessageBox(nullptr, text, App.title.c_str(), MB_OK | MB_ICONEXCLAMATION);
}

// The system's reason for an error code, in the user's language.
std::string reasonOf(DWORD code) {
  char* text = nullptr;
  FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                 nullptr, code, 0, (char*)&text, 0, nullptr);
  std::string r = text ? text : "";
  if (text) LocalFree(text);
  while (!r.empty() && (r.back() == '\n' || r.back() == '\r')) r.pop_back();
  return r.empty() ? "エラー " + std::to_string(code) : r;
}
}  // namespace

// The program's invisible window. The files it was sent are decided one
// after another through posted commands; a choice made in the menu holds
// for every later file of the same group.
class AppWin : public koMainWin {
 public:
  // forceMenu: Shift was held at the start; every file gets the menu, with
  // the shell's own choice in it.
  AppWin(const char* title, std::vector<std::wstring> paths, bool forceMenu)
      : koMainWin(title), files(std::move(paths)), forceMenu(forceMenu) {
    style = WS_OVERLAPPEDWINDOW;  // shown only as a transparent pixel under the menu
    rect.right = rect.left + 400;
    rect.bottom = rect.top + 400;
    wc.hbrBackground = (HBRUSH)GetStockObject(LTGRAY_BRUSH);
  }

  void post(int id) { PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(id, 0), (LPARAM)hWnd); }

  void onStart() override {
    if (files.empty()) {
      post(CMD_MANAGE);
    } else {
      post(CMD_DECIDE);
    }
  }

  bool command(int id, int code) override {
    switch (id) {
      case CMD_SHELL:
        if (DWORD error = GoExec0()) return fail(shellFailure(error));
        next();
        return true;
      case CMD_MANAGE:
        if (!GetAllItem()) tell(MSG_DB_READ_FAILED);
        else ExtList(this);
        post(CMD_CLOSE);
        return true;
      case CMD_HELP:
        help();
        return true;
      case CMD_DECIDE:
        decide();
        return true;
      case CMD_MENU:
        viewMenu();
        return true;
    }
    if ((unsigned)(id - CMD_CANDIDATE) < MAX_CANDIDATES) {
      int index = id - CMD_CANDIDATE;
      if (DWORD error = GoExec(index)) return fail(startFailure(index, error));
      next();
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
  std::vector<std::wstring> files;
  bool forceMenu;
  size_t current = 0;
  std::map<int, int> chosen;  // group id -> the command chosen in its menu

  void decide() {
    const std::wstring& path = files[current];  // every one fits: start-up checked
    SetLaunchPath(path);
    int n = GoCheck(path);
    if (n < 0) {
      fail(db && db->busy() ? MSG_DB_BUSY : MSG_DB_READ_FAILED);
      return;
    }
    auto earlier = chosen.find(goGroup);
    if ((n > 1 || forceMenu) && earlier != chosen.end()) return post(earlier->second);
    if (forceMenu) return post(CMD_MENU);
    post(n == 0 ? CMD_SHELL : n == 1 ? CMD_CANDIDATE : CMD_MENU);
  }

  // On to the next file, or the end.
  void next() { post(++current < files.size() ? CMD_DECIDE : CMD_CLOSE); }

  bool fail(const std::string& text) {
    tell(text.c_str());
    post(CMD_CLOSE);
    return true;
  }

  std::string startFailure(int index, DWORD error) {
    return "アプリケーション[" + menus[index] + "]を起動できませんでした。\n\nプログラム: " +
           ProgramOf(cmdLine[index].c_str()) + "\n" + reasonOf(error) +
           "\n\n「アプリの設定」でコマンドを確かめてください。";
  }

  std::string shellFailure(DWORD error) {
    if (error == ERROR_NO_ASSOCIATION)
      return std::string("このファイルを開くアプリケーションがありません。\n\n") + srcFile +
             "\n\nグループにこの拡張子を登録するか、Windows で既定のアプリを選んでください。";
    return std::string("開けませんでした。\n\n") + srcFile + "\n" + reasonOf(error);
  }

  // The candidates at the cursor. A menu closed without a choice ends the
  // program too (the files after it included), or it would run on with its
  // invisible window.
  void viewMenu() {
    POINT p;
    GetCursorPos(&p);
    delete menu1;
    menu1 = new koPopupMenu();
    std::vector<HBITMAP> icons = FillGoMenu(menu1->handle(), MenuTitle(srcFile, files.size()), forceMenu);
    // Foreground first, so a click elsewhere closes the menu and keys reach
    // it. A window that was never shown cannot take the keyboard under an X
    // window manager: it shows itself, transparent and one pixel small.
    SetWindowLongPtrA(hWnd, GWL_STYLE, WS_POPUP);
    SetWindowLongPtrA(hWnd, GWL_EXSTYLE, WS_EX_TOOLWINDOW | WS_EX_LAYERED | WS_EX_TOPMOST);
    SetLayeredWindowAttributes(hWnd, 0, 0, LWA_ALPHA);
    SetWindowPos(hWnd, HWND_TOPMOST, p.x, p.y, 1, 1, SWP_SHOWWINDOW | SWP_FRAMECHANGED);
    SetForegroundWindow(hWnd);
    // The focus arrives as messages; one arriving inside the menu would
    // close it.
    for (DWORD start = GetTickCount(); GetTickCount() - start < 500;) {
      MSG m;
      while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
      }
      if (GetFocus() == hWnd && GetTickCount() - start > 50) break;
      Sleep(5);
    }
    // The first candidate highlighted: Enter on an unmoved menu takes it.
    // Down passes the title line, then lands on the first entry.
    if (nCmd > 0) {
      PostMessageA(hWnd, WM_KEYDOWN, VK_DOWN, 0);
      PostMessageA(hWnd, WM_KEYDOWN, VK_DOWN, 0);
    }
    int choice = (int)TrackPopupMenuEx(menu1->handle(), TPM_RETURNCMD | TPM_NONOTIFY, p.x, p.y,
                                       hWnd, nullptr);
    PostMessageA(hWnd, WM_NULL, 0, 0);
    delete menu1;  // before its icons
    menu1 = nullptr;
    for (HBITMAP icon : icons) DeleteObject(icon);
    if (choice && choice != CMD_CLOSE) chosen[goGroup] = choice;
    post(choice ? choice : CMD_CLOSE);
  }

  void help() {
    char folder[300];
    App.path.getFilePos(folder);
    std::string failure = OpenBesideProgram(folder, "docs\\contents.html");
    if (!failure.empty()) tell(failure.c_str());
  }
};

int koApp::startup(int argc, char** argv) {
  char folder[300];
  path.getFilePos(folder);
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
  // Every path must fit before any is opened: half a selection is not what
  // the user asked for.
  for (const std::wstring& p : wideArgs) {
    if (!MirrorFits(p)) {
      tell("パスが長すぎるため開けません");
      return -1;
    }
  }
  return 0;
}

int koApp::main() {
  koDialog::FontSize(dialogFont);
  // Shift held while the launch starts: the user wants to choose.
  bool shift = (GetAsyncKeyState(VK_SHIFT) & 0x8000) != 0;
  AppWin* win = new AppWin("TestW", wideArgs, shift);
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
