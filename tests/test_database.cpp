#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string.h>
#include <string>
#include "dbsub.h"
#include "koPlatform.h"
#include "ko_test.h"

namespace {
// A copy of the shipped exec.db in a fresh folder, opened as the program does.
class Db : public ::testing::Test {
 protected:
  std::string dir;
  void SetUp() override {
    dir = MakeTempDir("db");
    ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + SEP "exec.db"));
    ASSERT_TRUE(DbOpen((dir + SEP).c_str(), "Runmate"));
  }
  void TearDown() override {
    TermDb();
    EraseItem();
  }
  std::string one(const char* sql) {
    sqlite3_stmt* st = nullptr;
    std::string r;
    if (sqlite3_prepare_v2(db->dbHandle, sql, -1, &st, nullptr) == SQLITE_OK &&
        sqlite3_step(st) == SQLITE_ROW && sqlite3_column_text(st, 0))
      r = (const char*)sqlite3_column_text(st, 0);
    sqlite3_finalize(st);
    return r;
  }
  void run(const char* sql) { ASSERT_EQ(db->exec8(sql, nullptr, nullptr, nullptr), SQLITE_OK) << sql; }
};
}  // namespace

#ifndef _WIN32
// Natively the message boxes are recorded; under Wine they would wait for
// a click (the Windows tests of start-up cover them there).
TEST(DbOpenCheck, ThreeMessages) {
  std::string dir = MakeTempDir("dbopen");
  koNativeClearMessages();
  EXPECT_FALSE(DbOpen(dir.c_str(), "Runmate"));
  EXPECT_EQ(std::string(koNativeMessages()), "Runmate: データベースが見つかりません\n");
  EXPECT_FALSE(FileExists(dir + "/exec.db")) << "no stray empty file";
  TermDb();

  // Not a database at all.
  FILE* f = fopen((dir + "/exec.db").c_str(), "w");
  fputs("this is not sqlite", f);
  fclose(f);
  koNativeClearMessages();
  EXPECT_FALSE(DbOpen((dir + "/").c_str(), "Runmate"));
  EXPECT_NE(std::string(koNativeMessages()).find("このソフト用のデータベースではありません"),
            std::string::npos)
      << koNativeMessages();
  TermDb();

  ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "/exec.db"));
  koNativeClearMessages();
  EXPECT_FALSE(DbOpen((dir + "/").c_str(), "runmate")) << "the name check is case-sensitive";
  EXPECT_EQ(std::string(koNativeMessages()), "runmate: このソフト用のデータベースではありません\n");
  TermDb();
  EXPECT_TRUE(DbOpen((dir + "/").c_str(), "Runmate"));
  EXPECT_EQ(std::string(dbName), dir + "/exec.db");
  TermDb();

  std::string longDir(400, 'd');
  koNativeClearMessages();
  EXPECT_FALSE(DbOpen(longDir.c_str(), "Runmate")) << "an overlong folder is refused, not cut";
  TermDb();
}
#endif

TEST_F(Db, LoadsShippedRecordsInNameOrder) {
  GetAllItem();
  ASSERT_EQ(alist.size(), 4u);
  ASSERT_EQ(elist.size(), 3u);
  EXPECT_EQ(elist.front()->name, "_Folder") << "ASCII before Japanese";
  extItem* text = findExtItem("テキスト");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->na, 2);
  EXPECT_EQ(text->atab[0], 1);
  EXPECT_EQ(text->atab[1], 2);
  appItem* note = findAppItem(1);
  ASSERT_NE(note, nullptr);
  EXPECT_EQ(note->name, "メモ帳");
  EXPECT_EQ(note->detail, "\"C:\\Windows\\notepad.exe\"  \"%1\"");
}

TEST_F(Db, WritersStoreWhatTheyAreGiven) {
  appItem a;
  a.name = "表示ソフト";
  a.detail = "\"C:\\Tools\\表示.exe\"  \"%1\"";
  a.memo = "it's";
  ASSERT_TRUE(a.addRecord());
  EXPECT_GT(a.id, 4);
  appItem back;
  back.id = a.id;
  readAppItem(&back);
  EXPECT_EQ(back.name, a.name);
  EXPECT_EQ(back.detail, a.detail);
  EXPECT_EQ(back.memo, "") << "readAppItem reads name and command only";
  a.name = "表示";
  ASSERT_TRUE(a.updRecord());
  EXPECT_EQ(one("select count(*) from atable where name='表示ソフト'"), "0");
  readAppItem(&back);
  EXPECT_EQ(back.name, "表示");

  appItem missing;
  missing.id = 999;
  missing.name = "keep";
  readAppItem(&missing);
  EXPECT_EQ(missing.name, "keep");

  extItem g;
  g.name = "画像";
  g.detail = "jpg,png";
  g.na = 3;
  g.atab[0] = 3;
  g.atab[1] = 1;
  g.atab[2] = 2;
  ASSERT_TRUE(g.addRecord());
  std::string q = "select hex(atab)||'/'||na from etable where id=" + std::to_string(g.id);
  EXPECT_EQ(one(q.c_str()), "030000000100000002000000/3");
  g.na = 0;
  ASSERT_TRUE(g.updRecord());
  q = "select ifnull(atab,'NULL')||'/'||na from etable where id=" + std::to_string(g.id);
  EXPECT_EQ(one(q.c_str()), "NULL/0");
  extItem r;
  r.id = g.id;
  r.na = 9;
  readExtItem(&r);
  EXPECT_EQ(r.na, 0);

  EXPECT_TRUE(extItem::DelRecord(g.id));
  EXPECT_TRUE(appItem::DelRecord(a.id));
  EXPECT_EQ(one("select count(*) from atable"), "4");
  EXPECT_EQ(one("select count(*) from etable"), "3");
}

TEST_F(Db, BrokenRowsReadSafely) {
  // na above 40, a blob shorter than na says, NULL texts (a database made
  // by another tool need not forbid them).
  run("drop table atable");
  run("create table atable (id integer primary key, name text, cmd text, memo text)");
  run("drop table etable");
  run("create table etable (id integer primary key, name text, elist text, memo text, na integer, atab blob)");
  run("insert into etable (id,name,elist,memo,na,atab) values (50,NULL,NULL,NULL,1000,X'0100000002')");
  run("insert into atable (id,name,cmd,memo) values (60,NULL,NULL,NULL)");
  extItem e;
  e.id = 50;
  readExtItem(&e);
  EXPECT_EQ(e.na, 1) << "only what the blob holds";
  EXPECT_EQ(e.atab[0], 1);
  GetAllItem();
  appItem* a = findAppItem(60);
  ASSERT_NE(a, nullptr);
  EXPECT_EQ(a->name, "");
  EXPECT_EQ(a->detail, "");
  for (extItem* x : elist) EXPECT_LE(x->na, 40);
  run("update etable set na=-3 where id=50");
  readExtItem(&e);
  EXPECT_EQ(e.na, 0);
}

TEST_F(Db, SearchesOfALaunch) {
  EXPECT_EQ(searchExtItem("TXT"), 1);
  EXPECT_EQ(searchExtItem("rtf"), 2);
  EXPECT_EQ(searchExtItem("exe"), 0);
  EXPECT_EQ(searchExtItem(""), 0);
  run("insert into etable (id,name,elist,memo,na) values (9,'also text','jpg,txt','',0)");
  EXPECT_EQ(searchExtItem("txt"), 1) << "the lowest row id wins";
  EXPECT_EQ(searchExtItem("jpg"), 9);

  strcpy(folderGroup, "_Folder");
  EXPECT_EQ(searchDirItem(), 3);
  strcpy(folderGroup, "_folder");
  EXPECT_EQ(searchDirItem(), 0) << "case-sensitive";
  // Names are bound: quotes neither break nor widen the query.
  strcpy(folderGroup, "x' or '1'='1");
  EXPECT_EQ(searchDirItem(), 0);
  run("insert into etable (id,name,elist,memo,na) values (11,'it''s','', '',0)");
  strcpy(folderGroup, "it's");
  EXPECT_EQ(searchDirItem(), 11);
  std::string longName(199, 'n');
  strcpy(folderGroup, longName.c_str());
  EXPECT_EQ(searchDirItem(), 0);
  strcpy(folderGroup, "_Folder");
}

TEST_F(Db, FailedCommitIsNotReportedAsStored) {
  // A second connection reading holds a shared lock: COMMIT gets BUSY.
  sqlite3* other = nullptr;
  ASSERT_EQ(sqlite3_open(db->toUTF8(dbName), &other), SQLITE_OK);
  sqlite3_stmt* reading = nullptr;
  ASSERT_EQ(sqlite3_prepare_v2(other, "select * from atable", -1, &reading, nullptr), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(reading), SQLITE_ROW);
  appItem a;
  a.name = "lost?";
  EXPECT_FALSE(a.addRecord());
  sqlite3_finalize(reading);
  sqlite3_close(other);
  EXPECT_EQ(one("select count(*) from atable where name='lost?'"), "0");
  EXPECT_TRUE(sqlite3_get_autocommit(db->dbHandle)) << "no transaction left open";
  // The next write goes through.
  EXPECT_TRUE(a.addRecord());
  EXPECT_EQ(one("select count(*) from atable where name='lost?'"), "1");
}

TEST_F(Db, ParameterStore) {
  EXPECT_EQ(db->getIntIx("nothing", 0, 42), 42);
  EXPECT_EQ(db->getParamSize("nothing", 0), 0);
  int v = 12;
  ASSERT_TRUE(db->putBlobIx("n", 0, &v, 4));
  EXPECT_EQ(db->getIntIx("n", 0, 0), 12);
  v = 20;
  ASSERT_TRUE(db->putBlobIx("n", 0, &v, 4));
  EXPECT_EQ(one("select count(*) from params where key='n'"), "1");
  EXPECT_EQ(db->getIntIx("n", 0, 9, 6, 16), 16);
  v = 2;
  db->putBlobIx("n", 0, &v, 4);
  EXPECT_EQ(db->getIntIx("n", 0, 9, 6, 16), 6);
  EXPECT_EQ(db->getIntIx("n", 1, 9, 6, 16), 9);
  EXPECT_EQ(db->getIntIx("n", 0, 9, 16, 6), 6) << "the maximum wins";

  // Short or empty values give the default, never stray bytes.
  char two[2] = {1, 2};
  db->putBlobIx("short", 0, two, 2);
  EXPECT_EQ(db->getIntIx("short", 0, 77), 77);
  EXPECT_FLOAT_EQ(db->getFloatIx("short", 0, 1.5f), 1.5f);
  EXPECT_TRUE(db->getBoolIx("short", 0, false));
  db->putBlobIx("empty", 0, "", 0);
  EXPECT_EQ(db->getIntIx("empty", 0, 5), 5);
  v = 8;
  db->putBlobIx("empty", 0, &v, 4);
  EXPECT_EQ(one("select count(*) from params where key='empty'"), "1") << "updated, not inserted twice";
  EXPECT_EQ(db->getIntIx("empty", 0, 5), 8);
  float f = 2.25f;
  db->putBlobIx("f", 0, &f, 4);
  EXPECT_FLOAT_EQ(db->getFloatIx("f", 0, 0), 2.25f);
  EXPECT_FLOAT_EQ(db->getFloatIx("f", 0, 0, 3.0f, 4.0f), 3.0f);

  char buf[16];
  EXPECT_EQ(db->getTextIx("FolderGroup", 0, buf, "_Folder", -1), 8);
  EXPECT_STREQ(buf, "_Folder");
  db->putBlobIx("t", 0, "表示ソフトです", 15);
  memset(buf, 'Z', sizeof buf);
  EXPECT_EQ(db->getTextIx("t", 0, buf, "", 4), 15);
  EXPECT_STREQ(buf, "表") << "cut inside the buffer, terminated, whole characters";
  EXPECT_EQ(db->getTextIx("t", 0, buf, "", 5), 15);
  EXPECT_STREQ(buf, "表示");
  std::string s;
  EXPECT_EQ(db->getTextIx("t", 0, s, "d"), 15);
  EXPECT_EQ(s, "表示ソフトです");
  EXPECT_EQ(db->getTextIx("none", 0, s, "d"), 2);
  EXPECT_EQ(s, "d");

  // Keys are quoted: a quote in a key is just a character.
  v = 3;
  ASSERT_TRUE(db->putBlobIx("it's", 0, &v, 4));
  EXPECT_EQ(db->getIntIx("it's", 0, 0), 3);
  EXPECT_TRUE(db->putBlobIx("x') ; drop table params; --", 0, &v, 4));
  EXPECT_EQ(one("select count(*) from sqlite_master where name='params'"), "1");
  std::string longKey(300, 'k');
  EXPECT_TRUE(db->putBlobIx(longKey.c_str(), 0, &v, 4)) << "no fixed statement buffer";
  EXPECT_EQ(db->getIntIx(longKey.c_str(), 0, 0), 3);

  db->putBlobIx("n", 1, &v, 4);
  EXPECT_TRUE(db->delParams("n", 0));
  EXPECT_EQ(db->getParamSize("n", 0), 0);
  EXPECT_EQ(db->getParamSize("n", 1), 4);
  EXPECT_TRUE(db->delParams("n", -1));
  EXPECT_EQ(db->getParamSize("n", 1), 0);
  EXPECT_TRUE(db->delParams(nullptr, 5));
  EXPECT_EQ(one("select count(*) from params"), "0");
}

TEST_F(Db, SettingsRoundTrip) {
  LoadParams();
  EXPECT_EQ(dialogFont, 9);
  EXPECT_STREQ(folderGroup, "_Folder");
  dialogFont = 12;
  strcpy(folderGroup, "フォルダー");
  ASSERT_TRUE(SaveParams());
  EXPECT_EQ(one("select length(data) from params where key='FolderGroup'"), "11") << "bytes and terminator";
  EXPECT_EQ(one("select hex(data) from params where key='DailogFontSize'"), "0C000000");
  dialogFont = 0;
  folderGroup[0] = 0;
  LoadParams();
  EXPECT_EQ(dialogFont, 12);
  EXPECT_STREQ(folderGroup, "フォルダー");

  // A stored name longer than the buffer is cut inside it.
  std::string huge(500, 'g');
  db->putBlobIx("FolderGroup", 0, huge.c_str(), (int)huge.size() + 1);
  LoadParams();
  EXPECT_EQ(strlen(folderGroup), sizeof folderGroup - 1);
  strcpy(folderGroup, "_Folder");
}
