#include "dbsub.h"
#include <sqlite3.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include "koPlatform.h"
#include "koUtl1.h"

char dbName[300];
koSQLite* db = nullptr;
int dialogFont = 9;
char folderGroup[200] = "_Folder";
const int w0[3] = {60, 100, 200};

const char* const MSG_DB_NOT_FOUND = "データベースが見つかりません";
const char* const MSG_DB_OPEN_FAILED = "データベースのオーブンに失敗しました";
const char* const MSG_DB_NOT_OURS = "このソフト用のデータベースではありません";

namespace {
void tell(const char* text, const char* caption) {
  MessageBoxA(nullptr, text, caption, MB_OK | MB_ICONINFORMATION);
}

std::string withId(const char* sql, int id) { return sql + std::to_string(id); }

// A NULL text column reads as "".
std::string textOf(koSQLiteStmt* s, int column) {
  const char* t = s->columnText(column);
  return t ? t : "";
}

// na and the ids of a group row, never more than 40 and never more than
// the blob really holds.
void readIds(koSQLiteStmt* s, int naColumn, int blobColumn, extItem* item) {
  int na = sqlite3_column_int(s->stmt, naColumn);
  if (na < 0) na = 0;
  if (na > EXT_MAX_APPS) na = EXT_MAX_APPS;
  const unsigned char* blob = (const unsigned char*)sqlite3_column_blob(s->stmt, blobColumn);
  int bytes = sqlite3_column_bytes(s->stmt, blobColumn);
  if (!blob) bytes = 0;
  if (na > bytes / 4) na = bytes / 4;
  for (int i = 0; i < na; i++) {
    const unsigned char* b = blob + 4 * i;
    item->atab[i] = (int)((unsigned)b[0] | ((unsigned)b[1] << 8) | ((unsigned)b[2] << 16) |
                          ((unsigned)b[3] << 24));
  }
  item->na = na;
}

// Runs one write between BEGIN and COMMIT. A failed statement is still
// committed (what SQLite applied stays); a failed COMMIT is rolled back and
// reported, never taken as stored.
template <class F>
bool inTransaction(F write) {
  if (!db) return false;
  db->begin();
  bool ok = write();
  if (db->commit() != SQLITE_OK) {
    db->rollback();
    return false;
  }
  return ok;
}

bool stepDone(koSQLiteStmt* s) {
  bool ok = sqlite3_step(s->stmt) == SQLITE_DONE;
  delete s;
  return ok;
}

bool bindIds(koSQLiteStmt* s, int index, const extItem* item, std::string& bytes) {
  int na = item->count();
  if (na == 0) return sqlite3_bind_null(s->stmt, index) == SQLITE_OK;
  bytes.resize(4 * (size_t)na);
  for (int i = 0; i < na; i++) {
    unsigned v = (unsigned)item->atab[i];
    for (int k = 0; k < 4; k++) bytes[4 * i + k] = (char)((v >> (8 * k)) & 0xFF);
  }
  return sqlite3_bind_blob(s->stmt, index, bytes.data(), (int)bytes.size(), SQLITE_TRANSIENT) ==
         SQLITE_OK;
}
}  // namespace

bool DbOpen(const char* exeFolder, const char* moduleName) {
  if (!moduleName) moduleName = "";
  // folder + backslash + "exec.db" must fit dbName, else there is no such file.
  char folder[sizeof dbName];
  const char* src = exeFolder ? exeFolder : "";
  int n = koStrncpy(folder, src, (int)sizeof folder - 8);
  if (n < 0 || (size_t)n != strlen(src)) {
    tell(MSG_DB_NOT_FOUND, moduleName);
    return false;
  }
  if (n > 0 && folder[n - 1] != '/') koAdjustDir(folder, '+');
  std::string path = std::string(folder) + "exec.db";
  strcpy(dbName, path.c_str());
  DWORD attr = GetFileAttributesA(dbName);
  if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) {
    tell(MSG_DB_NOT_FOUND, moduleName);
    return false;
  }
  if (!db) db = new koSQLite(dbName);
  // Read-write without create: a file that vanished is not made anew.
  if (db->open(nullptr, SQLITE_OPEN_READWRITE) != SQLITE_OK) {
    tell(MSG_DB_OPEN_FAILED, moduleName);
    return false;
  }
  std::string value;
  bool prepared = false;
  if (koSQLiteStmt* s = db->prepare8("select data from ctable  where kind='AppName'")) {
    prepared = true;
    if (sqlite3_step(s->stmt) == SQLITE_ROW) value = textOf(s, 0);
    delete s;
  }
  if (prepared && value == moduleName) return true;
  tell(MSG_DB_NOT_OURS, moduleName);
  return false;
}

void TermDb() {
  delete db;
  db = nullptr;
}

void GetAllItem() {
  if (!db) return;
  if (koSQLiteStmt* s = db->prepare8("select*from atable  order by name")) {
    while (sqlite3_step(s->stmt) == SQLITE_ROW) {
      appItem* a = new appItem();
      a->id = sqlite3_column_int(s->stmt, 0);
      a->name = textOf(s, 1);
      a->detail = textOf(s, 2);
      a->memo = textOf(s, 3);
      alist.push_back(a);
    }
    delete s;
  }
  if (koSQLiteStmt* s = db->prepare8("select*from etable order by name")) {
    while (sqlite3_step(s->stmt) == SQLITE_ROW) {
      extItem* e = new extItem();
      e->id = sqlite3_column_int(s->stmt, 0);
      e->name = textOf(s, 1);
      e->detail = textOf(s, 2);
      e->memo = textOf(s, 3);
      readIds(s, 4, 5, e);
      elist.push_back(e);
    }
    delete s;
  }
}

bool readAppItem(appItem* item) {
  if (!db || !item) return false;
  koSQLiteStmt* s = db->prepare8(withId("select*from atable where id=", item->id).c_str());
  if (!s) return false;
  bool found = sqlite3_step(s->stmt) == SQLITE_ROW;
  if (found) {
    item->name = textOf(s, 1);
    item->detail = textOf(s, 2);
  }
  delete s;
  return found;
}

bool readExtItem(extItem* item) {
  if (!db || !item) return false;
  koSQLiteStmt* s = db->prepare8(withId("select*from etable where id=", item->id).c_str());
  if (!s) return false;
  bool found = sqlite3_step(s->stmt) == SQLITE_ROW;
  if (found) readIds(s, 4, 5, item);
  delete s;
  return found;
}

// True when needle (ASCII) may occur in text, ignoring ASCII case.
static bool mayContain(const char* text, const char* needle, size_t n) {
  if (!text) return false;
  for (const char* p = text; *p; p++) {
    size_t i = 0;
    while (i < n && p[i] && (p[i] | 0x20) == (needle[i] | 0x20) &&
           ((needle[i] | 0x20) >= 'a' && (needle[i] | 0x20) <= 'z' ? true : p[i] == needle[i]))
      i++;
    if (i == n) return true;
  }
  return false;
}

static bool isPlainAscii(const char* s) {
  for (; *s; s++)
    if ((unsigned char)*s >= 0x80) return false;
  return true;
}

int searchExtItem(const char* ext) {
  if (!db || !ext) return 0;
  koSQLiteStmt* s = db->prepare8("select*from etable");
  if (!s) return 0;
  // An ASCII extension can only be in a list whose UTF-8 text holds it:
  // other rows are passed over without converting them.
  size_t n = strlen(ext);
  bool quick = n > 0 && isPlainAscii(ext);
  int id = 0;
  strComp list;
  while (sqlite3_step(s->stmt) == SQLITE_ROW) {
    if (quick && !mayContain((const char*)sqlite3_column_text(s->stmt, 2), ext, n)) continue;
    const char* t = s->columnText(2);
    list.set(t ? t : "");
    if (list.comp(ext)) {
      id = sqlite3_column_int(s->stmt, 0);
      break;
    }
  }
  delete s;
  return id;
}

int searchDirItem() {
  if (!db) return 0;
  // The name is bound, never spliced into the statement.
  koSQLiteStmt* s = db->prepare8("select*from etable where name=?");
  if (!s) return 0;
  int id = 0;
  if (s->bindText(0, folderGroup, -1) == SQLITE_OK)
    while (sqlite3_step(s->stmt) == SQLITE_ROW) id = sqlite3_column_int(s->stmt, 0);
  delete s;
  return id;
}

bool appItem::addRecord() {
  return inTransaction([this] { return addRecordSub(); });
}
bool appItem::updRecord() {
  return inTransaction([this] { return updRecordSub(); });
}

bool appItem::addRecordSub() {
  if (!db) return false;
  koSQLiteStmt* s = db->prepare8("insert into atable (name,memo,cmd)values(?,?,?)");
  if (!s) return false;
  if (s->bindText(0, name.c_str(), -1) || s->bindText(1, memo.c_str(), -1) ||
      s->bindText(2, detail.c_str(), -1)) {
    delete s;
    return false;
  }
  if (!stepDone(s)) return false;
  id = (int)sqlite3_last_insert_rowid(db->dbHandle);
  return true;
}

bool appItem::updRecordSub() {
  if (!db) return false;
  koSQLiteStmt* s =
      db->prepare8(withId("update atable set name=?,memo=?,cmd=? where id=", id).c_str());
  if (!s) return false;
  if (s->bindText(0, name.c_str(), -1) || s->bindText(1, memo.c_str(), -1) ||
      s->bindText(2, detail.c_str(), -1)) {
    delete s;
    return false;
  }
  return stepDone(s);
}

bool appItem::DelRecord(int id) {
  return inTransaction([id] {
    return db->exec8(withId("delete from atable where id=", id).c_str(), nullptr, nullptr,
                     nullptr) == SQLITE_OK;
  });
}

bool extItem::addRecord() {
  return inTransaction([this] { return addRecordSub(); });
}
bool extItem::updRecord() {
  return inTransaction([this] { return updRecordSub(); });
}

bool extItem::addRecordSub() {
  if (!db) return false;
  std::string sql = "insert into etable (name,elist,memo,atab,na)values(?,?,?,?," +
                    std::to_string(count()) + ")";
  koSQLiteStmt* s = db->prepare8(sql.c_str());
  if (!s) return false;
  std::string bytes;
  if (s->bindText(0, name.c_str(), -1) || s->bindText(1, detail.c_str(), -1) ||
      s->bindText(2, memo.c_str(), -1) || !bindIds(s, 4, this, bytes)) {
    delete s;
    return false;
  }
  if (!stepDone(s)) return false;
  id = (int)sqlite3_last_insert_rowid(db->dbHandle);
  return true;
}

bool extItem::updRecordSub() {
  if (!db) return false;
  std::string sql = "update etable set name=?,memo=?,elist=?,atab=?,na=" +
                    std::to_string(count()) + " where id=" + std::to_string(id);
  koSQLiteStmt* s = db->prepare8(sql.c_str());
  if (!s) return false;
  std::string bytes;
  if (s->bindText(0, name.c_str(), -1) || s->bindText(1, memo.c_str(), -1) ||
      s->bindText(2, detail.c_str(), -1) || !bindIds(s, 4, this, bytes)) {
    delete s;
    return false;
  }
  return stepDone(s);
}

bool extItem::DelRecord(int id) {
  return inTransaction([id] {
    return db->exec8(withId("delete from etable where id=", id).c_str(), nullptr, nullptr,
                     nullptr) == SQLITE_OK;
  });
}

void LoadParams() {
  if (!db) return;
  dialogFont = db->getIntIx("DailogFontSize", 0, 9);
  db->getTextIx("FolderGroup", 0, folderGroup, "_Folder", (int)sizeof folderGroup);
}

bool SaveParams() {
  if (!db) return false;
  bool ok = db->putBlobIx("DailogFontSize", 0, &dialogFont, 4);
  ok = db->putBlobIx("FolderGroup", 0, folderGroup, (int)strlen(folderGroup) + 1) && ok;
  return ok;
}
