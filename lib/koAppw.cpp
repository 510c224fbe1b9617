#include <windows.h>
#include <commctrl.h>
#include <mbctype.h>
#include <string.h>
#include "koApp.h"
#include "koWin.h"
#include "koUtl1.h"

koApp* pApp = nullptr;
HWND mdiClientHwnd = nullptr;

koApp::koApp()
    : mutex("tmu"), argStorage(nullptr), showCommand(SW_SHOW), argc(0), argv(nullptr) {
  pModule = this;
}

koApp::~koApp() {
  modeless.clear();  // the dialogs are not ours
  releaseArgs();
  if (pModule == this) pModule = nullptr;
  if (pApp == this) pApp = nullptr;
}

const char* koApp::className() { return "koAppw"; }

void koApp::appendDialog(koWin* dialog) { modeless.push_front(dialog); }

void koApp::removeDialog(koWin* dialog) {
  for (auto it = modeless.begin(); it != modeless.end(); ++it)
    if (*it == dialog) {
      modeless.erase(it);
      return;
    }
}

int koApp::startup002(HINSTANCE instance, const char* commandLine, int show) {
  owner = false;  // the program's own instance is never freed
  // The runtime's multibyte routines follow code page 932 whatever the
  // system's ANSI code page is: the program's text is Shift-JIS.
  _setmbcp(932);
  hModule = instance;
  storePathname0(koSjisOf(koProgramPath().c_str()).c_str());
  showCommand = show;
  xSetupArgs(commandLine);
  wideArgs = koSplitArgsW(GetCommandLineW());
  // Common controls are initialised by the first dialog: a launch shows none.
  hAccel = LoadAcceleratorsA(instance, "KeyAccel");
  return 0;
}

void koApp::releaseArgs() {
  delete[] argv;
  delete[] argStorage;
  argv = nullptr;
  argStorage = nullptr;
  argc = 0;
}

void koApp::xSetupArgs(const char* commandLine) {
  releaseArgs();
  if (!commandLine) commandLine = "";
  size_t size = koArgStorageSize(commandLine, path.path);
  int entries = koArgVectorSize(commandLine);
  argStorage = new char[size];
  argv = new char*[entries];
  argc = koSplitCommandLine(commandLine, path.path, argStorage, size, argv, entries);
}

int koApp::execApp() {
  int code = main();
  if (code == 0) code = run();
  terminal(code);
  return code;
}

int koMessageLoop(koModule& module, koGetMessageFn getMessage) {
  MSG message;
  for (;;) {
    BOOL r = getMessage(&message, nullptr, 0, 0);
    if (r == 0) return (int)message.wParam;
    if (r == -1) return -1;  // a broken queue would otherwise spin here
    module.MsgTransaction(message);
  }
}

int koApp::run() { return koMessageLoop(*this, GetMessageW); }

bool koApp::MsgPump(int remove) {
  MSG message;
  // Without PM_REMOVE the same message would come back forever.
  UINT flags = (UINT)remove | PM_REMOVE;
  while (PeekMessageW(&message, nullptr, 0, 0, flags)) {
    if (message.message == WM_QUIT) {
      PostQuitMessage((int)message.wParam);  // keep it for the loop
      return false;
    }
    MsgTransaction(message);
  }
  return true;
}

void koApp::MsgTransaction(MSG& message) {
  if (hAccel && hMainWnd && TranslateAcceleratorW(hMainWnd, hAccel, &message)) return;
  if (mdiClientHwnd && TranslateMDISysAccel(mdiClientHwnd, &message)) return;
  if (checkModeless(&message)) return;
  TranslateMessage(&message);
  DispatchMessageW(&message);
}

bool koApp::checkModeless(MSG* message) {
  for (koWin* dialog : modeless)
    if (dialog && dialog->hWnd && IsDialogMessageW(dialog->hWnd, message)) return true;
  return false;
}

int koWinMainBody(koApp& app, HINSTANCE instance, const char* commandLine, int show) {
  pApp = &app;
  app.startup002(instance, commandLine, show);
  int code = app.startup(app.argc, app.argv);
  if (code == 0 && !app.startupEnds) code = app.execApp();
  else app.terminal(code);
  app.releaseArgs();
  return code;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR commandLine, int show) {
  return koWinMainBody(App, instance, commandLine, show);
}
