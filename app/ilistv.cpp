#include "ilistv.h"
#include <stdio.h>
#include <string.h>
#include "dbsub.h"
#include "koGdi.h"
#include "resource.h"

ilistView::ilistView(koWin* parentObject, int controlId, char listKind)
    : koListView(parentObject, "SysListView32", controlId, 0x10001),
      kind(listKind),
      sortIndex(-1),
      widths{w0[0], w0[1], w0[2]},
      saved(false),
      descending(false) {
  loadParams();
}

// The records belong to the global lists.
ilistView::~ilistView() {}

void ilistView::initColumn() {
  SendMessageA(hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  insertColumn(0, "名前", widths[0], LVCFMT_LEFT);
  insertColumn(1, kind == 'a' ? "コマンド" : "拡張子", widths[1], LVCFMT_LEFT);
  insertColumn(2, "備考", widths[2], LVCFMT_LEFT);
}

int ilistView::append(xItem* item) {
  if (!item) return -1;
  int row = count();
  if (!insertItem(row, item->name.c_str(), item)) return -1;
  setItem(row, item->detail.c_str(), 1, nullptr);
  setItem(row, item->memo.c_str(), 2, nullptr);
  return row;
}

bool ilistView::changeSort(int column) {
  descending = column == sortIndex ? !descending : false;
  sortIndex = column;
  return SendMessageA(hWnd, LVM_SORTITEMS, (WPARAM)this, (LPARAM)koListView::ListViewCompareFunc) != 0;
}

int ilistView::sortItem(void* first, void* second) {
  const xItem* a = (const xItem*)first;
  const xItem* b = (const xItem*)second;
  if (!a || !b) return 0;
  int r;
  switch (sortIndex) {
    case 0: r = strcmp(a->name.c_str(), b->name.c_str()); break;
    case 1: r = strcmp(a->detail.c_str(), b->detail.c_str()); break;
    case 2: r = strcmp(a->memo.c_str(), b->memo.c_str()); break;
    default: return 0;
  }
  // Reduced to its sign, so negating it cannot overflow.
  r = r < 0 ? -1 : r > 0 ? 1 : 0;
  return descending ? -r : r;
}

void ilistView::setView(int row) {
  if (count() <= 2) return;
  int top = (int)SendMessageA(hWnd, LVM_GETTOPINDEX, 0, 0);
  RECT client{0, 0, 0, 0};
  GetClientRect(hWnd, &client);
  RECT r0{LVIR_BOUNDS, 0, 0, 0}, r1{LVIR_BOUNDS, 0, 0, 0};
  if (!SendMessageA(hWnd, LVM_GETITEMRECT, 0, (LPARAM)&r0)) return;
  if (!SendMessageA(hWnd, LVM_GETITEMRECT, 1, (LPARAM)&r1)) return;
  int pitch = r1.top - r0.top;
  // No row height known (a hidden or collapsed control): nothing to scroll by.
  if (pitch <= 0) return;
  if (row < top) {
    SendMessageA(hWnd, LVM_SCROLL, 0, (LPARAM)((row - top) * pitch));
    return;
  }
  RECT rt{LVIR_BOUNDS, 0, 0, 0};
  if (!SendMessageA(hWnd, LVM_GETITEMRECT, (WPARAM)top, (LPARAM)&rt)) return;
  int visible = (client.bottom - rt.top) / pitch;
  if (row - top >= visible)
    SendMessageA(hWnd, LVM_SCROLL, 0, (LPARAM)((row - top - visible + 1) * pitch));
}

void ilistView::loadParams() {
  if (!db) return;
  char key[100];
  snprintf(key, sizeof key, "SortIndex_%c", kind);
  sortIndex = db->getIntIx(key, 0, 0);
  for (int c = 0; c < 3; c++) {
    snprintf(key, sizeof key, "columnWidth_%c%d", kind, c);
    // The first widths follow the screen; stored ones are the user's.
    int first = koScaleToScreen(w0[c]);
    int w = db->getIntIx(key, 0, first);
    // A width the control could not report was stored as -1.
    widths[c] = w < 0 ? first : w;
  }
}

void ilistView::saveParams() {
  if (saved || !db) return;
  char key[100];
  db->begin();
  for (int c = 0; c < 3; c++) {
    int w = columnWidth(c);
    widths[c] = w;
    snprintf(key, sizeof key, "columnWidth_%c%d", kind, c);
    db->putBlobIx(key, 0, &w, 4);
  }
  db->commit();
  saved = true;
}

xItem* ilistView::getItem(int row) { return (xItem*)getParam(row); }

int ilistView::selected() {
  return (int)SendMessageA(hWnd, LVM_GETNEXTITEM, (WPARAM)-1, MAKELPARAM(LVNI_SELECTED, 0));
}

void ilistView::select(int row) { setState(row, LVIS_FOCUSED | LVIS_SELECTED, 0x3F); }

int ilistView::findItem(xItem* item) {
  if (!item) return -1;
  LVFINDINFOA info;
  ZeroMemory(&info, sizeof info);
  info.flags = LVFI_PARAM;
  info.lParam = (LPARAM)item;
  return (int)SendMessageA(hWnd, LVM_FINDITEMA, (WPARAM)-1, (LPARAM)&info);
}

void ilistView::updateItem(int row) {
  xItem* item = getItem(row);
  if (!item) return;
  setItem(row, item->name.c_str(), 0, nullptr);
  setItem(row, item->detail.c_str(), 1, nullptr);
  setItem(row, item->memo.c_str(), 2, nullptr);
}

ilistDialog::ilistDialog(koWin* parentObject, const char* name, char listKind)
    : koDialogModal(parentObject, "koDialog", -999, name, nullptr, 2), kind(listKind) {}

void ilistDialog::onStart() {
  moveCenter();
  nameLabel = new koLabel(this, "Static", IDC_LIST_NAME);
  detailLabel = new koLabel(this, "Static", IDC_LIST_DETAIL);
  list = new ilistView(this, IDC_LIST_RECORDS, kind);
  list->initColumn();
  updButton = new koPushButton(this, "Button", IDC_LIST_UPDATE);
  delButton = new koPushButton(this, "Button", IDC_LIST_DELETE);
  fill();
  selection = -1;
  setEnable();
}

bool ilistDialog::queryClose() {
  list->saveParams();
  return true;
}

void ilistDialog::setEnable() {
  updButton->enable(selection >= 0);
  delButton->enable(selection >= 0);
}

xItem* ilistDialog::current() {
  selection = list->selected();
  return selection >= 0 ? list->getItem(selection) : nullptr;
}

void ilistDialog::showLabels() {
  xItem* item = current();
  nameLabel->setText(item ? item->name.c_str() : "");
  detailLabel->setText(item ? item->detail.c_str() : "");
}

bool ilistDialog::notified(NMHDR* header, LRESULT&) {
  if (!header || header->idFrom != IDC_LIST_RECORDS) return false;
  if (header->code == LVN_COLUMNCLICK) {
    list->changeSort(((NMLISTVIEW*)header)->iSubItem);
    return true;
  }
  if (header->code == LVN_ITEMCHANGED) {
    showLabels();
    setEnable();
    return true;
  }
  return false;
}

void ilistDialog::addRow(xItem* record) {
  int row = list->append(record);
  if (row < 0) return;
  list->select(row);
  list->setView(row);
  SetFocus(list->hWnd);
  showLabels();
  setEnable();
}

void ilistDialog::updRow(xItem* record) {
  // The row is found by its record: sorting may have moved it.
  int row = list->findItem(record);
  if (row >= 0) list->updateItem(row);
  SetFocus(list->hWnd);
  showLabels();
}

void ilistDialog::delRow(xItem* record) {
  int row = list->findItem(record);
  if (row >= 0) list->delItem(row);
  selection = -1;
  nameLabel->setText("");
  detailLabel->setText("");
  setEnable();
}
