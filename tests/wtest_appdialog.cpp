// The application editor under Wine and the file chooser: its results fed
// directly, and the real open-file dialog driven for the command template.
#include "ko_script.h"
#include <sqlite3.h>
#include "appDialog.h"
#include "dbsub.h"
#include "koGetFn.h"
#include "resource.h"

namespace {
HWND editor, chooser;
// The stored rows of that name: "count id|cmd|memo" of the last one.
std::string row(const char* name) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db->dbHandle, "select id, cmd, memo from atable where name=?", -1, &st, nullptr);
  sqlite3_bind_text(st, 1, db->toUTF8(name), -1, SQLITE_TRANSIENT);
  int count = 0;
  std::string last;
  for (; sqlite3_step(st) == SQLITE_ROW; count++) {
    std::string cmd = db->toSJIS((const char*)sqlite3_column_text(st, 1));  // one buffer for every call
    last = std::to_string(sqlite3_column_int(st, 0)) + "|" + cmd + "|" + db->toSJIS((const char*)sqlite3_column_text(st, 2));
  }
  sqlite3_finalize(st);
  return std::to_string(count) + " " + last;
}
std::string update(HWND d) { return Enabled(d, {{IDC_APP_UPDATE, "update"}}); }
class AppEditor : public RunmateTest {};
}  // namespace

TEST_F(AppEditor, AddWithADuplicateEnterAndLongValuesThenEdit) {
  std::string command = "\"C:\\Tools\\", memo;
  while (command.size() < 990) command += "長い";
  (command += "\\v.exe\"  \"%1\"").resize(kAppCommandMax, 'x');
  for (int i = 0; memo.size() < 4990; i++) memo += "備考の行 " + std::to_string(i) + "\r\n";
  memo.resize(4990);
  s.opened("アプリケーションの追加", editor);
  s.act([&] { s.log(update(editor)), Type(editor, IDC_EDIT_NAME, " メモ帳 "), Click(editor, IDC_APP_ADD); });
  s.answer(IDOK);
  s.act([&] {
    s.log("kept [" + ItemText(editor, IDC_EDIT_NAME) + "]");
    Type(editor, IDC_EDIT_NAME, "  ビューア\t "), Type(editor, IDC_EDIT_DETAIL, command), Type(editor, IDC_EDIT_MEMO, memo);
    PostMessageA(editor, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);  // Enter: no button
  });
  s.hold();
  s.act([&] {
    s.log(std::string(IsWindowVisible(editor) ? "open" : "closed") + " after enter, command " +
          std::to_string(ItemText(editor, IDC_EDIT_DETAIL).size()));
    Click(editor, IDC_APP_ADD);
  });
  appItem record;
  EXPECT_TRUE(s.run([&] { EXPECT_EQ(AppDialog(frame, &record), 1); }));
  EXPECT_EQ(s.logged(), "update-\nbox 名前が重複しています\nkept [ メモ帳 ]\nopen after enter, command 1000\n");
  EXPECT_EQ(row("ビューア"), "1 " + std::to_string(record.id) + "|" + command + "|" + memo)
      << "stored trimmed, the template and the note whole";
  EXPECT_EQ(row("メモ帳").substr(0, 2), "1 ") << "the duplicate was not stored";
  std::string full(kAppNameMax, 'a'), wide;  // the full bound keeps every byte (it once lost its last)
  while (wide.size() < (size_t)kAppNameMax) wide += "名";
  EXPECT_EQ(TrimmedName(full) + "|" + TrimmedName(" \t" + wide + "  ") + "|" + TrimmedName("   "), full + "|" + wide + "|");
  record.import(findAppItem("ワードパッド"));
  Script t;
  t.opened("アプリケーション[ワードパッド]の更新", editor);
  t.act([&] {
    t.log(update(editor) + " " + ItemText(editor, IDC_EDIT_NAME));
    Type(editor, IDC_EDIT_DETAIL, "wordpad.exe %1"), Type(editor, IDC_EDIT_MEMO, "改めた備考"), Click(editor, IDC_APP_UPDATE);
  });
  EXPECT_TRUE(t.run([&] { EXPECT_EQ(AppDialog(frame, &record), 2); }));
  EXPECT_EQ(t.logged(), "update+ ワードパッド\n");
  EXPECT_EQ(row("ワードパッド"), "1 " + std::to_string(record.id) + "|wordpad.exe %1|改めた備考") << "a template without quotes as typed";
}

TEST_F(AppEditor, ChosenExecutableGivesTheQuotedTemplate) {
  std::string exe = dir + "\\view.exe";
  fclose(fopen(exe.c_str(), "wb"));
  s.opened("実行ファイルを開く", chooser, "chooser");
  s.act([&] { Type(chooser, 0x47C, exe), PostMessageA(chooser, WM_COMMAND, IDOK, 0); });  // the file name edit
  s.opened("アプリケーションの追加", editor);
  s.act([&] {
    s.log(ItemText(editor, IDC_EDIT_NAME) + " / " + ItemText(editor, IDC_EDIT_DETAIL));
    Type(editor, IDC_EDIT_MEMO, "keep");
    Click(editor, IDC_APP_BROWSE);  // pick again, then cancel the chooser
  });
  s.opened("実行ファイルを開く", chooser);
  s.act([&] { Click(chooser, IDCANCEL); });
  s.closed(chooser);
  s.act([&] { s.log("after cancel " + ItemText(editor, IDC_EDIT_NAME) + " / " + ItemText(editor, IDC_EDIT_MEMO)), Click(editor, IDCANCEL); });
  appItem record;
  EXPECT_TRUE(s.run([&] { EXPECT_EQ(NewAppDialog(frame, &record), 0); }));
  EXPECT_EQ(s.logged(), "view / \"" + exe + "\"  \"%1\"\nafter cancel view / keep\n");
  EXPECT_EQ(row("view"), "0 ") << "cancel stores nothing";
}

// The chooser's handling of results, fed without the platform dialog.
TEST(FileChooser, FiltersDefaultsBoundedResultsAndSaveExtensions) {
  koGetOpenFileName open(nullptr);
  EXPECT_EQ(open.ofn.lStructSize, (DWORD)OPENFILENAME_SIZE_VERSION_400A);
  EXPECT_TRUE((sizeof(void*) != 4 || open.ofn.lStructSize == 76u) && open.ofn.nMaxFile == 300u);
  EXPECT_EQ(open.filterPattern(1), nullptr) << "no list: nothing to read";
  const char *six[] = {"実行ファイル", "*.exe", "バッチファイル", "*.bat", "全てのファイル", "*.*", nullptr},
             *odd[] = {"a", "*.a", "b", "*.b", "c", nullptr}, *none[] = {nullptr};
  ASSERT_TRUE(open.setFilters(six));
  std::string shown;
  for (const char* p = open.ofn.lpstrFilter; *p; p += strlen(p) + 1) shown += std::string(p) + "|";
  EXPECT_EQ(shown, "実行ファイル|*.exe|バッチファイル|*.bat|全てのファイル|*.*|");
  EXPECT_FALSE(open.setFilters(odd) || open.setFilters(none));
  EXPECT_STREQ(open.filterPattern(2), "*.bat") << "the previous list stays";
  EXPECT_TRUE(!open.filterPattern(0) && !open.filterPattern(4));
  open.setMMfilters(false), open.setMMfilters(true);  // releases the first list
  EXPECT_EQ(open.ofn.lpstrFilter, open.mmFilterBuffer);
  strcpy(open.fileBuffer, "C:\\Tools\\view.exe"), open.ofn.nFileOffset = 9;
  char path[300], small[8], title[300], tiny[8];
  EXPECT_EQ(open.takeResult(path, nullptr, sizeof path, 0), 1);
  open.getFileTitle(title, sizeof title), open.takeResult(small, nullptr, sizeof small, 0), open.getFileTitle(tiny, 5);
  EXPECT_EQ(std::string(path) + "|" + open.initialDir + "|" + title + "|" + small + "|" + tiny,
            "C:\\Tools\\view.exe|C:\\Tools\\|view.exe|C:\\Tool|view");
  open.flags |= OFN_ALLOWMULTISELECT | OFN_EXPLORER;
  memcpy(open.fileBuffer, "C:\\Data\0a.txt\0bb.txt\0c.txt\0\0", 28), open.ofn.nFileOffset = 8;
  for (int room : {300, 9}) {
    SCOPED_TRACE(room);
    char names[300];
    memset(names, 'x', sizeof names);
    EXPECT_EQ(open.takeResult(path, names, sizeof path, room), 3);
    EXPECT_EQ(std::string(path) + "|" + open.initialDir, "C:\\Data|C:\\Data\\");
    std::string want = room == 9 ? std::string("a.txt\0bb\0x", 10) : std::string("a.txt\0bb.txt\0c.txt\0", 19);
    EXPECT_EQ(std::string(names, want.size()), want) << "bounded, still ended";
  }
  koGetSaveFileName save(nullptr);  // the extension from the chosen filter
  strcpy(save.fileBuffer, "C:\\Data\\report");
  save.ofn.nFileOffset = 8, save.ofn.nFileExtension = 0, save.ofn.nFilterIndex = 1;
  save.takeResult(path, sizeof path);
  EXPECT_STREQ(path, "C:\\Data\\report") << "no filter list";
  const char* list[] = {"テキスト", "*.txt;*.log", "全て", "*.*", "空", "", nullptr};
  ASSERT_TRUE(save.setFilters(list));
  const struct { unsigned filter, extension; size_t room; const char* path; } rows[] = {
      {1, 0, 300, "C:\\Data\\report.txt"}, {2, 0, 300, "C:\\Data\\report"},  // *.* adds no .*
      {3, 0, 300, "C:\\Data\\report"}, {0, 0, 300, "C:\\Data\\report"}, {4, 0, 300, "C:\\Data\\report"},
      {1000, 0, 300, "C:\\Data\\report"}, {1, 0, 16, "C:\\Data\\report"},  // no room for the extension
      {1, 15, 300, "C:\\Data\\report"}};  // the name has one already
  for (auto& r : rows) {
    SCOPED_TRACE(std::to_string(r.filter) + " " + std::to_string(r.extension) + " " + std::to_string(r.room));
    save.ofn.nFilterIndex = r.filter, save.ofn.nFileExtension = (WORD)r.extension;
    save.takeResult(path, r.room);
    EXPECT_STREQ(path, r.path);
    EXPECT_STREQ(save.fileBuffer, "C:\\Data\\report") << "only path changes";
  }
  EXPECT_FALSE(save.setDefaultExtension(nullptr));
  EXPECT_TRUE(save.setDefaultExtension("txt") && save.setDefaultExtension("log"));
  EXPECT_STREQ(save.defaultExtension, "log");
}
