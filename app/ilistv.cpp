#include "ilistv.h"
#include <stdio.h>
#include <string.h>
#include <string>
#include "dbsub.h"
#include "koGdi.h"
#include "koLazy.h"
#include "koUtl1.h"
#include "resource.h"

ilistView::ilistView(koWin* parentObject, int controlId, char listKind)
    : koListView(parentObject, "SysListView32", controlId, 0x10001),
      kind(listKind),
      sortIndex(0),
      descending(false),
      widths{w0[0], w0[1], w0[2]},
      stored{false, false, false},
      saved(false) {
  loadParams();
}

// The records belong to the global lists.
ilistView::~ilistView() {}

void ilistView::initColumn() {
  SendMessageW(hWnd, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
  // Rows from the font's full height and a margin: the control's own row
  // cut the descent, so "_Folder" showed as " Folder". An image list of
  // one pixel's width and that height is how a list view is told.
  HDC dc = GetDC(hWnd);
  if (dc) {
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageW(hWnd, WM_GETFONT, 0, 0));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, old);
    ReleaseDC(hWnd, dc);
    auto create = KO_LAZY("comctl32.dll", ImageList_Create);
    if (HIMAGELIST rows = create ? create(1, metrics.tmHeight + metrics.tmHeight / 4 + 2, ILC_COLOR, 1, 0) : nullptr)
      SendMessageW(hWnd, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)rows);
  }
  insertColumn(0, "名前", widths[0], LVCFMT_LEFT);
  insertColumn(1, kind == 'a' ? "コマンド" : "拡張子", widths[1], LVCFMT_LEFT);
  insertColumn(2, "備考", widths[2], LVCFMT_LEFT);
}

int ilistView::append(xItem* item) {
  if (!item) return -1;
  int row = appendItem(item->name.c_str(), item);
  if (row < 0) return -1;
  // A new row's other cells read "" until set: an empty one costs nothing.
  if (!item->detail.empty()) setItem(row, item->detail.c_str(), 1, nullptr);
  if (!item->memo.empty()) setItem(row, item->memo.c_str(), 2, nullptr);
  return row;
}

bool ilistView::changeSort(int column) {
  descending = column == sortIndex ? !descending : false;
  sortIndex = column;
  return applySort();
}

bool ilistView::applySort() {
  markSortColumn();
  if (sortIndex < 0 || sortIndex > 2) return false;
  return SendMessageW(hWnd, LVM_SORTITEMS, (WPARAM)this, (LPARAM)koListView::ListViewCompareFunc) != 0;
}

void ilistView::markSortColumn() {
  HWND header = (HWND)SendMessageW(hWnd, LVM_GETHEADER, 0, 0);
  if (!header) return;
  for (int c = 0; c < 3; c++) {
    HDITEMW item{};
    item.mask = HDI_FORMAT;
    if (!SendMessageW(header, HDM_GETITEMW, c, (LPARAM)&item)) continue;
    item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (c == sortIndex) item.fmt |= descending ? HDF_SORTDOWN : HDF_SORTUP;
    SendMessageW(header, HDM_SETITEMW, c, (LPARAM)&item);
  }
}

void ilistView::fitColumns() {
  RECT client{0, 0, 0, 0};
  GetClientRect(hWnd, &client);
  // Room for a vertical scroll bar, so that a longer list needs no
  // horizontal one.
  int room = client.right - GetSystemMetrics(SM_CXVSCROLL);
  HDC dc = GetDC(hWnd);
  if (!dc || room <= 0) {
    if (dc) ReleaseDC(hWnd, dc);
    return;
  }
  HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageW(hWnd, WM_GETFONT, 0, 0));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  auto widthOf = [dc](const std::string& text) {
    SIZE size{0, 0};
    std::wstring wide = koWideOf(text);
    GetTextExtentPoint32W(dc, wide.c_str(), (int)wide.size(), &size);
    return (int)size.cx;
  };
  // Margins in the font's height, so that they grow with the font and DPI;
  // the header also holds the sort arrow.
  const int cellPad = metrics.tmHeight, headerPad = 2 * metrics.tmHeight;
  int need[3], header[3];
  for (int c = 0; c < 3; c++) {
    wchar_t title[64] = L"";
    LVCOLUMNW column{};
    column.mask = LVCF_TEXT, column.pszText = title, column.cchTextMax = 64;
    SendMessageW(hWnd, LVM_GETCOLUMNW, c, (LPARAM)&column);
    need[c] = header[c] = widthOf(koSjisOf(title)) + headerPad;
  }
  // The first rows in their shown order tell enough; ten thousand measured
  // would slow the opening down.
  for (int row = 0, n = count() < 500 ? count() : 500; row < n; row++) {
    xItem* item = getItem(row);
    if (!item) continue;
    const std::string* texts[3] = {&item->name, &item->detail, &item->memo};
    for (int c = 0; c < 3; c++) {
      int w = widthOf(*texts[c]) + cellPad;
      if (w > need[c]) need[c] = w;
    }
  }
  SelectObject(dc, old);
  ReleaseDC(hWnd, dc);
  // Most of the list one column may take, in percent; the last takes the
  // rest, and more only for its header: a long memo is cut, not scrolled to.
  static const int share[2] = {35, 55};
  int used = 0;
  for (int c = 0; c < 3; c++) {
    int w = columnWidth(c);
    if (!stored[c]) {
      if (c < 2) {
        w = need[c] < room * share[c] / 100 ? need[c] : room * share[c] / 100;
      } else {
        w = room - used > header[c] ? room - used : header[c];
      }
      SendMessageW(hWnd, LVM_SETCOLUMNWIDTH, c, MAKELPARAM(w, 0));
      widths[c] = w;
    }
    used += w;
  }
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
  int top = (int)SendMessageW(hWnd, LVM_GETTOPINDEX, 0, 0);
  RECT client{0, 0, 0, 0};
  GetClientRect(hWnd, &client);
  RECT r0{LVIR_BOUNDS, 0, 0, 0}, r1{LVIR_BOUNDS, 0, 0, 0};
  if (!SendMessageW(hWnd, LVM_GETITEMRECT, 0, (LPARAM)&r0)) return;
  if (!SendMessageW(hWnd, LVM_GETITEMRECT, 1, (LPARAM)&r1)) return;
  int pitch = r1.top - r0.top;
  // No row height known (a hidden or collapsed control): nothing to scroll by.
  if (pitch <= 0) return;
  if (row < top) {
    SendMessageW(hWnd, LVM_SCROLL, 0, (LPARAM)((row - top) * pitch));
    return;
  }
  RECT rt{LVIR_BOUNDS, 0, 0, 0};
  if (!SendMessageW(hWnd, LVM_GETITEMRECT, (WPARAM)top, (LPARAM)&rt)) return;
  int visible = (client.bottom - rt.top) / pitch;
  if (row - top >= visible)
    SendMessageW(hWnd, LVM_SCROLL, 0, (LPARAM)((row - top - visible + 1) * pitch));
}

int ilistView::toDialogUnits(int pixels) {
  RECT unit{0, 0, 4, 0};
  MapDialogRect(GetParent(hWnd), &unit);
  return unit.right > 0 ? MulDiv(pixels, 4, unit.right) : pixels;
}

int ilistView::toPixels(int dialogUnits) {
  RECT r{0, 0, dialogUnits, 0};
  return MapDialogRect(GetParent(hWnd), &r) ? r.right : dialogUnits;
}

// Per kind: SortIndex_k holds the column (0) and whether it is descending
// (1); columnWidth_kN the width in pixels (0), as older versions read it,
// and in dialog units (1), which survive a new font size or DPI.
void ilistView::loadParams() {
  if (!db) return;
  char key[100];
  snprintf(key, sizeof key, "SortIndex_%c", kind);
  sortIndex = db->getIntIx(key, 0, 0);
  if (sortIndex < 0 || sortIndex > 2) sortIndex = 0;
  descending = db->getIntIx(key, 1, 0) != 0;
  for (int c = 0; c < 3; c++) {
    snprintf(key, sizeof key, "columnWidth_%c%d", kind, c);
    int units = db->getIntIx(key, 1, -1);
    int w = units > 0 ? toPixels(units) : db->getIntIx(key, 0, -1);
    // A width the control could not report was stored as -1; 0 would hide
    // the column for good.
    stored[c] = w > 0;
    widths[c] = stored[c] ? w : koScaleToScreen(w0[c]);
  }
}

void ilistView::saveParams() {
  if (saved || !db) return;
  char key[100];
  koTransaction transaction(db);
  if (!transaction.begun()) return;
  snprintf(key, sizeof key, "SortIndex_%c", kind);
  int down = descending ? 1 : 0;
  bool ok = db->putBlobIx(key, 0, &sortIndex, 4) && db->putBlobIx(key, 1, &down, 4);
  for (int c = 0; c < 3; c++) {
    int w = columnWidth(c);
    widths[c] = w;
    int units = w > 0 ? toDialogUnits(w) : -1;
    snprintf(key, sizeof key, "columnWidth_%c%d", kind, c);
    ok = db->putBlobIx(key, 0, &w, 4) && db->putBlobIx(key, 1, &units, 4) && ok;
  }
  saved = ok && transaction.commit();
}

xItem* ilistView::getItem(int row) { return (xItem*)getParam(row); }

int ilistView::selected() {
  return (int)SendMessageW(hWnd, LVM_GETNEXTITEM, (WPARAM)-1, MAKELPARAM(LVNI_SELECTED, 0));
}

void ilistView::select(int row) { setState(row, LVIS_FOCUSED | LVIS_SELECTED, 0x3F); }

int ilistView::findItem(xItem* item) {
  if (!item) return -1;
  LVFINDINFOW info;
  ZeroMemory(&info, sizeof info);
  info.flags = LVFI_PARAM;
  info.lParam = (LPARAM)item;
  return (int)SendMessageW(hWnd, LVM_FINDITEMW, (WPARAM)-1, (LPARAM)&info);
}

void ilistView::updateItem(int row) {
  xItem* item = getItem(row);
  if (!item) return;
  setItem(row, item->name.c_str(), 0, nullptr);
  setItem(row, item->detail.c_str(), 1, nullptr);
  setItem(row, item->memo.c_str(), 2, nullptr);
}

ilistDialog::ilistDialog(koWin* parentObject, const char* name, char listKind, int insertCommand)
    : koDialogModal(parentObject, "koDialog", -999, name, nullptr, 2),
      kind(listKind),
      newCommand(insertCommand) {}

void ilistDialog::onStart() {
  moveCenter();
  nameLabel = new koLabel(this, "Static", IDC_LIST_NAME);
  detailLabel = new koLabel(this, "Static", IDC_LIST_DETAIL);
  list = new ilistView(this, IDC_LIST_RECORDS, kind);
  list->initColumn();
  updButton = new koPushButton(this, "Button", IDC_LIST_UPDATE);
  delButton = new koPushButton(this, "Button", IDC_LIST_DELETE);
  fill();
  list->applySort();
  list->fitColumns();
  selection = -1;
  showLabels();
  setEnable();
}

bool ilistDialog::queryClose() {
  list->saveParams();
  return true;
}

void ilistDialog::setEnable() {
  updButton->enable(selection >= 0 && writable());
  delButton->enable(selection >= 0 && writable());
  EnableWindow(GetDlgItem(hWnd, newCommand), writable());
}

xItem* ilistDialog::current() {
  selection = list->selected();
  return selection >= 0 ? list->getItem(selection) : nullptr;
}

// With no row chosen the band tells how many there are and what the keys do.
void ilistDialog::showLabels() {
  if (!writable()) {
    // Said first, above the list; the second line tells the chosen row.
    nameLabel->setText(("読み取り専用です。" + dbReadOnly).c_str());
    xItem* item = current();
    std::string count = std::string(kind == 'a' ? "アプリケーション " : "拡張子グループ ") +
                        std::to_string(list->count()) + " 件";
    detailLabel->setText(item ? (item->name + "  " + item->detail).c_str() : count.c_str());
    return;
  }
  if (xItem* item = current()) {
    nameLabel->setText(item->name.c_str());
    // The folder group has no extensions, an empty form no command: said, not blank.
    const char* none = kind == 'a' ? "(コマンドなし)" : "(拡張子なし)";
    detailLabel->setText(item->detail.empty() ? none : item->detail.c_str());
    return;
  }
  std::string count = std::string(kind == 'a' ? "アプリケーション " : "拡張子グループ ") +
                      std::to_string(list->count()) + " 件";
  nameLabel->setText(count.c_str());
  detailLabel->setText("行を選んで Enter で更新、Insert で新規、Delete で削除");
}

bool ilistDialog::command(int id, int code) {
  if (id == IDOK) {
    if (GetFocus() == list->hWnd && current() && writable()) command(IDC_LIST_UPDATE, BN_CLICKED);
    return true;
  }
  return koDialogModal::command(id, code);
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
  // Posted: the editor or question opens after the notification returns.
  int id = 0;
  if (header->code == NM_DBLCLK && ((NMITEMACTIVATE*)header)->iItem >= 0) id = IDC_LIST_UPDATE;
  if (header->code == LVN_KEYDOWN) {
    WORD key = ((NMLVKEYDOWN*)header)->wVKey;
    if (key == VK_DELETE) id = IDC_LIST_DELETE;
    if (key == VK_INSERT) id = newCommand;
  }
  if (id && writable()) PostMessageW(hWnd, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0);
  return id != 0;
}

void ilistDialog::addRow(xItem* record) {
  if (list->append(record) < 0) return;
  // In its sorted place, as a reopened list would show it.
  list->applySort();
  int row = list->findItem(record);
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
  list->applySort();
  list->setView(list->findItem(record));
  SetFocus(list->hWnd);
  showLabels();
}

void ilistDialog::delRow(xItem* record) {
  int row = list->findItem(record);
  if (row >= 0) list->delItem(row);
  selection = -1;
  showLabels();
  setEnable();
}
