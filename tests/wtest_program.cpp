// The whole program under Wine: Runmate.exe started with a path, as the
// Send To folder would, in a folder of its own with a copy of exec.db. A
// stand-in application records the command line it is started with.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <algorithm>
#include <string>
#include <vector>
#include "ko_test.h"
#include "koSQLite.h"
#include <sqlite3.h>

namespace {
class Program : public ::testing::Test {
 protected:
  std::string dir, exe, record, recorder;
  PROCESS_INFORMATION pi{};

  void SetUp() override {
    // The program itself lives in a Japanese folder.
    dir = MakeTempDir("表示ソフト");
    exe = dir + "\\Runmate.exe";
    ASSERT_TRUE(CopyFileTo(WinPath(KO_TEST_BIN_DIR "/Runmate.exe"), exe));
    ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "\\exec.db"));
    recorder = WinPath(KO_TEST_BIN_DIR "/recorder.exe");
    // The record stays in an ASCII folder: under Wine a Japanese value of
    // KO_RECORD did not reach the stand-in intact.
    record = MakeTempDir("rec") + "\\record.txt";
    SetEnvironmentVariableA("KO_RECORD", record.c_str());
    // Notepad and Explorer are replaced by the stand-in; a group of its own
    // has it alone, for .rec and for names without an extension.
    sql("update atable set cmd='\"" + recorder + "\"  \"%1\"' where id in (1,3)");
    sql("update atable set cmd='\"" + recorder + "\"  second \"%1\"' where id=2");
    sql("insert into etable (name,elist,memo,na,atab) values ('記録',',rec','',1,X'01000000')");
  }
  void TearDown() override { end(); }
  void end() {
    if (!pi.hProcess) return;
    TerminateProcess(pi.hProcess, 99);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
    pi = {};
  }
  void sql(const std::string& text) {
    koSQLite db((dir + "\\exec.db").c_str());
    ASSERT_EQ(db.open(nullptr), SQLITE_OK);
    ASSERT_EQ(db.exec(text.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << text;
  }
  // Starts the program with args (wide: as the shell passes them); earlier
  // records are removed first.
  void start(const std::wstring& args) {
    end();
    for (int i = 1; i < 10; i++) DeleteFileA((i == 1 ? record : record + "." + std::to_string(i)).c_str());
    std::wstring line = L"\"" + Wide(exe) + L"\" " + args;
    STARTUPINFOW si{};
    si.cb = sizeof si;
    ASSERT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                               Wide(dir).c_str(), &si, &pi));
  }
  void start(const std::string& args) { start(Wide(args)); }
  // Waits for the program's end, pressing OK on every message box it shows;
  // the boxes as "caption: text" lines.
  std::string boxesUntilEnd() {
    std::string boxes;
    HWND last = nullptr;
    for (int t = 0; WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT; t++) {
      if (t > 300) return boxes + "<still running>";
      HWND box = WaitWindow(pi.dwProcessId, "#32770", 50);
      if (!box || box == last) continue;
      char caption[64] = "";
      GetWindowTextA(box, caption, sizeof caption);
      boxes += std::string(caption) + ": " + ItemText(box, 0xFFFF) + "\n";
      Click(box, IDOK);
      last = box;
    }
    return boxes;
  }
  // What the stand-in was started with (UTF-8), or "" when nothing started.
  std::string recorded(int ms = 10000) { return WaitForFile(record, ms); }
  // Every start's command line, sorted: the stand-ins run side by side.
  std::vector<std::string> records(size_t count, int ms = 10000) {
    std::vector<std::string> all = WaitForRecords(record, count, ms);
    std::sort(all.begin(), all.end());
    return all;
  }
  std::string quoted(const std::wstring& path, const char* extra = "") {
    return Utf8("\"" + recorder + "\"  " + extra + "\"") + Utf8(path) + "\"";
  }
  std::string quoted(const std::string& path, const char* extra = "") { return quoted(Wide(path), extra); }
};
}  // namespace

TEST_F(Program, OneCandidateStartsAtOnceForEveryFile) {
  std::string sub = dir + "\\表示 ソフト";  // trail bytes 5C in the folder's name
  CreateDirectoryA(sub.c_str(), nullptr);
  std::string file = sub + "\\報告 書.rec", second = dir + "\\second.rec";
  fclose(fopen(file.c_str(), "wb"));
  start("\"" + file + "\" \"" + second + "\"");
  EXPECT_EQ(boxesUntilEnd(), "");
  std::vector<std::string> want{quoted(file), quoted(second)};
  std::sort(want.begin(), want.end());
  EXPECT_EQ(records(2), want);
}

TEST_F(Program, NamesOutsideCodePage932ReachTheApplicationWhole) {
  // Beside each a look-alike that a best-fit ANSI name would open instead.
  const std::wstring base = Wide(dir) + L"\\";
  const std::wstring names[] = {L"r\u00e9sum\u00e9.rec", L"\ud55c\uae00 \U0001F600.rec", L"\u9dd7\u5916.rec"};
  fclose(fopen((dir + "\\resume.rec").c_str(), "wb"));
  for (const std::wstring& name : names) {
    SCOPED_TRACE(Utf8(name));
    fclose(_wfopen((base + name).c_str(), L"wb"));
    start(L"\"" + base + name + L"\"");
    EXPECT_EQ(boxesUntilEnd(), "");
    EXPECT_EQ(records(1), std::vector<std::string>{quoted(base + name)});
  }
}
TEST_F(Program, FolderAndShell) {
  std::string folder = dir + "\\フォルダ.rec";  // an extension does not count for folders
  CreateDirectoryA(folder.c_str(), nullptr);
  sql("update etable set atab=X'03000000', na=1 where name='_Folder'");
  const struct {
    std::string arg, record;
  } cases[] = {
      {folder, quoted(folder)},
      {recorder, "recorder.exe"},  // no group for .exe: the shell runs it
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.arg);
    start("\"" + c.arg + "\"");
    EXPECT_EQ(boxesUntilEnd(), "");
    std::string got = recorded();
    EXPECT_NE(got.find(c.record), std::string::npos) << got;
  }
}

TEST_F(Program, CandidateMenu) {
  std::string folder = dir + "\\フォルダ";
  CreateDirectoryA(folder.c_str(), nullptr);
  sql("update etable set atab=X'03000000', na=1 where name='_Folder'");
  std::string a = dir + "\\a.txt", b = dir + "\\b.log", c = dir + "\\c.TXT";
  const struct {
    const char* why;
    std::string files;
    std::vector<WPARAM> keys;
    std::vector<std::string> records;
  } cases[] = {
      {"Enter on the unmoved menu: the first, the default", "\"" + a + "\"", {VK_RETURN}, {quoted(a)}},
      {"one down: the second", "\"" + a + "\"", {VK_DOWN, VK_RETURN}, {quoted(a, "second ")}},
      {"its digit: the second", "\"" + a + "\"", {'2'}, {quoted(a, "second ")}},
      {"the last entry, (中止)", "\"" + a + "\"", {VK_DOWN, VK_DOWN, VK_RETURN}, {}},
      {"dismissed: the program must not run on invisibly", "\"" + a + "\"", {VK_ESCAPE}, {}},
      {"one choice for every file of the group, a folder by its own group",
       "\"" + a + "\" \"" + b + "\" \"" + folder + "\" \"" + c + "\"", {VK_DOWN, VK_RETURN},
       {quoted(a, "second "), quoted(b, "second "), quoted(c, "second "), quoted(folder)}},
      {"dismissed: the rest is cancelled too", "\"" + a + "\" \"" + c + "\"", {VK_ESCAPE}, {}},
  };
  for (const auto& t : cases) {
    SCOPED_TRACE(t.why);
    start(t.files);
    HWND menu = WaitWindow(pi.dwProcessId, "#32768", 15000);
    ASSERT_NE(menu, nullptr) << "the candidate menu did not open";
    if (!t.records.empty()) {
      Sleep(300);
      SaveShot(menu, "menu");
    }
    Sleep(100);  // the program's own keys (the default highlighted) go first
    for (WPARAM key : t.keys) PostMessageA(menu, WM_KEYDOWN, key, 0);
    EXPECT_EQ(boxesUntilEnd(), "");
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    std::vector<std::string> want = t.records;
    std::sort(want.begin(), want.end());
    EXPECT_EQ(records(want.size(), want.empty() ? 1000 : 10000), want);
  }
}

TEST_F(Program, ShiftShowsTheMenuWithTheShellsChoice) {
  sql("insert into etable (name,elist,memo,na,atab) values ('実行','exe','',1,X'01000000')");
  INPUT shift[2] = {};
  for (INPUT& i : shift) i.type = INPUT_KEYBOARD, i.ki.wVk = VK_SHIFT;
  shift[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(1, &shift[0], sizeof(INPUT));
  start("\"" + recorder + "\"");
  HWND menu = WaitWindow(pi.dwProcessId, "#32768", 15000);
  SendInput(1, &shift[1], sizeof(INPUT));
  ASSERT_NE(menu, nullptr) << "one candidate and Shift held: the menu";
  Sleep(100);
  // The entries: the one candidate (highlighted), "既定のアプリで開く", (中止).
  for (WPARAM key : {VK_DOWN, VK_RETURN}) PostMessageA(menu, WM_KEYDOWN, key, 0);
  EXPECT_EQ(boxesUntilEnd(), "");
  std::vector<std::string> got = records(1);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].find(Utf8(recorder)), got[0].rfind(Utf8(recorder))) << "the shell ran it, no candidate: " << got[0];
}

TEST_F(Program, AStartThatFailsIsTold) {
  sql("update atable set cmd='\"C:\\nowhere\\wordpad.exe\"  \"%1\"' where id=1");
  start("\"" + dir + "\\a.rec\"");
  std::string boxes = boxesUntilEnd();
  EXPECT_EQ(boxes.find("Runmate: アプリケーション[メモ帳]を起動できませんでした。"), 0u) << boxes;
  EXPECT_NE(boxes.find("C:\\nowhere\\wordpad.exe"), std::string::npos) << boxes;
  EXPECT_EQ(records(0, 500), std::vector<std::string>{});
}

TEST_F(Program, ABusyDatabaseIsWaitedForThenTold) {
  const struct {
    int holdMs;
    bool launched;
  } cases[] = {{1000, true}, {6000, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.holdMs);
    {
      koSQLite other((dir + "\\exec.db").c_str());
      ASSERT_EQ(other.open(nullptr), SQLITE_OK);
      ASSERT_EQ(other.exec("BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);
      start("\"" + dir + "\\a.rec\"");
      Sleep(c.holdMs);
      other.rollback();
    }
    std::string boxes = boxesUntilEnd();
    EXPECT_EQ(boxes.find("データベースは他のプログラムが使用中です") != std::string::npos, !c.launched) << boxes;
    EXPECT_EQ(records(c.launched ? 1 : 0, c.launched ? 10000 : 500).size(), c.launched ? 1u : 0u);
  }
}

TEST_F(Program, PathsThatDoNotFitAreRefusedNeverCut) {
  // srcFile holds 300 bytes: 299 and the terminator. The longest that fits
  // has no extension to split and goes to the group for such names.
  const std::string refused = "Runmate: パスが長すぎるため開けません\n";
  const struct {
    size_t size;
    std::string boxes;
  } cases[] = {{299, ""}, {300, refused}, {400, refused}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.size);
    std::string path = "C:\\" + std::string(c.size - 3, 'x');
    start("\"" + path + "\"");
    EXPECT_EQ(boxesUntilEnd(), c.boxes);
    EXPECT_EQ(recorded(c.boxes.empty() ? 10000 : 1000), c.boxes.empty() ? quoted(path) : "");
  }
}

TEST_F(Program, NoDatabaseGetsAMessageAndMakesNone) {
  DeleteFileA((dir + "\\exec.db").c_str());
  start("\"" + dir + "\\a.rec\"");
  EXPECT_EQ(boxesUntilEnd(), "Runmate: データベースが見つかりません\n");
  EXPECT_FALSE(FileExists(dir + "\\exec.db"));
  EXPECT_EQ(recorded(500), "");
}
