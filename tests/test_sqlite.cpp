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

namespace {
std::string dbPath(const char* tag, const char* file = "t.db") {
  return MakeTempDir(tag) + "/" + file;
}
}  // namespace

TEST(SQLite, OpenCloseAndFailedOpens) {
  std::string path = dbPath("open");
  koSQLite db(path.c_str());
  EXPECT_EQ(db.close(), 0) << "closing a closed connection";
  ASSERT_EQ(db.open(nullptr), SQLITE_OK) << "null opens the stored name";
  sqlite3* first = db.dbHandle;
  EXPECT_EQ(db.open("elsewhere.db"), 0);
  EXPECT_EQ(db.dbHandle, first) << "an open connection is kept";
  EXPECT_EQ(db.close(), 0);
  EXPECT_EQ(db.dbHandle, nullptr);

  // A failed open leaves no dead handle that a later open calls success.
  koSQLite bad("x");
  std::string missing = MakeTempDir("open") + "/no/such/folder/x.db";
  EXPECT_NE(bad.open(missing.c_str()), SQLITE_OK);
  EXPECT_EQ(bad.dbHandle, nullptr);
  EXPECT_NE(bad.open(missing.c_str()), SQLITE_OK);

  // Read-write without create leaves no stray empty file behind.
  std::string absent = MakeTempDir("open") + "/absent.db";
  EXPECT_NE(bad.open(absent.c_str(), SQLITE_OPEN_READWRITE), SQLITE_OK);
  EXPECT_FALSE(FileExists(absent));
}

TEST(SQLite, JapaneseFolderName) {
  // Our file names are Shift-JIS; they must reach SQLite as UTF-8.
  std::string dir = MakeTempDir("jp") + "/表示ソフト";
#ifdef _WIN32
  ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
#else
  // Natively the file system speaks UTF-8: make the folder under that name.
  char u8[256];
  SJIStoUTF8(dir.c_str(), u8, sizeof u8);
  ASSERT_EQ(mkdir(u8, 0700), 0);
#endif
  std::string file = dir + "\\exec.db";
#ifndef _WIN32
  file = dir + "/exec.db";
#endif
  koSQLite db(file.c_str());
  ASSERT_EQ(db.open(nullptr), SQLITE_OK);
  EXPECT_EQ(db.exec("create table t(a)", nullptr, nullptr, nullptr), SQLITE_OK);
  db.close();
#ifndef _WIN32
  char u8f[300];
  SJIStoUTF8(file.c_str(), u8f, sizeof u8f);
  EXPECT_TRUE(FileExists(u8f));
#else
  EXPECT_TRUE(FileExists(file));
#endif
}

TEST(SQLite, TextIsShiftJisHereAndUtf8InTheFile) {
  koSQLite db(dbPath("text").c_str());
  ASSERT_EQ(db.open(nullptr), SQLITE_OK);
  ASSERT_EQ(db.exec("create table t(a text, b integer)", nullptr, nullptr, nullptr), SQLITE_OK);
  koSQLiteStmt* ins = db.prepare8("insert into t values(?, ?)");
  ASSERT_NE(ins, nullptr);
  EXPECT_EQ(ins->bindText(0, "表示ソフト", -1), SQLITE_OK);
  sqlite3_bind_int(ins->stmt, 2, 5);
  EXPECT_EQ(sqlite3_step(ins->stmt), SQLITE_DONE);
  delete ins;
  EXPECT_EQ(db.exec("insert into t values('漢字', NULL)", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_EQ(db.exec("insert into t values(NULL, 1)", nullptr, nullptr, nullptr), SQLITE_OK);

  koSQLiteStmt* q = db.prepare8("select a, hex(a) from t order by rowid");
  ASSERT_NE(q, nullptr);
  ASSERT_EQ(sqlite3_step(q->stmt), SQLITE_ROW);
  std::string a = q->columnText(0);
  EXPECT_EQ(a, "表示ソフト");
  EXPECT_STREQ(q->columnText(1), "E8A1A8E7A4BAE382BDE38395E38388") << "UTF-8 in the file";
  ASSERT_EQ(sqlite3_step(q->stmt), SQLITE_ROW);
  const char* p1 = q->columnText(0);
  const char* p2 = q->columnText(1);
  EXPECT_EQ(p1, p2) << "one shared conversion buffer";
  ASSERT_EQ(sqlite3_step(q->stmt), SQLITE_ROW);
  EXPECT_EQ(q->columnText(0), nullptr) << "SQL NULL stays null";
  EXPECT_STREQ(q->columnName(1), "hex(a)");
  delete q;

  koSQLiteStmt* named = db.prepare8("select :first, :second");
  ASSERT_NE(named, nullptr);
  EXPECT_STREQ(named->paramName(0), ":first");
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
  EXPECT_EQ(db.heapSize, 3) << "first conversion of an empty text";
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

TEST(SQLite, StatementsBelongToTheirConnection) {
  std::string path = dbPath("own");
  {
    koSQLite db(path.c_str());
    ASSERT_EQ(db.open(nullptr), SQLITE_OK);
    koSQLiteStmt* a = db.prepare8("select 1");
    koSQLiteStmt* b = db.prepare8("select 2");
    db.prepare8("select 3");
    EXPECT_EQ(db.stmtList.size(), 3u);
    delete b;
    EXPECT_EQ(db.stmtList.size(), 2u);
    EXPECT_EQ(db.stmtList.front(), a);
    // The rest are finalized by the connection before it closes.
  }
  koSQLite again(path.c_str());
  EXPECT_EQ(again.open(nullptr), SQLITE_OK);
}

TEST(SQLite, TransactionsAndRollback) {
  std::string path = dbPath("tx");
  koSQLite db(path.c_str());
  ASSERT_EQ(db.open(nullptr), SQLITE_OK);
  db.exec("create table t(a)", nullptr, nullptr, nullptr);
  EXPECT_EQ(db.begin(), SQLITE_OK);
  db.exec("insert into t values(1)", nullptr, nullptr, nullptr);
  EXPECT_EQ(db.rollback(), SQLITE_OK);
  EXPECT_EQ(db.begin(), SQLITE_OK);
  db.exec("insert into t values(2)", nullptr, nullptr, nullptr);
  EXPECT_EQ(db.commit(), SQLITE_OK);
  koSQLiteStmt* q = db.prepare8("select group_concat(a) from t");
  ASSERT_EQ(sqlite3_step(q->stmt), SQLITE_ROW);
  EXPECT_STREQ(q->columnText(0), "2");
  delete q;
  EXPECT_EQ(db.rollback(), SQLITE_OK) << "nothing open: nothing to do";
}

TEST(QFormat, AlwaysAClosedLiteral) {
  char out[1000];
  koDataBase::QFormat(nullptr, out);
  EXPECT_STREQ(out, "NULL");
  koDataBase::QFormat("it's", out);
  EXPECT_STREQ(out, "'it''s'");
  koDataBase::QFormat("表'", out);
  EXPECT_STREQ(out, "'表'''");
  std::string s997(997, 'a');
  koDataBase::QFormat(s997.c_str(), out);
  EXPECT_EQ(strlen(out), 999u);
  for (size_t n : {998u, 2000u}) {
    std::string s(n, 'a');
    koDataBase::QFormat(s.c_str(), out);
    EXPECT_LE(strlen(out), 999u);
    EXPECT_EQ(out[strlen(out) - 1], '\'') << "the literal is closed";
  }
  // Quotes and double-byte characters are never cut in half.
  std::string q(600, '\'');
  koDataBase::QFormat(q.c_str(), out);
  size_t len = strlen(out);
  EXPECT_EQ(len % 2, 0u) << "opening, pairs, closing";
  std::string k;
  for (int i = 0; i < 600; i++) k += "表";
  koDataBase::QFormat(k.c_str(), out);
  EXPECT_EQ(strlen(out) % 2, 0u);
  EXPECT_EQ(out[strlen(out) - 1], '\'');

  koSQLite db(":memory:");
  ASSERT_EQ(db.open(nullptr), SQLITE_OK);
  std::string sql = std::string("select ") + out;
  koSQLiteStmt* st = db.prepare8(db.toUTF8(sql.c_str()));
  ASSERT_NE(st, nullptr) << "the cut literal is still valid SQL";
  delete st;
}
