#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "dbsub.h"
#include "gosub.h"
#include "ko_test.h"

namespace {
// Little-endian ids as an SQL blob literal.
std::string Blob(const std::vector<int>& ids) {
  std::string s = "X'";
  char b[12];
  for (int id : ids) {
    snprintf(b, sizeof b, "%02X%02X%02X%02X", id & 0xFF, id >> 8 & 0xFF, id >> 16 & 0xFF, id >> 24 & 0xFF);
    s += b;
  }
  return s + "'";
}
}  // namespace

TEST(Decide, GroupsOfTheShippedDataAndOddRows) {
  std::string dir = MakeTempDir("decide");
  ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + SEP "exec.db"));
  ASSERT_TRUE(DbOpen((dir + SEP).c_str(), "Runmate"));
  std::vector<int> many;
  for (int i = 0; i < 45; i++) many.push_back(i % 4 + 1);
  struct Row {
    std::string setup;  // run before the row, kept for the rows after it
    const char* folderGroup;
    bool isFolder;
    const char* ext;
    int count;
    const char* first;
    const char* last;
  };
  const std::vector<Row> rows = {
      {"", "_Folder", false, "TXT", 2, "メモ帳", "ワードパッド"},
      {"", "_Folder", false, "rtf", 2, "ワードパッド", "メモ帳"},  // the group's order, not names
      {"", "_Folder", true, "txt", 2, "エクスプローラー", "コマンドプロンプト"},
      {"", "_Folder", false, "exe", 0, "", ""},
      {"", "_Folder", false, "", 0, "", ""},  // the folder group's empty list is no match
      {"", "_Folder", false, nullptr, 0, "", ""},
      // A group without applications sends the path to the shell.
      {"insert into etable (id,name,elist,memo,na,atab) values (20,'空','zip','',0,NULL)",
       "_Folder", false, "zip", 0, "", ""},
      // An id whose application is gone is skipped, not shown twice.
      {"insert into etable (id,name,elist,memo,na,atab) values (21,'欠','jp','',3," +
           Blob({1, 99, 2}) + ")",
       "_Folder", false, "jp", 2, "メモ帳", "ワードパッド"},
      {"insert into etable (id,name,elist,memo,na,atab) values (22,'和','表,,ソフト','',1," +
           Blob({3}) + ")",
       "_Folder", false, "ソフト", 1, "エクスプローラー", "エクスプローラー"},
      {"", "_Folder", false, "", 1, "エクスプローラー", "エクスプローラー"},
      {"", "和", true, "", 1, "エクスプローラー", "エクスプローラー"},
      {"", "none", true, "", 0, "", ""},
      // More ids than a group holds, all in the blob: the first 40 only.
      {"insert into etable (id,name,elist,memo,na,atab) values (23,'多','many','',45," +
           Blob(many) + ")",
       "_Folder", false, "many", 40, "メモ帳", "コマンドプロンプト"},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.ext ? r.ext : "(null)") + (r.isFolder ? " folder " : " ") +
                 r.folderGroup);
    if (!r.setup.empty()) {
      EXPECT_EQ(db->exec(r.setup.c_str(), nullptr, nullptr, nullptr), 0);
    }
    strcpy(folderGroup, r.folderGroup);
    int n = GoDecide(r.isFolder, r.ext);
    EXPECT_EQ(n, r.count);
    EXPECT_EQ(nCmd, r.count);
    if (n > 0 && n == r.count) {
      EXPECT_EQ(menus[0], r.first);
      EXPECT_EQ(menus[n - 1], r.last);
    }
  }
  EXPECT_EQ(GoDecide(false, "txt"), 2);
  EXPECT_EQ(cmdLine[0], "\"C:\\Windows\\notepad.exe\"  \"%1\"");
  strcpy(folderGroup, "_Folder");
  TermDb();
}

TEST(CommandLine, FirstPlaceholderOnly) {
  const std::string longTmpl = std::string(1500, 'x') + " \"%1\"", longPath(259, 'p');
  struct Row {
    const char* what;
    const char* tmpl;
    std::string path;
    bool ok;
    std::string expected;
  };
  const std::vector<Row> rows = {
      {"quoted", "\"C:\\Tools\\ed.exe\"  \"%1\"", "D:\\My Files\\表 ソ.txt", true,
       "\"C:\\Tools\\ed.exe\"  \"D:\\My Files\\表 ソ.txt\""},
      {"first only", "cmd /c type %1 > %1.bak", "a.txt", true, "cmd /c type a.txt > %1.bak"},
      {"appended", "notepad.exe", "C:\\a b.txt", true, "notepad.exe \"C:\\a b.txt\""},
      {"empty", "", "x", false, ""},
      {"null", nullptr, "x", false, ""},
      {"never cut", longTmpl.c_str(), longPath, true,
       std::string(1500, 'x') + " \"" + longPath + "\""},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    std::string out = "stale";
    EXPECT_EQ(BuildCommandLine(r.tmpl, r.path.c_str(), out), r.ok);
    EXPECT_EQ(out, r.expected);
  }
}
