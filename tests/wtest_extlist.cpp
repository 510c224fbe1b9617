// The extension group list driven under Wine: selection, the delete
// question (No keeps, Yes removes from exec.db), header sorting, the About
// box and closing with Enter, which stores the column widths.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <string>
#include "dbsub.h"
#include "extList.h"
#include "ko_test.h"
#include "koDlg0.h"
#include "koMainWin.h"
#include "koModule.h"

namespace {
koModule module;

using Frame = HiddenFrame;

HWND listDialog = nullptr;
int step = 0;
int holdTicks = 0;  // KO_SHOT_SECONDS keeps screens up for a screenshot
std::vector<std::string> log;

int countGroups(const char* name) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db->dbHandle, "select count(*) from etable where name=?", -1, &st, nullptr);
  sqlite3_bind_text(st, 1, db->toUTF8(name), -1, SQLITE_TRANSIENT);
  int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
  sqlite3_finalize(st);
  return n;
}

bool held() {
  static const char* s = getenv("KO_SHOT_SECONDS");
  if (!s) return false;
  if (holdTicks == 0) holdTicks = atoi(s) * 5;
  if (--holdTicks > 0) return true;
  holdTicks = 0;
  return false;
}

void CALLBACK script(HWND, UINT, UINT_PTR, DWORD) {
  HWND box;
  switch (step) {
    case 0:
      listDialog = ThreadDialog("拡張子グループのリスト");
      if (!listDialog || held()) return;
      log.push_back("rows " + std::to_string(ListRows(listDialog)));
      log.push_back(IsWindowEnabled(GetDlgItem(listDialog, 31)) ? "delete on" : "delete off");
      ListSelect(listDialog, ListRowOf(listDialog, "文書"));
      log.push_back("label " + ItemText(listDialog, 100) + " / " + ItemText(listDialog, 101));
      log.push_back(IsWindowEnabled(GetDlgItem(listDialog, 31)) ? "delete on" : "delete off");
      Click(listDialog, 31);
      step = 1;
      return;
    case 1:
    case 2:
      box = ThreadDialog(nullptr);
      if (!box || box == listDialog) return;
      log.push_back("ask " + ItemText(box, 65535));
      Click(box, step == 1 ? IDNO : IDYES);
      step = step == 1 ? 3 : 4;
      return;
    case 3:
      log.push_back("after no " + std::to_string(countGroups("文書")) + " " + std::to_string(ListRows(listDialog)));
      ListSelect(listDialog, ListRowOf(listDialog, "文書"));
      Click(listDialog, 31);
      step = 2;
      return;
    case 4: {
      log.push_back("after yes " + std::to_string(countGroups("文書")) + " " + std::to_string(ListRows(listDialog)));
      log.push_back(IsWindowEnabled(GetDlgItem(listDialog, 31)) ? "delete on" : "delete off");
      NMLISTVIEW nm{};
      nm.hdr.hwndFrom = GetDlgItem(listDialog, 300);
      nm.hdr.idFrom = 300;
      nm.hdr.code = LVN_COLUMNCLICK;
      nm.iSubItem = 0;
      SendMessageA(listDialog, WM_NOTIFY, 300, (LPARAM)&nm);
      log.push_back("sorted " + ListCell(listDialog, 0, 0) + "," + ListCell(listDialog, 1, 0));
      SendMessageA(listDialog, WM_NOTIFY, 300, (LPARAM)&nm);
      log.push_back("sorted " + ListCell(listDialog, 0, 0) + "," + ListCell(listDialog, 1, 0));
      Click(listDialog, 550);
      step = 5;
      return;
    }
    case 5:
      box = ThreadDialog("バージョン情報");
      if (!box || held() || !ShotWhenPainted(box, "about")) return;
      log.push_back("about " + ItemText(box, IDOK));
      Click(box, IDOK);
      step = 6;
      return;
    case 6:
      if (ThreadDialog("バージョン情報")) return;
      PostMessageA(listDialog, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);  // Enter
      step = 7;
      return;
  }
}
}  // namespace

TEST(GroupList, DeleteSortAboutAndClose) {
  std::string dir = MakeTempDir("extlist");
  ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "\\exec.db"));
  ASSERT_TRUE(DbOpen(dir.c_str(), "Runmate"));
  GetAllItem();
  pModule = &module;
  module.title = "Runmate";
  koDialog::FontSize(9);
  Frame* frame = new Frame;
  ASSERT_TRUE(frame->create("frame"));
  UINT_PTR t = SetTimer(nullptr, 0, 200, script);
  ExtList(frame);
  KillTimer(nullptr, t);
  DestroyWindow(frame->hWnd);
  pModule = nullptr;
  std::string all;
  for (auto& l : log) all += l + "\n";
  EXPECT_EQ(all,
            "rows 3\n"
            "delete off\n"
            "label 文書 / rtf,wri,doc\n"
            "delete on\n"
            "ask グループ[文書]を削除します。よろしいですか？\n"
            "after no 1 3\n"
            "ask グループ[文書]を削除します。よろしいですか？\n"
            "after yes 0 2\n"
            "delete off\n"
            "sorted テキスト,_Folder\n"
            "sorted _Folder,テキスト\n"
            "about OK\n");
  EXPECT_EQ(elist.size(), 2u) << "the deleted record left the list";
  EXPECT_GT(db->getIntIx("columnWidth_e0", 0, -1), 0) << "Enter stored the widths";
  TermDb();
  EraseItem();
}
