#include "koUpDown.h"
#include "koLazy.h"
#include <commctrl.h>
#include <stdlib.h>

koUpDown::koUpDown(koWin* parentObject, int controlId, int extraStyle)
    : koControl(parentObject, "msctls_updown32", controlId, extraStyle),
      guard(false),
      position(50),
      minimum(0),
      maximum(100),
      buddy(nullptr),
      parse(nullptr),
      format(nullptr),
      buddyWindow(nullptr) {
  if (hWnd) {
    setRange(0, 100);
    setSel(50);
    joinPartner();
  }
}

koUpDown::~koUpDown() {}

koControl* koUpDown::edit() {
  // The buddy's object goes with its window, which may close first.
  if (buddy) return GetWin(buddyWindow) == buddy ? buddy : nullptr;
  return partner;
}

const char* koUpDown::className() { return "koUpDown"; }

int koUpDown::clamp(int value) const {
  if (value < minimum) return minimum;
  if (value > maximum) return maximum;
  return value;
}

bool koUpDown::setRange(int min, int max, bool) {
  minimum = min;
  maximum = max;
  SendMessageW(hWnd, UDM_SETRANGE32, (WPARAM)min, (LPARAM)max);
  getSel();
  return true;
}

bool koUpDown::setSel(int value) {
  position = clamp(value);
  SendMessageW(hWnd, UDM_SETPOS32, 0, (LPARAM)position);
  viewData();
  return true;
}

int koUpDown::getSel() {
  if (hWnd) position = (int)SendMessageW(hWnd, UDM_GETPOS32, 0, 0);
  checkJoin();
  return position;
}

bool koUpDown::checkJoin() {
  koControl* box = edit();
  if (!parse || !box) return false;
  char text[304] = "";
  box->getText(text, 300);
  position = clamp(parse(text));
  SendMessageW(hWnd, UDM_SETPOS32, 0, (LPARAM)position);
  viewData();
  return true;
}

void koUpDown::viewData() {
  if (!format) return;
  char text[304] = "";
  format(position, text);
  if (koControl* box = edit()) box->setText(text);
}

bool koUpDown::linkObject(int* value, int* range) {
  data = value;
  size = 0;
  if (!value) return true;
  if (range) setRange(range[0], range[1]);
  position = clamp(*value);
  SendMessageW(hWnd, UDM_SETPOS32, 0, (LPARAM)position);
  viewData();
  return true;
}

void koUpDown::linkMapObject(koCtrlMap* entry) { linkObject((int*)entry->data, (int*)entry->extra); }

void koUpDown::updateObject() {
  if (data) *(int*)data = getSel();
}

bool koUpDown::isModified() { return data && *(int*)data != getSel(); }

bool koUpDown::create() {
  if (!parent || !parent->hWnd) return false;
  if (!buddy) {
    buddy = new koEdit(parent, (int)id + 1, WS_BORDER | ES_AUTOHSCROLL | ES_RIGHT);
    buddy->exStyle = WS_EX_CLIENTEDGE;
    buddy->rect = rect;
    if (!buddy->hWnd && !buddy->create(nullptr)) {
      delete buddy;
      buddy = nullptr;
    }
    buddyWindow = buddy ? buddy->hWnd : nullptr;
  }
  auto make = KO_LAZY("comctl32.dll", CreateUpDownControl);
  HWND window = make ? make(style, 0, 0, 0, 0, parent->hWnd, (int)id, koInstance(),
                            buddy ? buddy->hWnd : nullptr, maximum, minimum, position)
                     : nullptr;
  if (!window) return false;
  linkWin(window);
  return true;
}

bool koUpDown::moved(int x, int y) {
  if (!guard) setpos01(x, y);
  return true;
}

void koUpDown::setpos01(int x, int y) {
  guard = true;
  RECT r;
  if (hWnd && GetWindowRect(hWnd, &r)) {
    int w = r.right - r.left, h = r.bottom - r.top;
    int arrow = h * 9 / 16;
    koPoint at{x + w - arrow, y}, extent{arrow, h};
    setPos(&at, &extent);
    if (koControl* box = edit()) {
      koPoint boxAt{x, y}, boxExtent{w - arrow + 2, h};
      box->setPos(&boxAt, &boxExtent);
    }
  }
  guard = false;
}

bool koUpDown::mouse(int message, koPoint, int) {
  if (message == WM_LBUTTONDOWN) checkJoin();
  return false;
}

bool koUpDown::show(int command) {
  koWin::show(command);
  // A template control has no buddy of its own: its partner edit goes along.
  if (koControl* box = edit()) box->koWin::show(command == SW_HIDE ? SW_HIDE : SW_SHOW);
  return true;
}

bool koUpDown::hide() {
  show(SW_HIDE);
  return true;
}
