#include "dbsub.h"
#include <sqlite3.h>
#include <stdio.h>
#include <string.h>
#include <initializer_list>
#include <string>
#include "koPlatform.h"
#include "koUtl1.h"

char dbName[300];
koSQLite* db = nullptr;
std::string dbReadOnly;
int dialogFont = 9;
char folderGroup[200] = "_Folder";
const int w0[3] = {60, 100, 200};

const char* const MSG_DB_NOT_FOUND = "データベースが見つかりません";
const char* const MSG_DB_OPEN_FAILED = "データベースのオープンに失敗しました\n"
    "exec.db が壊れていないか、書き込みが許されているか確かめてください。";
const char* const MSG_DB_NOT_OURS = "このソフト用のデータベースではありません";
const char* const MSG_DB_BUSY =
    "データベースは他のプログラムが使用中です。\nしばらく待ってからもう一度開いてください。";
const char* const MSG_DB_READ_FAILED =
    "データベースを読み込めませんでした。\nexec.db が壊れていないか確かめてください。";

void (*DbOpenReport)(const char* text, const char* caption) = nullptr;

namespace {
// Every start-up message ends the program: an error.
void tell(const char* text, const char* caption) {
  if (DbOpenReport) DbOpenReport(text, caption);
  else koMessageBox(nullptr, text, caption, MB_OK | MB_ICONERROR);
}

// The file looked for and where it belongs; null when the folder is too
// long to form its name, which is said instead of a cut path.
void tellNotFound(const char* path, const char* caption) {
  std::string text = MSG_DB_NOT_FOUND;
  if (path)
    text = text + "\n\n" + path + "\n\nexec.db をこのプログラムと同じフォルダーに置いてください。";
  else
    text += "\n\nプログラムのあるフォルダーのパスが長すぎて、exec.db を探せません。\n"
            "プログラムと exec.db を、もっと短いパスのフォルダーに移してください。";
  tell(text.c_str(), caption);
}

std::string withId(const char* sql, int id) { return sql + std::to_string(id); }

bool isPlainAscii(const char* s) {
  for (; *s; s++)
    if ((unsigned char)*s >= 0x80) return false;
  return true;
}

// A NULL text column reads as "". ASCII is the same in Shift-JIS: only
// other texts go through the conversion.
std::string textOf(koSQLiteStmt* s, int column) {
  const char* utf8 = s->columnUtf8(column);
  if (!utf8) return "";
  if (isPlainAscii(utf8)) return utf8;
  const char* t = s->columnText(column);
  return t ? t : "";
}

// id, name, detail and memo: the first four columns of both tables.
void readTexts(koSQLiteStmt* s, xItem* item) {
  item->id = s->columnInt(0);
  item->name = textOf(s, 1);
  item->detail = textOf(s, 2);
  item->memo = textOf(s, 3);
}


// Why the last write failed, as SQLite said it, and its code.
int writeError = 0;
std::string writeReason;
void noteWriteFailure() {
  writeError = db ? db->errorCode : SQLITE_MISUSE;
  writeReason = db && db->dbHandle ? sqlite3_errmsg(db->dbHandle) : "no database";
}

// Runs one write in a transaction. A failed statement is still committed
// (what SQLite applied stays); a failed COMMIT is rolled back and
// reported, never taken as stored.
template <class F>
bool inTransaction(F write) {
  if (!db) return noteWriteFailure(), false;
  koTransaction transaction(db);
  if (!transaction.begun()) return noteWriteFailure(), false;
  bool ok = write();
  if (!ok) noteWriteFailure();
  bool committed = transaction.commit();
  if (ok && !committed) noteWriteFailure();
  return committed && ok;
}

}  // namespace

// The folder as shown: without the separator it ends in, but a drive's root.
static std::string placeOf(const char* folder) {
  std::string shown = folder;
  if (shown.size() > 3) shown.pop_back();
  return shown;
}

void DbCheckFolder(const char* folder) {
  if (!dbReadOnly.empty()) return;
  // SQLite's journal is made beside exec.db: a folder that takes no file
  // takes no write either.
  std::string probe = std::string(folder) + "exec.db-probe";
#ifdef _WIN32
  std::wstring wide = koWideOf(probe);  // the runtime's narrow names follow the ANSI code page
  FILE* f = _wfopen(wide.c_str(), L"wb");
  if (f) {
    fclose(f);
    _wremove(wide.c_str());
    return;
  }
#else
  FILE* f = fopen(probe.c_str(), "wb");
  if (f) {
    fclose(f);
    remove(probe.c_str());
    return;
  }
#endif
  dbReadOnly = "書き込めない場所にあります: " + placeOf(folder);
}

namespace {

// Texts bound in order from parameter 0 on.
bool bindTexts(koSQLiteStmt* s, std::initializer_list<const std::string*> texts) {
  int i = 0;
  for (const std::string* t : texts)
    if (s->bindText(i++, t->c_str(), -1) != SQLITE_OK) return false;
  return true;
}

// The ids as 4-byte little-endian integers; no ids bind NULL.
bool bindIds(koSQLiteStmt* s, int index, const extItem* item) {
  int na = item->count();
  std::string bytes(4 * (size_t)na, '\0');
  for (int i = 0; i < na; i++) {
    unsigned v = (unsigned)item->atab[i];
    for (int k = 0; k < 4; k++) bytes[4 * i + k] = (char)((v >> (8 * k)) & 0xFF);
  }
  return s->bindBlob(index, na ? bytes.data() : nullptr, (int)bytes.size()) == SQLITE_OK;
}
}  // namespace

void ReadGroupIds(koSQLiteStmt* s, int naColumn, int blobColumn, extItem* item) {
  int na = s->columnInt(naColumn);
  if (na < 0) na = 0;
  if (na > EXT_MAX_APPS) na = EXT_MAX_APPS;
  int bytes = 0;
  const unsigned char* blob = (const unsigned char*)s->columnBlob(blobColumn, &bytes);
  if (na > bytes / 4) na = bytes / 4;
  for (int i = 0; i < na; i++) {
    const unsigned char* b = blob + 4 * i;
    item->atab[i] = (int)((unsigned)b[0] | ((unsigned)b[1] << 8) | ((unsigned)b[2] << 16) |
                          ((unsigned)b[3] << 24));
  }
  item->na = na;
}

bool DbOpen(const char* exeFolder, const char* moduleName) {
  if (!moduleName) moduleName = "";
#ifdef _WIN32
  // The folder is the program's path in Shift-JIS: where code page 932
  // cannot hold its name, it would name another folder.
  std::wstring unheld = koUnheld(koProgramPath());
  if (!unheld.empty()) {
    std::string text = "このプログラムの場所に、シフト JIS で表せない文字があります。\n文字: " + koCodePoints(unheld) +
                       "\n\nプログラムと exec.db を、名前にその文字のないフォルダー\n（C:\\Tools\\Runmate など）に移してください。";
    tell(text.c_str(), moduleName);
    return false;
  }
#endif
  // folder + backslash + "exec.db" must fit dbName, else there is no such file.
  char folder[sizeof dbName];
  const int room = (int)sizeof folder - 9;
  const char* src = exeFolder ? exeFolder : "";
  int n = koStrncpy(folder, src, room + 1);
  if (n < 0 || (size_t)n != strlen(src)) {
    tellNotFound(nullptr, moduleName);
    return false;
  }
  if (n > 0 && folder[n - 1] != '/') koAdjustDir(folder, '+');
  std::string path = std::string(folder) + "exec.db";
  strcpy(dbName, path.c_str());
  DWORD attr = koFileAttributes(dbName);
  if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY)) {
    tellNotFound(dbName, moduleName);
    return false;
  }
  if (!db) db = new koSQLite(dbName);
  // Read-write without create: a file that vanished is not made anew.
  if (db->open(nullptr, SQLITE_OPEN_READWRITE) != SQLITE_OK) {
    tell(MSG_DB_OPEN_FAILED, moduleName);
    return false;
  }
  // Another program's write lock is waited for, not taken for an error.
  db->busyTimeout(kBusyWaitMs);
  std::string value;
  bool prepared = false;
  if (koStatement s = db->statement("select data from ctable  where kind='AppName'")) {
    prepared = true;
    if (s->row()) value = textOf(s.get(), 0);
  }
  if (prepared && value == moduleName) {
    // Found now, not at the first save: the lists then open read-only.
    dbReadOnly.clear();
    std::string shown = placeOf(folder);
    if (attr & FILE_ATTRIBUTE_READONLY)
      dbReadOnly = "exec.db に読み取り専用の属性があります: " + shown;
    else if (sqlite3_db_readonly(db->dbHandle, "main") != 0)
      dbReadOnly = "書き込めない場所にあります: " + shown;
    return true;
  }
  tell(db->busy() ? MSG_DB_BUSY : MSG_DB_NOT_OURS, moduleName);
  return false;
}

std::string DbWriteFailure() {
  std::string text = "理由: " + writeReason + "\n";
  switch (writeError & 0xFF) {
    case SQLITE_READONLY:
    case SQLITE_CANTOPEN:
    case SQLITE_PERM:
    case SQLITE_IOERR:
      return text + "exec.db かそのフォルダーに書き込めません。\nプログラムのフォルダーを、書き込めるフォルダー (ドキュメントなど) に移してください。";
    case SQLITE_BUSY:
    case SQLITE_LOCKED:
      return text + "他のプログラムが exec.db を使用中です。\nしばらく待ってからもう一度試してください。";
    case SQLITE_FULL:
      return text + "ディスクに空きがありません。空きを作ってからもう一度試してください。";
  }
  return text + "exec.db が壊れていないか確かめてください。";
}

void TermDb() {
  delete db;
  db = nullptr;
}

bool GetAllItem() {
  if (!db) return false;
  // Each statement checked, and the first failure left as the last one, so
  // that a busy database is told as busy.
  koStatement apps = db->statement("select*from atable  order by name");
  if (!apps) return false;
  while (apps->row()) {
    appItem* a = new appItem();
    readTexts(apps.get(), a);
    alist.push_back(a);
  }
  if (db->failed()) return false;
  koStatement groups = db->statement("select*from etable order by name");
  if (!groups) return false;
  while (groups->row()) {
    extItem* e = new extItem();
    readTexts(groups.get(), e);
    ReadGroupIds(groups.get(), 4, 5, e);
    elist.push_back(e);
  }
  return !db->failed();
}

const char* DbFailureText() { return db && db->busy() ? MSG_DB_BUSY : MSG_DB_READ_FAILED; }

bool readAppItem(appItem* item) {
  if (!db || !item) return false;
  koStatement s = db->statement(withId("select*from atable where id=", item->id).c_str());
  if (!s || !s->row()) return false;
  item->name = textOf(s.get(), 1);
  item->detail = textOf(s.get(), 2);
  return true;
}

bool readExtItem(extItem* item) {
  if (!db || !item) return false;
  koStatement s = db->statement(withId("select*from etable where id=", item->id).c_str());
  if (!s || !s->row()) return false;
  ReadGroupIds(s.get(), 4, 5, item);
  return true;
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

int searchGroup(const char* path, const char* name, const char* ext, std::string* matched) {
  if (matched) matched->clear();
  if (!db) return 0;
  koStatement s = db->statement("select*from etable");
  if (!s) return -1;
  // A row without a pattern can only hold an ASCII extension where its
  // UTF-8 text holds it, and never beats what was found: such rows are
  // passed over without converting them.
  size_t n = ext ? strlen(ext) : 0;
  bool quick = n > 0 && isPlainAscii(ext);
  int id = 0;
  ElementKind found = BY_EXTENSION;
  strComp list;
  while (s->row()) {
    const char* utf8 = s->columnUtf8(2);
    bool patterns = utf8 && strpbrk(utf8, "*?\\");
    if (!patterns && (id || !ext || (quick && !mayContain(utf8, ext, n)))) continue;
    const char* t = isPlainAscii(utf8) ? utf8 : s->columnText(2);  // ASCII is the same in Shift-JIS
    list.set(t ? t : "");
    ElementKind kind;
    const char* hit = list.match(path, name, ext, id ? (ElementKind)(found + 1) : BY_EXTENSION, &kind);
    if (!hit) continue;
    id = s->columnInt(0), found = kind;
    if (matched) *matched = hit;
    if (kind == BY_PATH) break;  // nothing comes before the earliest path pattern
  }
  return id == 0 && db->failed() ? -1 : id;
}

int searchExtItem(const char* ext) { return ext ? searchGroup(nullptr, nullptr, ext, nullptr) : 0; }

std::string GroupNameUtf8(int id) {
  koStatement s = db ? db->statement("select name from etable where id=?") : nullptr;
  if (!s || s->bindInt(0, id) != SQLITE_OK || !s->row()) return "";
  const char* t = s->columnUtf8(0);
  return t ? t : "";
}

int searchDirItem() {
  if (!db) return 0;
  // The name is bound, never spliced into the statement.
  koStatement s = db->statement("select*from etable where name=?");
  if (!s) return -1;
  int id = 0;
  // A name that does not convert names no group.
  if (s->bindText(0, folderGroup, -1) != SQLITE_OK) return 0;
  while (s->row()) id = s->columnInt(0);
  return db->failed() ? -1 : id;
}

bool appItem::addRecord() {
  return inTransaction([this] { return addRecordSub(); });
}
bool appItem::updRecord() {
  return inTransaction([this] { return updRecordSub(); });
}

bool appItem::addRecordSub() {
  if (!db) return false;
  koStatement s = db->statement("insert into atable (name,memo,cmd)values(?,?,?)");
  if (!s || !bindTexts(s.get(), {&name, &memo, &detail}) || !s->run()) return false;
  id = (int)db->lastInsertId();
  return true;
}

bool appItem::updRecordSub() {
  if (!db) return false;
  koStatement s = db->statement(withId("update atable set name=?,memo=?,cmd=? where id=", id).c_str());
  return s && bindTexts(s.get(), {&name, &memo, &detail}) && s->run();
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
  koStatement s = db->statement(sql.c_str());
  if (!s || !bindTexts(s.get(), {&name, &detail, &memo}) || !bindIds(s.get(), 3, this) || !s->run()) return false;
  id = (int)db->lastInsertId();
  return true;
}

bool extItem::updRecordSub() {
  if (!db) return false;
  std::string sql = "update etable set name=?,memo=?,elist=?,atab=?,na=" +
                    std::to_string(count()) + " where id=" + std::to_string(id);
  koStatement s = db->statement(sql.c_str());
  return s && bindTexts(s.get(), {&name, &memo, &detail}) && bindIds(s.get(), 3, this) && s->run();
}

bool extItem::DelRecord(int id) {
  return inTransaction([id] {
    return db->exec8(withId("delete from etable where id=", id).c_str(), nullptr, nullptr,
                     nullptr) == SQLITE_OK;
  });
}

void LoadParams() {
  if (!db) return;
  dialogFont = db->getIntIx("DailogFontSize", 0, 9, OPT_FONT_MIN, OPT_FONT_MAX);
  db->getTextIx("FolderGroup", 0, folderGroup, "_Folder", (int)sizeof folderGroup);
}

bool SaveParams() {
  if (!db) return noteWriteFailure(), false;
  bool ok = db->putBlobIx("DailogFontSize", 0, &dialogFont, 4);
  if (!ok) noteWriteFailure();
  if (!db->putBlobIx("FolderGroup", 0, folderGroup, (int)strlen(folderGroup) + 1) && ok) noteWriteFailure(), ok = false;
  return ok;
}
