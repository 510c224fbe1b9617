#include "koDlg0.h"
#include <string.h>
#include <string>
#include "koControl.h"
#include "koModule.h"

int koDialog::commonFontSize = 9;
koDialog* koDialog::NewDialog = nullptr;
INT_PTR koDialog::resultx = -1;
int koDialog::nitem = 0;

koDialog::koDialog(koWin* parentObject, const char* name)
    : koDialog(parentObject, "koDialog", -999, name) {}

koDialog::koDialog(koWin* parentObject, const char* windowClass, int controlId,
                   const char* name, koCtrlMap* map, int endCode)
    : koWin(parentObject, windowClass, controlId),
      templateName(name),
      dlgTemplate(nullptr),
      ctrlMap(map),
      kind(0),
      result(endCode),
      closing(false) {
  templateBuffer.put(templateStorage, sizeof templateStorage);
}

koDialog::~koDialog() { templateBuffer.clear(true); }

const char* koDialog::className() { return "koDialog"; }

int koDialog::FontSize() { return commonFontSize; }
void koDialog::FontSize(int size) { commonFontSize = size; }
int koDialog::fontSize() { return FontSize(); }
void koDialog::fontSize(int size) { FontSize(size); }

namespace {
// 16-bit unit at a byte offset, or -1 when it lies beyond the template.
int unitAt(const unsigned char* base, int offset, int length) {
  if (length > 0 && offset + 2 > length) return -1;
  WORD w;
  memcpy(&w, base + offset, 2);
  return w;
}

short shortAt(const unsigned char* base, int offset) {
  short s;
  memcpy(&s, base + offset, 2);
  return s;
}

void putShort(unsigned char* base, int offset, int value) {
  short s = (short)value;
  memcpy(base + offset, &s, 2);
}
}  // namespace

namespace {
// Where a plain template keeps its point size (the face name follows it),
// or -1: an extended template, one without DS_SETFONT (DS_FIXEDSYS alone
// leaves no size, and writing there would hit the first item), an unknown
// menu or class, or a template cut short.
int pointSizeOffset(const unsigned char* t, int length) {
  if (length > 0 && length < 18) return -1;
  DWORD style;
  memcpy(&style, t, 4);
  // An extended template starts with version 1 and 0xFFFF.
  if (style == 0xFFFF0001 || !(style & DS_SETFONT)) return -1;
  int offset;
  int menu = unitAt(t, 18, length);
  if (menu == 0) offset = 20;
  else if (menu == 0xFFFF) offset = 22;
  else return -1;
  int windowClass = unitAt(t, offset, length);
  if (windowClass == 0) offset += 2;
  else if (windowClass == 0xFFFF) offset += 4;
  else return -1;
  for (;;) {
    int unit = unitAt(t, offset, length);
    if (unit < 0) return -1;
    offset += 2;
    if (unit == 0) break;
  }
  return unitAt(t, offset, length) < 0 ? -1 : offset;
}
}  // namespace

bool koDialog::ChangeFont(DLGTEMPLATE* dlgTemplate, int size, int* rectangle, bool force,
                          int length) {
  if (!dlgTemplate || (length > 0 && length < 18)) return false;
  unsigned char* t = (unsigned char*)dlgTemplate;
  nitem = unitAt(t, 8, length);
  int offset = pointSizeOffset(t, length);
  if (offset < 0) return false;
  int pointSize = unitAt(t, offset, length);
  if (pointSize != 0 && !force) return false;
  WORD w = (WORD)size;
  memcpy(t + offset, &w, 2);
  if (rectangle) {
    for (int i = 0; i < 4; i++) {
      int at = 10 + 2 * i;
      if (force) {
        putShort(t, at, rectangle[i]);
      } else {
        rectangle[i] = shortAt(t, at);
        putShort(t, at, rectangle[i] * size / designSize);
      }
    }
  }
  return true;
}

int koDialog::FittingFontSize(const DLGTEMPLATE* dlgTemplate, int size, const RECT& work,
                              int minimum, int length) {
  const unsigned char* t = (const unsigned char*)dlgTemplate;
  int offset = t ? pointSizeOffset(t, length) : -1;
  if (offset < 0 || size <= minimum) return size;
  // The face name follows the point size; a template cut inside it is not measured.
  std::wstring face;
  for (int at = offset + 2;; at += 2) {
    int unit = unitAt(t, at, length);
    if (unit < 0) return size;
    if (unit == 0) break;
    face += (wchar_t)unit;
  }
  DWORD style, exStyle;
  memcpy(&style, t, 4);
  memcpy(&exStyle, t + 4, 4);
  int cx = shortAt(t, 14), cy = shortAt(t, 16);
  HDC dc = GetDC(nullptr);
  if (!dc) return size;
  int dpi = GetDeviceCaps(dc, LOGPIXELSY);
  for (; size > minimum; size--) {
    // The dialog manager's base units: the font's height, and half its
    // average letter width rounded.
    HFONT font = CreateFontW(-MulDiv(size, dpi, 72), 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0,
                             0, 0, 0, face.c_str());
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    SIZE letters{0, 0};
    GetTextMetricsW(dc, &metrics);
    GetTextExtentPoint32W(dc, L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz", 52, &letters);
    SelectObject(dc, old);
    DeleteObject(font);
    RECT r{0, 0, MulDiv(cx, (letters.cx / 26 + 1) / 2, 4), MulDiv(cy, metrics.tmHeight, 8)};
    AdjustWindowRectEx(&r, style, FALSE, exStyle);
    if (r.right - r.left <= work.right - work.left && r.bottom - r.top <= work.bottom - work.top) break;
  }
  ReleaseDC(nullptr, dc);
  return size;
}

INT_PTR CALLBACK koDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    koDialog* dialog = koDialog::NewDialog;
    koDialog::NewDialog = nullptr;
    // A dialog that no object is waiting for stays a plain dialog.
    if (!dialog) return TRUE;
    dialog->linkWin(window);
    koSetWindowIcon(window);  // the program's icon on every dialog's caption
    return dialog->initialProc();
  }
  if (message == WM_MEASUREITEM) {
    MEASUREITEMSTRUCT* mis = (MEASUREITEMSTRUCT*)lParam;
    koDialog* dialog = koDialog::NewDialog;
    if (!dialog) {
      koWin* object = koWin::GetWin(window);
      if (!object) return FALSE;
      koEvent e{message, wParam, lParam, 0};
      return object->dispatchEvent(e);
    }
    koPoint size = dialog->measureItem(mis);
    mis->itemWidth = (UINT)size.x;
    mis->itemHeight = (UINT)size.y;
    return TRUE;
  }
  // Back from a nested dialog or box, the focus is put back without making
  // a focused push button the default one, so Enter would miss the button
  // it outlines: seated again once the activation is done. Only a button:
  // an edit would get its whole text selected, to be typed over.
  if (message == WM_ACTIVATE && LOWORD(wParam) != WA_INACTIVE) PostMessageW(window, KOM_REFOCUS, 0, 0);
  if (message == KOM_REFOCUS) {
    HWND focus = GetFocus();
    UINT code = focus && IsChild(window, focus) ? (UINT)SendMessageW(focus, WM_GETDLGCODE, 0, 0) : 0;
    if (code & DLGC_UNDEFPUSHBUTTON) SendMessageW(window, WM_NEXTDLGCTL, (WPARAM)focus, TRUE);
    return TRUE;
  }
  koWin* object = koWin::GetWin(window);
  if (!object) return FALSE;
  koEvent e{message, wParam, lParam, 0};
  return object->dispatchEvent(e);
}

bool koDialog::initialProc() {
  closing = false;
  updateScreen();
  onStart();
  return true;
}

koControl* koDialog::control(int controlId) {
  if (!hWnd) return nullptr;
  return dynamic_cast<koControl*>(GetWin(GetDlgItem(hWnd, controlId)));
}

void koDialog::updateScreen() {
  if (!ctrlMap) return;
  for (koCtrlMap* entry = ctrlMap; entry->factory; entry++) {
    koControl* c = entry->factory(this, entry->id);
    if (!c) continue;
    c->linkMapObject(entry);
    c->updateScreen();
  }
}

void koDialog::linkMapObject() {
  if (!ctrlMap) return;
  for (koCtrlMap* entry = ctrlMap; entry->factory; entry++) {
    koControl* c = control(entry->id);
    if (c && c->isModified()) c->updateObject();
  }
}

bool koDialog::isModifiedMapData() {
  if (!ctrlMap) return false;
  for (koCtrlMap* entry = ctrlMap; entry->factory; entry++) {
    koControl* c = control(entry->id);
    if (c && c->isModified()) return true;
  }
  return false;
}

bool koDialog::isModified() { return isModifiedMapData(); }
bool koDialog::queryOk() { return true; }

void koDialog::okProc() {
  if (isModified()) linkMapObject();
}

bool koDialog::queryClose() {
  if (closing || !isModified()) return true;
  if (msgBox("変更を保存せずに終了してよろしいですか？", MB_YESNO, nullptr) != IDYES) return false;
  // The close box passes here twice (window, then dialog manager) and then
  // turns into Cancel: one question is enough.
  closing = true;
  return true;
}

bool koDialog::command(int commandId, int code) {
  if (commandId == IDOK) {
    if (!queryOk()) return true;
    result = IDOK;
    okProc();
    destroy();
    return true;
  }
  if (commandId == IDCANCEL) {
    if (!queryClose()) return true;
    result = IDCANCEL;
    destroy();
    return true;
  }
  return false;
}
