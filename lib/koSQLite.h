// SQLite connection and prepared statements. Text is Shift-JIS on our side
// and UTF-8 in the file; every text crossing the boundary is converted into
// one buffer per connection, valid until the next conversion.
#ifndef KO_SQLITE_H
#define KO_SQLITE_H
#include <list>
#include <memory>
#include <string>
#include "koDataBase.h"

struct sqlite3_stmt;
class koSQLite;

class koSQLiteStmt : public koObject {
 public:
  sqlite3_stmt* stmt;
  koSQLite* owner;

  koSQLiteStmt(sqlite3_stmt* handle, koSQLite* owner);
  ~koSQLiteStmt() override;
  koSQLiteStmt(const koSQLiteStmt&) = delete;
  koSQLiteStmt& operator=(const koSQLiteStmt&) = delete;

  // Parameter indices count from 0 here, columns from 0 as in SQLite.
  int bindText(int index, const char* text, int length);
  int bindInt(int index, int value);
  // A null value binds SQL NULL.
  int bindBlob(int index, const void* value, int size);
  // One step: true when it gave a row (row) or ran to its end (run). The
  // result code is left in the owner's errorCode.
  bool row();
  bool run();
  int columnInt(int column);
  // The column's bytes (their count in bytes), null for NULL.
  const void* columnBlob(int column, int* bytes);
  // The column's UTF-8 text as stored, unconverted.
  const char* columnUtf8(int column);
  const char* columnText(int column);
  const char* columnName(int column);
  const char* paramName(int index);
};

// A statement finalized when it goes out of scope.
using koStatement = std::unique_ptr<koSQLiteStmt>;

class koSQLite : public koDataBase {
 public:
  char* heap;
  int heapSize;
  std::list<koSQLiteStmt*> stmtList;
  bool closing;

  explicit koSQLite(const char* name);
  ~koSQLite() override;
  const char* className() override { return "koSQLite"; }

  using koDataBase::open;
  int open(const char* name);
  // Opens with sqlite3_open_v2 flags (e.g. read-write without create).
  int open(const char* name, int flags);
  int close() override;
  // How long a statement waits for another connection's lock.
  int busyTimeout(int ms);
  // The last statement, step or open ended in an error (busy among them).
  bool failed() const;
  bool busy() const;
  int exec8(const char* sqlUtf8, int (*callback)(void*, int, char**, char**), void* argument,
            char** errorMessage);
  int exec(const char* sql, int (*callback)(void*, int, char**, char**), void* argument,
           char** errorMessage) override;
  int begin() override;
  int commit() override;
  int rollback() override;
  koSQLiteStmt* prepare8(const char* sqlUtf8);
  // The same, owned by the caller's scope; null when it cannot be prepared.
  koStatement statement(const char* sqlUtf8) { return koStatement(prepare8(sqlUtf8)); }
  long long lastInsertId();
  bool isComplete(const char* sql);
  static char* Mprintf(const char* format, ...);

  // Parameter store on the table params (key, ix, data).
  int getParamSize(const char* key, int ix);
  int getBlobIx(const char* key, int ix, void* buffer, int max);
  bool putBlobIx(const char* key, int ix, const void* value, int size);
  bool delParams(const char* key, int ix);
  int getIntIx(const char* key, int ix, int def);
  int getIntIx(const char* key, int ix, int def, int min, int max);
  float getFloatIx(const char* key, int ix, float def);
  float getFloatIx(const char* key, int ix, float def, float min, float max);
  bool getBoolIx(const char* key, int ix, bool def);
  int getTextIx(const char* key, int ix, char* buffer, const char* def, int max);
  int getTextIx(const char* key, int ix, std::string& s, const char* def);

  const char* toUTF8(const char* text);
  const char* toSJIS(const char* text);
  void clearHeap();
  void releaseStmt(koSQLiteStmt* statement);

 private:
  int paramRow(const char* key, int ix, bool* exists);
  bool readFixed(const char* key, int ix, void* out, int n);
  const char* convert(const char* text, int (*fn)(const char*, char*, int));
};

// BEGIN when made; rolled back when it ends without a commit.
class koTransaction {
 public:
  explicit koTransaction(koSQLite* db);
  ~koTransaction();
  koTransaction(const koTransaction&) = delete;
  koTransaction& operator=(const koTransaction&) = delete;
  bool begun() const { return db != nullptr; }
  // A failed COMMIT is rolled back and gives false.
  bool commit();

 private:
  koSQLite* db;
};

#endif
