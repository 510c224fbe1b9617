// The record list view in a real dialog under Wine: rows, selection, sorting
// by Shift-JIS bytes, widths stored once per kind, scrolling a row in.
#include "ko_test.h"
#include <commctrl.h>
#include <stdint.h>
#include <memory>
#include "dbsub.h"
#include "ilistv.h"
#include "resource.h"

namespace {
using Strings = std::vector<std::string>;
using Ints = std::vector<int>;
class ListDialog : public koDialogModal {  // header clicks turned into sorting
 public:
  char kind;
  ilistView* lv = nullptr;
  ListDialog(koWin* parent, char listKind) : koDialogModal(parent, "koDialog", -999, "LISTDIALOG"), kind(listKind) {}
  void onStart() override { lv = new ilistView(this, IDC_LIST_RECORDS, kind), lv->initColumn(); }
  bool notified(NMHDR* header, LRESULT& result) override {
    if (header->idFrom != IDC_LIST_RECORDS || header->code != LVN_COLUMNCLICK) return koDialogModal::notified(header, result);
    lv->changeSort(((NMLISTVIEW*)header)->iSubItem);
    return true;
  }
};
void Header(ListDialog& d, int column) {
  NMLISTVIEW nm{};
  nm.hdr = {d.lv->hWnd, IDC_LIST_RECORDS, (UINT)LVN_COLUMNCLICK};
  nm.iItem = -1, nm.iSubItem = column;
  SendMessageA(d.hWnd, WM_NOTIFY, IDC_LIST_RECORDS, (LPARAM)&nm);
}
Strings Column(koListView* lv, int column) {
  Strings out;
  char buffer[300];
  for (int i = 0; i < lv->count(); i++) lv->getItem(i, buffer, column, sizeof buffer), out.push_back(buffer);
  return out;
}
std::string Title(koListView* lv, int column) {
  char buffer[100] = "";
  LVCOLUMNA c{};
  c.mask = LVCF_TEXT, c.pszText = buffer, c.cchTextMax = sizeof buffer;
  SendMessageA(lv->hWnd, LVM_GETCOLUMNA, (WPARAM)column, (LPARAM)&c);
  return buffer;
}
int TopRow(koListView* lv) { return (int)SendMessageA(lv->hWnd, LVM_GETTOPINDEX, 0, 0); }
int Stored(const char* key) { return db->getIntIx(key, 0, -12345); }
void Store(const char* key, int value) { db->putBlobIx(key, 0, &value, 4); }
class ListViewTest : public RunmateTest {
 protected:
  // One list dialog of that kind with body run inside; the view dies with it.
  void Run(char kind, const std::function<void(ListDialog&, ilistView*)>& body, bool hold = false) {
    ListDialog* d = new ListDialog(frame, kind);
    HWND w = nullptr;
    Script t;
    t.opened("一覧のテスト", w);
    t.act([&] { body(*d, d->lv); });
    if (hold) t.hold();
    EXPECT_TRUE(t.run([&] { d->run(); }));
    Pump();
  }
  appItem* record(const std::string& name, const char* detail = "", const char* memo = "") {
    records.emplace_back(new appItem);
    records.back()->name = name, records.back()->detail = detail, records.back()->memo = memo;
    return records.back().get();
  }
  std::vector<std::unique_ptr<appItem>> records;
};
class Probe : public koListView {  // notices what the dispatcher calls
 public:
  int clicked = -1, changing = 0, allGone = 0;
  Probe() : koListView(nullptr, "SysListView32", 1) {}
  void columnClick(int column) override { clicked = column; }
  bool queryItemChange(NMLISTVIEW&) override { return ++changing > 0; }
  void deletedAll() override { allGone++; }
};
}  // namespace

TEST(ListViewAlone, DefaultOrderAndNotificationTable) {
  Probe p;
  void *low = (void*)(uintptr_t)0x10, *high = (void*)(uintptr_t)0x80000010u;  // their difference does not fit an int
  EXPECT_TRUE(p.koListView::sortItem(low, high) < 0 && p.koListView::sortItem(high, low) > 0);
  EXPECT_EQ(p.koListView::sortItem(low, low), 0);
  EXPECT_EQ(koListView::ListViewCompareFunc((LPARAM)high, (LPARAM)low, (LPARAM)&p), 1);
  const struct { UINT code; bool handled; LRESULT result; } rows[] = {  // 55: left alone
      {LVN_COLUMNCLICK, true, 55}, {LVN_ITEMCHANGING, true, 1}, {LVN_DELETEALLITEMS, true, 55}, {LVN_BEGINLABELEDITW, true, 0}, {LVN_BEGINLABELEDITA, false, 55},
      {(UINT)-107, false, 55}, {(UINT)-109, false, 55}, {(UINT)-110, false, 55}, {(UINT)-111, false, 55}, {(UINT)-1, false, 55}};
  for (auto& r : rows) {
    SCOPED_TRACE(r.code);
    union { NMHDR hdr; NMLISTVIEW lv; NMLVDISPINFOW info; } nm{};
    nm.lv.iSubItem = 2, nm.hdr.code = r.code;
    LRESULT result = 55;
    EXPECT_EQ(p.notified(&nm.hdr, result), r.handled);
    EXPECT_EQ(result, r.result);
  }
  EXPECT_EQ(p.clicked * 10 + p.allGone, 21);
  EXPECT_FALSE(p.insertColumn(0, "x", 50) || p.ncolumn) << "no control: nothing is counted";
}

TEST_F(ListViewTest, RowsColumnsSelectionSortingAndScrolling) {
  Run('a', [&](ListDialog& d, ilistView* lv) {
    ASSERT_EQ(lv->hWnd, GetDlgItem(d.hWnd, IDC_LIST_RECORDS));
    EXPECT_EQ(Title(lv, 0) + Title(lv, 1) + Title(lv, 2), "名前コマンド備考");
    EXPECT_FALSE(lv->insertColumn(-1, "x", 10)) << "a column the control refuses is not counted";
    EXPECT_EQ((Ints{lv->ncolumn, lv->columnWidth(7), lv->selectAll(false)}), (Ints{3, -1, 0}));
    EXPECT_TRUE(!lv->getParam(-1) && !lv->getParam(0) && !lv->dragImage(-1, 3, 4));
    appItem *a = record("甲", "a.exe", "一"), *b = record("乙", "b.exe", "二");
    EXPECT_EQ((Ints{lv->append(a), lv->append(b)}), (Ints{0, 1}));
    // Past the end appends; neither text nor record still makes a row.
    EXPECT_TRUE(lv->insertItem(99, "丙", nullptr) && lv->insertItem(99, nullptr, nullptr) && lv->nitem == 4);
    EXPECT_EQ(Column(lv, 0), (Strings{"甲", "乙", "丙", ""}));
    EXPECT_EQ(Column(lv, 1), (Strings{"a.exe", "b.exe", "", ""}));
    EXPECT_TRUE(lv->getItem(1) == b && !lv->getItem(4));
    EXPECT_EQ((Ints{lv->findItem(b), lv->find("丙"), lv->find("丁"), lv->selected()}), (Ints{1, 2, -1, -1}));
    lv->select(1);
    EXPECT_EQ((Ints{lv->selected(), lv->getItemState(1, 3)}), (Ints{1, 3}));
    EXPECT_NE(lv->dragImage(-1, 0, 0), nullptr);
    LONG_PTR style = GetWindowLongPtrA(lv->hWnd, GWL_STYLE);  // several selected rows need a list that allows them
    SetWindowLongPtrA(lv->hWnd, GWL_STYLE, style & ~LVS_SINGLESEL);
    EXPECT_EQ(lv->selectReverse(), 4);
    EXPECT_EQ((Ints{lv->getItemState(0, 2), lv->getItemState(1, 2), lv->getItemState(3, 2)}), (Ints{2, 0, 2}));
    SetWindowLongPtrA(lv->hWnd, GWL_STYLE, style);
    EXPECT_EQ((Ints{lv->selectAll(false), lv->selected()}), (Ints{4, -1}));
    b->memo = "改め", lv->updateItem(1);
    EXPECT_EQ(Column(lv, 2)[1], "改め");
    EXPECT_EQ((Ints{lv->delItem(0), lv->delItem(9), lv->nitem}), (Ints{1, 0, 3}));
    EXPECT_EQ(lv->getItem(0), b);
    lv->erase();
    EXPECT_EQ(lv->nitem + lv->count(), 0);
    for (auto* r : {record("b", "x2", "2"), record("a", "x3", "3"), record("c", "x1", "1"), record("B", "x0", "0")}) lv->append(r);
    // Column 0 counts as sorted already: the first click reverses it.
    const struct { int column; Strings shown; } clicks[] = {{0, {"c", "b", "a", "B"}}, {0, {"B", "a", "b", "c"}},
        {2, {"0", "1", "2", "3"}}, {2, {"3", "2", "1", "0"}}, {0, {"B", "a", "b", "c"}}};
    for (auto& c : clicks) {
      Header(d, c.column);
      EXPECT_EQ(Column(lv, c.column), c.shown);
    }
    // A real click on the header of the note column reaches the dialog.
    HWND header = (HWND)SendMessageA(lv->hWnd, LVM_GETHEADER, 0, 0);
    RECT r{0, 0, 0, 0};
    ASSERT_TRUE(SendMessageA(header, HDM_GETITEMRECT, 2, (LPARAM)&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at), SendMessageA(header, WM_LBUTTONUP, 0, at), Pump();
    EXPECT_EQ(Column(lv, 2), (Strings{"0", "1", "2", "3"}));
    lv->setView(1);
    EXPECT_EQ(TopRow(lv), 0);
    for (int i = 4; i < 50; i++) lv->append(record(std::to_string(i)));
    int page = (int)SendMessageA(lv->hWnd, LVM_GETCOUNTPERPAGE, 0, 0), row = lv->append(record("末尾"));
    ASSERT_TRUE(page > 3 && page < 40) << page;
    lv->setView(row);
    EXPECT_EQ(TopRow(lv) + page - 1, row);
    lv->setView(3);
    int top = TopRow(lv);
    lv->setView(5);  // visible already
    EXPECT_EQ(top * 10 + TopRow(lv), 33);
    // Icons side by side: rows 0 and 1 share a top, no pitch to scroll by.
    SetWindowLongPtrA(lv->hWnd, GWL_STYLE, (GetWindowLongPtrA(lv->hWnd, GWL_STYLE) & ~LVS_TYPEMASK) | LVS_ICON);
    RECT r0{LVIR_BOUNDS, 0, 0, 0}, r1{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(lv->hWnd, LVM_GETITEMRECT, 0, (LPARAM)&r0), SendMessageA(lv->hWnd, LVM_GETITEMRECT, 1, (LPARAM)&r1);
    EXPECT_EQ(r0.top, r1.top);
    int before = GetScrollPos(lv->hWnd, SB_VERT);
    lv->setView(row);
    EXPECT_EQ(GetScrollPos(lv->hWnd, SB_VERT), before);
  });
}

// KO_SHOT_SECONDS keeps the list on screen for a person to look at.
TEST_F(ListViewTest, ShiftJisTextsSortByBytes) {
  Run('e', [&](ListDialog& d, ilistView* lv) {
    EXPECT_EQ(Title(lv, 1), "拡張子");
    // Shift-JIS: hiragana 0x82.., katakana 0x83.., kanji 0x88.. and up.
    for (auto* r : {record("漢字", "txt", "メモ帳で開く"), record("カナ", "doc"), record("かな", "c;h", "表示と編集"),
                    record("abc", "zip"), record("_Folder", "", "フォルダー用")}) lv->append(r);
    Header(d, 1);
    EXPECT_EQ(Column(lv, 1), (Strings{"", "c;h", "doc", "txt", "zip"}));
    Header(d, 0);
    EXPECT_EQ(Column(lv, 0), (Strings{"_Folder", "abc", "かな", "カナ", "漢字"}));
    lv->sortIndex = 5;  // out of range: every pair equal
    EXPECT_EQ(lv->sortItem(lv->getItem(0), lv->getItem(3)), 0);
    lv->select(1), SetFocus(lv->hWnd);
  }, true);
}

// The stored sort column is followed in the application list's tests.
TEST_F(ListViewTest, WidthsStoredOncePerKindAndReadBack) {
  Run('a', [&](ListDialog&, ilistView* lv) {
    SendMessageA(lv->hWnd, LVM_SETCOLUMNWIDTH, 0, 81), SendMessageA(lv->hWnd, LVM_SETCOLUMNWIDTH, 2, 150);
    lv->saveParams();
    SendMessageA(lv->hWnd, LVM_SETCOLUMNWIDTH, 0, 33), lv->saveParams();  // once in a life
  });
  EXPECT_EQ((Ints{Stored("columnWidth_a0"), Stored("columnWidth_a1"), Stored("columnWidth_a2"), Stored("columnWidth_e0")}),
            (Ints{81, 100, 150, -12345}));
  Store("SortIndex_a", 1), Store("columnWidth_e1", -1);  // a width the control could not give: the default
  Run('e', [&](ListDialog&, ilistView* lv) {
    EXPECT_EQ((Ints{lv->sortIndex, lv->columnWidth(0), lv->columnWidth(1), lv->columnWidth(2)}), (Ints{0, 60, 100, 200}));
  });
  Run('a', [&](ListDialog&, ilistView* lv) { EXPECT_EQ((Ints{lv->columnWidth(0), lv->columnWidth(2)}), (Ints{81, 150})); });
}

// Many rows go in with drawing off: each row keeps its record through sorting, empty cells read
// empty, and drawing comes back (the scroll range follows the rows) once the fill ends.
TEST_F(ListViewTest, FilledWithDrawingOffRowsKeepTheirRecordsAndScroll) {
  const int n = 300;
  Run('e', [&](ListDialog& d, ilistView* lv) {
    lv->append(record("既存", "old"));
    {
      koListView::Filling filling(lv, n);
      for (int i = n; i > 0; i--) {
        std::string k = std::to_string(1000 + i);
        lv->append(record("グループ" + k, ("x" + k).c_str(), i % 3 ? "" : ("メモ" + k).c_str()));
      }
    }
    SCROLLINFO si{};
    si.cbSize = sizeof si, si.fMask = SIF_RANGE;
    ASSERT_TRUE(GetScrollInfo(lv->hWnd, SB_VERT, &si));
    EXPECT_EQ((Ints{lv->count(), lv->nitem, si.nMax + 1}), (Ints{n + 1, n + 1, n + 1}));
    // Equal memos come in no set order: that click checks the pairs only.
    const struct { int column; const char* first; } clicks[] = {
        {-1, "既存"}, {1, "既存"}, {0, "グループ1001"}, {0, "既存"}, {2, nullptr}, {2, "グループ1300"}};
    for (auto& c : clicks) {
      SCOPED_TRACE(c.column);
      if (c.column >= 0) Header(d, c.column);
      Strings names = Column(lv, 0), details = Column(lv, 1), memos = Column(lv, 2);
      if (c.first) {
        EXPECT_EQ(names[0], c.first);
      }
      for (int i = 0; i <= n; i++) {
        xItem* r = lv->getItem(i);
        ASSERT_TRUE(r && r->name == names[i] && r->detail == details[i] && r->memo == memos[i]) << "row " << i;
      }
    }
    Header(d, 0), lv->select(0), SetFocus(lv->hWnd);
    RedrawWindow(d.hWnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SaveShot(d.hWnd, "filledlist");
  });
}
