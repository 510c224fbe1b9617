#include "koMainWin.h"
#include "koDlg1.h"
#include "koModule.h"

koMainWin::koMainWin(const char* name)
    : koWin(nullptr, name, 0),
      quitOnDestroy(true),
      quitCode(0),
      pStatusBar(nullptr),
      pToolBar(nullptr),
      createdWindow(nullptr) {
  HINSTANCE instance = koInstance();
  wc.lpszMenuName = L"MainMenu";
  wc.hIcon = LoadIconW(instance, L"MainIcon");
  wc.hIconSm = LoadIconW(instance, L"SmallIcon");
  style = WS_OVERLAPPEDWINDOW | WS_VISIBLE;
  id = (INT_PTR)LoadMenuW(instance, L"MainMenu");
  if (pModule && !pModule->mainWin) pModule->mainWin = this;
}

koMainWin::~koMainWin() {
  // Modal dialogs post their deletion to the main window: none may reach a
  // freed one.
  if (pModule) {
    if (pModule->mainWin == this) pModule->mainWin = nullptr;
    if (createdWindow && pModule->hMainWnd == createdWindow) pModule->hMainWnd = nullptr;
  }
  if (quitOnDestroy) PostQuitMessage(quitCode);
}

const char* koMainWin::className() { return "koMainWin"; }

bool koMainWin::create(const char* title) {
  if (!koWin::create(title)) return false;
  createdWindow = hWnd;
  if (pModule) pModule->hMainWnd = hWnd;
  return true;
}

bool koMainWin::command(int commandId, int code) {
  if (commandId == 512) {
    SendMessageW(hWnd, WM_CLOSE, 0, 0);
    return true;
  }
  if (commandId == 550) {
    koDialogModal* about = new koDialogModal(this, "ABOUTBOX");
    about->run();
    return true;
  }
  return false;
}

void koMainWin::getClientRect(koRect& r) {
  RECT client{0, 0, 0, 0};
  GetClientRect(hWnd, &client);
  r = koRect{(int)client.left, (int)client.top, (int)client.right, (int)client.bottom};
  if (pStatusBar) r.bottom -= pStatusBar->barHeight;
  if (pToolBar) r.top += pToolBar->height();
}

bool koMainWin::layoutChild() {
  koRect r;
  getClientRect(r);
  // The bars place themselves along the frame's edges on WM_SIZE.
  if (pStatusBar)
    SendMessageW(pStatusBar->hWnd, WM_SIZE, (WPARAM)(r.right - r.left), (LPARAM)(r.bottom - r.top));
  if (pToolBar)
    SendMessageW(pToolBar->hWnd, WM_SIZE, (WPARAM)(r.right - r.left), (LPARAM)(r.bottom - r.top));
  return true;
}

void koMainWin::statusBar(bool show, int barStyle) {
  if (show) {
    if (pStatusBar) return;
    pStatusBar = new koStatusBar(this, barStyle);
    if (!pStatusBar->create()) {
      delete pStatusBar;
      pStatusBar = nullptr;
    }
  } else if (pStatusBar) {
    SendMessageW(pStatusBar->hWnd, WM_CLOSE, 0, 0);
    pStatusBar = nullptr;
  }
}

void koMainWin::toolBar(bool show, int barStyle) {
  if (show) {
    if (pToolBar) return;
    pToolBar = new koToolBar(this, barStyle);
    if (!pToolBar->create()) {
      delete pToolBar;
      pToolBar = nullptr;
    }
  } else if (pToolBar) {
    SendMessageW(pToolBar->hWnd, WM_CLOSE, 0, 0);
    pToolBar = nullptr;
  }
}
