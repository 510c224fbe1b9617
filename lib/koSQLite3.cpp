// Key/value settings in the table params. Keys are quoted into the SQL
// text (a quote in a key is doubled), so no key can change the statement.
#include <sqlite3.h>
#include <string.h>
#include <string>
#include "koJChar.h"
#include "koSQLite.h"

namespace {
std::string quoted(const char* key) {
  std::string r = "'";
  for (const char* p = key ? key : ""; *p; p++) {
    r += *p;
    if (*p == '\'') r += '\'';
  }
  r += "'";
  return r;
}

std::string selectSql(const char* key, int ix) {
  return "select data from params where ix=" + std::to_string(ix) + " and key=" + quoted(key);
}
}  // namespace

// Size of the first row's value, 0 for no row (or a failed step), -1 when
// the statement cannot be prepared. exists tells an empty row from none.
int koSQLite::paramRow(const char* key, int ix, bool* exists) {
  if (exists) *exists = false;
  koSQLiteStmt* s = prepare8(toUTF8(selectSql(key, ix).c_str()));
  if (!s) return -1;
  int size = 0;
  if (sqlite3_step(s->stmt) == SQLITE_ROW) {
    size = sqlite3_column_bytes(s->stmt, 0);
    if (exists) *exists = true;
  }
  delete s;
  return size;
}

int koSQLite::getParamSize(const char* key, int ix) { return paramRow(key, ix, nullptr); }

int koSQLite::getBlobIx(const char* key, int ix, void* buffer, int max) {
  koSQLiteStmt* s = prepare8(toUTF8(selectSql(key, ix).c_str()));
  if (!s) return -1;
  int size = 0;
  if (sqlite3_step(s->stmt) == SQLITE_ROW) {
    const void* data = sqlite3_column_blob(s->stmt, 0);
    size = sqlite3_column_bytes(s->stmt, 0);
    if (buffer && data && size > 0) {
      int n = (max > 0 && max < size) ? max : size;
      memcpy(buffer, data, (size_t)n);
    }
  }
  delete s;
  return size;
}

bool koSQLite::putBlobIx(const char* key, int ix, const void* value, int size) {
  bool exists = false;
  if (paramRow(key, ix, &exists) < 0) return false;
  // An existing row is updated even when its value is empty, so a key
  // never gets a second row.
  std::string sql = exists ? "update params set data=? where  key=" + quoted(key) +
                                 " and ix=" + std::to_string(ix)
                           : "insert into params (key,ix,data) values(" + quoted(key) + "," +
                                 std::to_string(ix) + ",?)";
  koSQLiteStmt* s = prepare8(toUTF8(sql.c_str()));
  if (!s) return false;
  if (size < 0) size = 0;
  sqlite3_bind_blob(s->stmt, 1, value ? value : "", size, SQLITE_TRANSIENT);
  bool ok = sqlite3_step(s->stmt) == SQLITE_DONE;
  delete s;
  return ok;
}

bool koSQLite::delParams(const char* key, int ix) {
  std::string sql = "delete from params";
  if (key) {
    sql += " where key=" + quoted(key);
    if (ix >= 0) sql += " and ix=" + std::to_string(ix);
  }
  return exec8(toUTF8(sql.c_str()), nullptr, nullptr, nullptr) == 0;
}

// A value shorter than the type, missing, or unreadable gives false.
bool koSQLite::readFixed(const char* key, int ix, void* out, int n) {
  int size = getParamSize(key, ix);
  if (size < n) return false;
  unsigned char buf[8];
  if (getBlobIx(key, ix, buf, n) < n) return false;
  memcpy(out, buf, (size_t)n);
  return true;
}

namespace {
template <class T>
T clamped(T v, T min, T max) {
  if (v < min) v = min;
  if (v > max) v = max;
  return v;
}
}  // namespace

int koSQLite::getIntIx(const char* key, int ix, int def) {
  int v;
  return readFixed(key, ix, &v, 4) ? v : def;
}

int koSQLite::getIntIx(const char* key, int ix, int def, int min, int max) {
  return clamped(getIntIx(key, ix, def), min, max);
}

float koSQLite::getFloatIx(const char* key, int ix, float def) {
  float v;
  return readFixed(key, ix, &v, 4) ? v : def;
}

float koSQLite::getFloatIx(const char* key, int ix, float def, float min, float max) {
  return clamped(getFloatIx(key, ix, def), min, max);
}

bool koSQLite::getBoolIx(const char* key, int ix, bool def) {
  unsigned char v;
  return readFixed(key, ix, &v, 1) ? v != 0 : def;
}

// Copies text of len bytes into a buffer of max bytes (max <= 0: the
// caller's buffer holds it all), terminated, cut at a character boundary.
static void copyText(char* buffer, const char* text, size_t len, int max) {
  if (max > 0) {
    size_t n = 0;
    while (n < len) {
      size_t step = (koJChar1((unsigned char)text[n]) == 2 && n + 1 < len) ? 2 : 1;
      if ((int)(n + step) >= max) break;
      n += step;
    }
    len = n;
  }
  memcpy(buffer, text, len);
  buffer[len] = 0;
}

int koSQLite::getTextIx(const char* key, int ix, char* buffer, const char* def, int max) {
  if (!def) def = "";
  int size = getParamSize(key, ix);
  if (size <= 0) {
    if (buffer) copyText(buffer, def, strlen(def), max);
    return (int)strlen(def) + 1;
  }
  std::string value((size_t)size, '\0');
  getBlobIx(key, ix, &value[0], -1);
  if (buffer) copyText(buffer, value.data(), strnlen(value.data(), value.size()), max);
  return size;
}

int koSQLite::getTextIx(const char* key, int ix, std::string& s, const char* def) {
  if (!def) def = "";
  int size = getParamSize(key, ix);
  if (size <= 0) {
    s = def;
    return (int)s.size() + 1;
  }
  s.assign((size_t)size, '\0');
  getBlobIx(key, ix, &s[0], -1);
  s.resize(strnlen(s.data(), s.size()));
  return size;
}
