#include "koControl.h"
#include <string>

koControl::koControl(koWin* parentObject, const char* windowClass, int controlId, int extraStyle)
    : koWin(parentObject, windowClass, controlId),
      modifiedFlag(false),
      data(nullptr),
      size(0),
      partner(nullptr),
      ownPartner(false) {
  style |= (DWORD)extraStyle;
  tryLink();
}

koControl::koControl(HWND window, bool link)
    : koWin(window, link),
      modifiedFlag(false),
      data(nullptr),
      size(0),
      partner(nullptr),
      ownPartner(false) {}

koControl::~koControl() { releasePartner(); }

const char* koControl::className() { return "koControl"; }

bool koControl::tryLink() {
  if (hWnd) return true;
  if (!parent || !parent->hWnd) return false;
  HWND child = GetDlgItem(parent->hWnd, (int)id);
  if (!child) return false;
  linkWin(child);
  return true;
}

int koControl::controlId() {
  return hWnd ? (int)GetWindowLongPtrW(hWnd, GWLP_ID) : (int)id;
}

void koControl::releasePartner() {
  if (ownPartner) delete partner;
  partner = nullptr;
  ownPartner = false;
}

bool koControl::joinPartner() {
  if (!hWnd || !parent || !parent->hWnd) return false;
  HWND child = GetDlgItem(parent->hWnd, controlId() + 1);
  koControl* linkedPartner = dynamic_cast<koControl*>(GetWin(child));
  // Joining again keeps the wrapper it already has.
  if (child && ownPartner && partner && partner->hWnd == child && !linkedPartner) return true;
  releasePartner();
  if (!child) return false;
  if (linkedPartner) {
    partner = linkedPartner;
  } else {
    partner = new koControl(child, false);
    ownPartner = true;
  }
  return true;
}

bool koControl::other(koEvent& e) {
  // Claims Tab; dispatch routes WM_GETDLGCODE elsewhere, so this stays unused.
  if (e.message == WM_GETDLGCODE && prevProc) {
    e.result = CallWindowProcW(prevProc, hWnd, e.message, e.wParam, e.lParam) | DLGC_WANTTAB;
    return true;
  }
  return false;
}

bool koControl::kbd(koEvent& e) {
  int self = controlId();
  if (e.message == WM_KEYDOWN && LOWORD(e.wParam) == VK_F1) {
    postParent(WM_COMMAND, MAKEWPARAM(20, self), (LPARAM)hWnd);
    return true;
  }
  if (e.message != WM_CHAR) return false;
  switch (e.wParam) {
    case 13:
      postParent(WM_COMMAND, MAKEWPARAM(21, self), (LPARAM)hWnd);
      return true;
    case 27:
      postParent(WM_COMMAND, IDCANCEL, (LPARAM)hWnd);
      return true;
    case 9: {
      koWin* dialog = GetWin(GetParent(hWnd));
      if (dialog) {
        if (GetKeyState(VK_SHIFT) & 0xFF00) dialog->PrevControl(false);
        else dialog->NextControl(false);
      }
      return true;
    }
    default:
      return false;
  }
}

namespace {
// A control about to be disabled or hidden with the focus hands it to the
// next control that takes it: the keyboard is never left with nothing.
void passFocus(HWND control) {
  if (!control || GetFocus() != control) return;
  HWND dialog = GetParent(control);
  HWND next = GetNextDlgTabItem(dialog, control, FALSE);
  if (next && next != control) SendMessageW(dialog, WM_NEXTDLGCTL, (WPARAM)next, TRUE);
}
}  // namespace

bool koControl::show(int command) {
  if (command == SW_HIDE) passFocus(hWnd), passFocus(partner ? partner->hWnd : nullptr);
  bool was = koWin::show(command);
  if (partner) partner->koWin::show(command);
  return was;
}

bool koControl::enable(bool on) {
  if (!on) passFocus(hWnd), passFocus(partner ? partner->hWnd : nullptr);
  bool was = koWin::enable(on);
  if (partner) partner->koWin::enable(on);
  return was;
}

void koControl::linkObject(void* variable, int capacity) {
  data = variable;
  size = capacity;
}

void koControl::linkMapObject(koCtrlMap* entry) { linkObject(entry->data, entry->size); }
void koControl::updateObject() {}
void koControl::updateScreen() {}
bool koControl::isModified() { return modifiedFlag; }
void koControl::modified(bool on) { modifiedFlag = on; }
int koControl::getCheck() { return (int)SendMessageW(hWnd, BM_GETCHECK, 0, 0); }
void koControl::setCheck(int state) { SendMessageW(hWnd, BM_SETCHECK, (WPARAM)state, 0); }
int koControl::getState() { return (int)SendMessageW(hWnd, BM_GETSTATE, 0, 0); }
void koControl::setState(int state) { SendMessageW(hWnd, BM_SETSTATE, (WPARAM)state, 0); }

void koControl::setStyle(int buttonStyle, bool redraw) {
  SendMessageW(hWnd, BM_SETSTYLE, (WPARAM)buttonStyle, redraw ? 1 : 0);
}

void koControl::click() { SendMessageW(hWnd, BM_CLICK, 0, 0); }
void koControl::setModified(bool) {}

koEdit::koEdit(koWin* parentObject, int controlId, int extraStyle)
    : koControl(parentObject, "Edit", controlId, extraStyle) {}
koEdit::koEdit(koWin* parentObject, const char* windowClass, int controlId, int extraStyle)
    : koControl(parentObject, windowClass, controlId, extraStyle) {}
const char* koEdit::className() { return "koEdit"; }

void koEdit::linkMapObject(koCtrlMap* entry) {
  data = entry->data;
  size = entry->size;
  if (size > 1) SendMessageW(hWnd, EM_LIMITTEXT, (WPARAM)(size - 1), 0);
}

void koEdit::updateScreen() {
  if (data) setText((const char*)data);
}

void koEdit::updateObject() {
  if (data && size > 0) getText((char*)data, size);
}

bool koEdit::isModified() {
  return (hWnd && SendMessageW(hWnd, EM_GETMODIFY, 0, 0)) || modifiedFlag;
}

bool koEdit::other(koEvent& e) { return refusePaste(e) || koControl::other(e); }

bool koEdit::refusePaste(koEvent& e) {
  if (e.message != WM_PASTE || !hWnd || !OpenClipboard(hWnd)) return false;
  size_t pasted = 0;  // in the edit's own units, UTF-16
  if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
    if (const wchar_t* text = (const wchar_t*)GlobalLock(data)) {
      pasted = wcslen(text);
      GlobalUnlock(data);
    }
  }
  CloseClipboard();
  DWORD from = 0, to = 0;
  SendMessageW(hWnd, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
  size_t limit = (size_t)SendMessageW(hWnd, EM_GETLIMITTEXT, 0, 0);
  size_t kept = (size_t)GetWindowTextLengthW(hWnd) - (to > from ? to - from : 0);
  if (kept + pasted <= limit) return false;
  std::string text = "貼り付ける文字が長すぎるため、貼り付けませんでした。\nこの欄には " +
                     std::to_string(limit) + " 文字まで入ります。";
  if (parent) parent->msgBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION, nullptr);
  e.result = 0;
  return true;
}

void koEdit::setModified(bool on) {
  modifiedFlag = on;
  // Otherwise the box's own flag would keep reporting a change.
  if (!on && hWnd) SendMessageW(hWnd, EM_SETMODIFY, FALSE, 0);
}

koMultiEdit::koMultiEdit(koWin* parentObject, int controlId, int extraStyle)
    : koEdit(parentObject, controlId, extraStyle) {}
koMultiEdit::koMultiEdit(koWin* parentObject, const char* windowClass, int controlId,
                         int extraStyle)
    : koEdit(parentObject, windowClass, controlId, extraStyle) {}
const char* koMultiEdit::className() { return "koMultiEdit"; }
bool koMultiEdit::kbd(koEvent&) { return false; }
bool koMultiEdit::other(koEvent& e) { return refusePaste(e); }

koPushButton::koPushButton(koWin* parentObject, int controlId, int extraStyle)
    : koControl(parentObject, "Button", controlId, extraStyle) {}
koPushButton::koPushButton(koWin* parentObject, const char* windowClass, int controlId,
                           int extraStyle)
    : koControl(parentObject, windowClass, controlId, extraStyle) {}
const char* koPushButton::className() { return "koPushButton"; }

void koPushButton::updateScreen() {
  if (data) setText((const char*)data);
}

koLabel::koLabel(koWin* parentObject, int controlId, int extraStyle)
    : koControl(parentObject, "Static", controlId, extraStyle) {}
koLabel::koLabel(koWin* parentObject, const char* windowClass, int controlId, int extraStyle)
    : koControl(parentObject, windowClass, controlId, extraStyle) {}
const char* koLabel::className() { return "koLabel"; }

void koLabel::updateScreen() {
  if (data) setText((const char*)data);
}

koCheckBox::koCheckBox(koWin* parentObject, int controlId, int extraStyle)
    : koControl(parentObject, "Button", controlId, extraStyle) {}
koCheckBox::koCheckBox(koWin* parentObject, const char* windowClass, int controlId,
                       int extraStyle)
    : koControl(parentObject, windowClass, controlId, extraStyle) {}
const char* koCheckBox::className() { return "koCheckBox"; }

void koCheckBox::linkMapObject(koCtrlMap* entry) {
  data = entry->data;
  size = 4;
}

void koCheckBox::updateScreen() {
  if (data) setCheck(*(int*)data);
}

void koCheckBox::updateObject() {
  if (data) *(int*)data = getCheck();
}

bool koCheckBox::isModified() { return data ? *(int*)data != getCheck() : modifiedFlag; }
