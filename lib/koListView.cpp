#include "koListView.h"
#include <limits.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include "koUtl1.h"

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
    case LVN_BEGINLABELEDITW:
      result = queryEditLabel(((NMLVDISPINFOW*)header)->item.iItem) ? 1 : 0;
      return true;
    case LVN_ENDLABELEDITW: {
      NMLVDISPINFOW* info = (NMLVDISPINFOW*)header;
      std::string text = info->item.pszText ? koSjisOf(info->item.pszText) : "";
      endEditLabel(info->item.iItem, info->item.pszText ? &text[0] : nullptr);
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
  std::wstring wide = koWideOf(text);
  TextOutW(dc.handle(), rect.left, rect.top, wide.c_str(), (int)wide.size());
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
  SendMessageW(hWnd, LVM_DELETEALLITEMS, 0, 0);
  nitem = 0;
}

bool koListView::delItem(int item) {
  if (!SendMessageW(hWnd, LVM_DELETEITEM, (WPARAM)item, 0)) return false;
  nitem--;
  return true;
}

bool koListView::insertColumn(int column, const char* text, int width, int format) {
  LVCOLUMNW c;
  ZeroMemory(&c, sizeof c);
  std::wstring wide = koWideOf(text ? text : "");
  c.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
  c.fmt = format;
  c.cx = width;
  c.pszText = &wide[0];
  c.cchTextMax = (int)wide.size() + 1;
  c.iSubItem = column;
  // The count follows the control: a refused column is not one.
  if (!hWnd || SendMessageW(hWnd, LVM_INSERTCOLUMNW, (WPARAM)column, (LPARAM)&c) < 0) return false;
  ncolumn++;
  return true;
}

bool koListView::setColumn(int column, const char* text, int width, int format) {
  LVCOLUMNW c;
  ZeroMemory(&c, sizeof c);
  if (column != 0) {
    c.mask |= LVCF_SUBITEM;
    c.iSubItem = column;
  }
  std::wstring wide = koWideOf(text ? text : "");
  if (text) {
    c.mask |= LVCF_TEXT;
    c.pszText = &wide[0];
    c.cchTextMax = (int)wide.size() + 1;
  }
  if (width != -1) {
    c.mask |= LVCF_WIDTH;
    c.cx = width;
  }
  if (format != -1) {
    c.mask |= LVCF_FMT;
    c.fmt = format;
  }
  return SendMessageW(hWnd, LVM_SETCOLUMNW, (WPARAM)column, (LPARAM)&c) != 0;
}

bool koListView::delColumn(int column) {
  if (!SendMessageW(hWnd, LVM_DELETECOLUMN, (WPARAM)column, 0)) return false;
  ncolumn--;
  return true;
}

int koListView::columnWidth(int column) {
  LVCOLUMNW c;
  ZeroMemory(&c, sizeof c);
  c.mask = LVCF_WIDTH;
  if (!SendMessageW(hWnd, LVM_GETCOLUMNW, (WPARAM)column, (LPARAM)&c)) return -1;
  return c.cx;
}

LRESULT koListView::direct(UINT message, WPARAM wParam, LPARAM lParam) {
  if (!prevProc) return SendMessageW(hWnd, message, wParam, lParam);
  return CallWindowProcW(prevProc, hWnd, message, wParam, lParam);
}

int koListView::count() { return hWnd ? (int)SendMessageW(hWnd, LVM_GETITEMCOUNT, 0, 0) : 0; }

namespace {
// A row's text and data as the list view takes them; null leaves either out.
// wide holds the text for as long as the item is used.
LVITEMW itemOf(int item, int subitem, const char* text, void* param, std::wstring& wide) {
  LVITEMW it;
  ZeroMemory(&it, sizeof it);
  it.iItem = item;
  it.iSubItem = subitem;
  if (text) {
    wide = koWideOf(text);
    it.mask |= LVIF_TEXT;
    it.pszText = &wide[0];
    it.cchTextMax = (int)wide.size() + 1;
  }
  if (param) {
    it.mask |= LVIF_PARAM;
    it.lParam = (LPARAM)param;
  }
  return it;
}
}  // namespace

bool koListView::insertItem(int item, const char* text, void* param) {
  std::wstring wide;
  LVITEMW it = itemOf(item, 0, text, param, wide);
  SendMessageW(hWnd, LVM_INSERTITEMW, 0, (LPARAM)&it);
  int rows = count();
  bool changed = rows != nitem;
  nitem = rows;
  return changed;
}

int koListView::appendItem(const char* text, void* param) {
  // An index past the end appends; the control answers where the row went.
  std::wstring wide;
  LVITEMW it = itemOf(INT_MAX, 0, text, param, wide);
  int row = (int)direct(LVM_INSERTITEMW, 0, (LPARAM)&it);
  if (row >= 0) nitem++;
  return row;
}

bool koListView::setItem(int item, const char* text, int subitem, void* param) {
  std::wstring wide;
  LVITEMW it = itemOf(item, subitem, text, param, wide);
  return direct(LVM_SETITEMW, 0, (LPARAM)&it) != 0;
}

bool koListView::getItem(int item, char* buffer, int subitem, int size) {
  if (!buffer || size <= 0) return false;
  buffer[0] = 0;
  std::wstring wide((size_t)size + 1, L'\0');  // a character takes at most two bytes, never less than one unit
  LVITEMW it;
  ZeroMemory(&it, sizeof it);
  it.mask = LVIF_TEXT;
  it.iItem = item;
  it.iSubItem = subitem;
  it.pszText = &wide[0];
  it.cchTextMax = size;
  if (!SendMessageW(hWnd, LVM_GETITEMW, 0, (LPARAM)&it)) return false;
  // The control may answer with a text of its own instead of filling ours.
  koStrncpy(buffer, koSjisOf(it.pszText ? it.pszText : L"").c_str(), size + 1);
  return true;
}

bool koListView::setParam(int item, void* param) {
  LVITEMW it;
  ZeroMemory(&it, sizeof it);
  it.mask = LVIF_PARAM;
  it.iItem = item;
  it.lParam = (LPARAM)param;
  return SendMessageW(hWnd, LVM_SETITEMW, 0, (LPARAM)&it) != 0;
}

void* koListView::getParam(int item) {
  LVITEMW it;
  ZeroMemory(&it, sizeof it);
  it.mask = LVIF_PARAM;
  it.iItem = item;
  if (!SendMessageW(hWnd, LVM_GETITEMW, 0, (LPARAM)&it)) return nullptr;
  return (void*)it.lParam;
}

bool koListView::setState(int item, int state, int mask) { return setItemState(item, state, mask); }

bool koListView::setItemState(int item, int state, int mask) {
  LVITEMW it;
  ZeroMemory(&it, sizeof it);
  it.mask = LVIF_STATE;
  it.iItem = item;
  it.state = (UINT)state;
  it.stateMask = (UINT)mask;
  return SendMessageW(hWnd, LVM_SETITEMW, 0, (LPARAM)&it) != 0;
}

int koListView::getItemState(int item, int mask) {
  LVITEMW it;
  ZeroMemory(&it, sizeof it);
  it.mask = LVIF_STATE;
  it.iItem = item;
  it.stateMask = (UINT)mask;
  if (!SendMessageW(hWnd, LVM_GETITEMW, 0, (LPARAM)&it)) return -1;
  return (int)(it.state & (UINT)mask);
}

int koListView::image(int item) {
  LVITEMW it;
  ZeroMemory(&it, sizeof it);
  it.mask = LVIF_IMAGE;
  it.iItem = item;
  if (!SendMessageW(hWnd, LVM_GETITEMW, 0, (LPARAM)&it)) return -9;
  return it.iImage;
}

bool koListView::image(int item, int index) {
  LVITEMW it;
  ZeroMemory(&it, sizeof it);
  it.mask = LVIF_IMAGE;
  it.iItem = item;
  it.iImage = index;
  return SendMessageW(hWnd, LVM_SETITEMW, 0, (LPARAM)&it) != 0;
}

int koListView::find(const char* text, int start) {
  LVFINDINFOW info;
  std::wstring wide = koWideOf(text);
  ZeroMemory(&info, sizeof info);
  info.flags = LVFI_STRING;
  info.psz = wide.c_str();
  return (int)SendMessageW(hWnd, LVM_FINDITEMW, (WPARAM)start, (LPARAM)&info);
}

int koListView::hitTest(int x, int y, LVHITTESTINFO* info) {
  LVHITTESTINFO own;
  if (!info) info = &own;
  ZeroMemory(info, sizeof *info);
  info->pt.x = x;
  info->pt.y = y;
  return (int)SendMessageW(hWnd, LVM_HITTEST, 0, (LPARAM)info);
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
    item = (int)SendMessageW(hWnd, LVM_GETNEXTITEM, (WPARAM)-1, MAKELPARAM(LVNI_SELECTED, 0));
    if (item < 0) return nullptr;
  }
  POINT corner{x, y};
  return (HIMAGELIST)SendMessageW(hWnd, LVM_CREATEDRAGIMAGE, (WPARAM)item, (LPARAM)&corner);
}

bool koListView::sort() {
  return SendMessageW(hWnd, LVM_SORTITEMS, (WPARAM)this, (LPARAM)ListViewCompareFunc) != 0;
}

void koListView::setSortParam(long value) { sortParam = value; }

int CALLBACK koListView::ListViewCompareFunc(LPARAM a, LPARAM b, LPARAM view) {
  koListView* self = (koListView*)view;
  return self ? self->sortItem((void*)a, (void*)b) : 0;
}

koListView::Filling::Filling(koListView* view, int rows)
    : list(view ? view->hWnd : nullptr),
      // Redraw turned back on would show a hidden list: one is left as it is.
      quiet(list && (GetWindowLongPtrW(list, GWL_STYLE) & WS_VISIBLE)) {
  if (!list) return;
  if (quiet) SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  // Room for the rows already there and the new ones.
  int held = (int)SendMessageW(list, LVM_GETITEMCOUNT, 0, 0);
  SendMessageW(list, LVM_SETITEMCOUNT, (WPARAM)(held + (rows > 0 ? rows : 0)), LVSICF_NOINVALIDATEALL);
}

koListView::Filling::~Filling() {
  if (!quiet) return;
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}
