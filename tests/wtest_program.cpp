// The whole program under Wine: Runmate.exe started with a path, as the
// Send To folder would, in a folder of its own with a copy of exec.db.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string>
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
    // has it alone.
    sql("update atable set cmd='\"" + recorder + "\"  \"%1\"' where id in (1,3)");
    sql("update atable set cmd='\"" + recorder + "\"  second \"%1\"' where id=2");
    sql("insert into etable (name,elist,memo,na,atab) values ('記録','rec','',1,X'01000000')");
  }
  void TearDown() override {
    if (pi.hProcess) {
      TerminateProcess(pi.hProcess, 99);
      CloseHandle(pi.hProcess);
      CloseHandle(pi.hThread);
    }
  }
  void sql(const std::string& text) {
    koSQLite db((dir + "\\exec.db").c_str());
    ASSERT_EQ(db.open(nullptr), SQLITE_OK);
    ASSERT_EQ(db.exec(text.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << text;
  }
  void start(const std::string& args) {
    std::string line = "\"" + exe + "\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    ASSERT_TRUE(CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                               dir.c_str(), &si, &pi));
  }
  // The program's exit code, or -2 when it did not end in time.
  int wait(int ms = 20000) {
    if (WaitForSingleObject(pi.hProcess, ms) != WAIT_OBJECT_0) return -2;
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    return (int)code;
  }
};
}  // namespace

TEST_F(Program, OneCandidateStartsAtOnce) {
  std::string sub = dir + "\\表示 ソフト";  // trail bytes 5C in the folder's name
  CreateDirectoryA(sub.c_str(), nullptr);
  std::string file = sub + "\\報告 書.rec";
  fclose(fopen(file.c_str(), "wb"));
  start("\"" + file + "\" \"" + dir + "\\second.rec\"");  // only the first path counts
  EXPECT_EQ(wait(), 0);
  EXPECT_EQ(WaitForFile(record, 10000), "\"" + recorder + "\"  \"" + file + "\"");
}

TEST_F(Program, MenuChoiceStartsTheSecond) {
  start("\"" + dir + "\\a.txt\"");
  HWND menu = WaitWindow(pi.dwProcessId, "#32768", 15000);
  ASSERT_NE(menu, nullptr) << "the candidate menu did not open";
  Sleep(300);
  SaveShot(menu, "menu");
  PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
  PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(wait(), 0);
  std::string got = WaitForFile(record, 10000);
  EXPECT_NE(got.find(" second \""), std::string::npos) << got;
}

TEST_F(Program, DismissedMenuStartsNothingAndEnds) {
  start("\"" + dir + "\\a.txt\"");
  HWND menu = WaitWindow(pi.dwProcessId, "#32768", 15000);
  ASSERT_NE(menu, nullptr);
  PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(wait(), 0) << "the program must not run on invisibly";
  Sleep(500);
  EXPECT_FALSE(FileExists(record));
}

TEST_F(Program, CancelEntryEnds) {
  start("\"" + dir + "\\a.txt\"");
  HWND menu = WaitWindow(pi.dwProcessId, "#32768", 15000);
  ASSERT_NE(menu, nullptr);
  PostMessageA(menu, WM_KEYDOWN, VK_UP, 0);  // the last entry, "(中止)"
  PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(wait(), 0);
  Sleep(500);
  EXPECT_FALSE(FileExists(record));
}

TEST_F(Program, FolderAndShell) {
  std::string folder = dir + "\\フォルダ";
  CreateDirectoryA(folder.c_str(), nullptr);
  sql("update etable set atab=X'03000000', na=1 where name='_Folder'");
  start("\"" + folder + "\"");
  EXPECT_EQ(wait(), 0);
  EXPECT_EQ(WaitForFile(record, 10000), "\"" + recorder + "\"  \"" + folder + "\"");
  DeleteFileA(record.c_str());
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  pi = {};
  // No group for .exe: the shell opens it, which runs the stand-in.
  start("\"" + recorder + "\"");
  EXPECT_EQ(wait(), 0);
  EXPECT_NE(WaitForFile(record, 10000).find("recorder.exe"), std::string::npos);
}

TEST_F(Program, BadInputGetsAMessage) {
  // A path too long to launch is refused, never cut.
  start("\"" + std::string(400, 'x') + ".rec\"");
  HWND box = WaitWindow(pi.dwProcessId, "#32770", 15000);
  ASSERT_NE(box, nullptr);
  char text[256] = "";
  GetDlgItemTextA(box, 65535, text, sizeof text);
  EXPECT_STREQ(text, "パスが長すぎるため開けません");
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(box, IDOK));
  EXPECT_NE(wait(), -2);
  Sleep(300);
  EXPECT_FALSE(FileExists(record));
  CloseHandle(pi.hProcess);
  CloseHandle(pi.hThread);
  pi = {};
  // No database: the message, and no window and no file made.
  DeleteFileA((dir + "\\exec.db").c_str());
  start("\"" + dir + "\\a.rec\"");
  box = WaitWindow(pi.dwProcessId, "#32770", 15000);
  ASSERT_NE(box, nullptr);
  GetDlgItemTextA(box, 65535, text, sizeof text);
  EXPECT_STREQ(text, "データベースが見つかりません");
  char caption[64] = "";
  GetWindowTextA(box, caption, sizeof caption);
  EXPECT_STREQ(caption, "Runmate");
  PostMessageA(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(box, IDOK));
  EXPECT_NE(wait(), -2);
  EXPECT_FALSE(FileExists(dir + "\\exec.db"));
}
