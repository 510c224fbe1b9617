// The extension group list driven under Wine: selection, the delete
// question (No keeps, Yes removes from exec.db), header sorting, the About
// box and closing with Enter, which stores the column widths.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string>
#include "dbsub.h"
#include "extList.h"
#include "ko_script.h"
#include "ko_test.h"
#include "resource.h"

namespace {
class GroupList : public RunmateTest {};
}  // namespace

TEST_F(GroupList, DeleteSortAboutAndClose) {
  HWND list = nullptr, about = nullptr;
  auto state = [&] {
    return std::to_string(scalar(std::string("select count(*) from etable where name='") + db->toUTF8("文書") + "'")) + " " +
           std::to_string(ListRows(list)) + " " + Enabled(list, {{IDC_LIST_DELETE, "削除"}});
  };
  s.opened("拡張子グループのリスト", list);
  s.hold();
  s.act([&] { s.log("rows " + state()); });
  for (int button : {IDNO, IDYES}) {
    s.act([&] {
      ListSelect(list, ListRowOf(list, "文書"));
      s.log("label " + ItemText(list, IDC_LIST_NAME) + " / " + ItemText(list, IDC_LIST_DETAIL) + " " + state());
      Click(list, IDC_LIST_DELETE);
    });
    s.answer(button);
    s.act([&] { s.log("after " + state()); });
  }
  s.act([&] {
    NMLISTVIEW nm{};
    nm.hdr.hwndFrom = GetDlgItem(list, IDC_LIST_RECORDS);
    nm.hdr.idFrom = IDC_LIST_RECORDS;
    nm.hdr.code = LVN_COLUMNCLICK;
    for (int i = 0; i < 2; i++) {
      SendMessageA(list, WM_NOTIFY, IDC_LIST_RECORDS, (LPARAM)&nm);
      s.log("sorted " + ListCell(list, 0, 0) + "," + ListCell(list, 1, 0));
    }
    Click(list, IDC_GROUPS_ABOUT);
  });
  s.opened("バージョン情報", about, "about");
  s.none();  // its unnamed labels (id 0xFFFF) do not make it a message box
  s.hold();
  s.act([&] { Click(about, IDOK); });
  s.closed(about);
  s.act([&] { PostMessageA(list, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0); });  // Enter
  EXPECT_TRUE(s.run([&] { ExtList(frame); }));
  EXPECT_EQ(s.logged(),
            "rows 1 3 削除-\n"
            "label 文書 / rtf,wri,doc 1 3 削除+\n"
            "box グループ[文書]を削除します。よろしいですか？\n"
            "after 1 3 削除+\n"
            "label 文書 / rtf,wri,doc 1 3 削除+\n"
            "box グループ[文書]を削除します。よろしいですか？\n"
            "after 0 2 削除-\n"
            "sorted テキスト,_Folder\n"
            "sorted _Folder,テキスト\n");
  EXPECT_EQ(elist.size(), 2u) << "the deleted record left the list";
  EXPECT_GT(db->getIntIx("columnWidth_e0", 0, -1), 0) << "Enter stored the widths";
}
