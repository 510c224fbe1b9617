// Both record editors under Wine (refusals, questions, focus, keys)
// and the file chooser's results fed directly.
#include "ko_script.h"
#include <commctrl.h>
#include <sqlite3.h>
#include "appDialog.h"
#include "dbsub.h"
#include "extDialog.h"
#include "gosub.h"
#include "koGetFn.h"
#include "resource.h"

namespace {
HWND editor;
// The stored rows the query (one parameter: the name) finds: "count a|b|c" of the last one.
std::string stored(const char* query, const char* name) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db->dbHandle, query, -1, &st, nullptr);
  sqlite3_bind_text(st, 1, db->toUTF8(name), -1, SQLITE_TRANSIENT);
  int count = 0;
  std::string last;
  for (; sqlite3_step(st) == SQLITE_ROW; count++) {
    last.clear();
    for (int c = 0; c < sqlite3_column_count(st); c++)  // toSJIS has one buffer for every call
      last += (c ? "|" : "") + std::string(db->toSJIS((const char*)sqlite3_column_text(st, c)));
  }
  sqlite3_finalize(st);
  return std::to_string(count) + " " + last;
}
std::string row(const char* name) { return stored("select id, cmd, memo from atable where name=?", name); }
std::string group(const char* name) { return stored("select elist, memo, na, id from etable where name=?", name); }
// The focused control of d and what of an edit's text is selected.
std::string focus(HWND d) {
  HWND f = GetFocus();
  if (!f || GetParent(f) != d) return "focus outside";
  const int id = GetDlgCtrlID(f);
  const char* name = id == IDC_EDIT_NAME ? "name" : id == IDC_EDIT_DETAIL ? "detail" : id == IDC_EDIT_MEMO ? "memo"
                   : id == IDC_GROUP_MEMBERS ? "members" : "other";
  DWORD from = 0, to = 0, end = 0;  // the selection against a whole one, in the edit's own units
  SendMessageA(f, EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
  SendMessageA(f, EM_SETSEL, 0, -1), SendMessageA(f, EM_GETSEL, 0, (LPARAM)&end), SendMessageA(f, EM_SETSEL, from, to);
  bool all = from == 0 && to == end;
  return std::string("focus ") + name + (id == IDC_GROUP_MEMBERS ? "" : all ? " all" : " part");
}
// A question: its default button logged (Enter must not store), then answered.
void ask(Script& s, int button, const char* shot = nullptr) {
  s.add([&s] {
    HWND box = MessageBoxOf();
    HWND no = GetDlgItem(box, IDNO);
    if (box) s.log(GetFocus() == no && (GetWindowLongA(no, GWL_STYLE) & 0xF) == BS_DEFPUSHBUTTON ? "default no" : "default not no");
    return box != nullptr;
  });
  s.answer(button, shot);
}
// A double-click on the row of a list box, as the mouse sends it.
void DoubleClick(HWND d, int id, const char* text) {
  HWND list = GetDlgItem(d, id);
  RECT r{};
  SendMessageA(list, LB_GETITEMRECT, SendMessageA(list, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)text), (LPARAM)&r);
  LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) SendMessageA(list, m, m == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
}
const std::string kNoList = "拡張子がありません。\nファイルからはこのグループは選ばれません。\n"
                            "このまま登録しますか？\n「いいえ」で拡張子を入力できます。",
                  kClashEnd = "起動ではそちらが先に選ばれます。\nこのまま登録しますか？\n「いいえ」で拡張子を直せます。";
class AppEditor : public RunmateTest {};
class GroupEditor : public RunmateTest {};
}  // namespace

TEST(EditorTexts, ExtensionListsTidiedAndNamesInBrief) {
  const struct { const char* typed; const char* stored; } lists[] = {
      {" gif", "gif"}, {"png,.jpg, gif", "png,.jpg,gif"}, {"\tpng ,　jpg　, ,,gif,", "png,jpg,gif"},
      {"　 \t", ""}, {" , ,", ""}, {"", ""}, {"j pg, GIF ", "j pg,GIF"},  // inner blanks and case as typed
      {"メ@, ソ ,表　", "メ@,ソ,表"},  // a character ending in 0x81 before '@' is no full-width blank
      {" .Txt\t,\t", ".Txt"}, {"gif,png,GIF, .gif,gif", "gif,png"},  // repeats as the launch compares them
      {"txt, . ,log", "txt,log"}, {".", ""}, {" .. ,", ""}};  // only dots: no extension
  for (auto& l : lists) {
    SCOPED_TRACE(Hex(l.typed));
    EXPECT_EQ(TidyExtensions(l.typed), l.stored);
  }
  const struct { const char* typed; const char* command; } commands[] = {  // the program replaced, the rest kept
      {"", "\"C:\\a b\\v.exe\"  \"%1\""}, {" \t", "\"C:\\a b\\v.exe\"  \"%1\""},
      {"old.exe /p \"%1\"", "\"C:\\a b\\v.exe\" /p \"%1\""}, {" \"C:\\旧 表\\o.exe\" -a", " \"C:\\a b\\v.exe\" -a"},
      {"\"unclosed -a", "\"C:\\a b\\v.exe\""}, {"表示.exe", "\"C:\\a b\\v.exe\""}};
  for (auto& c : commands) EXPECT_EQ(WithProgram(c.typed, "C:\\a b\\v.exe"), c.command) << c.typed;
  // A program chosen under a folder code page 932 cannot name: through the deepest variable that holds it.
  SetEnvironmentVariableW(L"USERPROFILE", L"C:\\Users\\Jos\u00e9");
  SetEnvironmentVariableW(L"LOCALAPPDATA", L"C:\\Users\\Jos\u00e9\\AppData\\Local");
  const struct { std::wstring chosen; bool held; const char* path; } held[] = {
      {L"C:\\表示\\v.exe", true, "C:\\表示\\v.exe"},
      {L"c:\\users\\JOS\u00c9\\AppData\\Local\\Programs\\表\\v.exe", true, "%LOCALAPPDATA%\\Programs\\表\\v.exe"},
      {L"C:\\Users\\Jos\u00e9\\tools\\v.exe", true, "%USERPROFILE%\\tools\\v.exe"},
      {L"C:\\Users\\Jos\u00e9x\\v.exe", false, ""},  // a longer name is another folder
      {L"C:\\Users\\Jos\u00e9\\caf\u00e9\\v.exe", false, ""}, {L"C:\\\U0001F600\\v.exe", false, ""}};
  for (auto& h : held) {
    std::string path = "old";
    EXPECT_EQ(HeldProgramPath(h.chosen, path), h.held) << Utf8(h.chosen);
    EXPECT_EQ(path, h.path);
  }
  const struct { std::vector<std::string> names; std::string brief; } briefs[] = {
      {{}, ""}, {{"テキスト"}, "テキスト"}, {{"a", "b", "c"}, "a、b、c"},
      {{"テキスト", "文書", "画像", "音", "動画"}, "テキスト、文書、画像 ほか 2 件"}, {{std::string(300, 'x')}, std::string(200, 'x') + "..."}};
  for (auto& b : briefs) {
    SCOPED_TRACE(b.names.size());
    EXPECT_EQ(NamesInBrief(b.names), b.brief);
  }
}

// Groups the launch reads first: by id, whatever the list's (name) order.
TEST_F(GroupEditor, EarlierGroupsFoundAsTheLaunchFindsThem) {
  sql("insert into etable (id,name,elist,na,atab) values (5,'画像','png,gif',1,X'01000000'),(6,'AAA','RTF,jpeg',1,X'01000000'),"
      "(7,'音','wav',1,X'01000000'),(8,'動画','mp4',1,X'01000000')");
  reopen();
  const struct { const char* list; int id; const char* found; } rows[] = {
      {"TXT", 0, "テキスト TXT"}, {"Doc,png,log,zip", 0, "文書 Doc,png,log"}, {"png", 5, "none"}, {"txt", 2, "テキスト txt"},
      {"rtf", 1, "none"}, {"gif", 3, "none"}, {"rtf", 0, "文書 rtf"}, {"jpeg,rtf", 7, "AAA jpeg,rtf"}, {"", 0, "none"}};
  for (auto& r : rows) {
    SCOPED_TRACE(std::string(r.list) + " " + std::to_string(r.id));
    std::vector<std::string> clashes;
    const extItem* first = EarlierClashes(r.list, r.id, clashes);
    std::string found = first ? first->name + " " : "none";
    for (size_t i = 0; i < clashes.size(); i++) found += (i ? "," : "") + clashes[i];
    EXPECT_EQ(found, r.found);
    if (first && r.id == 0) {
      EXPECT_EQ(searchExtItem(clashes[0].c_str()), first->id) << "the launch's own search agrees";
    }
  }
}

// A new group: each refusal and question, what the box says, where the focus
// goes, what the extension edit shows; then stored as shown. Before that
// moves by double-click and the access keys.
TEST_F(GroupEditor, RefusalsAndQuestionsKeepTheInputAndFocusTheField) {
  const std::string clash = "拡張子 TXT はグループ[テキスト]にもあります。\nほか 1 件の拡張子も先のグループにあります。\n" + kClashEnd,
                    none = kNoList;
  const std::string longList(kExtListMax + 1, 'x'), longMemo(kExtMemoMax + 1, 'm');
  const struct { const char* name; std::string list, memo; int button; std::string box, after; } rows[] = {
      {"画像", " . ,", "", IDNO, none, "focus detail all []"},
      {"画像", " png ,　TXT\t, ,log", "", IDNO, clash, "focus detail all [png,TXT,log]"},
      {" ", "png", "", IDOK, "名前がありません", "focus name all [png]"},
      {"画\t像", "png", "", IDOK, "名前にタブや改行は使えません", "focus name all [png]"},
      {"テキスト", "png", "", IDOK, "名前が重複しています", "focus name all [png]"},
      {"画像", longList, "", IDOK, "拡張子が長すぎます", "focus detail all [" + longList + "]"},
      {"画像", "png", longMemo, IDOK, "備考が長すぎます", "focus memo all [png]"},
      {"画像", "png, TXT,log ", "絵", IDYES, clash, ""}};
  s.opened("拡張子グループの追加", editor);
  s.act([&] {
    DoubleClick(editor, IDC_GROUP_CANDIDATES, "メモ帳"), DoubleClick(editor, IDC_GROUP_CANDIDATES, "ワードパッド");
    s.log("in " + ListBoxTexts(editor, IDC_GROUP_MEMBERS));
    DoubleClick(editor, IDC_GROUP_MEMBERS, "メモ帳");
    s.log("out " + ListBoxTexts(editor, IDC_GROUP_MEMBERS) + " | " + ListBoxTexts(editor, IDC_GROUP_CANDIDATES));
  });
  std::string want = "in メモ帳,[ワードパッド]\n"  // after the selected
                     "out ワードパッド | エクスプローラー,コマンドプロンプト,[メモ帳]\n";
  for (char key : {'e', 'g', 'p', 'm'}) {  // Alt+key
    s.act([&, key] { PostMessageA(GetFocus(), WM_SYSCHAR, key, 1 << 29); });
    s.act([&, key] { s.log(std::string(1, key) + " " + focus(editor)); });
  }
  want += "e focus detail all\ng focus name all\np focus members\nm focus memo all\n";
  for (auto& r : rows) {
    s.act([&] {
      Type(editor, IDC_EDIT_NAME, r.name), Type(editor, IDC_EDIT_DETAIL, r.list), Type(editor, IDC_EDIT_MEMO, r.memo);
      Click(editor, IDC_GROUP_ADD);
    });
    if (r.button == IDOK) s.answer(IDOK);
    else ask(s, r.button, &r == &rows[0] ? "extdialog-empty" : &r == &rows[1] ? "extdialog-clash" : nullptr), want += "default no\n";
    want += "box " + r.box + "\n";
    if (r.after.empty()) continue;
    s.act([&] { s.log(focus(editor) + " [" + ItemText(editor, IDC_EDIT_DETAIL) + "]"); });
    want += r.after + "\n";
  }
  extItem record;
  EXPECT_TRUE(s.run([&] { EXPECT_EQ(ExtDialog(frame, &record), 1); }));
  EXPECT_EQ(s.logged(), want);
  EXPECT_EQ(scalar("select count(*) from etable"), 4) << "only the last try stored";
  EXPECT_EQ(group("画像"), "1 png,TXT,log|絵|1|" + std::to_string(record.id));
}

// Updates ask only about groups read before them; the folder group needs no
// extension; No leaves the row as it was.
TEST_F(GroupEditor, UpdatesAskAboutEarlierGroupsOnly) {
  const struct { const char* group; const char* list; int answer; const char* box; int result; const char* stored; } rows[] = {
      {"文書", "rtf, TXT", IDYES, "拡張子 TXT はグループ[テキスト]にもあります。", 2, "rtf,TXT"},
      {"文書", "csv", IDNO, "拡張子 csv はグループ[テキスト]にもあります。", 0, "rtf,wri,doc"},
      {"テキスト", "txt,rtf", 0, nullptr, 2, "txt,rtf"},  // 文書 comes later
      {"_Folder", " ", 0, nullptr, 2, ""},                 // found by name
      {"文書", "", IDNO, "", 0, "rtf,wri,doc"}, {"文書", "", IDYES, "", 2, ""}};
  for (auto& r : rows) {
    SCOPED_TRACE(std::string(r.group) + " " + r.list);
    extItem record;
    record.import(findExtItem(r.group));
    std::string want, caption = "拡張子グループ[" + std::string(r.group) + "]の更新";
    Script t;
    t.opened(caption.c_str(), editor);
    t.act([&] { Type(editor, IDC_EDIT_DETAIL, r.list), Click(editor, IDC_GROUP_UPDATE); });
    if (r.answer) ask(t, r.answer), want = "default no\nbox " + (*r.box ? r.box + std::string("\n") + kClashEnd : kNoList) + "\n";
    if (r.result == 0) t.act([&] { t.log(focus(editor)), Click(editor, IDCANCEL); }), want += "focus detail all\n";
    EXPECT_TRUE(t.run([&] { EXPECT_EQ(ExtDialog(frame, &record), r.result); }));
    EXPECT_EQ(t.logged(), want);
    EXPECT_EQ(group(r.group).substr(0, 2 + strlen(r.stored) + 1), "1 " + std::string(r.stored) + "|");
    sql("update etable set elist='rtf,wri,doc' where id=2");
  }
}

// What is remembered for the group's elements, forgotten one by one; the programs Windows knows for a typed
// extension (a made-up type here) chosen, added as an application and a member.
TEST_F(GroupEditor, RememberedForgottenAndWindowsProgramsAdded) {
  sql("insert into params (key,ix,data) values ('RememberedMatch',0,'TXT'||char(0)),('RememberedApp',0,X'02000000'),"
      "('RememberedMatch',1,'rtf'||char(0)),('RememberedApp',1,X'01000000')");
  RegText(HKEY_CLASSES_ROOT, ".kotest", nullptr, "KoTest.File");
  RegText(HKEY_CLASSES_ROOT, "KoTest.File\\shell\\open", "FriendlyAppName", "テスト表示");
  RegText(HKEY_CLASSES_ROOT, "KoTest.File\\shell\\open\\command", nullptr, "\"C:\\tools\\view.exe\" %L");
  RegText(HKEY_CLASSES_ROOT, ".kotest\\OpenWithProgids", "KoTest.Note", "");  // a program with an icon, not chosen
  RegText(HKEY_CLASSES_ROOT, "KoTest.Note\\shell\\open\\command", nullptr, "%SystemRoot%\\notepad.exe %1");
  extItem record;
  record.import(findExtItem("テキスト"));
  Script t;
  HWND known = nullptr;
  t.opened("拡張子グループ[テキスト]の更新", editor, "extdialog-remembered");
  t.act([&] {
    t.log(ListBoxTexts(editor, IDC_GROUP_REMEMBERED) + " " + Enabled(editor, {{IDC_GROUP_FORGET, "forget"}}));
    Pick(editor, IDC_GROUP_REMEMBERED, "TXT → ワードパッド"), Click(editor, IDC_GROUP_FORGET);
  });
  t.act([&] {
    t.log(ListBoxTexts(editor, IDC_GROUP_REMEMBERED) + " " + Enabled(editor, {{IDC_GROUP_FORGET, "forget"}}));
    Type(editor, IDC_EDIT_DETAIL, "txt,kotest"), Click(editor, IDC_GROUP_KNOWN);
  });
  t.opened("Windows の候補", known, "known");
  t.act([&] { t.log(std::to_string(SendDlgItemMessageA(known, IDC_KNOWN_LIST, LVM_GETITEMCOUNT, 0, 0)) + " listed"), Click(known, IDOK); });
  t.closed(known);
  t.act([&] { t.log(ListBoxTexts(editor, IDC_GROUP_MEMBERS)), Click(editor, IDC_GROUP_UPDATE); });
  EXPECT_TRUE(t.run([&] { EXPECT_EQ(ExtDialog(frame, &record), 2); }));
  for (const char* key : {".kotest", "KoTest.File", "KoTest.Note"}) RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
  EXPECT_EQ(t.logged(), "TXT → ワードパッド forget-\n forget-\n2 listed\nメモ帳,ワードパッド,テスト表示\n");
  EXPECT_EQ(row("テスト表示").substr(row("テスト表示").find('|')), "|\"C:\\tools\\view.exe\" %1|");
  EXPECT_EQ(scalar("select count(*) from params where key='RememberedMatch'"), 1) << "rtf's, of another group, kept";
}

// Each refusal keeps the input and puts the focus into the field to correct, its text selected;
// Enter stores nothing; then stored trimmed, long values whole; then edited.
TEST_F(AppEditor, RefusalsFocusTheirFieldThenLongValuesStoredAndEdited) {
  std::string command = "\"C:\\Tools\\", memo;
  while (command.size() < 990) command += "長い";
  (command += "\\v.exe\"  \"%1\"").resize(kAppCommandMax, 'x');
  for (int i = 0; memo.size() < 4990; i++) memo += "備考の行 " + std::to_string(i) + "\r\n";
  memo.resize(4990);
  const struct { std::string name, command, memo, box, after; } rows[] = {
      {" \t", "x", "", "名前がありません", "focus name all"},
      {" メモ帳 ", "x", "", "名前が重複しています", "focus name all"},
      {std::string(kAppNameMax + 1, 'n'), "x", "", "名前が長すぎます", "focus name all"},
      {"新", std::string(kAppCommandMax + 1, 'c'), "", "コマンドが長すぎます", "focus detail all"},
      {"新", "x", std::string(kAppMemoMax + 1, 'm'), "備考が長すぎます", "focus memo all"}};
  s.opened("アプリケーションの追加", editor);
  s.act([&] { s.log(Enabled(editor, {{IDC_APP_UPDATE, "update"}})); });
  std::string want = "update-\n";
  for (auto& r : rows) {
    s.act([&] {
      Type(editor, IDC_EDIT_NAME, r.name), Type(editor, IDC_EDIT_DETAIL, r.command), Type(editor, IDC_EDIT_MEMO, r.memo);
      SetFocus(GetDlgItem(editor, IDC_APP_ADD)), Click(editor, IDC_APP_ADD);
    });
    s.answer(IDOK);
    s.act([&] { s.log(focus(editor) + " [" + ItemText(editor, IDC_EDIT_NAME) + "]"); });
    want += "box " + r.box + "\n" + r.after + " [" + r.name + "]\n";
  }
  s.act([&] {  // typed or pasted beyond code page 932: refused by code point, nothing replaced
    SetDlgItemTextW(editor, IDC_EDIT_NAME, L"Jos\u00e9 \U0001F600\u00e9"), Type(editor, IDC_EDIT_DETAIL, "x");
    Click(editor, IDC_APP_ADD);
  });
  s.answer(IDOK);
  s.act([&] { s.log(focus(editor)); });
  want += "box 名前に、このプログラムの文字コード (シフト JIS) で表せない文字があります。\n文字: U+00E9, U+1F600\n"
          "置き換えられずに残るよう、別の文字にしてください。\nfocus name all\n";
  s.act([&] {
    Type(editor, IDC_EDIT_NAME, "  ビューア\t "), Type(editor, IDC_EDIT_DETAIL, command), Type(editor, IDC_EDIT_MEMO, memo);
    PostMessageA(editor, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0);  // Enter: no button
  });
  s.hold();
  s.act([&] {
    s.log("open " + std::to_string(IsWindowVisible(editor)) + ", command " +
          std::to_string(ItemText(editor, IDC_EDIT_DETAIL).size()));
    Click(editor, IDC_APP_ADD);
  });
  appItem record;
  EXPECT_TRUE(s.run([&] { EXPECT_EQ(AppDialog(frame, &record), 1); }));
  EXPECT_EQ(s.logged(), want + "open 1, command 1000\n");
  EXPECT_EQ(row("ビューア"), "1 " + std::to_string(record.id) + "|" + command + "|" + memo)
      << "stored trimmed, the template and the note whole";
  EXPECT_EQ(scalar("select count(*) from atable"), 5) << "only the last try stored";
  std::string full(kAppNameMax, 'a'), wide;  // the full bound keeps every byte (it once lost its last)
  while (wide.size() < (size_t)kAppNameMax) wide += "名";
  EXPECT_EQ(TrimmedName(full) + "|" + TrimmedName(" \t" + wide + "  ") + "|" + TrimmedName("   "), full + "|" + wide + "|");
  record.import(findAppItem("ワードパッド"));
  Script t;
  t.opened("アプリケーション[ワードパッド]の更新", editor);
  t.act([&] {
    t.log(Enabled(editor, {{IDC_APP_UPDATE, "update"}}) + " " + ItemText(editor, IDC_EDIT_NAME));
    Type(editor, IDC_EDIT_DETAIL, "wordpad.exe %1"), Type(editor, IDC_EDIT_MEMO, "改めた備考"), Click(editor, IDC_APP_UPDATE);
  });
  EXPECT_TRUE(t.run([&] { EXPECT_EQ(AppDialog(frame, &record), 2); }));
  EXPECT_EQ(t.logged(), "update+ ワードパッド\n");
  EXPECT_EQ(row("ワードパッド"), "1 " + std::to_string(record.id) + "|wordpad.exe %1|改めた備考") << "a template without quotes as typed";
}

// The chooser's handling of results, fed without the platform dialog.
TEST(FileChooser, FiltersDefaultsBoundedResultsAndSaveExtensions) {
  koGetOpenFileName open(nullptr);
  EXPECT_TRUE(open.ofn.lStructSize == OPENFILENAME_SIZE_VERSION_400A && (sizeof(void*) != 4 || open.ofn.lStructSize == 76u));
  EXPECT_EQ(open.ofn.nMaxFile, 300u);
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
