#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "dbsub.h"
#include "gosub.h"
#include "ko_test.h"

TEST(Decide, GroupsOfTheShippedDataAndOddRows) {
  std::string dir = MakeTempDir("decide");
  ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + SEP "exec.db"));
  ASSERT_TRUE(DbOpen((dir + SEP).c_str(), "Runmate"));
  std::string many;  // ids 1 2 3 4 1 2 ..., 45 of them
  for (int i = 0; i < 45; i++) many += "0" + std::to_string(i % 4 + 1) + "000000";
  // setup runs before its row and stays; folder: the folder group's name
  // for a folder, null for a file.
  struct Row {
    std::string setup;
    const char *folder, *ext;
    int count;
    const char *first = "", *last = "";
  };
  const char *exp = "エクスプローラー", *cmd = "コマンドプロンプト";
  const std::vector<Row> rows = {
      {"", nullptr, "TXT", 2, "メモ帳", "ワードパッド"},
      {"", nullptr, "rtf", 2, "ワードパッド", "メモ帳"},  // the group's order, not names
      {"", "_Folder", "txt", 2, exp, cmd},
      {"", nullptr, "exe", 0},
      {"", nullptr, "", 0},  // the folder group's empty list is no match
      {"", nullptr, nullptr, 0},
      // A group without applications sends the path to the shell.
      {"insert into etable values (20,'空','zip','',0,NULL)", nullptr, "zip", 0},
      // An id whose application is gone is skipped, not shown twice.
      {"insert into etable values (21,'欠','jp','',3,X'010000006300000002000000')", nullptr,
       "jp", 2, "メモ帳", "ワードパッド"},
      {"insert into etable values (22,'和','表,,ソフト','',1,X'03000000')", nullptr, "ソフト", 1,
       exp, exp},
      {"", nullptr, "", 1, exp, exp},
      {"", "和", "", 1, exp, exp},
      {"", "none", "", 0},
      // More ids than a group holds, all in the blob: the first 40 only.
      {"insert into etable values (23,'多','many','',45,X'" + many + "')", nullptr, "many", 40,
       "メモ帳", cmd},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.ext ? r.ext : "(null)") + " " + (r.folder ? r.folder : "file"));
    if (!r.setup.empty()) {
      EXPECT_EQ(db->exec(r.setup.c_str(), nullptr, nullptr, nullptr), 0);
    }
    strcpy(folderGroup, r.folder ? r.folder : "_Folder");
    int n = GoDecide(r.folder != nullptr, r.ext);
    EXPECT_EQ(n, r.count);
    EXPECT_EQ(nCmd, r.count);
    if (n > 0 && n == r.count) {
      EXPECT_EQ(menus[0], r.first);
      EXPECT_EQ(menus[n - 1], r.last);
    }
  }
  EXPECT_EQ(GoDecide(false, "txt"), 2);
  EXPECT_EQ(cmdLine[0], "\"C:\\Windows\\notepad.exe\"  \"%1\"");
  // A database another program holds is no "no group" (that would hand
  // the file to the shell).
  {
    koSQLite other((dir + SEP "exec.db").c_str());
    ASSERT_EQ(other.open(nullptr), 0);
    ASSERT_EQ(other.exec("BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), 0);
    db->busyTimeout(50);
    for (bool folder : {false, true}) EXPECT_EQ(GoDecide(folder, "txt"), -1) << folder;
    other.rollback();
  }
  EXPECT_EQ(GoDecide(false, "txt"), 2);
  strcpy(folderGroup, "_Folder");
  TermDb();
}

TEST(CommandLine, FirstPlaceholderOnly) {
  const std::string longTmpl = std::string(1500, 'x') + " \"%1\"", longPath(259, 'p');
  struct Row {
    const char *tmpl, *path;
    bool ok;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"\"C:\\ed.exe\"  \"%1\"", "D:\\My Files\\表 ソ.txt", true,
       "\"C:\\ed.exe\"  \"D:\\My Files\\表 ソ.txt\""},
      {"cmd /c type %1 > %1.bak", "a.txt", true, "cmd /c type a.txt > %1.bak"},
      {"notepad.exe", "C:\\a b.txt", true, "notepad.exe \"C:\\a b.txt\""},  // appended
      {"", "x", false, ""},
      {nullptr, "x", false, ""},
      {longTmpl.c_str(), longPath.c_str(), true, std::string(1500, 'x') + " \"" + longPath + "\""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.tmpl ? r.tmpl : "(null)");
    std::string out = "stale";
    EXPECT_EQ(BuildCommandLine(r.tmpl, r.path, out), r.ok);
    EXPECT_EQ(out, r.expected);
  }
}
