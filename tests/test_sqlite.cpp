#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string.h>
#include <string>
#include "koSQLite.h"
#include "ko_test.h"
#include "koUtl1.h"
#ifndef _WIN32
#include <sys/stat.h>
#else
#include <windows.h>
#endif

TEST(SQLite, OpenCloseAndFailedOpens) {
  std::string dir = MakeTempDir("open");
  koSQLite db((dir + "/t.db").c_str());
  EXPECT_EQ(db.close(), 0) << "closing a closed connection";
  ASSERT_EQ(db.open(nullptr), SQLITE_OK) << "null opens the stored name";
  sqlite3* first = db.dbHandle;
  EXPECT_EQ(db.open("elsewhere.db"), 0);
  EXPECT_EQ(db.dbHandle, first) << "an open connection is kept";
  EXPECT_EQ(db.close(), 0);
  EXPECT_EQ(db.dbHandle, nullptr);
  // A failed open leaves no dead handle that a later open calls success.
  std::string missing = dir + "/no/such/folder/x.db";
  EXPECT_NE(db.open(missing.c_str()), SQLITE_OK);
  EXPECT_NE(db.open(missing.c_str()), SQLITE_OK);
  // Read-write without create leaves no stray empty file behind.
  EXPECT_NE(db.open((dir + "/absent.db").c_str(), SQLITE_OPEN_READWRITE), SQLITE_OK);
  EXPECT_FALSE(FileExists(dir + "/absent.db"));
}

TEST(SQLite, JapaneseFolderName) {
  // Our file names are Shift-JIS; they must reach SQLite as UTF-8.
  std::string dir = MakeTempDir("jp") + SEP "表示ソフト", file = dir + SEP "exec.db";
  char u8[300];
  SJIStoUTF8(file.c_str(), u8, sizeof u8);
#ifdef _WIN32
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
  std::string made = file;
#else
  // Natively the file system speaks UTF-8: make the folder under that name.
  std::string made = u8;
  ASSERT_EQ(mkdir(made.substr(0, made.size() - 8).c_str(), 0700), 0);
#endif
  koSQLite db(file.c_str());
  ASSERT_EQ(db.open(nullptr), SQLITE_OK);
  EXPECT_EQ(db.exec("create table t(a)", nullptr, nullptr, nullptr), SQLITE_OK);
  db.close();
  EXPECT_TRUE(FileExists(made));
}

TEST(SQLite, TextIsShiftJisHereAndUtf8InTheFile) {
  koSQLite db(":memory:");
  ASSERT_EQ(db.open(nullptr), SQLITE_OK);
  ASSERT_EQ(db.exec("create table t(a text)", nullptr, nullptr, nullptr), SQLITE_OK);
  koSQLiteStmt* ins = db.prepare8("insert into t values(?)");
  ASSERT_NE(ins, nullptr);
  EXPECT_EQ(ins->bindText(0, "表示ソフト", -1), SQLITE_OK);
  EXPECT_EQ(sqlite3_step(ins->stmt), SQLITE_DONE);
  delete ins;
  EXPECT_EQ(db.exec("insert into t values('漢字'), (NULL)", nullptr, nullptr, nullptr), SQLITE_OK);
  koSQLiteStmt* q = db.prepare8("select a, hex(a) from t order by rowid");
  ASSERT_NE(q, nullptr);
  ASSERT_EQ(sqlite3_step(q->stmt), SQLITE_ROW);
  EXPECT_EQ(std::string(q->columnText(0)), "表示ソフト");
  EXPECT_STREQ(q->columnText(1), "E8A1A8E7A4BAE382BDE38395E38388") << "UTF-8 in the file";
  ASSERT_EQ(sqlite3_step(q->stmt), SQLITE_ROW);
  EXPECT_STREQ(q->columnText(0), "漢字");
  ASSERT_EQ(sqlite3_step(q->stmt), SQLITE_ROW);
  EXPECT_EQ(q->columnText(0), nullptr) << "SQL NULL stays null";
  EXPECT_STREQ(q->columnName(1), "hex(a)");
  delete q;
  koSQLiteStmt* named = db.prepare8("select :first, :second");
  ASSERT_NE(named, nullptr);
  EXPECT_STREQ(named->paramName(1), ":second");
  EXPECT_EQ(named->paramName(5), nullptr);
  delete named;
  EXPECT_EQ(db.prepare8("select nonsense from"), nullptr);
  EXPECT_NE(db.errorCode, 0);
  EXPECT_TRUE(db.isComplete("select '表';"));
  EXPECT_FALSE(db.isComplete("select '表"));
}

TEST(SQLite, FailedConversionNeverHandsBackOldText) {
  koSQLite db(":memory:");
  EXPECT_STREQ(db.toUTF8(""), "");
  EXPECT_STREQ(db.toUTF8("あ"), "\xE3\x81\x82");
  EXPECT_EQ(db.toUTF8(nullptr), nullptr);
  // Invalid UTF-8 cannot become Shift-JIS: "", not the previous text.
  const char* r = db.toSJIS("\xFF\xFE\xC0");
  ASSERT_NE(r, nullptr);
  EXPECT_STRNE(r, "\xE3\x81\x82");
  ASSERT_EQ(db.open(nullptr), SQLITE_OK);
  koSQLiteStmt* s = db.prepare8("select ?");
  ASSERT_NE(s, nullptr);
  EXPECT_EQ(s->bindText(0, nullptr, -1), SQLITE_OK);
  ASSERT_EQ(sqlite3_step(s->stmt), SQLITE_ROW);
  EXPECT_EQ(sqlite3_column_type(s->stmt, 0), SQLITE_NULL) << "no stale bind";
  delete s;
}

TEST(SQLite, StatementsLeftOpenAreFinalizedWithTheConnection) {
  // One deleted early, two left to the connection (the sanitizers watch).
  koSQLite db(":memory:");
  ASSERT_EQ(db.open(nullptr), SQLITE_OK);
  db.prepare8("select 1");
  delete db.prepare8("select 2");
  db.prepare8("select 3");
}

TEST(SQLite, TransactionsAndRollback) {
  koSQLite db(":memory:");
  ASSERT_EQ(db.open(nullptr), SQLITE_OK);
  db.exec("create table t(a)", nullptr, nullptr, nullptr);
  EXPECT_EQ(db.begin(), SQLITE_OK);
  db.exec("insert into t values(1)", nullptr, nullptr, nullptr);
  EXPECT_EQ(db.rollback(), SQLITE_OK);
  EXPECT_EQ(db.begin(), SQLITE_OK);
  db.exec("insert into t values(2)", nullptr, nullptr, nullptr);
  EXPECT_EQ(db.commit(), SQLITE_OK);
  EXPECT_EQ(db.rollback(), SQLITE_OK) << "nothing open: nothing to do";
  koSQLiteStmt* q = db.prepare8("select group_concat(a) from t");
  ASSERT_EQ(sqlite3_step(q->stmt), SQLITE_ROW);
  EXPECT_STREQ(q->columnText(0), "2");
  delete q;
}

TEST(QFormat, AlwaysAClosedLiteral) {
  char out[1000];
  koDataBase::QFormat(nullptr, out);
  EXPECT_STREQ(out, "NULL");
  koDataBase::QFormat("表'", out);
  EXPECT_STREQ(out, "'表'''");
  std::string kanji;
  for (int i = 0; i < 600; i++) kanji += "表";
  // Cut inside the 1,000-byte buffer, never inside a doubled quote or a
  // double-byte character; still valid SQL.
  const struct { std::string in; size_t length; } rows[] = {
      {std::string(997, 'a'), 999}, {std::string(998, 'a'), 999}, {std::string(2000, 'a'), 999},
      {std::string(600, '\''), 998}, {kanji, 998}};
  koSQLite db(":memory:");
  ASSERT_EQ(db.open(nullptr), SQLITE_OK);
  for (const auto& r : rows) {
    SCOPED_TRACE(r.in.substr(0, 4) + " " + std::to_string(r.in.size()));
    koDataBase::QFormat(r.in.c_str(), out);
    EXPECT_EQ(strlen(out), r.length);
    EXPECT_EQ(out[strlen(out) - 1], '\'') << "the literal is closed";
    koSQLiteStmt* st = db.prepare8(db.toUTF8((std::string("select ") + out).c_str()));
    EXPECT_NE(st, nullptr);
    delete st;
  }
}
