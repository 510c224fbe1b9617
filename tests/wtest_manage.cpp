// The management dialogs driven under Wine as a user would, and what the
// stored registrations do to the real program.
#include "ko_script.h"
#include <commctrl.h>
#include <shlobj.h>
#include <algorithm>
#include <memory>
#include <sqlite3.h>
#include "appDialog.h"
#include "appList.h"
#include "extDialog.h"
#include "extList.h"
#include "gosub.h"
#include "koModule.h"
#include "optDialog.h"
#include "resource.h"

namespace {
const char *const GROUPS = "拡張子グループのリスト", *const APPS = "アプリケーションのリスト";
HWND groups, apps, editor, chooser;
void selectRow(HWND d, const char* name) { ListSelect(d, ListRowOf(d, name)); }
int selectedRow(HWND d) { return (int)SendDlgItemMessageA(d, IDC_LIST_RECORDS, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED); }
std::string selected(HWND d, int column) { return ListCell(d, selectedRow(d), column); }
std::string shownGroup(HWND d) { return selected(d, 0) + " " + selected(d, 1) + " " + std::to_string(ListRows(d)); }
std::string open(HWND d) { return IsWindowVisible(d) ? "open" : "closed"; }
std::string listButtons(HWND d) { return Enabled(d, {{IDC_LIST_UPDATE, "更新"}, {IDC_LIST_DELETE, "削除"}}); }
std::string arrows(HWND d) {
  return Enabled(d, {{IDC_GROUP_MEMBER_IN, "←"}, {IDC_GROUP_MEMBER_OUT, "→"}, {IDC_GROUP_MEMBER_UP, "↑"},
                     {IDC_GROUP_MEMBER_DOWN, "↓"}, {IDC_GROUP_UPDATE, "更新"}});
}
std::string members(HWND d) { return ListBoxTexts(d, IDC_GROUP_MEMBERS) + " | " + ListBoxTexts(d, IDC_GROUP_CANDIDATES); }
int rows(HWND d, int id) { return (int)SendDlgItemMessageA(d, id, LB_GETCOUNT, 0, 0); }
void append(HWND d, const std::string& name) {  // no member selected: at the end
  Pick(d, IDC_GROUP_MEMBERS, nullptr), Pick(d, IDC_GROUP_CANDIDATES, name.c_str()), Press(d, IDC_GROUP_MEMBER_IN);
}
// The member ids of a stored group as "count:1,2,3".
std::string storedMembers(const char* name) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db->dbHandle, "select na, atab from etable where name=?", -1, &st, nullptr);
  sqlite3_bind_text(st, 1, db->toUTF8(name), -1, SQLITE_TRANSIENT);
  bool found = sqlite3_step(st) == SQLITE_ROW;
  int na = found ? sqlite3_column_int(st, 0) : 0, bytes = found ? sqlite3_column_bytes(st, 1) : 0;
  const int* ids = (const int*)sqlite3_column_blob(st, 1);
  std::string r = found ? std::to_string(na) + ":" : "none";
  for (int i = 0; i < na && (i + 1) * 4 <= bytes; i++) r += (i ? "," : "") + std::to_string(ids[i]);
  return sqlite3_finalize(st), r;
}
HWND listOf(HWND d) { return GetDlgItem(d, IDC_LIST_RECORDS); }
void key(HWND d, WPARAM vk) { SetFocus(listOf(d)), PostMessageA(listOf(d), WM_KEYDOWN, vk, 1), PostMessageA(listOf(d), WM_KEYUP, vk, 0xC0000001); }
void doubleClick(HWND d, int row) {
  RECT r{LVIR_LABEL, 0, 0, 0};
  SendMessageA(listOf(d), LVM_GETITEMRECT, row, (LPARAM)&r);
  LPARAM at = MAKELPARAM(r.left + 3, r.top + 3);
  for (UINT m : {WM_LBUTTONDOWN, WM_LBUTTONUP, WM_LBUTTONDBLCLK, WM_LBUTTONUP}) PostMessageA(listOf(d), m, m == WM_LBUTTONUP ? 0 : MK_LBUTTON, at);
}
// "column:up" or "column:down" as the header marks it.
std::string arrow(HWND d) {
  HWND header = (HWND)SendMessageA(listOf(d), LVM_GETHEADER, 0, 0);
  std::string r = "none";
  for (int c = 0; c < 3; c++) {
    HDITEMA item{};
    item.mask = HDI_FORMAT;
    SendMessageA(header, HDM_GETITEMA, c, (LPARAM)&item);
    if (item.fmt & (HDF_SORTUP | HDF_SORTDOWN)) r = std::to_string(c) + (item.fmt & HDF_SORTUP ? ":up" : ":down");
  }
  return r;
}
int columnWidth(HWND d, int c) { return (int)SendMessageA(listOf(d), LVM_GETCOLUMNWIDTH, c, 0); }
// Cells of a row the column is too narrow for.
std::string cutCells(HWND d, int row) {
  std::string cut;
  for (int c = 0; c < 2; c++) {
    std::string text = ListCell(d, row, c);
    if ((int)SendMessageA(listOf(d), LVM_GETSTRINGWIDTHA, 0, (LPARAM)text.c_str()) + 6 > columnWidth(d, c)) cut += " " + text;
  }
  return cut;
}
// What is wrong with a dialog's access keys: a button without one (but
// Escape's and the one-character arrows), or a key used twice.
std::string keyFaults(HWND d) {
  std::string faults, seen;
  for (HWND c = GetWindow(d, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
    char kind[32] = "", text[200] = "";
    GetClassNameA(c, kind, sizeof kind), GetWindowTextA(c, text, sizeof text);
    LONG style = GetWindowLongA(c, GWL_STYLE);
    bool button = !_stricmp(kind, "Button") && (style & BS_TYPEMASK) != BS_GROUPBOX;
    bool label = !_stricmp(kind, "Static") && !(style & SS_NOPREFIX);
    const char* amp = strchr(text, '&');
    char k = amp && amp[1] ? (char)toupper((unsigned char)amp[1]) : 0;
    if ((button || label) && k) faults += seen.find(k) != std::string::npos ? std::string(" twice:") + k : "", seen += k;
    else if (button && GetDlgCtrlID(c) != IDCANCEL && GetDlgCtrlID(c) != IDOK && strlen(text) > 2)
      faults += std::string(" none:") + text;
  }
  return faults;
}
// A key as the user presses it: to the control with the focus, else to the active window.
void press(WPARAM vk) {
  HWND f = GetFocus() ? GetFocus() : GetActiveWindow();
  PostMessageA(f, WM_KEYDOWN, vk, 1), PostMessageA(f, WM_KEYUP, vk, 0xC0000001);
}
std::string classOf(HWND w) { char kind[40] = ""; return GetClassNameA(w, kind, sizeof kind), kind; }
BOOL CALLBACK otherDialog(HWND w, LPARAM lp) {
  auto* s = (std::pair<HWND, bool>*)lp;
  return s->second |= w != s->first && classOf(w) == "#32770", TRUE;
}
// A dialog or box of this thread other than d, shown or about to be.
bool foreignTo(HWND d) {
  std::pair<HWND, bool> seen{d, false};
  return EnumThreadWindows(GetCurrentThreadId(), otherDialog, (LPARAM)&seen), seen.second;
}
// Walks d round its tab order twice: first each button clicked as a mouse does (that moves the focus
// alone), then by keys (Tab to it, its Alt+key or Space); a list gets Down; buttons in skip are left.
// What opens is closed with Escape (a question with Enter, its default); then the focus must be on an
// enabled control of d, and Enter there must open again what opened. Each fault is logged.
void walk(Script& t, HWND& d, std::initializer_list<int> skip) {
  std::vector<int> skipped(skip);
  for (int i = 0; i < 32; i++) {
    t.add([&t, &d, skipped, mouse = i < 16, phase = 0, ticks = 0, opened = false, acted = std::string()]() mutable {
      if (foreignTo(d)) {
        if (opened = true, ++ticks % 3 == 0) press(ticks > 6 ? VK_RETURN : VK_ESCAPE);
        return false;
      }
      HWND f = GetFocus();
      if (ticks = 0, phase++ == 0) {
        if (mouse && classOf(f = GetNextDlgTabItem(d, f, FALSE)) != "Button") SendMessageA(d, WM_NEXTDLGCTL, (WPARAM)f, TRUE);
        bool list = classOf(f) == "ListBox" || classOf(f) == "SysListView32";
        bool button = classOf(f) == "Button" && std::find(skipped.begin(), skipped.end(), GetDlgCtrlID(f)) == skipped.end();
        acted = ItemText(d, GetDlgCtrlID(f));
        const char* amp = strchr(acted.c_str(), '&');
        if (button && mouse) PostMessageA(f, WM_LBUTTONDOWN, MK_LBUTTON, 0), PostMessageA(f, WM_LBUTTONUP, 0, 0);
        else if (button && amp && amp[1]) PostMessageA(f, WM_SYSCHAR, tolower((unsigned char)amp[1]), 1 << 29);
        else if (list || button) press(list ? VK_DOWN : VK_SPACE);
        return false;
      }
      if (phase == 2 && (!f || !IsChild(d, f) || !IsWindowEnabled(f) || !IsWindowVisible(f)))
        t.log("stranded after " + acted), SendMessageA(d, WM_NEXTDLGCTL, 0, FALSE);
      else if (phase == 2 && opened)
        return opened = false, press(VK_RETURN), false;
      else if (phase == 3 && !opened)
        t.log("enter does nothing after " + acted);
      return mouse || (press(VK_TAB), true);
    });
  }
}
class Manage : public RunmateTest {};
}  // namespace

// Both lists by buttons and keys: Enter, a double-click, Delete and Insert act on the chosen row, Enter
// never closes a list; added, edited and deleted records show at once; what is in use is not deleted;
// a chosen executable gives the quoted template, a second choice cancelled keeps the fields.
TEST_F(Manage, ApplicationsAndGroupsAddedEditedAndDeleted) {
  std::string exe = dir + "\\view.exe";
  fclose(fopen(exe.c_str(), "wb"));
  auto groupState = [&] {
    return std::to_string(scalar("select count(*) from etable where name='" + std::string(db->toUTF8("文書")) + "'")) +
           " " + std::to_string(ListRows(groups)) + " " + Enabled(groups, {{IDC_LIST_DELETE, "削除"}});
  };
  auto peek = [&](const char* caption) {  // opened, then cancelled
    s.opened(caption, editor), s.act([&, caption] { s.log(std::string("opened ") + caption), Click(editor, IDCANCEL); });
    s.closed(editor);
  };
  s.opened(GROUPS, groups, "grouplist");
  s.act([&] { s.log(ItemText(groups, IDC_LIST_NAME) + " / " + ItemText(groups, IDC_LIST_DETAIL)), key(groups, VK_RETURN); });
  s.none();  // Enter without a row: nothing, the list stays
  s.act([&] { s.log("still " + open(groups)), doubleClick(groups, ListRowOf(groups, "テキスト")); });
  peek("拡張子グループ[テキスト]の更新");
  s.act([&] { key(groups, VK_INSERT); });
  peek("拡張子グループの追加");
  s.act([&] { Click(groups, IDC_GROUPS_APPS); });
  s.opened(APPS, apps, "applist");
  s.act([&] { s.log("rows " + std::to_string(ListRows(apps)) + " " + listButtons(apps)), Click(apps, IDC_APPS_EMPTY); });
  s.opened("アプリケーションの追加", editor, "appdialog");
  s.act([&] {
    Type(editor, IDC_EDIT_NAME, "  ビューア "), Type(editor, IDC_EDIT_DETAIL, "\"C:\\Tools\\view.exe\"  \"%1\""), Click(editor, IDC_APP_ADD);
  });
  s.closed(editor);
  s.act([&] {
    s.log("added " + std::to_string(ListRows(apps)) + " " + selected(apps, 0) + "@" + std::to_string(selectedRow(apps)) + " / " + ItemText(apps, IDC_LIST_NAME) +
          " / " + ItemText(apps, IDC_LIST_DETAIL));
    key(apps, VK_RETURN);
  });
  s.opened("アプリケーション[ビューア]の更新", editor, "appdialog-update");
  s.act([&] { Type(editor, IDC_EDIT_NAME, "メモ帳"), Click(editor, IDC_APP_UPDATE); });  // another's name: refused
  s.answer(IDOK);
  s.act([&] { Type(editor, IDC_EDIT_NAME, "画像ビューア"), Click(editor, IDC_APP_UPDATE); });
  s.closed(editor);
  s.act([&] { s.log("edited " + ListCell(apps, 4, 0) + " " + std::to_string(ListRows(apps))), selectRow(apps, "メモ帳"); });
  s.act([&] { key(apps, VK_DELETE); });
  s.answer(IDOK, "applist-used");
  s.none();  // a used application is not even offered for deletion
  for (int button : {IDNO, IDYES}) {
    s.act([&] { s.log("kept " + std::to_string(ListRowOf(apps, "メモ帳") >= 0)), selectRow(apps, "画像ビューア"); });
    s.act([&] { Click(apps, IDC_LIST_DELETE); });
    s.answer(button);
  }
  s.act([&] { s.log("deleted " + std::to_string(ListRows(apps)) + " " + listButtons(apps)); });
  s.act([&] { doubleClick(apps, ListRowOf(apps, "ワードパッド")); });
  peek("アプリケーション[ワードパッド]の更新");
  s.act([&] { key(apps, VK_INSERT); });
  s.opened("実行ファイルを開く", chooser, "chooser");
  s.act([&] { Type(chooser, 0x47C, exe), PostMessageA(chooser, WM_COMMAND, IDOK, 0); });  // the file name edit
  s.opened("アプリケーションの追加", editor);
  s.act([&] {
    s.log(ItemText(editor, IDC_EDIT_NAME) + " / " + ItemText(editor, IDC_EDIT_DETAIL));
    Type(editor, IDC_EDIT_MEMO, "keep"), Click(editor, IDC_APP_BROWSE);
  });
  s.opened("実行ファイルを開く", chooser);
  s.act([&] { Click(chooser, IDCANCEL); });
  s.closed(chooser);
  s.act([&] {
    s.log("after cancel " + ItemText(editor, IDC_EDIT_NAME) + " / " + ItemText(editor, IDC_EDIT_MEMO));
    Type(editor, IDC_EDIT_NAME, "ビュー"), Type(editor, IDC_EDIT_DETAIL, "old.exe /p \"%1\""), Click(editor, IDC_APP_BROWSE);
  });
  s.opened("実行ファイルを開く", chooser);
  s.act([&] { Type(chooser, 0x47C, exe), PostMessageA(chooser, WM_COMMAND, IDOK, 0); });
  s.closed(chooser);
  s.act([&] { s.log("kept " + ItemText(editor, IDC_EDIT_NAME) + " / " + ItemText(editor, IDC_EDIT_DETAIL)); });
  s.act([&] { Click(editor, IDCANCEL); });
  s.closed(editor);
  s.act([&] { Click(apps, IDCANCEL); });
  s.closed(apps);
  s.act([&] {
    s.log("groups " + groupState()), ListSelect(groups, ListRowOf(groups, "_Folder"));
    s.log("label " + ItemText(groups, IDC_LIST_NAME) + " / " + ItemText(groups, IDC_LIST_DETAIL));  // a group without extensions
  });
  for (int button : {IDNO, IDYES}) {
    s.act([&, button] {
      ListSelect(groups, ListRowOf(groups, "文書"));
      s.log("label " + ItemText(groups, IDC_LIST_NAME) + " / " + ItemText(groups, IDC_LIST_DETAIL) + " " + groupState());
      button == IDNO ? key(groups, VK_DELETE) : Click(groups, IDC_LIST_DELETE);
    });
    s.answer(button);
    s.act([&] { s.log("after " + groupState()); });
  }
  EXPECT_TRUE(s.run([&] { ExtList(frame); }));
  EXPECT_EQ(s.logged(),
            "拡張子グループ 3 件 / 行を選んで Enter で更新、Insert で新規、Delete で削除\nstill open\n"
            "opened 拡張子グループ[テキスト]の更新\nopened 拡張子グループの追加\n"
            "rows 4 更新- 削除-\nadded 5 ビューア@2 / ビューア / \"C:\\Tools\\view.exe\"  \"%1\"\n"
            "box 名前が重複しています\nedited 画像ビューア 5\n"
            "box アプリケーションはグループ[テキスト、文書]で使用されています。\nそれらのグループから外すと削除できます。\nkept 1\n"
            "box アプリケーション[画像ビューア]を削除します。よろしいですか？\n"
            "kept 1\nbox アプリケーション[画像ビューア]を削除します。よろしいですか？\ndeleted 4 更新- 削除-\n"
            "opened アプリケーション[ワードパッド]の更新\nview / \"" + exe + "\"  \"%1\"\nafter cancel view / keep\nkept ビュー / \"" + exe + "\" /p \"%1\"\ngroups 1 3 削除+\nlabel _Folder / (拡張子なし)\n"
            "label 文書 / rtf,wri,doc 1 3 削除+\nbox グループ[文書]を削除します。よろしいですか？\nafter 1 3 削除+\n"
            "label 文書 / rtf,wri,doc 1 3 削除+\nbox グループ[文書]を削除します。よろしいですか？\nafter 0 2 削除-\n");
  EXPECT_EQ(scalar("select count(*) from atable") * 10 + scalar("select count(*) from atable where id=1"), 41)
      << "a used application stays, a cancelled one is not stored";
  EXPECT_TRUE(alist.size() == 4 && !findAppItem("画像ビューア"));
  EXPECT_EQ(elist.size(), 2u) << "the deleted group left the list";
}

TEST_F(Manage, AppListTellsWhetherAnythingChanged) {
  for (bool copy : {false, true}) {
    Script t;
    t.opened(APPS, apps);
    t.act([&] { selectRow(apps, "メモ帳"), Click(apps, copy ? IDC_LIST_UPDATE : IDC_APPS_EMPTY); });
    t.opened(copy ? "アプリケーション[メモ帳]の更新" : "アプリケーションの追加", editor);
    t.act([&] { Click(editor, copy ? IDC_APP_ADD : IDCANCEL); });  // a copy under the same name: refused
    if (copy) t.answer(IDOK), t.act([&] { Type(editor, IDC_EDIT_NAME, "メモ帳の写し"), Click(editor, IDC_APP_ADD); });
    t.closed(editor);
    t.act([&] { t.log("shown " + selected(apps, 0) + " " + std::to_string(ListRowOf(apps, "メモ帳") >= 0)), Click(apps, IDCANCEL); });
    EXPECT_TRUE(t.run([&] { EXPECT_EQ(AppList(frame), copy); }));
    EXPECT_EQ(t.logged(), copy ? "box 名前が重複しています\nshown メモ帳の写し 1\n" : "shown メモ帳 1\n");
  }
  EXPECT_EQ(scalar("select count(*) from atable"), 5);
}

// Built, edited, then followed by the real program: menu order, folder group, font size.
TEST_F(Manage, GroupBuiltOrderedStoredAndFollowedByTheProgram) {
  std::string exe = dir + "\\Runmate.exe", record = MakeTempDir("rec") + "\\record.txt";
  ASSERT_TRUE(CopyFileTo(WinPath(KO_TEST_BIN_DIR "/Runmate.exe"), exe));
  SetEnvironmentVariableA("KO_RECORD", record.c_str());
  std::string recorder = WinPath(KO_TEST_BIN_DIR "/recorder.exe");
  for (int i = 1; i <= 3; i++)
    sql("update atable set cmd='\"" + recorder + "\"  " + char('A' + i - 1) + " \"%1\"' where id=" + std::to_string(i));
  // The program started with args; while it runs, see() gets its process.
  auto start = [&](const std::string& args, const std::function<void(DWORD)>& see) {
    std::string line = "\"" + exe + "\" " + args;
    STARTUPINFOA si{};
    PROCESS_INFORMATION pi{};
    si.cb = sizeof si;
    if (!CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi)) return -1;
    see(pi.dwProcessId);
    DWORD code = 99;
    if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 98);
    return CloseHandle(pi.hProcess), CloseHandle(pi.hThread), (int)code;
  };
  auto listWidth = [&] {  // follows the dialog font
    int width = -1;
    EXPECT_EQ(start("", [&](DWORD pid) {
      HWND w = WaitWindow(pid, "#32770", 15000, GROUPS);
      RECT r{};
      if (w && GetWindowRect(w, &r)) width = r.right - r.left, PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    }), 0);
    return width;
  };
  // The mark of the application the menu entry chosen by downs started.
  auto launch = [&](const std::string& path, int downs) {
    DeleteFileA(record.c_str());
    EXPECT_EQ(start("\"" + path + "\"", [&](DWORD pid) {
      HWND menu = WaitWindow(pid, "#32768", 15000);
      Sleep(100);  // the first entry comes highlighted
      for (int i = 1; menu && i < downs; i++) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
      if (menu) PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    }), 0);
    std::string got = WaitForFile(record, 10000);
    size_t mark = got.find("  ");
    return mark == std::string::npos ? got : got.substr(mark + 2, 1);
  };
  int before = listWidth();
  s.opened(GROUPS, groups);
  s.act([&] { Click(groups, IDC_GROUPS_NEW); });
  s.opened("拡張子グループの追加", editor, "extdialog");
  // A pick in a list (0: none; 1: appended with no member selected), then a press.
  const int CAND = IDC_GROUP_CANDIDATES, MEMB = IDC_GROUP_MEMBERS, TO_IN = IDC_GROUP_MEMBER_IN, TO_UP = IDC_GROUP_MEMBER_UP;
  const struct { int list; const char* pick; int press; const char* shows; } moves[] = {
      {0, nullptr, 0, " | エクスプローラー,コマンドプロンプト,メモ帳,ワードパッド ←- →- ↑- ↓- 更新-"},
      {CAND, "メモ帳", 0, " | エクスプローラー,コマンドプロンプト,[メモ帳],ワードパッド ←+ →- ↑- ↓- 更新-"},
      {0, nullptr, TO_IN, "[メモ帳] | エクスプローラー,コマンドプロンプト,ワードパッド ←- →+ ↑- ↓- 更新-"},
      {CAND, "エクスプローラー", TO_IN, "メモ帳,[エクスプローラー] | コマンドプロンプト,ワードパッド ←- →+ ↑+ ↓- 更新-"},  // after the selected
      {1, "ワードパッド", 0, "メモ帳,エクスプローラー,[ワードパッド] | コマンドプロンプト ←- →+ ↑+ ↓- 更新-"},
      {0, nullptr, TO_UP, "メモ帳,[ワードパッド],エクスプローラー | コマンドプロンプト ←- →+ ↑+ ↓+ 更新-"},
      {MEMB, "メモ帳", 0, "[メモ帳],ワードパッド,エクスプローラー | コマンドプロンプト ←- →+ ↑- ↓+ 更新-"},
      {0, nullptr, IDC_GROUP_MEMBER_OUT, "ワードパッド,エクスプローラー | コマンドプロンプト,[メモ帳] ←+ →- ↑- ↓- 更新-"},
      {1, "メモ帳", 0, "ワードパッド,エクスプローラー,[メモ帳] | コマンドプロンプト ←- →+ ↑+ ↓- 更新-"}};
  s.act([&] {
    Type(editor, IDC_EDIT_NAME, " 画像 "), Type(editor, IDC_EDIT_DETAIL, "png,.jpg, gif");
    Type(editor, IDC_EDIT_MEMO, "絵を見る\r\n二行目");
    for (auto& m : moves) {
      if (m.list == 1) append(editor, m.pick);
      else if (m.list) Pick(editor, m.list, m.pick);
      if (m.press) Press(editor, m.press);
      EXPECT_EQ(members(editor) + " " + arrows(editor), m.shows) << &m - moves;
    }
    SendMessageA(editor, WM_COMMAND, IDOK, 0);  // Enter in an edit: nothing is lost
    s.log("enter " + open(editor) + ", list " + (IsWindowEnabled(groups) ? "usable" : "blocked"));
    Click(editor, IDC_GROUP_ADD);
  });
  s.closed(editor);
  s.act([&] {
    s.log("added " + shownGroup(groups) + " " + storedMembers("画像")), Click(groups, IDC_LIST_UPDATE);
  });
  s.opened("拡張子グループ[画像]の更新", editor, "extdialog-update");
  s.act([&] {
    Pick(editor, MEMB, "エクスプローラー"), Press(editor, TO_UP), Press(editor, TO_UP);
    s.log(members(editor) + " " + arrows(editor));
  });
  // Refused: another's name, its own as a new one; then stored.
  const struct { const char* name; int button; } tries[] = {{"テキスト", IDC_GROUP_UPDATE}, {"画像", IDC_GROUP_ADD}, {"画像", IDC_GROUP_UPDATE}};
  for (auto& t : tries) {
    s.act([&] { Type(editor, IDC_EDIT_NAME, t.name), Type(editor, IDC_EDIT_DETAIL, "png,jpg,gif,bmp"), Click(editor, t.button); });
    if (&t != &tries[2]) s.answer(IDOK);
  }
  s.closed(editor);
  s.act([&] {
    s.log("updated " + shownGroup(groups) + " / " + ItemText(groups, IDC_LIST_NAME) + " " + storedMembers("画像"));
    Click(groups, IDC_GROUPS_OPTIONS);
  });
  s.opened("オプションの設定", editor, "option");
  s.act([&] { Type(editor, IDC_OPT_FOLDER_GROUP, "画像"), Type(editor, IDC_OPT_FONT_SIZE, "14"), Click(editor, IDOK); });
  s.closed(editor);
  s.act([&] { Click(groups, IDCANCEL); });
  EXPECT_TRUE(s.run([&] { ExtList(frame); }));
  EXPECT_EQ(s.logged(),
            "enter open, list blocked\nadded 画像 png,.jpg,gif 4 3:2,3,1\n"
            "[エクスプローラー],ワードパッド,メモ帳 | コマンドプロンプト ←- →+ ↑- ↓+ 更新+\n"
            "box 名前が重複しています\nbox 名前が重複しています\nupdated 画像 png,jpg,gif,bmp 4 / 画像 3:3,2,1\n");
  EXPECT_EQ(scalar("select count(*) from etable"), 4) << "one group added, none duplicated";
  ASSERT_TRUE(findExtItem("画像"));
  EXPECT_EQ(findExtItem("画像")->memo + std::to_string(findExtItem("画像")->count()), "絵を見る\r\n二行目3");
  std::string file = dir + "\\報告.png", folder = dir + "\\フォルダ";
  ASSERT_TRUE(CopyFileTo(exe, file) && CreateDirectoryA(folder.c_str(), nullptr));
  EXPECT_EQ(launch(file, 1) + launch(file, 2) + launch(file, 3), "CBA");
  EXPECT_EQ(launch(folder, 1), "C") << "a folder goes to the new folder group";
  int after = listWidth();
  EXPECT_TRUE(before > 0 && after * 10 > before * 14) << before << " -> " << after << ": the font size of 14 applies";
}

TEST_F(Manage, MembersByIdWithinFortyAndRenamedThroughTheList) {
  std::string values, all;
  for (int i = 0; i <= 40; i++) {
    std::string name = (i < 10 ? "アプリ0" : "アプリ") + std::to_string(i);
    values += (i ? ",('" : "('") + name + "','x','')", all += name + ",";
  }
  sql("insert into atable (name,cmd,memo) values " + values);
  // An id without an application and one twice, as an old or hand-edited file may hold them.
  sql("insert into etable (name,elist,memo,na,atab) values ('大','big','',3,X'630000000100000001000000')");
  reopen();
  extItem record;
  ASSERT_TRUE(findExtItem("大"));
  record.import(findExtItem("大"));
  s.opened("拡張子グループ[大]の更新", editor);
  s.act([&] {
    s.log("start " + members(editor));
    for (int i = 0; i < 45; i++) {
      char first[100] = "";
      SendDlgItemMessageA(editor, IDC_GROUP_CANDIDATES, LB_GETTEXT, 0, (LPARAM)first);
      append(editor, first);
    }
    Pick(editor, IDC_GROUP_CANDIDATES, "ワードパッド");
    s.log("full " + std::to_string(rows(editor, IDC_GROUP_MEMBERS)) + " " + arrows(editor));
    Press(editor, IDC_GROUP_MEMBER_IN);  // the move itself refuses a 41st
    s.log("still " + std::to_string(rows(editor, IDC_GROUP_MEMBERS)) + " " + std::to_string(rows(editor, IDC_GROUP_CANDIDATES)));
    Click(editor, IDC_GROUP_CANDIDATES_LIST);
  });
  s.opened(APPS, apps);
  s.act([&] { selectRow(apps, "メモ帳"), Click(apps, IDC_LIST_UPDATE); });
  s.opened("アプリケーション[メモ帳]の更新", editor);
  s.act([&] { Type(editor, IDC_EDIT_NAME, "メモ帳2"), Click(editor, IDC_APP_UPDATE); });
  s.closed(editor);
  s.act([&] { selectRow(apps, "アプリ38"), Click(apps, IDC_LIST_DELETE); });  // a member not stored yet: it may go
  s.answer(IDYES);
  s.act([&] { Click(apps, IDCANCEL); });
  s.closed(apps);
  s.opened("拡張子グループ[大]の更新", editor);
  s.act([&] {
    std::string texts = ListBoxTexts(editor, IDC_GROUP_MEMBERS);
    s.log("after " + std::to_string(rows(editor, IDC_GROUP_MEMBERS)) + " " + texts.substr(0, texts.find(',')) + " | " +
          ListBoxTexts(editor, IDC_GROUP_CANDIDATES));
    Click(editor, IDC_GROUP_UPDATE);
  });
  EXPECT_TRUE(s.run([&] { EXPECT_EQ(ExtDialog(frame, &record), 2); }));
  EXPECT_EQ(s.logged(), "start メモ帳 | " + all + "エクスプローラー,コマンドプロンプト,ワードパッド\nfull 40 ←- →- ↑- ↓- 更新+\n"
                        "still 40 5\nbox アプリケーション[アプリ38]を削除します。よろしいですか？\n"
                        "after 39 メモ帳2 | アプリ39,アプリ40,エクスプローラー,コマンドプロンプト,ワードパッド\n");
  std::string ids = storedMembers("大");
  EXPECT_TRUE(ids.substr(0, 5) == "39:1," && ids.find(",99") == std::string::npos) << ids;
  EXPECT_EQ(record.count(), 39);
  for (int i = 0; i < record.count(); i++) EXPECT_NE(findAppItem(record.atab[i]), nullptr) << i;
}

// A failed write says why and keeps the editor open; a read-only exec.db is found at the start: the
// lists say so above them and take no edit, add or delete, by button or key; the launch reads as usual.
TEST_F(Manage, FailedWriteSaysWhyAndReadOnlyIsFoundAtTheStart) {
  sql("alter table etable rename to etable_gone");
  extItem record;
  s.opened("拡張子グループの追加", editor);
  s.act([&] { Type(editor, IDC_EDIT_NAME, "新しい"), Type(editor, IDC_EDIT_DETAIL, "new"), Click(editor, IDC_GROUP_ADD); });
  s.answer(IDOK, "box-writefailed");
  s.act([&] { s.log(open(editor) + " " + ItemText(editor, IDC_EDIT_NAME)), Click(editor, IDCANCEL); });
  EXPECT_TRUE(s.run([&] { EXPECT_EQ(ExtDialog(frame, &record), 0); }));
  EXPECT_EQ(s.logged(), "box 追加に失敗しました!\n\n理由: no such table: etable\nexec.db が壊れていないか確かめてください。\nopen 新しい\n");
  EXPECT_TRUE(record.id == 0 && !findExtItem("新しい"));
  sql("alter table etable_gone rename to etable");
  TermDb();
  std::string file = dir + "\\exec.db";
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
  reopen();
  EXPECT_EQ(dbReadOnly, "exec.db に読み取り専用の属性があります: " + dir);
  const char* const all = "新規- 更新- 削除-";
  Script t;
  t.opened(GROUPS, groups);
  t.act([&] {  // a row holds the font's full height and a pixel above and below
    HDC dc = GetDC(listOf(groups));
    HGDIOBJ old = SelectObject(dc, (HGDIOBJ)SendMessageA(listOf(groups), WM_GETFONT, 0, 0));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm), SelectObject(dc, old), ReleaseDC(listOf(groups), dc);
    RECT row{LVIR_BOUNDS, 0, 0, 0};
    SendMessageA(listOf(groups), LVM_GETITEMRECT, 0, (LPARAM)&row);
    if (row.bottom - row.top < tm.tmHeight + 2) t.log("rows of " + std::to_string(row.bottom - row.top) + " for " + std::to_string(tm.tmHeight));
    selectRow(groups, "_Folder");
  });
  t.add([&] { return ShotWhenPainted(groups, "grouplist-readonly"); });  // the underscore whole
  t.act([&] {
    selectRow(groups, "テキスト");
    t.log(ItemText(groups, IDC_LIST_NAME) + " / " + ItemText(groups, IDC_LIST_DETAIL) + " " +
          Enabled(groups, {{IDC_GROUPS_NEW, "新規"}, {IDC_LIST_UPDATE, "更新"}, {IDC_LIST_DELETE, "削除"}}));
    key(groups, VK_DELETE), key(groups, VK_INSERT), key(groups, VK_RETURN);
  });
  t.none();
  t.act([&] { Click(groups, IDC_GROUPS_APPS); });
  t.opened(APPS, apps);
  t.act([&] {
    selectRow(apps, "メモ帳");
    t.log(Enabled(apps, {{IDC_APPS_NEW, "新規"}, {IDC_LIST_UPDATE, "更新"}, {IDC_LIST_DELETE, "削除"}, {IDC_APPS_EMPTY, "空欄"}}));
    Click(apps, IDCANCEL);
  });
  t.closed(apps);
  t.act([&] { Click(groups, IDC_GROUPS_HELP); });  // no help beside the tests
  t.answer(IDOK, "box-nohelp");
  EXPECT_TRUE(t.run([&] { ExtList(frame); }));
  char folder[300] = "";
  pModule->path.getFilePos(folder);
  EXPECT_EQ(t.logged(), "読み取り専用です。exec.db に読み取り専用の属性があります: " + dir + " / テキスト  txt,log,ini,csv,md " + all + "\n" + all +
                            " 空欄-\nbox ヘルプのファイルがありません。\n\n" + folder + "help\\help.html\n\n"
                            "プログラムと一緒に配られた help フォルダーを、プログラムと同じフォルダーに置いてください。\n");
  EXPECT_EQ(GoDecide(false, "txt"), 2) << "the launch reads as usual";
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
}

// The sort column and direction and the widths come back at the next opening;
// widths follow a new font size, first widths show their content.
TEST_F(Manage, SortAndWidthsAreKeptAcrossFontSizes) {
  sql("insert into atable (name,cmd,memo) values ('五文字の名','\"C:\\Windows\\notepad.exe\"  \"%1\"','')");
  reopen();
  int first = 0;
  for (int pass = 0; pass < 3; pass++) {
    Script t;
    t.opened(APPS, apps);
    t.act([&, pass] {
      t.log(arrow(apps) + " " + (pass ? ListCell(apps, 0, 1).substr(1, 18) : ListCell(apps, 0, 0)) + " cut:" + cutCells(apps, ListRowOf(apps, "五文字の名")) +
            cutCells(apps, ListRowOf(apps, "メモ帳")));
      if (pass == 0) {
        first = columnWidth(apps, 0);
        NMLISTVIEW nm{};
        nm.hdr = {listOf(apps), IDC_LIST_RECORDS, (UINT)LVN_COLUMNCLICK}, nm.iSubItem = 1;
        for (int i = 0; i < 2; i++) SendMessageA(apps, WM_NOTIFY, IDC_LIST_RECORDS, (LPARAM)&nm);
        SendMessageA(listOf(apps), LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(first + 30, 0));
      } else {
        int ratio = columnWidth(apps, 0) * 100 / (first + 30), font = pass == 1 ? 133 : 100;
        t.log("width " + (abs(ratio - font) <= 4 ? std::string("follows the font") : std::to_string(ratio)));
      }
      Click(apps, IDCANCEL);
    });
    koDialog::FontSize(pass == 1 ? 12 : 9);
    EXPECT_TRUE(t.run([&] { AppList(frame); }));
    koDialog::FontSize(9);
    s.log(t.logged());
  }
  EXPECT_EQ(s.logged(), "0:up エクスプローラー cut:\n\n1:down C:\\Windows\\notepad cut:\nwidth follows the font\n\n1:down C:\\Windows\\notepad cut:\nwidth follows the font\n\n");
  EXPECT_EQ(db->getIntIx("SortIndex_a", 0, -1) * 10 + db->getIntIx("SortIndex_a", 1, -1), 11);
}

// The largest allowed font size is the largest at which every dialog fits a
// 1366x768 screen less its taskbar, the smallest the smallest at which no
// text is cut; between them none is cut or touches its edges; every button
// has its own access key. At 9 points
// each is walked by keyboard alone: the focus never strands, Tab moves it
// and Escape closes the dialog.
TEST_F(Manage, EveryDialogFitsAndIsWalkedByKeyboard) {
  extItem group;
  appItem app;
  group.import(findExtItem("テキスト"));
  const struct { const char* caption; std::function<void()> show; std::initializer_list<int> bottom, skip; } dialogs[] = {
      {GROUPS, [&] { ExtList(frame); }, {IDC_GROUPS_ABOUT, IDC_GROUPS_OPTIONS, IDC_GROUPS_HELP, IDCANCEL}, {IDC_GROUPS_HELP, IDCANCEL}},
      {APPS, [&] { AppList(frame); }, {IDC_APPS_NEW, IDC_APPS_EMPTY, IDC_LIST_UPDATE, IDC_LIST_DELETE, IDCANCEL}, {IDCANCEL}},
      {"拡張子グループ[テキスト]の更新", [&] { ExtDialog(frame, &group); }, {IDC_GROUP_ADD, IDC_GROUP_UPDATE, IDCANCEL},
       {IDC_GROUP_ADD, IDC_GROUP_UPDATE, IDCANCEL}},
      {"アプリケーションの追加", [&] { AppDialog(frame, &app); }, {IDC_APP_ADD, IDC_APP_UPDATE, IDCANCEL}, {IDC_APP_ADD, IDC_APP_UPDATE, IDCANCEL}},
      {"オプションの設定", [&] { OptionDialog(frame); }, {IDOK, IDCANCEL}, {IDOK, IDCANCEL}},
      {"バージョン情報", [&] { (new koDialogModal(frame, "koDialog", -999, "ABOUTBOX"))->run(); }, {}, {IDOK}}};
  // The small screen in this screen's pixels; above 96 DPI dialogs also shrink to fit the real one.
  HDC screen = GetDC(nullptr);
  const int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  const int workWidth = MulDiv(1366, dpi, 96), workHeight = MulDiv(768 - 40, dpi, 96);
  for (int size : {(int)OPT_FONT_MIN - 1, (int)OPT_FONT_MIN, 9, (int)OPT_FONT_MAX, (int)OPT_FONT_MAX + 1}) {
    std::string over, faults, below;
    koDialog::FontSize(size);
    for (auto& d : dialogs) {
      Script t;
      HWND w = nullptr;
      t.opened(d.caption, w);
      t.act([&] {
        RECT r{};
        GetWindowRect(w, &r);
        if (r.right - r.left > workWidth || r.bottom - r.top > workHeight)
          over += std::string(" ") + d.caption + ":" + std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
        if (size == 9 && !keyFaults(w).empty()) faults += std::string(" ") + d.caption + keyFaults(w);
        if (Misfits(w, d.bottom) != "fits") (size < OPT_FONT_MIN ? below : faults) += std::string(" ") + d.caption + " at " + std::to_string(size) + ": " + Misfits(w, d.bottom);
        if (size != 9) Click(w, IDCANCEL);
      });
      if (size == 9) {  // Escape ends the dialog, and with it the script before its last step
        walk(t, w, d.skip);
        t.act([&] { press(VK_ESCAPE); });
        t.add([&, n = 0]() mutable { return ++n > 10 && (t.log("open after Escape"), true); });
      }
      EXPECT_EQ(t.run(d.show, 50), size != 9) << d.caption;
      EXPECT_EQ(t.logged(), "") << d.caption;
    }
    EXPECT_EQ(faults, "");
    if (size < OPT_FONT_MIN && dpi == 96) { EXPECT_NE(below, "") << "every dialog still fits at " << size << ": the bound may shrink"; }
    if (size <= OPT_FONT_MAX) {
      EXPECT_EQ(over, "") << "at " << size;
    } else if (dpi == 96) {
      EXPECT_NE(over, "") << "every dialog still fits at " << size << ": the bound may grow";
    }
  }
  koDialog::FontSize(9);
  for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_SENDTO}) {  // the walk made them
    char path[MAX_PATH] = "";
    SHGetSpecialFolderPathA(nullptr, path, csidl, FALSE);
    DeleteFileA((std::string(path) + "\\Runmate.lnk").c_str());
  }
}
