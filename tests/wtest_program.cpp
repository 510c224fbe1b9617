// Runmate.exe under Wine, started with paths as Send To would, from a Japanese folder with its own
// exec.db. A stand-in application records the command line of each start, in the order of the starts.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <algorithm>
#include "ko_test.h"
#include "koSQLite.h"
#include "shellEntry.h"

namespace {
using Lines = std::vector<std::string>;
std::wstring Arg(const std::wstring& path) { return L"\"" + path + L"\" "; }
std::wstring Arg(const std::string& path) { return Arg(Wide(path)); }

class Program : public ::testing::Test {
 protected:
  std::string dir = MakeTempDir("表示ソフト"), exe = dir + "\\Runmate.exe", recorder = WinPath(KO_TEST_BIN_DIR "/recorder.exe");
  std::string record = MakeTempDir("rec") + "\\record.txt";  // ASCII: a Japanese KO_RECORD arrives garbled under Wine
  PROCESS_INFORMATION pi{};
  void SetUp() override {
    ASSERT_TRUE(CopyFileTo(WinPath(KO_TEST_BIN_DIR "/Runmate.exe"), exe));
    ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "\\exec.db"));
    SetEnvironmentVariableA("KO_RECORD", record.c_str());
    // The stand-in for Notepad, WordPad ("second") and Explorer; it alone for .rec and no extension; folders to it.
    sql("update atable set cmd='\"" + recorder + "\"  \"%1\"' where id in (1,3);"
        "update atable set cmd='\"" + recorder + "\"  second \"%1\"' where id=2;"
        "insert into etable (name,elist,memo,na,atab) values ('記録',',rec','',1,X'01000000');"
        "update etable set atab=X'03000000', na=1 where name='_Folder'");
  }
  void TearDown() override { end(); }
  void end() { if (pi.hProcess) TerminateProcess(pi.hProcess, 99), CloseHandle(pi.hProcess), CloseHandle(pi.hThread), pi = {}; }
  void sql(const std::string& text) {
    koSQLite db((dir + "\\exec.db").c_str());
    ASSERT_EQ(db.open(nullptr) || db.exec(text.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << text;
  }
  void start(const std::wstring& args) {  // wide, as the shell passes them
    end();
    for (int i = 1; i < 10; i++) DeleteFileA((i == 1 ? record : record + "." + std::to_string(i)).c_str());
    std::wstring line = Arg(Wide(exe)) + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, Wide(dir).c_str(), &si, &pi));
  }
  // Until the program ends, OK pressed on every box; the boxes as "caption: text" lines.
  std::string boxesUntilEnd() {
    std::string boxes;
    HWND box, last = nullptr;
    for (int t = 0; WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT; t++) {
      if (t > 300) return boxes + "<still running>";
      if (!(box = WaitWindow(pi.dwProcessId, "#32770", 50)) || box == last) continue;
      char caption[64] = "";
      GetWindowTextA(box, caption, sizeof caption);
      boxes += std::string(caption) + ": " + ItemText(box, 0xFFFF) + "\n", Click(box, IDOK), last = box;
    }
    return boxes;
  }
  // The stand-ins' command lines (UTF-8) in the order they started. Waits long only for some.
  Lines records(size_t count) { return WaitForRecords(record, count, count ? 10000 : 1000); }
  DWORD exitCode() { DWORD code = 99; return GetExitCodeProcess(pi.hProcess, &code) ? code : 98; }
  std::string quoted(const std::wstring& path, const char* extra = "") { return Utf8("\"" + recorder + "\"  " + extra + "\"") + Utf8(path) + "\""; }
  std::string quoted(const std::string& path, const char* extra = "") { return quoted(Wide(path), extra); }
};
}  // namespace

TEST_F(Program, PathsOfAnyLengthReachTheirApplicationWhole) {
  std::string sub = dir + "\\表示 ソフト", folder = dir + "\\フォルダ.rec", x299 = "C:\\" + std::string(296, 'x');
  for (const std::string& d : {sub, folder}) CreateDirectoryA(d.c_str(), nullptr);
  std::string file = sub + "\\報告 書.rec", second = dir + "\\second.rec";  // trail bytes 5C in the folder's name
  // Beside those outside code page 932 a look-alike that a best-fit ANSI name would open instead.
  const std::wstring base = Wide(dir) + L"\\", odd[] = {L"r\u00e9sum\u00e9.rec", L"\ud55c\uae00 \U0001F600.rec", L"\u9dd7\u5916.rec"};
  for (const std::wstring& f : {Wide(file), base + L"resume.rec", base + odd[0], base + odd[1], base + odd[2]})
    fclose(_wfopen(f.c_str(), L"wb"));
  std::wstring deep = Wide(dir);  // about 420 characters of Japanese folder names, as a synced folder has them
  while (deep.size() < 400) CreateDirectoryW((L"\\\\?\\" + (deep += L"\\長いフォルダーの名前" + std::to_wstring(deep.size()))).c_str(), nullptr);
  const std::wstring deepFolder = deep;
  // IBM extended kanji: 纊 (FA 5C) in a folder's name, 栁 (FA E5) as an extension of a group named 髙﨑.
  std::string ibm = dir + "\\\xFA\x5C", ibmFile = ibm + "\\a.\xFA\xE5";
  CreateDirectoryA(ibm.c_str(), nullptr);
  fclose(fopen(ibmFile.c_str(), "wb"));
  sql("insert into etable (name,elist,memo,na,atab) values ('\xFB\xFC\xFA\xB1','txt2,\xFA\xE5','',1,X'01000000')");
  fclose(_wfopen((L"\\\\?\\" + (deep += L"\\報告.rec")).c_str(), L"wb"));
  const struct { std::wstring args; std::string box; Lines records; } cases[] = {
      {Arg(file) + Arg(second), "", {quoted(file), quoted(second)}},  // one candidate starts at once for each
      {Arg(base + odd[0]) + Arg(base + odd[1]) + Arg(base + odd[2]), "", {quoted(base + odd[0]), quoted(base + odd[1]), quoted(base + odd[2])}},
      {Arg(folder), "", {quoted(folder)}},  // an extension does not count for folders
      {Arg(ibmFile), "", {quoted(ibmFile)}},
      {Arg(recorder), "", {Utf8("\"" + recorder + "\"")}},  // no group for .exe: the shell runs it
      {Arg(x299 + std::string(101, 'x')), "", {quoted(x299 + std::string(101, 'x'))}},  // whole, in the group for names without extension
      {Arg(second) + Arg(deep) + Arg(deepFolder) + Arg(file), "", {quoted(second), quoted(deep), quoted(deepFolder), quoted(file)}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf8(c.args));
    start(c.args);
    std::string boxes = boxesUntilEnd();
    EXPECT_EQ(boxes.substr(0, c.box.size()), c.box);
    EXPECT_EQ(boxes.empty(), c.box.empty()) << boxes;
    EXPECT_EQ(exitCode(), c.box.empty() ? 0u : 1u);
    EXPECT_EQ(records(c.records.size()), c.records);
  }
}

// Several files, as Explorer sends a selection: every file decided, then each group's menu (a choice or a
// cancel holds for that group's files only), then the starts in the order of the files; what failed is
// told once at the end.
TEST_F(Program, SendsDecideEveryFileThenAskThenStart) {
  sql("insert into etable (name,elist,memo,na,atab) values ('実行','exe','',1,X'01000000');"
      "insert into atable (id,name,cmd) values (9,'壊れた','\"C:\\nowhere\\app.exe\"  \"%1\"');"
      "insert into etable (name,elist,memo,na,atab) values ('壊','bad','',1,X'09000000')");
  std::string folder = dir + "\\フォルダ", a = dir + "\\a.txt", b = dir + "\\b.log", c = dir + "\\c.TXT",
              d = dir + "\\d.doc", r = dir + "\\b.rec", x = dir + "\\data.xyz", bad = dir + "\\x.bad";
  CreateDirectoryA(folder.c_str(), nullptr);
  for (const std::string& f : {a, b, c, d, r, x, bad}) fclose(fopen(f.c_str(), "wb"));
  using Keys = std::vector<WPARAM>;
  const WPARAM CTRL_ENTER = 0x10000;  // typed, not posted: the program reads the Ctrl key's state
  const struct { const char* why; bool shift; std::wstring args; std::vector<Keys> menus; Lines records; std::string box;
                 const char* before = nullptr; } cases[] = {
      {"Enter on the unmoved menu: the first, the default", false, Arg(a), {{VK_RETURN}}, {quoted(a)}, ""},
      {"its digit: the second", false, Arg(a), {{'2'}}, {quoted(a, "second ")}, ""},
      {"the last entry, (中止)", false, Arg(a), {{VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}}, {}, ""},
      {"dismissed: the program must not run on invisibly", false, Arg(a), {{VK_ESCAPE}}, {}, ""},
      {"one choice for every file of the group, a folder by its own group, in the order sent", false,
       Arg(a) + Arg(b) + Arg(folder) + Arg(c), {{VK_DOWN, VK_RETURN}},
       {quoted(a, "second "), quoted(b, "second "), quoted(folder), quoted(c, "second ")}, ""},
      {"a failing file in the middle stops nothing and is told", false, Arg(r) + Arg(x) + Arg(bad) + Arg(dir + "\\a.rec"), {},
       {quoted(r), quoted(dir + "\\a.rec")}, "Runmate: 4 件のうち 2 件のファイルを開けませんでした。\n"},
      {"two groups asked before anything starts; each file with its group's choice", false,
       Arg(c) + Arg(d) + Arg(r) + Arg(a), {{VK_RETURN}, {VK_DOWN, VK_RETURN}},
       {quoted(c), quoted(d), quoted(r), quoted(a)}, ""},
      {"Escape cancels the first group's files only", false, Arg(c) + Arg(d) + Arg(r) + Arg(a), {{VK_ESCAPE}, {VK_RETURN}},
       {quoted(d, "second "), quoted(r)}, ""},
      {"(中止) cancels the second group's files only", false, Arg(a) + Arg(d) + Arg(folder), {{'2'}, {VK_DOWN, VK_DOWN, VK_DOWN, VK_RETURN}},
       {quoted(a, "second "), quoted(folder)}, ""},
      {"Shift on one candidate: the menu, its second entry the shell's", true, Arg(recorder), {{VK_DOWN, VK_RETURN}},
       {Utf8("\"" + recorder + "\"")}, ""},
      // Remembered choices, row after row.
      {"いつもこれで開く, its second: started and remembered for txt", false, Arg(a), {{'A', '2'}}, {quoted(a, "second ")}, ""},
      {"then txt, case aside, starts it with no menu, also in a send", false, Arg(c) + Arg(d), {{VK_RETURN}},
       {quoted(c, "second "), quoted(d, "second ")}, ""},
      {"another extension of the group still asks", false, Arg(b), {{VK_ESCAPE}}, {}, ""},
      {"Shift asks, and 記憶を解除 forgets, then asks again", true, Arg(a), {{'F'}, {VK_ESCAPE}}, {}, ""},
      {"forgotten: the menu; Ctrl+Enter on the first remembers it", false, Arg(a), {{CTRL_ENTER}}, {quoted(a)}, ""},
      {"remembered", false, Arg(c), {}, {quoted(c)}, ""},
      {"taken out of the group: forgotten, never started", false, Arg(a), {{VK_ESCAPE}}, {}, "",
       "update etable set na=2, atab=X'0200000003000000' where id=1"},
      {"and stays forgotten when it is back", false, Arg(a), {{VK_ESCAPE}}, {}, "",
       "update etable set na=2, atab=X'0100000002000000' where id=1"},
  };
  INPUT ctrl[4] = {};
  for (INPUT& i : ctrl) i.type = INPUT_KEYBOARD, i.ki.wVk = &i == ctrl || &i == ctrl + 3 ? VK_CONTROL : VK_RETURN,
                        i.ki.dwFlags = &i < ctrl + 2 ? 0 : KEYEVENTF_KEYUP;
  INPUT shift[2] = {};
  for (INPUT& i : shift) i.type = INPUT_KEYBOARD, i.ki.wVk = VK_SHIFT, i.ki.dwFlags = &i == shift ? 0 : KEYEVENTF_KEYUP;
  for (const auto& t : cases) {
    SCOPED_TRACE(t.why);
    if (t.before) sql(t.before);
    if (t.shift) SendInput(1, &shift[0], sizeof(INPUT));
    start(t.args);
    for (const Keys& keys : t.menus) {
      HWND menu = WaitWindow(pi.dwProcessId, "#32768", 15000);  // the one before is gone
      ASSERT_NE(menu, nullptr) << "a menu did not open";
      if (t.shift) SendInput(1, &shift[1], sizeof(INPUT));
      EXPECT_EQ(WaitForRecords(record, 0, 0), Lines()) << "started while a menu is open";
      if (!t.records.empty()) Sleep(300), SaveShot(menu, &keys == &t.menus[0] ? "menu" : "menu-second");
      Sleep(100);  // the program's own keys (the default highlighted) go first
      for (WPARAM key : keys) {
        if (key == CTRL_ENTER) SendInput(4, ctrl, sizeof(INPUT));
        else PostMessageA(menu, WM_KEYDOWN, key, 0);
        Sleep(50);  // a submenu opens before its key
      }
      for (int ms = 0; ms < 5000 && IsWindowVisible(menu); ms += 20) Sleep(20);
    }
    std::string boxes = boxesUntilEnd();
    EXPECT_EQ(boxes.substr(0, t.box.size()), t.box);
    EXPECT_EQ(boxes.empty(), t.box.empty()) << boxes;
    for (const char* name : {"data.xyz", "x.bad"})
      EXPECT_EQ(boxes.find(name) != std::string::npos, !t.box.empty()) << name << " in " << boxes;
    EXPECT_EQ(exitCode(), t.box.empty() ? 0u : 1u);
    EXPECT_EQ(records(t.records.size()), t.records);
  }
}

TEST_F(Program, FailuresAreTold) {
  // holdMs: how long another program holds the database locked; -1: there is none.
  const struct { const char* why; std::string sql; int holdMs; std::string boxes; size_t records; } cases[] = {
      {"a busy database waited for", "", 1000, "", 1},
      {"then told", "", 6000, "Runmate: データベースは他のプログラムが使用中です", 0},
      {"a start that fails", "update atable set cmd='\"C:\\nowhere\\wordpad.exe\"  \"%1\"' where id=1", 0,
       "Runmate: アプリケーション[メモ帳]を起動できませんでした。\n\n" + dir + "\\a.rec\nプログラム: C:\\nowhere\\wordpad.exe\n", 0},
      {"no group and nothing associated: the chooser, or (under Wine) a message",
       "delete from etable where name='記録'", 0, "Runmate: このファイルを開くアプリケーションがありません。", 0},
      {"no database, and none made", "", -1, "Runmate: データベースが見つかりません\n", 0},
  };
  fclose(fopen((dir + "\\a.rec").c_str(), "wb"));  // there: only the association is missing
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    if (!c.sql.empty()) sql(c.sql);
    if (c.holdMs < 0) DeleteFileA((dir + "\\exec.db").c_str());
    koSQLite other((dir + "\\exec.db").c_str());
    if (c.holdMs > 0) { ASSERT_EQ(other.open(nullptr) || other.exec("BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK); }
    start(Arg(dir + "\\a.rec"));
    if (c.holdMs > 0) Sleep(c.holdMs), other.rollback();
    std::string boxes = boxesUntilEnd();  // one box at most, beginning as expected
    EXPECT_TRUE(boxes.compare(0, c.boxes.size(), c.boxes) == 0 && boxes.empty() == c.boxes.empty() &&
                boxes.find("Runmate:", 1) == std::string::npos) << boxes;
    EXPECT_EQ(records(c.records).size(), c.records);
  }
  EXPECT_FALSE(FileExists(dir + "\\exec.db"));
}

// The context-menu entry on two files at once, started as Explorer starts it: its command once per file, in
// the same moment (Wine's shell does not look at the verbs of every file type). The runs become one, with
// one menu for both.
TEST_F(Program, ContextMenuEntryServesASelectionWithOneMenu) {
  std::wstring w = Wide(exe), command;
  ASSERT_EQ(AddShellEntry(w), 0);
  EXPECT_EQ(ShellEntryState(w, &command), ENTRY_HERE);
  EXPECT_EQ(command, L"\"" + w + L"\" /collect \"%1\"");
  std::string a = dir + "\\a.txt", c = dir + "\\c.TXT";
  for (const std::string& f : {a, c}) fclose(fopen(f.c_str(), "wb"));
  for (int i = 1; i < 10; i++) DeleteFileA((i == 1 ? record : record + "." + std::to_string(i)).c_str());
  HANDLE runs[2] = {};
  for (int i = 0; i < 2; i++) {
    std::wstring line = command;
    line.replace(line.find(L"%1"), 2, Wide(i ? c : a));
    STARTUPINFOW si{};
    si.cb = sizeof si;
    PROCESS_INFORMATION p{};
    ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &p));
    CloseHandle(p.hThread);
    runs[i] = p.hProcess;
  }
  HWND menu = nullptr;
  for (int t = 0; t < 300 && !menu; t++)
    for (HANDLE run : runs) menu = menu ? menu : WaitWindow(GetProcessId(run), "#32768", 25);
  ASSERT_NE(menu, nullptr) << "no menu";
  Sleep(300), SaveShot(menu, "menu-selection");
  PostMessageA(menu, WM_KEYDOWN, '2', 0);
  for (HANDLE run : runs) {
    EXPECT_EQ(WaitForSingleObject(run, 10000), WAIT_OBJECT_0);
    DWORD code = 99;
    EXPECT_TRUE(GetExitCodeProcess(run, &code) && code == 0) << code;
    CloseHandle(run);
  }
  Lines got = records(2);  // in the order the runs reached the first one
  std::sort(got.begin(), got.end());
  EXPECT_EQ(got, Lines({quoted(a, "second "), quoted(c, "second ")})) << "one menu for both";
  // Moved: the entry points elsewhere, and says so.
  std::string moved = MakeTempDir("moved") + "\\Runmate.exe";
  EXPECT_EQ(ShellEntryState(Wide(moved), nullptr), ENTRY_ELSEWHERE);
  // Removed without a trace.
  EXPECT_EQ(RemoveShellEntry(), 0);
  EXPECT_EQ(ShellEntryState(w, nullptr), ENTRY_NONE);
  for (const wchar_t* key : {L"Software\\Classes\\*\\shell\\Runmate", L"Software\\Classes\\Directory\\shell\\Runmate"}) {
    HKEY h;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, key, 0, KEY_READ, &h), ERROR_SUCCESS);
  }
}
