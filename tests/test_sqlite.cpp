#include <gtest/gtest.h>
#include <sqlite3.h>
#include <string.h>
#include "koSQLite.h"
#include "koUtl1.h"
#include "ko_test.h"
#ifndef _WIN32
#include <sys/stat.h>
#else
#include <windows.h>
#endif

TEST(SQLite, OpenCloseFailedOpensAndAJapaneseFolder) {
  std::string dir = MakeTempDir("open"), jp = dir + SEP "表示ソフト", file = jp + SEP "exec.db";
  koSQLite db((dir + "/t.db").c_str());
  EXPECT_EQ(db.close(), 0) << "closing a closed connection";
  ASSERT_EQ(db.open(nullptr), SQLITE_OK) << "null opens the stored name";
  sqlite3* first = db.dbHandle;
  EXPECT_TRUE(db.open("elsewhere.db") == 0 && db.dbHandle == first) << "an open connection is kept";
  EXPECT_TRUE(db.close() == 0 && !db.dbHandle);
  // A failed open leaves no dead handle that a later open calls success.
  for (int i = 0; i < 2; i++) EXPECT_NE(db.open((dir + "/no/such/folder/x.db").c_str()), SQLITE_OK) << i;
  // Read-write without create leaves no stray empty file behind.
  EXPECT_NE(db.open((dir + "/absent.db").c_str(), SQLITE_OPEN_READWRITE), SQLITE_OK);
  EXPECT_FALSE(FileExists(dir + "/absent.db"));
  // Our file names are Shift-JIS; they must reach SQLite as UTF-8.
#ifdef _WIN32
  ASSERT_TRUE(CreateDirectoryA(jp.c_str(), nullptr));
  std::string made = file;
#else
  char u8[300];  // natively the file system speaks UTF-8
  SJIStoUTF8(file.c_str(), u8, sizeof u8);
  std::string made = u8;
  ASSERT_EQ(mkdir(made.substr(0, made.size() - 8).c_str(), 0700), 0);
#endif
  koSQLite japanese(file.c_str());
  EXPECT_TRUE(japanese.open(nullptr) == SQLITE_OK && japanese.exec("create table t(a)", nullptr, nullptr, nullptr) == 0);
  japanese.close();
  EXPECT_TRUE(FileExists(made));
}

// A query's rows as our side reads them: columns joined by |, rows ended by ;, NULL as ~.
static std::string All(koSQLite& db, const char* sql) {
  koStatement st = db.statement(sql);
  std::string r;
  for (int c = 0; st && (c || st->row()); c = (c + 1) % sqlite3_column_count(st->stmt)) {
    const char* text = st->columnText(c);
    r += (text ? text : "~") + std::string(c + 1 < sqlite3_column_count(st->stmt) ? "|" : ";");
  }
  return r;
}

TEST(SQLite, TextStatementsAndTransactions) {
  koSQLite db(":memory:");
  EXPECT_STREQ(db.toUTF8(""), "");
  EXPECT_STREQ(db.toUTF8("あ"), "\xE3\x81\x82");
  EXPECT_EQ(db.toUTF8(nullptr), nullptr);
  // Invalid UTF-8 gives no Shift-JIS text, and never the previous one.
  const char* r = db.toSJIS("\xFF\xFE\xC0");
  EXPECT_TRUE(r && strcmp(r, "\xE3\x81\x82")) << "the previous text";
  ASSERT_EQ(db.open(nullptr), SQLITE_OK);
  ASSERT_EQ(db.exec("create table t(a text)", nullptr, nullptr, nullptr), SQLITE_OK);
  koSQLiteStmt* ins = db.prepare8("insert into t values(?)");
  ASSERT_NE(ins, nullptr);
  EXPECT_EQ(ins->bindText(0, "表示ソフト", -1), SQLITE_OK);
  EXPECT_TRUE(ins->run() && sqlite3_reset(ins->stmt) == SQLITE_OK);
  EXPECT_EQ(ins->bindText(0, nullptr, -1), SQLITE_OK) << "SQL NULL, not the previous text";
  EXPECT_TRUE(ins->run());
  delete ins;
  EXPECT_EQ(db.exec("insert into t values('漢字')", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_EQ(All(db, "select a, hex(a) from t order by rowid"),
            "表示ソフト|E8A1A8E7A4BAE382BDE38395E38388;~|;漢字|E6BCA2E5AD97;")
      << "UTF-8 in the file";
  koSQLiteStmt* named = db.prepare8("select :first, :second");  // left to the connection (the sanitizers watch)
  ASSERT_NE(named, nullptr);
  EXPECT_STREQ(named->paramName(1), ":second");
  EXPECT_EQ(named->paramName(5), nullptr);
  EXPECT_STREQ(named->columnName(1), ":second");
  EXPECT_EQ(db.prepare8("select nonsense from"), nullptr);
  EXPECT_NE(db.errorCode, 0);
  EXPECT_TRUE(db.isComplete("select '表';") && !db.isComplete("select '表"));
  db.exec("delete from t", nullptr, nullptr, nullptr);
  EXPECT_TRUE(db.begin() == 0 && db.exec("insert into t values(1)", nullptr, nullptr, nullptr) == 0 && db.rollback() == 0);
  EXPECT_TRUE(db.begin() == 0 && db.exec("insert into t values(2)", nullptr, nullptr, nullptr) == 0 && db.commit() == 0);
  EXPECT_EQ(db.rollback(), SQLITE_OK) << "nothing open: nothing to do";
  EXPECT_EQ(All(db, "select a from t"), "2;");
}

TEST(QFormat, AlwaysAClosedLiteral) {
  char out[1000];
  EXPECT_STREQ((koDataBase::QFormat(nullptr, out), out), "NULL");
  EXPECT_STREQ((koDataBase::QFormat("表'", out), out), "'表'''");
  std::string kanji;
  for (int i = 0; i < 600; i++) kanji += "表";
  // Cut inside the 1,000-byte buffer, never inside a doubled quote or a
  // double-byte character; still valid SQL.
  const struct { std::string in; size_t length; } rows[] = {{std::string(997, 'a'), 999}, {std::string(998, 'a'), 999},
      {std::string(2000, 'a'), 999}, {std::string(600, '\''), 998}, {kanji, 998}};
  koSQLite db(":memory:");
  ASSERT_EQ(db.open(nullptr), SQLITE_OK);
  for (const auto& r : rows) {
    SCOPED_TRACE(r.in.substr(0, 4) + " " + std::to_string(r.in.size()));
    koDataBase::QFormat(r.in.c_str(), out);
    EXPECT_EQ(std::to_string(strlen(out)) + out[strlen(out) - 1], std::to_string(r.length) + "'") << "closed";
    EXPECT_TRUE(db.statement(db.toUTF8((std::string("select ") + out).c_str())) != nullptr);
  }
}
