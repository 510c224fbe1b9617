#include "koWin.h"
#include "koPlatform.h"
#include <shellapi.h>
#include <stdio.h>
#include <stdlib.h>
#include <new>
#include <set>
#include "koGdi.h"
#include "koMenu.h"
#include "koModule.h"
#include "koUtl1.h"
#include "koScrollBar.h"
#include "koLazy.h"

std::map<HWND, koWin*>* koWindowsMap = nullptr;
int koWinID = 1000;

namespace {
std::set<koObject*>* postDeletes = nullptr;
}

HINSTANCE koInstance() {
  if (pModule && pModule->handle()) return (HINSTANCE)pModule->handle();
  return GetModuleHandleW(nullptr);
}

bool koWinStoreManagerTable(HWND window, koWin* object) {
  if (!koWindowsMap) koWindowsMap = new std::map<HWND, koWin*>;
  return koWindowsMap->insert(std::make_pair(window, object)).second;
}

void koWin::initFields(koWin* parentObject, const char* name, int controlId) {
  hWnd = nullptr;
  linked = false;
  prevProc = nullptr;
  ownProc = koWinProc;
  defaultTitle = "kobas";
  style = WS_CHILD | WS_VISIBLE;
  exStyle = 0;
  rect = koRect{(int)0x80000000, (int)0x80000000, 0, 0};
  if (controlId == -999) controlId = koWinID++;
  id = controlId;
  createParam = nullptr;
  winClassName = name ? name : "";
  currentResult = nullptr;
  parent = parentObject;
  ZeroMemory(&wc, sizeof wc);
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = ownProc;
  wc.hInstance = koInstance();
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
}

koWin::koWin(koWin* parentObject, const char* name, int controlId) {
  initFields(parentObject, name, controlId);
  owner = true;
}

koWin::koWin(HWND window, bool link) {
  initFields(nullptr, "", 0);
  rect = koRect{0, 0, 0, 0};
  if (link) {
    linkWin(window);
    owner = true;
  } else {
    hWnd = window;
  }
}

koWin::~koWin() {
  if (postDeletes) {
    postDeletes->erase(this);
    if (postDeletes->empty()) {
      delete postDeletes;
      postDeletes = nullptr;
    }
  }
  HWND window = hWnd;
  unlinkWin();
  // The window closes through its class's own handling, without the object.
  if (owner && window) PostMessageW(window, WM_CLOSE, 0, 0);
  hWnd = nullptr;
}

const char* koWin::className() { return "koWin"; }

void koWin::onStart() {}
bool koWin::queryClose() { return true; }
bool koWin::queryEndSession(int) { return queryClose(); }
void koWin::onClose() {}
void koWin::onDestroy() {}
bool koWin::onEndSession(bool, int) { return false; }
bool koWin::command(int, int) { return false; }
bool koWin::command(int commandId, int code, HWND) { return command(commandId, code); }
bool koWin::getMinMaxInfo(MINMAXINFO*) { return false; }
bool koWin::paint() { return false; }
bool koWin::mdiActivated(HWND, HWND) { return false; }
bool koWin::activated(int, bool, HWND) { return false; }
bool koWin::enabled(bool) { return false; }
bool koWin::gotFocus(koWin*, HWND) { return false; }
bool koWin::killedFocus(koWin*, HWND) { return false; }
void koWin::onShow(int) {}
void koWin::onHide(int) {}
bool koWin::moved(int, int) { return false; }

bool koWin::resized(koEvent& e) {
  if (e.wParam == SIZE_MINIMIZED) return minimized(LOWORD(e.lParam), HIWORD(e.lParam));
  return resized(LOWORD(e.lParam), HIWORD(e.lParam), LOWORD(e.wParam));
}

bool koWin::resized(int, int, int) { return layoutChild(); }
bool koWin::minimized(int, int) { return false; }
bool koWin::timer(int) { return false; }
bool koWin::queryMaximize() { return true; }

bool koWin::drawItem(int childId, DRAWITEMSTRUCT* dis) {
  koWin* child = GetWin(GetDlgItem(hWnd, childId));
  koDevContext dc(dis->hDC, false);
  bool handled = false;
  if (child) {
    koRect r{dis->rcItem.left, dis->rcItem.top, dis->rcItem.right, dis->rcItem.bottom};
    child->paint(dc, r, *dis);
    handled = true;
  }
  dc.restoreSelection(-1);
  return handled;
}

bool koWin::compareItem(koEvent& e) {
  COMPAREITEMSTRUCT* cis = (COMPAREITEMSTRUCT*)e.lParam;
  koWin* child = GetWin(GetDlgItem(hWnd, (int)e.wParam));
  e.result = child ? child->compareItem((void*)cis->itemData1, (void*)cis->itemData2, cis) : 0;
  return true;
}

bool koWin::measureItem(int childId, MEASUREITEMSTRUCT* mis) {
  koWin* child = GetWin(GetDlgItem(hWnd, childId));
  koPoint size = child ? child->measureItem(mis) : koPoint{200, 10};
  mis->itemWidth = (UINT)size.x;
  mis->itemHeight = (UINT)size.y;
  return true;
}

bool koWin::deleteItem(int, DELETEITEMSTRUCT*) { return true; }
int koWin::compareItem(void*, void*, COMPAREITEMSTRUCT*) { return 0; }
koPoint koWin::measureItem(MEASUREITEMSTRUCT*) { return koPoint{200, 20}; }
bool koWin::paint(koDevContext&, koRect&, DRAWITEMSTRUCT&) { return false; }

bool koWin::scrolled(int childId, int code, int position) {
  // Only a real scroll bar object takes the call: other controls (an up-down
  // control among them) send scroll messages too.
  koWin* child = GetWin(GetDlgItem(hWnd, childId));
  if (koScrollBar* bar = dynamic_cast<koScrollBar*>(child)) {
    bar->scroll(code, position);
    return true;
  }
  return false;
}

void koWin::menuSelect(koMenu&, unsigned, unsigned) {}
void koWin::menuInit(koMenu&) {}
void koWin::menuPopup(koMenu&, int) {}
void koWin::sysmenuPopup(koMenu&) {}
bool koWin::notified(NMHDR*, LRESULT&) { return false; }
bool koWin::notified2(int, void*) { return false; }

bool koWin::dropFiles0(koEvent& e) {
  HDROP drop = (HDROP)e.wParam;
  POINT p{0, 0};
  auto queryPoint = KO_LAZY("shell32.dll", DragQueryPoint);
  auto queryFile = KO_LAZY("shell32.dll", DragQueryFileW);
  auto finish = KO_LAZY("shell32.dll", DragFinish);
  if (!queryPoint || !queryFile || !finish) return false;
  bool inClient = queryPoint(drop, &p) != 0;
  int count = (int)queryFile(drop, 0xFFFFFFFF, nullptr, 0);
  koPoint point{(int)p.x, (int)p.y};
  dropFiles(drop, count, &point, inClient);
  finish(drop);
  return true;
}

bool koWin::other(koEvent&) { return false; }
bool koWin::mouse(int, koPoint, int) { return false; }
bool koWin::kbd(koEvent&) { return false; }
bool koWin::user(koEvent&) { return false; }
bool koWin::dde(koEvent&) { return false; }
bool koWin::getDialogCode(koEvent&) { return false; }

bool koWin::threadEnded(int, koThread* thread) {
  delete thread;
  return true;
}

bool koWin::notifiedDDE(int, koDDE*) { return false; }
bool koWin::destroy() { return DestroyWindow(hWnd) != 0; }
bool koWin::show(int showCommand) { return ShowWindow(hWnd, showCommand) != 0; }
bool koWin::hide() { return show(SW_HIDE); }
// Windows are Unicode: the text crosses in UTF-16, converted from and to
// code page 932 here, whatever the system's ANSI code page is.
bool koWin::setText(const char* text) { return SetWindowTextW(hWnd, koWideOf(text).c_str()) != 0; }
bool koWin::setText(const std::string& text) { return setText(text.c_str()); }

int koWin::getText(char* buffer, int size) {
  if (!buffer || size < 1) return 0;
  koStrncpy(buffer, koSjisOf(getWideText().c_str()).c_str(), size + 1);
  return (int)strlen(buffer);
}

int koWin::getText(std::string& text) {
  text = koSjisOf(getWideText().c_str());
  return (int)text.size();
}

std::wstring koWin::getWideText() { return koWindowText(hWnd); }

int koWin::getTextLen() { return (int)koSjisOf(getWideText().c_str()).size(); }

bool koWin::setInt(int value, const char* format) {
  char buffer[128];
  snprintf(buffer, sizeof buffer, format ? format : "%d", value);
  return setText(buffer);
}

int koWin::getInt() {
  char buffer[300] = "";
  getText(buffer, 300);
  return atoi(buffer);
}

bool koWin::setFloat(float value, const char* format) {
  char buffer[128];
  snprintf(buffer, sizeof buffer, format ? format : "%g", (double)value);
  return setText(buffer);
}

float koWin::getFloat() {
  char buffer[300] = "";
  getText(buffer, 300);
  return (float)atof(buffer);
}

int koWin::textHeight() {
  HDC dc = GetWindowDC(hWnd);
  if (!dc) return 0;
  HFONT font = (HFONT)SendMessageW(hWnd, WM_GETFONT, 0, 0);
  HGDIOBJ old = font ? SelectObject(dc, font) : nullptr;
  SIZE size{0, 0};
  GetTextExtentPoint32W(dc, L"abcdefgh", 8, &size);
  if (font) SelectObject(dc, old);
  ReleaseDC(hWnd, dc);
  return (int)size.cy;
}

bool koWin::enable(bool on) { return EnableWindow(hWnd, on) != 0; }
bool koWin::onCreate(HWND, CREATESTRUCTW*) { return true; }
bool koWin::layoutChild() { return false; }
void koWin::dropFiles(HDROP, int, koPoint*, bool) {}

bool koWin::registClass() {
  WNDCLASSEXW found;
  ZeroMemory(&found, sizeof found);
  found.cbSize = sizeof found;
  std::wstring name = koWideOf(winClassName);
  if (GetClassInfoExW(wc.hInstance, name.c_str(), &found)) return true;
  if (GetClassInfoExW(nullptr, name.c_str(), &found)) return true;
  wc.lpszClassName = name.c_str();
  bool registered = RegisterClassExW(&wc) != 0;
  wc.lpszClassName = nullptr;  // the name's storage ends here
  if (registered) return true;
  dbout("\n<<koWin::ウインドウクラス(%s)の登録に失敗しました。\n", winClassName.c_str());
  return false;
}

bool koWin::create(const char* title) {
  if (!registClass()) return false;
  // Unsigned arithmetic: the default rectangle gives CW_USEDEFAULT.
  int width = (int)((unsigned)rect.right - (unsigned)rect.left);
  int height = (int)((unsigned)rect.bottom - (unsigned)rect.top);
  HWND window = CreateWindowExW(exStyle, koWideOf(winClassName).c_str(), koWideOf(title ? title : defaultTitle).c_str(),
                                style, rect.left, rect.top, width, height,
                                parent ? parent->hWnd : nullptr, (HMENU)id, wc.hInstance,
                                createParam);
  if (!window) {
    dbout("ウインドウ（%s）が生成できませんでした。\n", winClassName.c_str());
    return false;
  }
  linkWin(window);
  onStart();
  return true;
}

void koWin::linkWin(HWND window) {
  if (linked) return;
  hWnd = window;
  WNDPROC current = (WNDPROC)GetWindowLongPtrW(window, GWLP_WNDPROC);
  if (current == ownProc) {
    prevProc = nullptr;
  } else {
    prevProc = current;
    SetWindowLongPtrW(window, GWLP_WNDPROC, (LONG_PTR)ownProc);
  }
  SetWindowLongPtrW(window, GWLP_USERDATA, (LONG_PTR)this);
  koWinStoreManagerTable(window, this);
  linked = true;
}

void koWin::unlinkWin() {
  if (!linked) return;
  if (prevProc) SetWindowLongPtrW(hWnd, GWLP_WNDPROC, (LONG_PTR)prevProc);
  prevProc = nullptr;
  SetWindowLongPtrW(hWnd, GWLP_USERDATA, 0);
  if (koWindowsMap) {
    koWindowsMap->erase(hWnd);
    if (koWindowsMap->empty()) {
      delete koWindowsMap;
      koWindowsMap = nullptr;
    }
  }
  linked = false;
}

koWin* koWin::GetWin(HWND window) {
  if (!koWindowsMap || !window) return nullptr;
  auto it = koWindowsMap->find(window);
  return it == koWindowsMap->end() ? nullptr : it->second;
}

LRESULT CALLBACK koWinProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  koWin* object = (koWin*)GetWindowLongPtrW(window, GWLP_USERDATA);
  if (!object) return DefWindowProcW(window, message, wParam, lParam);
  // Taken before dispatching: a handler may delete the object.
  WNDPROC previous = object->prevProc;
  HWND bound = object->hWnd ? object->hWnd : window;
  if (message == WM_DESTROY) {
    object->onDestroy();
    bool owned = object->owner;
    object->unlinkWin();
    object->hWnd = nullptr;
    object->owner = false;
    // The subclassed control or dialog manager still frees its own data.
    if (previous) CallWindowProcW(previous, window, message, wParam, lParam);
    if (owned) delete object;
    return 0;
  }
  koEvent e{message, wParam, lParam, 0};
  if (object->dispatchEvent(e)) return e.result;
  if (previous) return CallWindowProcW(previous, bound, message, wParam, lParam);
  return DefWindowProcW(window, message, wParam, lParam);
}

void koWin::RegisterPostDelete(koObject* object) {
  if (!object) return;
  if (!postDeletes) postDeletes = new std::set<koObject*>;
  postDeletes->insert(object);
}

bool koWin::IsPostDeletePending(koObject* object) {
  return postDeletes && postDeletes->count(object) != 0;
}

bool koWin::postDelete(koEvent& e) {
  dbout("KOM_POSTDELETE %d %x", (int)e.wParam, (unsigned)(UINT_PTR)e.lParam);
  koObject* object = (koObject*)e.lParam;
  if (!IsPostDeletePending(object)) return true;
  postDeletes->erase(object);
  if (postDeletes->empty()) {
    delete postDeletes;
    postDeletes = nullptr;
  }
  delete object;
  return true;
}

bool koWin::dispatchEvent(koEvent& e) {
  currentResult = &e.result;
  UINT m = e.message;
  WPARAM w = e.wParam;
  LPARAM l = e.lParam;
  switch (m) {
    case WM_MOVE:
      return moved(LOWORD(l), HIWORD(l));
    case WM_SIZE:
      return resized(e);
    case WM_ACTIVATE:
      return activated(LOWORD(w), HIWORD(w) != 0, (HWND)l);
    case WM_SETFOCUS:
      return gotFocus(GetWin((HWND)w), (HWND)w);
    case WM_KILLFOCUS:
      return killedFocus(GetWin((HWND)w), (HWND)w);
    case WM_ENABLE:
      return enabled(LOWORD(w) != 0);
    case WM_PAINT:
      return paint();
    case WM_CLOSE:
      if (!queryClose()) return true;  // the window stays
      onClose();
      return false;
    case WM_QUERYENDSESSION:
      e.result = (BYTE)queryEndSession((int)l);
      return true;
    case WM_ENDSESSION:
      return onEndSession(w != 0, (int)l);
    case WM_SHOWWINDOW:
      if (w) onShow((int)l);
      else onHide((int)l);
      return false;
    case WM_GETMINMAXINFO:
      return getMinMaxInfo((MINMAXINFO*)l);
    case WM_DRAWITEM:
      return drawItem((int)w, (DRAWITEMSTRUCT*)l);
    case WM_MEASUREITEM:
      return measureItem((int)w, (MEASUREITEMSTRUCT*)l);
    case WM_DELETEITEM:
      return deleteItem((int)w, (DELETEITEMSTRUCT*)l);
    case WM_COMPAREITEM:
      return compareItem(e);
    case WM_NOTIFY:
      return notified((NMHDR*)l, e.result);
    case WM_GETDLGCODE:
      return getDialogCode(e);
    case WM_COMMAND:
      return command(LOWORD(w), HIWORD(w), (HWND)l);
    case WM_HSCROLL:
    case WM_VSCROLL: {
      int childId = l ? GetDlgCtrlID((HWND)l) : (m == WM_VSCROLL ? 1 : 0);
      return scrolled(childId, LOWORD(w), HIWORD(w));
    }
    case WM_INITMENU: {
      koMenu menu((HMENU)w, false);
      menuInit(menu);
      return false;
    }
    case WM_INITMENUPOPUP: {
      koMenu menu((HMENU)w, false);
      if (HIWORD(l)) sysmenuPopup(menu);
      else menuPopup(menu, LOWORD(l));
      return false;
    }
    case WM_MENUSELECT: {
      koMenu menu((HMENU)l, false);
      menuSelect(menu, LOWORD(w), HIWORD(w));
      return false;
    }
    case WM_MDIACTIVATE:
      return mdiActivated((HWND)l, (HWND)w);
    case WM_DROPFILES:
      return dropFiles0(e);
    case KOM_LAYOUT:
      return layoutChild();
    case KOM_DDENOTIFY:
      return notifiedDDE((int)w, (koDDE*)l);
    case KOM_POSTDELETE:
      return postDelete(e);
    case KOM_THREADENDED:
      return threadEnded((int)w, (koThread*)l);
    case KOM_COMMAND:
      return command((int)w, (int)l);
    case KOM_NOTIFY:
      dbout("KOM_NOTIFY %x %d %x", (unsigned)(UINT_PTR)this, (int)w, (unsigned)(UINT_PTR)l);
      return notified2((int)w, (void*)l);
    default:
      break;
  }
  if (m >= 0x0100 && m <= 0x0108) return kbd(e);
  if (m >= 0x0200 && m <= 0x020A)
    return mouse((int)m, koPoint{(short)LOWORD(l), (short)HIWORD(l)}, (int)w);
  if (m >= 0x0400 && m <= 0x7FFF) return user(e);
  if (m >= 0x03E0 && m <= 0x03E8) return dde(e);
  return other(e);
}

bool koWin::postParent(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!hWnd) return false;
  HWND target = parent ? parent->hWnd : GetParent(hWnd);
  if (!target) return false;
  PostMessageW(target, message, wParam, lParam);
  return true;
}

void koWin::SetControl(HWND control, bool send) {
  if (send) SendMessageW(hWnd, WM_NEXTDLGCTL, (WPARAM)control, 1);
  else PostMessageW(hWnd, WM_NEXTDLGCTL, (WPARAM)control, 1);
}

void koWin::NextControl(bool send) {
  if (send) SendMessageW(hWnd, WM_NEXTDLGCTL, 0, 0);
  else PostMessageW(hWnd, WM_NEXTDLGCTL, 0, 0);
}

void koWin::PrevControl(bool send) {
  if (send) SendMessageW(hWnd, WM_NEXTDLGCTL, 1, 0);
  else PostMessageW(hWnd, WM_NEXTDLGCTL, 1, 0);
}

bool koWin::setPos(koPoint* position, koPoint* size) {
  if (!position && !size) return true;
  if (!hWnd) {
    int width = (int)((unsigned)rect.right - (unsigned)rect.left);
    int height = (int)((unsigned)rect.bottom - (unsigned)rect.top);
    if (position) {
      rect.left = position->x;
      rect.top = position->y;
    }
    if (size) {
      width = size->x;
      height = size->y;
    }
    rect.right = (int)((unsigned)rect.left + (unsigned)width);
    rect.bottom = (int)((unsigned)rect.top + (unsigned)height);
    return true;
  }
  UINT flags = SWP_NOZORDER;
  if (!position) flags |= SWP_NOMOVE;
  if (!size) flags |= SWP_NOSIZE;
  int x = position ? (short)position->x : 0, y = position ? (short)position->y : 0;
  int cx = size ? (short)size->x : 0, cy = size ? (short)size->y : 0;
  return SetWindowPos(hWnd, nullptr, x, y, cx, cy, flags) != 0;
}

void koWin::moveCenter() {
  RECT r;
  if (!GetWindowRect(hWnd, &r)) return;
  int w = r.right - r.left, h = r.bottom - r.top;
  koPoint p{(GetSystemMetrics(SM_CXSCREEN) - w) / 2, (GetSystemMetrics(SM_CYSCREEN) - h) / 2};
  setPos(&p, nullptr);
}

bool koWin::getPlacement(WINDOWPLACEMENT& placement) {
  placement.length = sizeof(WINDOWPLACEMENT);
  return GetWindowPlacement(hWnd, &placement) != 0;
}

bool koWin::setPlacement(WINDOWPLACEMENT& placement) {
  placement.length = sizeof(WINDOWPLACEMENT);
  return SetWindowPlacement(hWnd, &placement) != 0;
}

int koWin::showState() {
  WINDOWPLACEMENT placement;
  ZeroMemory(&placement, sizeof placement);
  if (!getPlacement(placement)) return 0;
  return (int)placement.showCmd;
}

int koWin::msgBox(const char* text, int type, const char* caption) {
  if (!caption) caption = pModule && !pModule->title.empty() ? pModule->title.c_str() : "Kobas4";
  return koMessageBox(hWnd, text, caption, (UINT)type);
}

bool koWin::peekMsg(UINT first, UINT last, UINT remove, MSG* message) {
  MSG scratch;
  return PeekMessageW(message ? message : &scratch, hWnd, first, last, remove) != 0;
}
