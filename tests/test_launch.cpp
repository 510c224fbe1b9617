#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "dbsub.h"
#include "gosub.h"
#include "ko_test.h"

namespace {
class Decide : public ::testing::Test {
 protected:
  void SetUp() override {
    std::string dir = MakeTempDir("decide");
    ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + SEP "exec.db"));
    ASSERT_TRUE(DbOpen((dir + SEP).c_str(), "Runmate"));
    strcpy(folderGroup, "_Folder");
  }
  void TearDown() override { TermDb(); }
  void run(const char* sql) { ASSERT_EQ(db->exec(sql, nullptr, nullptr, nullptr), 0) << sql; }
};
}  // namespace

TEST_F(Decide, CandidatesInGroupOrder) {
  EXPECT_EQ(GoDecide(false, "TXT"), 2);
  EXPECT_EQ(menus[0], "メモ帳");
  EXPECT_EQ(menus[1], "ワードパッド");
  EXPECT_EQ(cmdLine[0], "\"C:\\Windows\\notepad.exe\"  \"%1\"");
  EXPECT_EQ(GoDecide(false, "rtf"), 2);
  EXPECT_EQ(menus[0], "ワードパッド") << "the group's order, not the name order";
  EXPECT_EQ(GoDecide(true, "txt"), 2) << "a folder goes by the folder group only";
  EXPECT_EQ(menus[0], "エクスプローラー");
  EXPECT_EQ(GoDecide(false, "exe"), 0);
  EXPECT_EQ(GoDecide(false, ""), 0);
  EXPECT_EQ(GoDecide(false, nullptr), 0);
}

TEST_F(Decide, EdgesOfTheData) {
  // A group without applications sends the path to the shell.
  run("insert into etable (id,name,elist,memo,na,atab) values (20,'空','zip','',0,NULL)");
  EXPECT_EQ(GoDecide(false, "zip"), 0);
  // An id whose application is gone is skipped, and the count says so.
  run("insert into etable (id,name,elist,memo,na,atab) values (21,'欠','jp',''"
      ",3,X'010000006300000002000000')");
  EXPECT_EQ(GoDecide(false, "jp"), 2);
  EXPECT_EQ(menus[0], "メモ帳");
  EXPECT_EQ(menus[1], "ワードパッド");
  // Japanese extensions and an empty element for files without one.
  run("insert into etable (id,name,elist,memo,na,atab) values (22,'和','表,,ソフト',''"
      ",1,X'03000000')");
  EXPECT_EQ(GoDecide(false, "ソフト"), 1);
  EXPECT_EQ(GoDecide(false, ""), 1);
  // Renamed folder group; no such group means the shell.
  strcpy(folderGroup, "和");
  EXPECT_EQ(GoDecide(true, ""), 1);
  strcpy(folderGroup, "none");
  EXPECT_EQ(GoDecide(true, ""), 0);
}

TEST(CommandLine, FirstPlaceholderOnly) {
  std::string out;
  ASSERT_TRUE(BuildCommandLine("\"C:\\Tools\\ed.exe\"  \"%1\"", "D:\\My Files\\表 ソ.txt", out));
  EXPECT_EQ(out, "\"C:\\Tools\\ed.exe\"  \"D:\\My Files\\表 ソ.txt\"");
  ASSERT_TRUE(BuildCommandLine("cmd /c type %1 > %1.bak", "a.txt", out));
  EXPECT_EQ(out, "cmd /c type a.txt > %1.bak");
  ASSERT_TRUE(BuildCommandLine("notepad.exe", "C:\\a b.txt", out));
  EXPECT_EQ(out, "notepad.exe \"C:\\a b.txt\"") << "no placeholder: the path is appended";
  EXPECT_FALSE(BuildCommandLine("", "x", out)) << "an empty template starts nothing";
  EXPECT_FALSE(BuildCommandLine(nullptr, "x", out));
  // Never cut, however long.
  std::string tmpl(1500, 'x');
  tmpl += " \"%1\"";
  std::string path(259, 'p');
  ASSERT_TRUE(BuildCommandLine(tmpl.c_str(), path.c_str(), out));
  EXPECT_EQ(out.size(), 1500 + 3 + 259u);
  EXPECT_EQ(out.substr(out.size() - 6), "ppppp\"");
}
