#include "koListView.h"
#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>

koListView::koListView(koWin* parentObject, const char* windowClass, int controlId, int extraStyle)
    : koControl(parentObject, windowClass, controlId, extraStyle), ncolumn(0), nitem(0), sortParam(0) {}

const char* koListView::className() { return "koListView"; }

koPoint koListView::measureItem(MEASUREITEMSTRUCT*) { return koPoint{200, textHeight()}; }

bool koListView::paint(koDevContext& dc, koRect& rect, DRAWITEMSTRUCT& dis) {
  paint(dc, rect, (int)dis.itemID, (void*)dis.itemData);
  return true;
}

bool koListView::notified(NMHDR* header, LRESULT& result) {
  if (!header) return false;
  switch (header->code) {
    case LVN_ITEMCHANGING:
      result = queryItemChange(*(NMLISTVIEW*)header) ? 1 : 0;
      return true;
    case LVN_ITEMCHANGED:
      itemChanged(*(NMLISTVIEW*)header);
      return true;
    case LVN_INSERTITEM:
      inserted(*(NMLISTVIEW*)header);
      return true;
    case LVN_DELETEITEM:
      deletedItem(*(NMLISTVIEW*)header);
      return true;
    case LVN_DELETEALLITEMS:
      deletedAll();
      return true;
    case LVN_BEGINLABELEDITA:
      result = queryEditLabel(((NMLVDISPINFOA*)header)->item.iItem) ? 1 : 0;
      return true;
    case LVN_ENDLABELEDITA: {
      NMLVDISPINFOA* info = (NMLVDISPINFOA*)header;
      endEditLabel(info->item.iItem, info->item.pszText);
      return true;
    }
    case LVN_COLUMNCLICK:
      columnClick(((NMLISTVIEW*)header)->iSubItem);
      return true;
    default:
      return false;
  }
}

bool koListView::queryEditLabel(int) { return false; }

void koListView::endEditLabel(int item, char* text) {
  if (text) setItem(item, text, 0, nullptr);
}

void koListView::columnClick(int) {}

void koListView::paint(koDevContext& dc, koRect& rect, int item, void* param) {
  char text[40];
  snprintf(text, sizeof text, "%d:%x", item, (unsigned)(uintptr_t)param);
  TextOutA(dc.handle(), rect.left, rect.top, text, (int)strlen(text));
}

void koListView::deletedItem(NMLISTVIEW&) {}
void koListView::deletedAll() {}
void koListView::inserted(NMLISTVIEW&) {}
void koListView::itemChanged(NMLISTVIEW&) {}
bool koListView::queryItemChange(NMLISTVIEW&) { return false; }

int koListView::sortItem(void* a, void* b) {
  // Compared, not subtracted: the difference of two addresses need not fit an int.
  uintptr_t x = (uintptr_t)a, y = (uintptr_t)b;
  return x < y ? -1 : x > y ? 1 : 0;
}

void koListView::erase() {
  SendMessageA(hWnd, LVM_DELETEALLITEMS, 0, 0);
  nitem = 0;
}

bool koListView::delItem(int item) {
  if (!SendMessageA(hWnd, LVM_DELETEITEM, (WPARAM)item, 0)) return false;
  nitem--;
  return true;
}

bool koListView::insertColumn(int column, const char* text, int width, int format) {
  LVCOLUMNA c;
  ZeroMemory(&c, sizeof c);
  c.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  c.fmt = format;
  c.cx = width;
  c.pszText = (char*)(text ? text : "");
  c.cchTextMax = (int)strlen(c.pszText) + 1;
  c.iSubItem = column;
  // The count follows the control: a refused column is not one.
  if (!hWnd || SendMessageA(hWnd, LVM_INSERTCOLUMNA, (WPARAM)column, (LPARAM)&c) < 0) return false;
  ncolumn++;
  return true;
}

bool koListView::setColumn(int column, const char* text, int width, int format) {
  LVCOLUMNA c;
  ZeroMemory(&c, sizeof c);
  if (column != 0) {
    c.mask |= LVCF_SUBITEM;
    c.iSubItem = column;
  }
  if (text) {
    c.mask |= LVCF_TEXT;
    c.pszText = (char*)text;
    c.cchTextMax = (int)strlen(text) + 1;
  }
  if (width != -1) {
    c.mask |= LVCF_WIDTH;
    c.cx = width;
  }
  if (format != -1) {
    c.mask |= LVCF_FMT;
    c.fmt = format;
  }
  return SendMessageA(hWnd, LVM_SETCOLUMNA, (WPARAM)column, (LPARAM)&c) != 0;
}

bool koListView::delColumn(int column) {
  if (!SendMessageA(hWnd, LVM_DELETECOLUMN, (WPARAM)column, 0)) return false;
  ncolumn--;
  return true;
}

int koListView::columnWidth(int column) {
  LVCOLUMNA c;
  ZeroMemory(&c, sizeof c);
  c.mask = LVCF_WIDTH;
  if (!SendMessageA(hWnd, LVM_GETCOLUMNA, (WPARAM)column, (LPARAM)&c)) return -1;
  return c.cx;
}

LRESULT koListView::direct(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!prevProc) return SendMessageA(hWnd, message, wParam, lParam);
  return CallWindowProcA(prevProc, hWnd, message, wParam, lParam);
}

int koListView::count() { return hWnd ? (int)SendMessageA(hWnd, LVM_GETITEMCOUNT, 0, 0) : 0; }

namespace {
// A row's text and data as the list view takes them; null leaves either out.
LVITEMA itemOf(int item, int subitem, const char* text, void* param) {
  LVITEMA it;
  ZeroMemory(&it, sizeof it);
  it.iItem = item;
  it.iSubItem = subitem;
  if (text) {
    it.mask |= LVIF_TEXT;
    it.pszText = (char*)text;
    it.cchTextMax = (int)strlen(text) + 1;
  }
  if (param) {
    it.mask |= LVIF_PARAM;
    it.lParam = (LPARAM)param;
  }
  return it;
}
}  // namespace

bool koListView::insertItem(int item, const char* text, void* param) {
  LVITEMA it = itemOf(item, 0, text, param);
  SendMessageA(hWnd, LVM_INSERTITEMA, 0, (LPARAM)&it);
  int rows = count();
  bool changed = rows != nitem;
  nitem = rows;
  return changed;
}

int koListView::appendItem(const char* text, void* param) {
  // An index past the end appends; the control answers where the row went.
  LVITEMA it = itemOf(INT_MAX, 0, text, param);
  int row = (int)direct(LVM_INSERTITEMA, 0, (LPARAM)&it);
  if (row >= 0) nitem++;
  return row;
}

bool koListView::setItem(int item, const char* text, int subitem, void* param) {
  LVITEMA it = itemOf(item, subitem, text, param);
  return direct(LVM_SETITEMA, 0, (LPARAM)&it) != 0;
}

bool koListView::getItem(int item, char* buffer, int subitem, int size) {
  if (!buffer || size <= 0) return false;
  buffer[0] = 0;
  LVITEMA it;
  ZeroMemory(&it, sizeof it);
  it.mask = LVIF_TEXT;
  it.iItem = item;
  it.iSubItem = subitem;
  it.pszText = buffer;
  it.cchTextMax = size;
  if (!SendMessageA(hWnd, LVM_GETITEMA, 0, (LPARAM)&it)) return false;
  // The control may answer with a text of its own instead of filling ours.
  if (it.pszText && it.pszText != buffer) {
    strncpy(buffer, it.pszText, (size_t)size - 1);
    buffer[size - 1] = 0;
  }
  return true;
}

bool koListView::setParam(int item, void* param) {
  LVITEMA it;
  ZeroMemory(&it, sizeof it);
  it.mask = LVIF_PARAM;
  it.iItem = item;
  it.lParam = (LPARAM)param;
  return SendMessageA(hWnd, LVM_SETITEMA, 0, (LPARAM)&it) != 0;
}

void* koListView::getParam(int item) {
  LVITEMA it;
  ZeroMemory(&it, sizeof it);
  it.mask = LVIF_PARAM;
  it.iItem = item;
  if (!SendMessageA(hWnd, LVM_GETITEMA, 0, (LPARAM)&it)) return nullptr;
  return (void*)it.lParam;
}

bool koListView::setState(int item, int state, int mask) { return setItemState(item, state, mask); }

bool koListView::setItemState(int item, int state, int mask) {
  LVITEMA it;
  ZeroMemory(&it, sizeof it);
  it.mask = LVIF_STATE;
  it.iItem = item;
  it.state = (UINT)state;
  it.stateMask = (UINT)mask;
  return SendMessageA(hWnd, LVM_SETITEMA, 0, (LPARAM)&it) != 0;
}

int koListView::getItemState(int item, int mask) {
  LVITEMA it;
  ZeroMemory(&it, sizeof it);
  it.mask = LVIF_STATE;
  it.iItem = item;
  it.stateMask = (UINT)mask;
  if (!SendMessageA(hWnd, LVM_GETITEMA, 0, (LPARAM)&it)) return -1;
  return (int)(it.state & (UINT)mask);
}

int koListView::image(int item) {
  LVITEMA it;
  ZeroMemory(&it, sizeof it);
  it.mask = LVIF_IMAGE;
  it.iItem = item;
  if (!SendMessageA(hWnd, LVM_GETITEMA, 0, (LPARAM)&it)) return -9;
  return it.iImage;
}

bool koListView::image(int item, int index) {
  LVITEMA it;
  ZeroMemory(&it, sizeof it);
  it.mask = LVIF_IMAGE;
  it.iItem = item;
  it.iImage = index;
  return SendMessageA(hWnd, LVM_SETITEMA, 0, (LPARAM)&it) != 0;
}

int koListView::find(const char* text, int start) {
  LVFINDINFOA info;
  ZeroMemory(&info, sizeof info);
  info.flags = LVFI_STRING;
  info.psz = text;
  return (int)SendMessageA(hWnd, LVM_FINDITEMA, (WPARAM)start, (LPARAM)&info);
}

int koListView::hitTest(int x, int y, LVHITTESTINFO* info) {
  LVHITTESTINFO own;
  if (!info) info = &own;
  ZeroMemory(info, sizeof *info);
  info->pt.x = x;
  info->pt.y = y;
  return (int)SendMessageA(hWnd, LVM_HITTEST, 0, (LPARAM)info);
}

int koListView::selectAll(bool on) {
  int rows = count();
  for (int i = 0; i < rows; i++, rows = count()) setItemState(i, on ? LVIS_SELECTED : 0, LVIS_SELECTED);
  return rows;
}

int koListView::selectReverse() {
  int rows = count();
  for (int i = 0; i < rows; i++, rows = count())
    setItemState(i, getItemState(i, LVIS_SELECTED) ^ LVIS_SELECTED, LVIS_SELECTED);
  return rows;
}

HIMAGELIST koListView::dragImage(int item, int x, int y) {
  if (item < 0) {
    item = (int)SendMessageA(hWnd, LVM_GETNEXTITEM, (WPARAM)-1, MAKELPARAM(LVNI_SELECTED, 0));
    if (item < 0) return nullptr;
  }
  POINT corner{x, y};
  return (HIMAGELIST)SendMessageA(hWnd, LVM_CREATEDRAGIMAGE, (WPARAM)item, (LPARAM)&corner);
}

bool koListView::sort() {
  return SendMessageA(hWnd, LVM_SORTITEMS, (WPARAM)this, (LPARAM)ListViewCompareFunc) != 0;
}

void koListView::setSortParam(long value) { sortParam = value; }

int CALLBACK koListView::ListViewCompareFunc(LPARAM a, LPARAM b, LPARAM view) {
  koListView* self = (koListView*)view;
  return self ? self->sortItem((void*)a, (void*)b) : 0;
}

koListView::Filling::Filling(koListView* view, int rows)
    : list(view ? view->hWnd : nullptr),
      // Redraw turned back on would show a hidden list: one is left as it is.
      quiet(list && (GetWindowLongPtrA(list, GWL_STYLE) & WS_VISIBLE)) {
  if (!list) return;
  if (quiet) SendMessageA(list, WM_SETREDRAW, FALSE, 0);
  // Room for the rows already there and the new ones.
  int held = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
  SendMessageA(list, LVM_SETITEMCOUNT, (WPARAM)(held + (rows > 0 ? rows : 0)), LVSICF_NOINVALIDATEALL);
}

koListView::Filling::~Filling() {
  if (!quiet) return;
  SendMessageA(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}
