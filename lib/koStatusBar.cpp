#include "koStatusBar.h"
#include "koLazy.h"
#include <commctrl.h>

koStatusBar::koStatusBar(koWin* parentObject, int classStyle)
    : koWin(parentObject, "msctls_statusbar32", -999), barHeight(18) {
  wc.style = (UINT)classStyle;
  rect = koRect{0, 0, 0, 0};
}

const char* koStatusBar::className() { return "koStatusBar"; }

bool koStatusBar::create() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  if (auto init = KO_LAZY("comctl32.dll", InitCommonControlsEx)) init(&icc);
  if (!koWin::create(nullptr)) return false;
  RECT r;
  if (GetWindowRect(hWnd, &r)) barHeight = r.bottom - r.top;
  return true;
}

void koStatusBar::height(int h) {
  barHeight = h;
  if (hWnd) SendMessageW(hWnd, SB_SETMINHEIGHT, (WPARAM)h, 0);
  // Without a parent object the window's own parent is asked to re-lay.
  HWND target = parent && parent->hWnd ? parent->hWnd : hWnd ? GetParent(hWnd) : nullptr;
  if (target) PostMessageW(target, KOM_LAYOUT, 0, 0);
}
