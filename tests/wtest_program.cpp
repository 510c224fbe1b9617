// The whole program under Wine: Runmate.exe started with a path, as the
// Send To folder would, in a folder of its own with a copy of exec.db. A
// stand-in application records the command line it is started with.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
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
  void start(const std::string& args) {
    end();
    DeleteFileA(record.c_str());
    std::string line = "\"" + exe + "\" " + args;
    STARTUPINFOA si{};
    si.cb = sizeof si;
    ASSERT_TRUE(
        CreateProcessA(nullptr, &line[0], nullptr, nullptr, FALSE, 0, nullptr, dir.c_str(), &si, &pi));
  }
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
  // What the stand-in was started with, or "" when nothing started.
  std::string recorded(int ms = 10000) { return WaitForFile(record, ms); }
  std::string quoted(const std::string& path) { return "\"" + recorder + "\"  \"" + path + "\""; }
};
}  // namespace

TEST_F(Program, OneCandidateStartsAtOnce) {
  std::string sub = dir + "\\表示 ソフト";  // trail bytes 5C in the folder's name
  CreateDirectoryA(sub.c_str(), nullptr);
  std::string file = sub + "\\報告 書.rec";
  fclose(fopen(file.c_str(), "wb"));
  start("\"" + file + "\" \"" + dir + "\\second.rec\"");  // only the first path counts
  EXPECT_EQ(boxesUntilEnd(), "");
  EXPECT_EQ(recorded(), quoted(file));
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
  const struct {
    const char* why;
    std::vector<WPARAM> keys;
    const char* record;
  } cases[] = {
      {"the second", {VK_DOWN, VK_DOWN, VK_RETURN}, "  second \""},
      {"the last entry, (中止)", {VK_UP, VK_RETURN}, nullptr},
      {"dismissed: the program must not run on invisibly", {VK_ESCAPE}, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.why);
    start("\"" + dir + "\\a.txt\"");
    HWND menu = WaitWindow(pi.dwProcessId, "#32768", 15000);
    ASSERT_NE(menu, nullptr) << "the candidate menu did not open";
    if (c.record) {
      Sleep(300);
      SaveShot(menu, "menu");
    }
    for (WPARAM key : c.keys) PostMessageA(menu, WM_KEYDOWN, key, 0);
    EXPECT_EQ(boxesUntilEnd(), "");
    DWORD code = 99;
    GetExitCodeProcess(pi.hProcess, &code);
    EXPECT_EQ(code, 0u);
    std::string got = recorded(c.record ? 10000 : 1000);
    EXPECT_EQ(c.record ? got.find(c.record) != std::string::npos : got.empty(), true) << got;
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
