// The record list view in a real dialog under Wine: rows, columns,
// selection, sorting by header clicks (bytes of Shift-JIS), column widths
// stored once per kind, scrolling a row in.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <stdint.h>
#include <memory>
#include <string>
#include <vector>
#include "dbsub.h"
#include "ilistv.h"
#include "koDlg1.h"
#include "ko_script.h"
#include "ko_test.h"
#include "resource.h"

namespace {
using Strings = std::vector<std::string>;

// A list dialog's view and its header clicks turned into sorting.
class ListDialog : public koDialogModal {
 public:
  char kind;
  ilistView* lv = nullptr;
  ListDialog(koWin* parent, char listKind)
      : koDialogModal(parent, "koDialog", -999, "LISTDIALOG"), kind(listKind) {}
  void onStart() override {
    lv = new ilistView(this, IDC_LIST_RECORDS, kind);
    lv->initColumn();
  }
  bool notified(NMHDR* header, LRESULT& result) override {
    if (header->idFrom != IDC_LIST_RECORDS || header->code != LVN_COLUMNCLICK)
      return koDialogModal::notified(header, result);
    lv->changeSort(((NMLISTVIEW*)header)->iSubItem);
    return true;
  }
};

void Header(ListDialog& d, int column) {
  NMLISTVIEW nm{};
  nm.hdr.hwndFrom = d.lv->hWnd;
  nm.hdr.idFrom = IDC_LIST_RECORDS;
  nm.hdr.code = LVN_COLUMNCLICK;
  nm.iItem = -1;
  nm.iSubItem = column;
  SendMessageA(d.hWnd, WM_NOTIFY, IDC_LIST_RECORDS, (LPARAM)&nm);
}

Strings Column(koListView* lv, int column) {
  Strings out;
  char buffer[300];
  for (int i = 0; i < lv->count(); i++) {
    lv->getItem(i, buffer, column, sizeof buffer);
    out.push_back(buffer);
  }
  return out;
}

std::string Title(koListView* lv, int column) {
  char buffer[100] = "";
  LVCOLUMNA c{};
  c.mask = LVCF_TEXT;
  c.pszText = buffer;
  c.cchTextMax = sizeof buffer;
  SendMessageA(lv->hWnd, LVM_GETCOLUMNA, (WPARAM)column, (LPARAM)&c);
  return buffer;
}

int TopRow(koListView* lv) { return (int)SendMessageA(lv->hWnd, LVM_GETTOPINDEX, 0, 0); }
int Stored(const char* key) { return db->getIntIx(key, 0, -12345); }
void Store(const char* key, int value) { db->putBlobIx(key, 0, &value, 4); }

class ListViewTest : public RunmateTest {
 protected:
  // One list dialog of that kind with body run inside; the view dies with it.
  void Run(char kind, const std::function<void(ListDialog&)>& body, bool hold = false) {
    ListDialog* d = new ListDialog(frame, kind);
    HWND w = nullptr;
    Script t;
    t.opened("一覧のテスト", w);
    t.act([&] { body(*d); });
    if (hold) t.hold();
    EXPECT_TRUE(t.run([&] { d->run(); }));
    Pump();
  }
  appItem* record(const std::string& name, const char* detail = "", const char* memo = "") {
    records.emplace_back(new appItem);
    appItem* r = records.back().get();
    r->name = name;
    r->detail = detail;
    r->memo = memo;
    return r;
  }
  std::vector<std::unique_ptr<appItem>> records;
};

// Notices what the dispatcher calls.
class Probe : public koListView {
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
  // Addresses half the range apart: their difference does not fit an int.
  void* low = (void*)(uintptr_t)0x10;
  void* high = (void*)(uintptr_t)0x80000010u;
  EXPECT_LT(p.koListView::sortItem(low, high), 0);
  EXPECT_GT(p.koListView::sortItem(high, low), 0);
  EXPECT_EQ(p.koListView::sortItem(low, low), 0);
  EXPECT_EQ(koListView::ListViewCompareFunc((LPARAM)high, (LPARAM)low, (LPARAM)&p), 1);

  struct Row {
    UINT code;
    bool handled;
    LRESULT result;  // 55 when left alone
  };
  const Row rows[] = {{LVN_COLUMNCLICK, true, 55}, {LVN_ITEMCHANGING, true, 1}, {LVN_DELETEALLITEMS, true, 55},
                      {LVN_BEGINLABELEDITA, true, 0}, {(UINT)-107, false, 55},
                      {(UINT)-109, false, 55}, {(UINT)-110, false, 55}, {(UINT)-111, false, 55}, {(UINT)-1, false, 55}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.code);
    union {
      NMHDR hdr;
      NMLISTVIEW lv;
      NMLVDISPINFOA info;
    } nm{};
    nm.lv.iSubItem = 2;
    nm.hdr.code = r.code;
    LRESULT result = 55;
    EXPECT_EQ(p.notified(&nm.hdr, result), r.handled);
    EXPECT_EQ(result, r.result);
  }
  EXPECT_EQ(p.clicked, 2);
  EXPECT_EQ(p.allGone, 1);
  // No control: nothing is counted.
  EXPECT_FALSE(p.insertColumn(0, "x", 50));
  EXPECT_EQ(p.ncolumn, 0);
}

TEST_F(ListViewTest, RowsColumnsAndSelection) {
  Run('a', [&](ListDialog& d) {
    ilistView* lv = d.lv;
    ASSERT_EQ(lv->hWnd, GetDlgItem(d.hWnd, IDC_LIST_RECORDS));
    EXPECT_EQ(lv->ncolumn, 3);
    // A column the control refuses is not counted.
    EXPECT_FALSE(lv->insertColumn(-1, "x", 10));
    EXPECT_EQ(lv->ncolumn, 3);
    EXPECT_EQ(lv->columnWidth(7), -1);
    EXPECT_TRUE(lv->setColumn(2, "メモ"));
    EXPECT_EQ(Title(lv, 2), "メモ");
    EXPECT_EQ(lv->getParam(-1), nullptr);
    EXPECT_EQ(lv->getParam(0), nullptr);
    EXPECT_EQ(lv->selectAll(false), 0);
    EXPECT_EQ(lv->dragImage(-1, 3, 4), nullptr);

    appItem* a = record("甲", "a.exe", "一");
    appItem* b = record("乙", "b.exe", "二");
    EXPECT_EQ(lv->append(a), 0);
    EXPECT_EQ(lv->append(b), 1);
    // Past the end appends; neither text nor record still makes a row.
    EXPECT_TRUE(lv->insertItem(99, "丙", nullptr));
    EXPECT_TRUE(lv->insertItem(99, nullptr, nullptr));
    EXPECT_EQ(lv->nitem, 4);
    EXPECT_EQ(Column(lv, 0), (Strings{"甲", "乙", "丙", ""}));
    EXPECT_EQ(Column(lv, 1), (Strings{"a.exe", "b.exe", "", ""}));
    EXPECT_EQ(lv->getItem(1), b);
    EXPECT_EQ(lv->getItem(4), nullptr);
    EXPECT_EQ(lv->findItem(b), 1);
    EXPECT_EQ(lv->find("丙"), 2);
    EXPECT_EQ(lv->find("丁"), -1);

    EXPECT_EQ(lv->selected(), -1);
    lv->select(1);
    EXPECT_EQ(lv->selected(), 1);
    EXPECT_EQ(lv->getItemState(1, 3), 3);
    EXPECT_NE(lv->dragImage(-1, 0, 0), nullptr);
    // Several selected rows need a list that allows them.
    LONG_PTR style = GetWindowLongPtrA(lv->hWnd, GWL_STYLE);
    SetWindowLongPtrA(lv->hWnd, GWL_STYLE, style & ~LVS_SINGLESEL);
    EXPECT_EQ(lv->selectReverse(), 4);
    EXPECT_EQ(std::to_string(lv->getItemState(0, 2)) + std::to_string(lv->getItemState(1, 2)) +
                  std::to_string(lv->getItemState(3, 2)), "202");
    SetWindowLongPtrA(lv->hWnd, GWL_STYLE, style);
    EXPECT_EQ(lv->selectAll(false), 4);
    EXPECT_EQ(lv->selected(), -1);

    b->memo = "改め";
    lv->updateItem(1);
    EXPECT_EQ(Column(lv, 2)[1], "改め");
    EXPECT_TRUE(lv->delItem(0));
    EXPECT_FALSE(lv->delItem(9));
    EXPECT_EQ(lv->nitem, 3);
    EXPECT_EQ(lv->getItem(0), b);
    lv->erase();
    EXPECT_EQ(lv->nitem, 0);
    EXPECT_EQ(lv->count(), 0);
  });
}

TEST_F(ListViewTest, HeaderClicksSortAndReverse) {
  Run('a', [&](ListDialog& d) {
    ilistView* lv = d.lv;
    EXPECT_EQ(Title(lv, 0) + Title(lv, 1) + Title(lv, 2), "名前コマンド備考");
    lv->append(record("b", "x2", "2"));
    lv->append(record("a", "x3", "3"));
    lv->append(record("c", "x1", "1"));
    lv->append(record("B", "x0", "0"));
    struct Click {
      int column;
      Strings shown;
    };
    // Column 0 counts as sorted already: the first click reverses it.
    const Click clicks[] = {{0, {"c", "b", "a", "B"}}, {0, {"B", "a", "b", "c"}}, {2, {"0", "1", "2", "3"}},
                            {2, {"3", "2", "1", "0"}}, {0, {"B", "a", "b", "c"}}};
    for (const Click& c : clicks) {
      Header(d, c.column);
      EXPECT_EQ(Column(lv, c.column), c.shown);
    }
    // A real click on the header of the note column reaches the dialog.
    HWND header = (HWND)SendMessageA(lv->hWnd, LVM_GETHEADER, 0, 0);
    RECT r{0, 0, 0, 0};
    ASSERT_TRUE(SendMessageA(header, HDM_GETITEMRECT, 2, (LPARAM)&r));
    LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    SendMessageA(header, WM_LBUTTONDOWN, MK_LBUTTON, at);
    SendMessageA(header, WM_LBUTTONUP, 0, at);
    Pump();
    EXPECT_EQ(Column(lv, 2), (Strings{"0", "1", "2", "3"}));
    // Texts and records stay together.
    for (int i = 0; i < lv->count(); i++) EXPECT_EQ(lv->getItem(i)->name, Column(lv, 0)[i]);
  });
}

TEST_F(ListViewTest, ShiftJisTextsSortByBytes) {
  Run('e', [&](ListDialog& d) {
    ilistView* lv = d.lv;
    EXPECT_EQ(Title(lv, 1), "拡張子");
    // Shift-JIS: hiragana 0x82.., katakana 0x83.., kanji 0x88.. and up.
    lv->append(record("漢字", "txt"));
    lv->append(record("カナ", "doc"));
    lv->append(record("かな", "c;h"));
    lv->append(record("abc", "zip"));
    Header(d, 1);
    EXPECT_EQ(Column(lv, 1), (Strings{"c;h", "doc", "txt", "zip"}));
    Header(d, 0);
    EXPECT_EQ(Column(lv, 0), (Strings{"abc", "かな", "カナ", "漢字"}));
    // A sort column out of range leaves every pair equal.
    lv->sortIndex = 5;
    EXPECT_EQ(lv->sortItem(lv->getItem(0), lv->getItem(3)), 0);
  });
}

TEST_F(ListViewTest, WidthsStoredOncePerKindAndReadBack) {
  // Nothing stored: the defaults; a stored sort column decides the first click.
  Store("SortIndex_a", 1);
  Run('a', [&](ListDialog& d) {
    ilistView* lv = d.lv;
    EXPECT_EQ(lv->sortIndex, 1);
    EXPECT_EQ((std::vector<int>{lv->columnWidth(0), lv->columnWidth(1), lv->columnWidth(2)}),
              (std::vector<int>{60, 100, 200}));
    lv->append(record("1", "a"));
    lv->append(record("2", "b"));
    Header(d, 1);
    EXPECT_EQ(Column(lv, 1), (Strings{"b", "a"}));
    SendMessageA(lv->hWnd, LVM_SETCOLUMNWIDTH, 0, 81);
    SendMessageA(lv->hWnd, LVM_SETCOLUMNWIDTH, 2, 150);
    lv->saveParams();
    SendMessageA(lv->hWnd, LVM_SETCOLUMNWIDTH, 0, 33);
    lv->saveParams();  // once in a life
  });
  EXPECT_EQ((std::vector<int>{Stored("columnWidth_a0"), Stored("columnWidth_a1"), Stored("columnWidth_a2"),
                              Stored("columnWidth_e0"), Stored("SortIndex_a")}),
            (std::vector<int>{81, 100, 150, -12345, 1}));
  Store("columnWidth_e1", -1);
  Run('e', [&](ListDialog& d) {
    EXPECT_EQ(d.lv->sortIndex, 0);
    EXPECT_EQ(d.lv->columnWidth(0), 60);
    // A width the control could not give was stored as -1: the default.
    EXPECT_EQ(d.lv->columnWidth(1), 100);
  });
  Run('a', [&](ListDialog& d) {
    EXPECT_EQ(d.lv->columnWidth(0), 81);
    EXPECT_EQ(d.lv->columnWidth(2), 150);
  });
}

TEST_F(ListViewTest, SetViewScrollsTheRowIn) {
  Run('a', [&](ListDialog& d) {
    ilistView* lv = d.lv;
    lv->append(record("一"));
    lv->append(record("二"));
    lv->setView(1);
    EXPECT_EQ(TopRow(lv), 0);
    for (int i = 2; i < 50; i++) lv->append(record(std::to_string(i)));
    int page = (int)SendMessageA(lv->hWnd, LVM_GETCOUNTPERPAGE, 0, 0);
    ASSERT_GT(page, 3);
    ASSERT_LT(page, 40);
    int row = lv->append(record("末尾"));
    lv->setView(row);
    EXPECT_EQ(TopRow(lv) + page - 1, row);
    lv->setView(3);
    EXPECT_EQ(TopRow(lv), 3);
    lv->setView(5);  // visible already
    EXPECT_EQ(TopRow(lv), 3);

    // Icons side by side: rows 0 and 1 share a top, no pitch to scroll by.
    SetWindowLongPtrA(lv->hWnd, GWL_STYLE, (GetWindowLongPtrA(lv->hWnd, GWL_STYLE) & ~LVS_TYPEMASK) | LVS_ICON);
    RECT r0{LVIR_BOUNDS, 0, 0, 0}, r1{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(lv->hWnd, LVM_GETITEMRECT, 0, (LPARAM)&r0);
    SendMessageA(lv->hWnd, LVM_GETITEMRECT, 1, (LPARAM)&r1);
    EXPECT_EQ(r0.top, r1.top);
    int before = GetScrollPos(lv->hWnd, SB_VERT);
    lv->setView(row);
    EXPECT_EQ(GetScrollPos(lv->hWnd, SB_VERT), before);
  });
}

// For a person to look at: KO_SHOT_SECONDS keeps the list on screen.
TEST_F(ListViewTest, JapaneseRowsOnScreen) {
  Run('e', [&](ListDialog& d) {
    ilistView* lv = d.lv;
    lv->append(record("テキスト", "txt;log;ini", "メモ帳で開く"));
    lv->append(record("画像", "jpg;png;gif", "表示と編集"));
    lv->append(record("_Folder", "", "フォルダー用"));
    lv->append(record("圧縮ファイル", "zip;lzh", "展開ソフト"));
    Header(d, 0);
    Header(d, 0);
    lv->select(1);
    SetFocus(lv->hWnd);
    EXPECT_EQ(Column(lv, 0), (Strings{"_Folder", "テキスト", "圧縮ファイル", "画像"}));
  }, true);
}
