// Runmate.exe under Wine, started with paths as Send To would, from a Japanese folder with its own
// exec.db. A stand-in application records the command line of each start.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <algorithm>
#include "ko_test.h"
#include "koSQLite.h"

namespace {
using Lines = std::vector<std::string>;
std::wstring Arg(const std::wstring& path) { return L"\"" + path + L"\" "; }
std::wstring Arg(const std::string& path) { return Arg(Wide(path)); }
Lines Sorted(Lines v) { return std::sort(v.begin(), v.end()), v; }

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
  // The stand-ins' command lines (UTF-8), sorted: they run side by side. Waits long only for some.
  Lines records(size_t count) { return Sorted(WaitForRecords(record, count, count ? 10000 : 1000)); }
  std::string quoted(const std::wstring& path, const char* extra = "") { return Utf8("\"" + recorder + "\"  " + extra + "\"") + Utf8(path) + "\""; }
  std::string quoted(const std::string& path, const char* extra = "") { return quoted(Wide(path), extra); }
};
}  // namespace

TEST_F(Program, PathsReachTheirApplicationWholeOrAreRefused) {
  std::string sub = dir + "\\表示 ソフト", folder = dir + "\\フォルダ.rec", x299 = "C:\\" + std::string(296, 'x');
  for (const std::string& d : {sub, folder}) CreateDirectoryA(d.c_str(), nullptr);
  std::string file = sub + "\\報告 書.rec", second = dir + "\\second.rec";  // trail bytes 5C in the folder's name
  // Beside those outside code page 932 a look-alike that a best-fit ANSI name would open instead.
  const std::wstring base = Wide(dir) + L"\\", odd[] = {L"r\u00e9sum\u00e9.rec", L"\ud55c\uae00 \U0001F600.rec", L"\u9dd7\u5916.rec"};
  for (const std::wstring& f : {Wide(file), base + L"resume.rec", base + odd[0], base + odd[1], base + odd[2]})
    fclose(_wfopen(f.c_str(), L"wb"));
  const std::string refused = "Runmate: パスが長すぎるため開けません\n";
  const struct { std::wstring args; std::string boxes; Lines records; } cases[] = {
      {Arg(file) + Arg(second), "", {quoted(file), quoted(second)}},  // one candidate starts at once for each
      {Arg(base + odd[0]) + Arg(base + odd[1]) + Arg(base + odd[2]), "", {quoted(base + odd[0]), quoted(base + odd[1]), quoted(base + odd[2])}},
      {Arg(folder), "", {quoted(folder)}},  // an extension does not count for folders
      {Arg(recorder), "", {Utf8("\"" + recorder + "\"")}},  // no group for .exe: the shell runs it
      {Arg(x299), "", {quoted(x299)}},  // the longest that fits, in the group for names without extension
      {Arg(x299 + "x"), refused, {}},
      {Arg(x299 + std::string(101, 'x')), refused, {}},
      {Arg(second) + Arg(x299 + "x"), refused, {}},  // none when one does not fit
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf8(c.args));
    start(c.args);
    EXPECT_EQ(boxesUntilEnd(), c.boxes);
    EXPECT_EQ(records(c.records.size()), Sorted(c.records));
  }
}

TEST_F(Program, CandidateMenu) {
  sql("insert into etable (name,elist,memo,na,atab) values ('実行','exe','',1,X'01000000')");
  std::string folder = dir + "\\フォルダ", a = dir + "\\a.txt", b = dir + "\\b.log", c = dir + "\\c.TXT";
  CreateDirectoryA(folder.c_str(), nullptr);
  const struct { const char* why; bool shift; std::wstring args; std::vector<WPARAM> keys; Lines records; } cases[] = {
      {"Enter on the unmoved menu: the first, the default", false, Arg(a), {VK_RETURN}, {quoted(a)}},
      {"one down: the second", false, Arg(a), {VK_DOWN, VK_RETURN}, {quoted(a, "second ")}},
      {"its digit: the second", false, Arg(a), {'2'}, {quoted(a, "second ")}},
      {"the last entry, (中止)", false, Arg(a), {VK_DOWN, VK_DOWN, VK_RETURN}, {}},
      {"dismissed: the program must not run on invisibly", false, Arg(a), {VK_ESCAPE}, {}},
      {"one choice for every file of the group, a folder by its own group", false,
       Arg(a) + Arg(b) + Arg(folder) + Arg(c), {VK_DOWN, VK_RETURN},
       {quoted(a, "second "), quoted(b, "second "), quoted(c, "second "), quoted(folder)}},
      {"dismissed: the rest is cancelled too", false, Arg(a) + Arg(c), {VK_ESCAPE}, {}},
      {"Shift on one candidate: the menu, its second entry the shell's", true, Arg(recorder), {VK_DOWN, VK_RETURN},
       {Utf8("\"" + recorder + "\"")}},
  };
  INPUT shift[2] = {};
  for (INPUT& i : shift) i.type = INPUT_KEYBOARD, i.ki.wVk = VK_SHIFT, i.ki.dwFlags = &i == shift ? 0 : KEYEVENTF_KEYUP;
  for (const auto& t : cases) {
    SCOPED_TRACE(t.why);
    if (t.shift) SendInput(1, &shift[0], sizeof(INPUT));
    start(t.args);
    HWND menu = WaitWindow(pi.dwProcessId, "#32768", 15000);
    if (t.shift) SendInput(1, &shift[1], sizeof(INPUT));
    ASSERT_NE(menu, nullptr) << "the candidate menu did not open";
    if (!t.records.empty()) Sleep(300), SaveShot(menu, "menu");
    Sleep(100);  // the program's own keys (the default highlighted) go first
    for (WPARAM key : t.keys) PostMessageA(menu, WM_KEYDOWN, key, 0);
    EXPECT_EQ(boxesUntilEnd(), "");
    DWORD code = 99;
    EXPECT_TRUE(GetExitCodeProcess(pi.hProcess, &code) && code == 0) << code;
    EXPECT_EQ(records(t.records.size()), Sorted(t.records));
  }
}

TEST_F(Program, FailuresAreTold) {
  // holdMs: how long another program holds the database locked; -1: there is none.
  const struct { const char* why; std::string sql; int holdMs; std::string boxes; size_t records; } cases[] = {
      {"a busy database waited for", "", 1000, "", 1},
      {"then told", "", 6000, "Runmate: データベースは他のプログラムが使用中です", 0},
      {"a start that fails", "update atable set cmd='\"C:\\nowhere\\wordpad.exe\"  \"%1\"' where id=1", 0,
       "Runmate: アプリケーション[メモ帳]を起動できませんでした。\n\nプログラム: C:\\nowhere\\wordpad.exe\n", 0},
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
