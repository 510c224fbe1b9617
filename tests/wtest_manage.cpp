// The management dialogs driven under Wine from the group list, as a user
// would with the mouse: the application list and its editor, the group
// editor with its ordered members, and what the stored registrations do to
// the real program afterwards. Every dialog is saved as a screenshot under
// shots/ on the way.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <sqlite3.h>
#include <functional>
#include <string>
#include <vector>
#include "appDialog.h"
#include "appList.h"
#include "dbsub.h"
#include "extDialog.h"
#include "extList.h"
#include "ko_test.h"
#include "koDlg0.h"
#include "koMainWin.h"
#include "koModule.h"

namespace {
koModule module;

using Frame = HiddenFrame;

const char* const GROUPS = "拡張子グループのリスト";
const char* const APPS = "アプリケーションのリスト";

// The user's actions, one a step; a step returns false while what it
// waits for is not there yet.
std::vector<std::function<bool()>> steps;
size_t at = 0;
int idle = 0;
std::vector<std::string> log;
HWND groups = nullptr, apps = nullptr, editor = nullptr;

void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
  static bool busy = false;  // a step's message box must not re-enter
  if (busy) return;
  busy = true;
  if (at < steps.size()) {
    if (steps[at]()) {
      at++;
      idle = 0;
    } else if (++idle > 150) {
      // Stuck: say where, then close whatever is open so the test ends.
      log.push_back("stuck at step " + std::to_string(at));
      at = steps.size();
    }
  } else if (HWND open = ThreadDialog(nullptr)) {
    PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
  }
  busy = false;
}

void add(std::function<bool()> step) { steps.push_back(step); }

// Waits for a dialog with that caption, keeps its handle and looks at it.
void opened(const char* caption, HWND& into, const char* shot = nullptr) {
  std::string c = caption;
  std::string s = shot ? shot : "";
  add([c, s, &into] {
    into = ThreadDialog(c.c_str());
    if (!into) return false;
    return s.empty() || ShotWhenPainted(into, s);
  });
}

void closed(HWND& window) {
  add([&window] { return !IsWindow(window) || !IsWindowVisible(window); });
}

void act(std::function<void()> f) {
  add([f] {
    f();
    return true;
  });
}

// A message box over owner: its text is logged and button pressed.
void answer(HWND& owner, int button, const char* shot = nullptr) {
  std::string s = shot ? shot : "";
  add([&owner, button, s] {
    HWND box = ThreadDialog(nullptr, owner);
    if (!box || !GetDlgItem(box, 65535) || box == groups || box == apps || box == editor)
      return false;
    if (!s.empty() && !ShotWhenPainted(box, s)) return false;
    log.push_back("box " + ItemText(box, 65535));
    Click(box, button);
    return true;
  });
}

void selectRow(HWND d, const char* name) { ListSelect(d, ListRowOf(d, name)); }

int selectedRow(HWND d) {
  return (int)SendDlgItemMessageA(d, 300, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

std::string boxTexts(HWND d, int id) {
  std::string all;
  int n = (int)SendDlgItemMessageA(d, id, LB_GETCOUNT, 0, 0);
  int sel = (int)SendDlgItemMessageA(d, id, LB_GETCURSEL, 0, 0);
  for (int i = 0; i < n; i++) {
    char buf[512] = "";
    SendDlgItemMessageA(d, id, LB_GETTEXT, i, (LPARAM)buf);
    if (i) all += ",";
    all += i == sel ? std::string("[") + buf + "]" : buf;
  }
  return all;
}

// A click in a list box on that name (null: no row), as the control tells it.
void pick(HWND d, int id, const char* name) {
  int row = name ? (int)SendDlgItemMessageA(d, id, LB_FINDSTRINGEXACT, (WPARAM)-1, (LPARAM)name) : -1;
  SendDlgItemMessageA(d, id, LB_SETCURSEL, row, 0);
  SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, LBN_SELCHANGE), (LPARAM)GetDlgItem(d, id));
}

void press(HWND d, int id) {
  SendMessageA(d, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)GetDlgItem(d, id));
}

std::string enabled(HWND d, std::initializer_list<std::pair<int, const char*>> buttons) {
  std::string s;
  for (auto& b : buttons) {
    if (!s.empty()) s += " ";
    s += b.second;
    s += IsWindowEnabled(GetDlgItem(d, b.first)) ? "+" : "-";
  }
  return s;
}

std::string arrows(HWND d) {
  return enabled(d, {{30, "←"}, {31, "→"}, {33, "↑"}, {34, "↓"}, {121, "更新"}});
}

std::string members(HWND d) { return boxTexts(d, 260) + " | " + boxTexts(d, 261); }

void type(HWND d, int id, const std::string& text) { SetDlgItemTextA(d, id, text.c_str()); }

std::string joined() {
  std::string all;
  for (auto& l : log) all += l + "\n";
  return all;
}

int scalar(const std::string& sql) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db->dbHandle, sql.c_str(), -1, &st, nullptr);
  int n = st && sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
  sqlite3_finalize(st);
  return n;
}

// The member ids of a stored group, as "1,2,3", and its count.
std::string storedMembers(const char* name) {
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db->dbHandle, "select na, atab from etable where name=?", -1, &st, nullptr);
  sqlite3_bind_text(st, 1, db->toUTF8(name), -1, SQLITE_TRANSIENT);
  std::string r = "none";
  if (sqlite3_step(st) == SQLITE_ROW) {
    int na = sqlite3_column_int(st, 0);
    const int* ids = (const int*)sqlite3_column_blob(st, 1);
    int bytes = sqlite3_column_bytes(st, 1);
    r = std::to_string(na) + ":";
    for (int i = 0; i < na && (i + 1) * 4 <= bytes; i++) r += (i ? "," : "") + std::to_string(ids[i]);
  }
  sqlite3_finalize(st);
  return r;
}

int appId(const char* name) {
  for (appItem* a : alist)
    if (a->name == name) return a->id;
  return -1;
}

class Manage : public ::testing::Test {
 protected:
  std::string dir;
  Frame* frame = nullptr;
  UINT_PTR timer = 0;

  void SetUp() override {
    dir = MakeTempDir("manage");
    ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "\\exec.db"));
    open();
    pModule = &module;
    module.title = "Runmate";
    koDialog::FontSize(9);
    frame = new Frame;
    ASSERT_TRUE(frame->create("frame"));
    steps.clear();
    log.clear();
    at = 0;
    idle = 0;
    groups = apps = editor = nullptr;
  }
  void TearDown() override {
    if (frame) DestroyWindow(frame->hWnd);
    pModule = nullptr;
    TermDb();
    EraseItem();
  }
  void open() {
    ASSERT_TRUE(DbOpen(dir.c_str(), "Runmate"));
    GetAllItem();
    LoadParams();
  }
  void sql(const std::string& text) {
    ASSERT_EQ(db->exec(text.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << text;
  }
  // Runs what was scripted against fn's dialogs.
  void run(std::function<void()> fn) {
    at = 0;
    idle = 0;
    timer = SetTimer(nullptr, 0, 100, tick);
    fn();
    KillTimer(nullptr, timer);
    EXPECT_EQ(at, steps.size()) << "the dialogs ended before the script did";
  }
};
}  // namespace

TEST_F(Manage, ApplicationsAddedEditedAndDeleted) {
  opened(GROUPS, groups, "grouplist");
  act([] { Click(groups, 1011); });
  opened(APPS, apps, "applist");
  act([] {
    log.push_back("rows " + std::to_string(ListRows(apps)) + " " + enabled(apps, {{32, "更新"}, {31, "削除"}}));
    Click(apps, 120);
  });
  opened("アプリケーションの追加", editor, "appdialog");
  act([] {
    log.push_back(std::string("lists ") + (IsWindowEnabled(apps) || IsWindowEnabled(groups) ? "usable" : "blocked"));
    type(editor, 140, "  ビューア ");
    type(editor, 141, "\"C:\\Tools\\view.exe\"  \"%1\"");
    type(editor, 142, "画像を見る");
    Click(editor, 30);
  });
  closed(editor);
  act([] {
    int row = selectedRow(apps);
    log.push_back("added " + std::to_string(ListRows(apps)) + " " + ListCell(apps, row, 0) + " / " +
                  ItemText(apps, 100) + " / " + ItemText(apps, 101));
    Click(apps, 32);
  });
  opened("アプリケーション[ビューア]の更新", editor, "appdialog-update");
  act([] {
    type(editor, 140, "   ");
    Click(editor, 32);
  });
  answer(editor, IDOK);
  act([] {
    type(editor, 140, "メモ帳");
    Click(editor, 32);
  });
  answer(editor, IDOK);
  act([] {
    type(editor, 140, "画像ビューア");
    Click(editor, 32);
  });
  closed(editor);
  act([] {
    log.push_back("edited " + ListCell(apps, selectedRow(apps), 0) + " " + std::to_string(ListRows(apps)));
    selectRow(apps, "メモ帳");
    Click(apps, 31);
  });
  answer(apps, IDOK, "applist-used");
  act([] {
    log.push_back("kept " + std::to_string(ListRowOf(apps, "メモ帳") >= 0));
    selectRow(apps, "画像ビューア");
    Click(apps, 31);
  });
  answer(apps, IDNO);
  act([] {
    selectRow(apps, "画像ビューア");
    Click(apps, 31);
  });
  answer(apps, IDYES);
  act([] {
    log.push_back("deleted " + std::to_string(ListRows(apps)) + " " +
                  enabled(apps, {{32, "更新"}, {31, "削除"}}));
    Click(apps, IDCANCEL);
  });
  closed(apps);
  act([] { Click(groups, IDCANCEL); });
  run([this] { ExtList(frame); });
  EXPECT_EQ(joined(),
            "rows 4 更新- 削除-\n"
            "lists blocked\n"
            "added 5 ビューア / ビューア / \"C:\\Tools\\view.exe\"  \"%1\"\n"
            "box 名前がありません\n"
            "box 名前が重複しています\n"
            "edited 画像ビューア 5\n"
            "box アプリケーションはグループ[テキスト]で使用されています。\n"
            "kept 1\n"
            "box アプリケーション[画像ビューア]を削除します。よろしいですか？\n"
            "box アプリケーション[画像ビューア]を削除します。よろしいですか？\n"
            "deleted 4 更新- 削除-\n");
  EXPECT_EQ(scalar("select count(*) from atable"), 4);
  EXPECT_EQ(scalar("select count(*) from atable where id=1"), 1) << "a used application stays";
  EXPECT_EQ(alist.size(), 4u);
  EXPECT_EQ(appId("画像ビューア"), -1);
}

TEST_F(Manage, AppListTellsWhetherAnythingChanged) {
  opened(APPS, apps);
  act([] { Click(apps, 120); });
  opened("アプリケーションの追加", editor);
  act([] { Click(editor, IDCANCEL); });
  closed(editor);
  act([] { Click(apps, IDCANCEL); });
  run([this] { EXPECT_FALSE(AppList(frame)); });
  steps.clear();
  opened(APPS, apps);
  act([] {
    selectRow(apps, "メモ帳");
    Click(apps, 32);
  });
  opened("アプリケーション[メモ帳]の更新", editor);
  act([] { Click(editor, 30); });  // stored as a copy under the same name: refused
  answer(editor, IDOK);
  act([] {
    type(editor, 140, "メモ帳の写し");
    Click(editor, 30);
  });
  closed(editor);
  act([] {
    log.push_back("copy " + ListCell(apps, selectedRow(apps), 0) + " " + std::to_string(ListRowOf(apps, "メモ帳") >= 0));
    Click(apps, IDCANCEL);
  });
  run([this] { EXPECT_TRUE(AppList(frame)); });
  EXPECT_EQ(joined(), "box 名前が重複しています\ncopy メモ帳の写し 1\n");
  EXPECT_EQ(scalar("select count(*) from atable"), 5);
}

TEST_F(Manage, GroupBuiltOrderedStoredAndEdited) {
  opened(GROUPS, groups);
  act([] { Click(groups, 30); });
  opened("拡張子グループの追加", editor, "extdialog");
  act([] {
    log.push_back(arrows(editor));
    log.push_back(members(editor));
    type(editor, 140, " 画像 ");
    type(editor, 141, "png,.jpg, gif");
    type(editor, 142, "絵を見る\r\n二行目");
    pick(editor, 261, "メモ帳");
    log.push_back(arrows(editor));
    press(editor, 30);
    log.push_back(members(editor) + " " + arrows(editor));
    pick(editor, 261, "エクスプローラー");
    press(editor, 30);  // in before the selected member
    log.push_back(members(editor));
    pick(editor, 260, nullptr);
    pick(editor, 261, "ワードパッド");
    press(editor, 30);  // nothing selected: at the end
    log.push_back(members(editor) + " " + arrows(editor));
    press(editor, 33);
    log.push_back(members(editor) + " " + arrows(editor));
    pick(editor, 260, "エクスプローラー");
    log.push_back(arrows(editor));
    press(editor, 31);
    log.push_back(members(editor) + " " + arrows(editor));
    pick(editor, 261, "エクスプローラー");
    pick(editor, 260, nullptr);
    press(editor, 30);
    log.push_back(members(editor));
    // Enter in an edit: nothing is lost.
    SendMessageA(editor, WM_COMMAND, IDOK, 0);
    log.push_back(std::string("enter ") + (IsWindowVisible(editor) ? "open" : "closed"));
    log.push_back(std::string("list ") + (IsWindowEnabled(groups) ? "usable" : "blocked"));
    Click(editor, 120);
  });
  closed(editor);
  act([] {
    int row = selectedRow(groups);
    log.push_back("added " + ListCell(groups, row, 0) + " " + ListCell(groups, row, 1) + " " +
                  std::to_string(ListRows(groups)));
    log.push_back("stored " + storedMembers("画像"));
    Click(groups, 32);
  });
  opened("拡張子グループ[画像]の更新", editor, "extdialog-update");
  act([] {
    log.push_back(members(editor) + " " + arrows(editor));
    pick(editor, 260, "エクスプローラー");
    press(editor, 33);
    press(editor, 33);
    log.push_back(members(editor) + " " + arrows(editor));
    type(editor, 140, "テキスト");
    Click(editor, 121);
  });
  answer(editor, IDOK);
  act([] {
    type(editor, 140, "画像");
    Click(editor, 120);  // its own name as a new group
  });
  answer(editor, IDOK);
  act([] {
    type(editor, 140, "");
    Click(editor, 121);
  });
  answer(editor, IDOK);
  act([] {
    // One byte more than a group's list can hold: refused, never cut.
    type(editor, 140, "画像");
    type(editor, 141, std::string(kExtListMax + 1, 'x'));
    Click(editor, 121);
  });
  answer(editor, IDOK);
  act([] {
    type(editor, 140, "画像");
    type(editor, 141, "png,jpg,gif,bmp");
    Click(editor, 121);
  });
  closed(editor);
  act([] {
    int row = selectedRow(groups);
    log.push_back("updated " + ListCell(groups, row, 0) + " " + ListCell(groups, row, 1) + " " +
                  std::to_string(ListRows(groups)) + " / " + ItemText(groups, 100));
    log.push_back("stored " + storedMembers("画像"));
    Click(groups, IDCANCEL);
  });
  run([this] { ExtList(frame); });
  int memo = appId("メモ帳"), pad = appId("ワードパッド"), exp = appId("エクスプローラー");
  EXPECT_EQ(joined(),
            "←- →- ↑- ↓- 更新-\n"
            " | エクスプローラー,コマンドプロンプト,メモ帳,ワードパッド\n"
            "←+ →- ↑- ↓- 更新-\n"
            "[メモ帳] | エクスプローラー,コマンドプロンプト,ワードパッド ←- →+ ↑- ↓- 更新-\n"
            "[エクスプローラー],メモ帳 | コマンドプロンプト,ワードパッド\n"
            "エクスプローラー,メモ帳,[ワードパッド] | コマンドプロンプト ←- →+ ↑+ ↓- 更新-\n"
            "エクスプローラー,[ワードパッド],メモ帳 | コマンドプロンプト ←- →+ ↑+ ↓+ 更新-\n"
            "←- →+ ↑- ↓+ 更新-\n"
            "ワードパッド,メモ帳 | [エクスプローラー],コマンドプロンプト ←+ →- ↑- ↓- 更新-\n"
            "ワードパッド,メモ帳,[エクスプローラー] | コマンドプロンプト\n"
            "enter open\n"
            "list blocked\n"
            "added 画像 png,.jpg, gif 4\n"
            "stored 3:" + std::to_string(pad) + "," + std::to_string(memo) + "," + std::to_string(exp) + "\n"
            "ワードパッド,メモ帳,エクスプローラー | コマンドプロンプト ←- →- ↑- ↓- 更新+\n"
            "[エクスプローラー],ワードパッド,メモ帳 | コマンドプロンプト ←- →+ ↑- ↓+ 更新+\n"
            "box 名前が重複しています\n"
            "box 名前が重複しています\n"
            "box 名前がありません\n"
            "box 拡張子が長すぎます\n"
            "updated 画像 png,jpg,gif,bmp 4 / 画像\n"
            "stored 3:" + std::to_string(exp) + "," + std::to_string(pad) + "," + std::to_string(memo) + "\n");
  EXPECT_EQ(scalar("select count(*) from etable"), 4) << "one group added, none duplicated";
  extItem* stored = findExtItem("画像");
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->memo, "絵を見る\r\n二行目");
  EXPECT_EQ(stored->count(), 3);
}

int boxCount(HWND d, int id) { return (int)SendDlgItemMessageA(d, id, LB_GETCOUNT, 0, 0); }

std::string firstText(HWND d, int id) {
  char buf[512] = "";
  if (boxCount(d, id) > 0) SendDlgItemMessageA(d, id, LB_GETTEXT, 0, (LPARAM)buf);
  return buf;
}

TEST_F(Manage, MembersByIdWithinFortyAndRenamedThroughTheList) {
  std::string values;
  for (int i = 0; i <= 40; i++) {
    char name[32];
    snprintf(name, sizeof name, "アプリ%02d", i);
    values += std::string(i ? "," : "") + "('" + name + "','x','')";
  }
  sql("insert into atable (name,cmd,memo) values " + values);
  // An id without an application and one given twice, as an old or
  // hand-edited file may hold them.
  sql("insert into etable (name,elist,memo,na,atab) values ('大','big','',3,X'630000000100000001000000')");
  TermDb();
  EraseItem();
  open();
  extItem* group = findExtItem("大");
  ASSERT_TRUE(group);
  extItem record;
  record.import(group);
  opened("拡張子グループ[大]の更新", editor);
  act([] {
    log.push_back("start " + members(editor));
    for (int i = 0; i < 45; i++) {
      std::string name = firstText(editor, 261);
      pick(editor, 260, nullptr);
      pick(editor, 261, name.c_str());
      press(editor, 30);
    }
    pick(editor, 261, "ワードパッド");
    log.push_back("full " + std::to_string(boxCount(editor, 260)) + " " + arrows(editor));
    // The move itself refuses a 41st, whatever the button shows.
    press(editor, 30);
    log.push_back("still " + std::to_string(boxCount(editor, 260)) + " " + std::to_string(boxCount(editor, 261)));
    Click(editor, 122);
  });
  opened(APPS, apps);
  act([] {
    selectRow(apps, "メモ帳");
    Click(apps, 32);
  });
  opened("アプリケーション[メモ帳]の更新", editor);
  act([] {
    type(editor, 140, "メモ帳2");
    Click(editor, 32);
  });
  closed(editor);
  act([] {
    selectRow(apps, "アプリ38");  // a member not stored yet: it may go
    Click(apps, 31);
  });
  answer(apps, IDYES);
  act([] { Click(apps, IDCANCEL); });
  closed(apps);
  opened("拡張子グループ[大]の更新", editor);
  act([] {
    log.push_back("after " + std::to_string(boxCount(editor, 260)) + " " + firstText(editor, 260) + " | " +
                  boxTexts(editor, 261));
    Click(editor, 121);
  });
  int result = -1;
  run([&] { result = ExtDialog(frame, &record); });
  EXPECT_EQ(result, 2);
  EXPECT_EQ(joined(),
            "start メモ帳 | アプリ00,アプリ01,アプリ02,アプリ03,アプリ04,アプリ05,アプリ06,アプリ07,"
            "アプリ08,アプリ09,アプリ10,アプリ11,アプリ12,アプリ13,アプリ14,アプリ15,アプリ16,アプリ17,"
            "アプリ18,アプリ19,アプリ20,アプリ21,アプリ22,アプリ23,アプリ24,アプリ25,アプリ26,アプリ27,"
            "アプリ28,アプリ29,アプリ30,アプリ31,アプリ32,アプリ33,アプリ34,アプリ35,アプリ36,アプリ37,"
            "アプリ38,アプリ39,アプリ40,エクスプローラー,コマンドプロンプト,ワードパッド\n"
            "full 40 ←- →- ↑- ↓- 更新+\n"
            "still 40 5\n"
            "box アプリケーション[アプリ38]を削除します。よろしいですか？\n"
            "after 39 メモ帳2 | アプリ39,アプリ40,エクスプローラー,コマンドプロンプト,ワードパッド\n");
  std::string ids = storedMembers("大");
  EXPECT_EQ(ids.substr(0, 5), "39:1,") << ids;
  EXPECT_EQ(ids.find(",99"), std::string::npos) << ids;
  EXPECT_EQ(record.count(), 39);
  for (int i = 0; i < record.count(); i++) EXPECT_NE(findAppItem(record.atab[i]), nullptr) << i;
}

// What the dialogs stored, seen by the real program started afresh: the
// launch menu in the members' order, the folder group and the font size.
TEST_F(Manage, TheProgramFollowsWhatWasStored) {
  std::string exe = dir + "\\Runmate.exe";
  ASSERT_TRUE(CopyFileTo(WinPath(KO_TEST_BIN_DIR "/Runmate.exe"), exe));
  std::string recorder = WinPath(KO_TEST_BIN_DIR "/recorder.exe");
  std::string record = MakeTempDir("rec") + "\\record.txt";
  SetEnvironmentVariableA("KO_RECORD", record.c_str());
  const char* marks[] = {"", "A", "B", "C"};
  for (int i = 1; i <= 3; i++)
    sql("update atable set cmd='\"" + recorder + "\"  " + marks[i] + " \"%1\"' where id=" + std::to_string(i));

  PROCESS_INFORMATION pi{};
  auto start = [&](const std::string& args) {
    std::string line = "\"" + exe + "\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    return CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi) != 0;
  };
  auto finish = [&]() {
    DWORD code = 99;
    if (WaitForSingleObject(pi.hProcess, 20000) == WAIT_OBJECT_0) GetExitCodeProcess(pi.hProcess, &code);
    else TerminateProcess(pi.hProcess, 98);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    pi = {};
    return (int)code;
  };
  // The group list's width, which follows the dialog font.
  auto listWidth = [&]() {
    if (!start("")) return -1;
    HWND w = WaitWindow(pi.dwProcessId, "#32770", 15000, GROUPS);
    RECT r{};
    if (w) GetWindowRect(w, &r);
    if (w) PostMessageA(w, WM_COMMAND, IDCANCEL, 0);
    EXPECT_EQ(finish(), 0);
    return w ? (int)(r.right - r.left) : -1;
  };
  // The program started on path, the menu entry chosen by downs; what
  // the started application was given.
  auto launch = [&](const std::string& path, int downs) {
    DeleteFileA(record.c_str());
    if (!start("\"" + path + "\"")) return std::string("not started");
    HWND menu = WaitWindow(pi.dwProcessId, "#32768", 15000);
    if (!menu) {
      finish();
      return std::string("no menu");
    }
    for (int i = 0; i < downs; i++) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_EQ(finish(), 0);
    std::string got = WaitForFile(record, 10000);
    size_t mark = got.find("  ");
    return mark == std::string::npos ? got : got.substr(mark + 2, 1);
  };

  int before = listWidth();
  opened(GROUPS, groups);
  act([] { Click(groups, 30); });
  opened("拡張子グループの追加", editor);
  act([] {
    type(editor, 140, "記録");
    type(editor, 141, "rec");
    for (const char* name : {"メモ帳", "ワードパッド", "エクスプローラー"}) {
      pick(editor, 260, nullptr);
      pick(editor, 261, name);
      press(editor, 30);
    }
    press(editor, 33);
    press(editor, 33);
    log.push_back(members(editor));
    Click(editor, 120);
  });
  closed(editor);
  act([] { Click(groups, 800); });
  opened("オプションの設定", editor, "option");
  act([] {
    type(editor, 140, "記録");
    type(editor, 341, "14");
    Click(editor, IDOK);
  });
  closed(editor);
  act([] { Click(groups, IDCANCEL); });
  run([this] { ExtList(frame); });
  EXPECT_EQ(joined(), "[エクスプローラー],メモ帳,ワードパッド | コマンドプロンプト\n");
  EXPECT_EQ(storedMembers("記録"), "3:3,1,2");

  // Read back as the next start reads them.
  TermDb();
  EraseItem();
  open();
  EXPECT_EQ(dialogFont, 14);
  EXPECT_STREQ(folderGroup, "記録");

  std::string file = dir + "\\報告.rec";
  fclose(fopen(file.c_str(), "wb"));
  EXPECT_EQ(launch(file, 1), "C");
  EXPECT_EQ(launch(file, 2), "A");
  EXPECT_EQ(launch(file, 3), "B");
  std::string folder = dir + "\\フォルダ";
  CreateDirectoryA(folder.c_str(), nullptr);
  EXPECT_EQ(launch(folder, 1), "C") << "a folder goes to the new folder group";
  int after = listWidth();
  EXPECT_GT(before, 0);
  EXPECT_GT(after * 10, before * 14) << before << " -> " << after << ": the font size of 14 applies";
}

TEST_F(Manage, FailedWriteKeepsTheEditorOpen) {
  sql("alter table etable rename to etable_gone");
  extItem record;
  opened("拡張子グループの追加", editor);
  act([] {
    type(editor, 140, "新しい");
    type(editor, 141, "new");
    Click(editor, 120);
  });
  answer(editor, IDOK);
  act([] {
    log.push_back(std::string(IsWindowVisible(editor) ? "open " : "closed ") + ItemText(editor, 140));
    Click(editor, IDCANCEL);
  });
  int result = -1;
  run([&] { result = ExtDialog(frame, &record); });
  EXPECT_EQ(result, 0);
  EXPECT_EQ(joined(), "box 追加に失敗しました!\nopen 新しい\n");
  EXPECT_EQ(record.id, 0);
  EXPECT_EQ(findExtItem("新しい"), nullptr);
}

TEST(EditorTexts, NamesAreTrimmedWhole) {
  // A name of the full bound keeps every byte (it once lost its last one).
  std::string full(kAppNameMax, 'a');
  EXPECT_EQ(TrimmedName(full), full);
  std::string wide;
  while (wide.size() < (size_t)kAppNameMax) wide += "名";
  EXPECT_EQ(TrimmedName(" \t" + wide + "  "), wide);
  EXPECT_EQ(TrimmedName("   "), "");
}
