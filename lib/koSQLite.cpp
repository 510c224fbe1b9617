#include "koSQLite.h"
#include <sqlite3.h>
#include <stdarg.h>
#include <string.h>
#include "koUtl1.h"

koSQLiteStmt::koSQLiteStmt(sqlite3_stmt* handle, koSQLite* o) : stmt(handle), owner(o) {}

koSQLiteStmt::~koSQLiteStmt() {
  sqlite3_finalize(stmt);
  if (owner) owner->releaseStmt(this);
}

int koSQLiteStmt::bindText(int index, const char* text, int length) {
  if (!text) return sqlite3_bind_null(stmt, index + 1);
  const char* utf8 = owner->toUTF8(text);
  // A text that does not convert is refused, never bound as "".
  if (*text && length != 0 && !*utf8) return SQLITE_MISMATCH;
  return sqlite3_bind_text(stmt, index + 1, utf8, length, SQLITE_TRANSIENT);
}

int koSQLiteStmt::bindInt(int index, int value) { return sqlite3_bind_int(stmt, index + 1, value); }

int koSQLiteStmt::bindBlob(int index, const void* value, int size) {
  if (!value) return sqlite3_bind_null(stmt, index + 1);
  return sqlite3_bind_blob(stmt, index + 1, value, size < 0 ? 0 : size, SQLITE_TRANSIENT);
}

bool koSQLiteStmt::row() {
  owner->errorCode = sqlite3_step(stmt);
  return owner->errorCode == SQLITE_ROW;
}

bool koSQLiteStmt::run() {
  owner->errorCode = sqlite3_step(stmt);
  return owner->errorCode == SQLITE_DONE;
}

int koSQLiteStmt::columnInt(int column) { return sqlite3_column_int(stmt, column); }

const void* koSQLiteStmt::columnBlob(int column, int* bytes) {
  const void* data = sqlite3_column_blob(stmt, column);
  *bytes = data ? sqlite3_column_bytes(stmt, column) : 0;
  return data;
}

const char* koSQLiteStmt::columnUtf8(int column) {
  return (const char*)sqlite3_column_text(stmt, column);
}

const char* koSQLiteStmt::columnText(int column) {
  const unsigned char* t = sqlite3_column_text(stmt, column);
  return t ? owner->toSJIS((const char*)t) : nullptr;
}

const char* koSQLiteStmt::columnName(int column) {
  const char* t = sqlite3_column_name(stmt, column);
  return t ? owner->toSJIS(t) : nullptr;
}

const char* koSQLiteStmt::paramName(int index) {
  const char* t = sqlite3_bind_parameter_name(stmt, index + 1);
  return t ? owner->toSJIS(t) : nullptr;
}

koSQLite::koSQLite(const char* n)
    : koDataBase(n, nullptr, nullptr, nullptr), heap(nullptr), heapSize(0), closing(false) {}

koSQLite::~koSQLite() {
  closing = true;
  for (koSQLiteStmt* s : stmtList) delete s;
  stmtList.clear();
  close();
  clearHeap();
}

int koSQLite::open(const char* n) {
  return open(n, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
}

int koSQLite::open(const char* n, int flags) {
  errorCode = 0;
  if (dbHandle) return 0;
  // The file name is ours (Shift-JIS); SQLite wants UTF-8.
  std::string file = n ? n : name_;
  std::string utf8;
  int need = SJIStoUTF8(file.c_str(), nullptr, 0);
  if (need > 0) {
    utf8.assign((size_t)need, '\0');
    if (SJIStoUTF8(file.c_str(), &utf8[0], need) <= 0) need = 0;
    utf8.resize(strlen(utf8.c_str()));
  }
  if (need <= 0) return SQLITE_CANTOPEN;
  int rc = sqlite3_open_v2(utf8.c_str(), &dbHandle, flags, nullptr);
  if (rc != SQLITE_OK) {
    // A failed open still hands back a handle; never keep it as "open".
    sqlite3_close_v2(dbHandle);
    dbHandle = nullptr;
  }
  return rc;
}

int koSQLite::busyTimeout(int ms) { return dbHandle ? sqlite3_busy_timeout(dbHandle, ms) : SQLITE_MISUSE; }

bool koSQLite::failed() const {
  return errorCode != SQLITE_OK && errorCode != SQLITE_ROW && errorCode != SQLITE_DONE;
}

bool koSQLite::busy() const {
  return (errorCode & 0xFF) == SQLITE_BUSY || (errorCode & 0xFF) == SQLITE_LOCKED;
}

int koSQLite::close() {
  errorCode = 0;
  if (!dbHandle) return 0;
  int rc = sqlite3_close_v2(dbHandle);
  errorCode = rc;
  dbHandle = nullptr;
  return rc;
}

int koSQLite::exec8(const char* sql, int (*callback)(void*, int, char**, char**), void* argument,
                    char** errorMessage) {
  int rc = sql ? sqlite3_exec(dbHandle, sql, callback, argument, errorMessage) : SQLITE_MISUSE;
  errorCode = rc;
  return rc;
}

int koSQLite::exec(const char* sql, int (*callback)(void*, int, char**, char**), void* argument,
                   char** errorMessage) {
  int rc = exec8(toUTF8(sql), callback, argument, errorMessage);
  errorCode = rc;
  return rc;
}

int koSQLite::begin() { return exec8("BEGIN", nullptr, nullptr, nullptr); }
int koSQLite::commit() { return exec8("COMMIT", nullptr, nullptr, nullptr); }
int koSQLite::rollback() {
  if (!dbHandle || sqlite3_get_autocommit(dbHandle)) return SQLITE_OK;
  return exec8("ROLLBACK", nullptr, nullptr, nullptr);
}

koSQLiteStmt* koSQLite::prepare8(const char* sql) {
  sqlite3_stmt* handle = nullptr;
  int rc = sql ? sqlite3_prepare_v2(dbHandle, sql, -1, &handle, nullptr) : SQLITE_MISUSE;
  errorCode = rc;
  if (rc != SQLITE_OK || !handle) {
    if (handle) sqlite3_finalize(handle);
    if (rc == SQLITE_OK) errorCode = SQLITE_MISUSE;  // empty statement
    return nullptr;
  }
  koSQLiteStmt* s = new koSQLiteStmt(handle, this);
  stmtList.push_back(s);
  return s;
}

long long koSQLite::lastInsertId() { return dbHandle ? sqlite3_last_insert_rowid(dbHandle) : 0; }

koTransaction::koTransaction(koSQLite* d) : db(d && d->begin() == SQLITE_OK ? d : nullptr) {}

koTransaction::~koTransaction() {
  if (db) db->rollback();
}

bool koTransaction::commit() {
  if (!db) return false;
  koSQLite* d = db;
  db = nullptr;
  if (d->commit() == SQLITE_OK) return true;
  d->rollback();
  return false;
}

bool koSQLite::isComplete(const char* sql) {
  const char* u = toUTF8(sql);
  return u && sqlite3_complete(u) != 0;
}

char* koSQLite::Mprintf(const char* format, ...) {
  va_list ap;
  va_start(ap, format);
  char* s = sqlite3_vmprintf(format, ap);
  va_end(ap);
  return s;
}

// Null gives null; a failed conversion gives "", never the previous text.
const char* koSQLite::convert(const char* text, int (*fn)(const char*, char*, int)) {
  if (!text) return nullptr;
  int n = fn(text, nullptr, 0);
  if (n > heapSize) {
    char* fresh = new char[n + 2];
    delete[] heap;
    heap = fresh;
    heapSize = n + 2;
  }
  if (!heap) {
    heap = new char[3];
    heapSize = 3;
  }
  if (n <= 0 || fn(text, heap, heapSize) <= 0) heap[0] = 0;
  return heap;
}

const char* koSQLite::toUTF8(const char* text) { return convert(text, SJIStoUTF8); }
const char* koSQLite::toSJIS(const char* text) { return convert(text, UTF8toSJIS); }

void koSQLite::clearHeap() {
  delete[] heap;
  heap = nullptr;
  heapSize = 0;
}

void koSQLite::releaseStmt(koSQLiteStmt* statement) {
  if (closing) return;
  for (auto it = stmtList.begin(); it != stmtList.end(); ++it)
    if (*it == statement) {
      stmtList.erase(it);
      return;
    }
}
