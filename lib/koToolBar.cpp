#include "koToolBar.h"
#include "koLazy.h"
#include <commctrl.h>

koToolBar::koToolBar(koWin* parentObject, int classStyle)
    : koWin(parentObject, "ToolbarWindow32", -999) {
  wc.style = (UINT)classStyle;
}

const char* koToolBar::className() { return "koToolBar"; }

bool koToolBar::create() {
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
  if (auto init = KO_LAZY("comctl32.dll", InitCommonControlsEx)) init(&icc);
  if (!koWin::create(nullptr)) return false;
  SendMessageW(hWnd, TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON), 0);
  return true;
}

int koToolBar::height() {
  RECT r;
  if (!hWnd || !GetWindowRect(hWnd, &r)) return -1;
  return r.bottom - r.top;
}

bool koToolBar::separate(int index, int width) {
  TBBUTTON button{};
  button.iBitmap = width;
  button.idCommand = 0;
  button.fsState = TBSTATE_ENABLED;
  button.fsStyle = TBSTYLE_SEP;
  return SendMessageW(hWnd, TB_INSERTBUTTON, (WPARAM)index, (LPARAM)&button) != 0;
}

int koToolBar::addBitmap(int count, const char* bitmapName) {
  TBADDBITMAP add{nullptr, (UINT_PTR)LoadBitmapA(koInstance(), bitmapName)};
  return (int)SendMessageW(hWnd, TB_ADDBITMAP, (WPARAM)count, (LPARAM)&add);
}

int koToolBar::addBitmap(int count, int standardBitmapId) {
  TBADDBITMAP add{HINST_COMMCTRL, (UINT_PTR)standardBitmapId};
  return (int)SendMessageW(hWnd, TB_ADDBITMAP, (WPARAM)count, (LPARAM)&add);
}

void koToolBar::getButtonSize(int& width, int& height) {
  DWORD size = (DWORD)SendMessageW(hWnd, TB_GETBUTTONSIZE, 0, 0);
  width = LOWORD(size);
  height = HIWORD(size);
}

void koToolBar::setColorScheme(unsigned long highlight, unsigned long shadow) {
  COLORSCHEME scheme{sizeof scheme, highlight, shadow};
  SendMessageW(hWnd, TB_SETCOLORSCHEME, 0, (LPARAM)&scheme);
}

bool koToolBar::getColorScheme(unsigned long& highlight, unsigned long& shadow) {
  COLORSCHEME scheme{sizeof scheme, 0, 0};
  if (!SendMessageW(hWnd, TB_GETCOLORSCHEME, 0, (LPARAM)&scheme)) return false;
  highlight = scheme.clrBtnHighlight;
  shadow = scheme.clrBtnShadow;
  return true;
}

int koToolBar::mapAccelerator(char c) {
  UINT commandId = 0;
  // An ASCII key: the same unit in UTF-16.
  if ((unsigned char)c >= 0x80 || !SendMessageW(hWnd, TB_MAPACCELERATORW, (WPARAM)(unsigned char)c, (LPARAM)&commandId))
    return 0;
  return (int)commandId;
}

void koToolBar::getPadding(int& x, int& y) {
  DWORD padding = (DWORD)SendMessageW(hWnd, TB_GETPADDING, 0, 0);
  x = LOWORD(padding);
  y = HIWORD(padding);
}
