// Key/value settings in the table params. Keys are bound as parameters:
// quoting them into the text is not safe under code page 932, where a
// lead byte can swallow the quote that follows it.
#include <sqlite3.h>
#include <string.h>
#include <string>
#include "koJChar.h"
#include "koSQLite.h"

namespace {
// The statement with the key bound to its first parameter and ix to its
// second; null when either fails.
koStatement keyed(koSQLite* db, const char* sql, const char* key, int ix) {
  koStatement s = db->statement(sql);
  if (s && (s->bindText(0, key ? key : "", -1) != SQLITE_OK || s->bindInt(1, ix) != SQLITE_OK))
    s.reset();
  return s;
}

const char* const SELECT_VALUE = "select data from params where key=? and ix=?";
}  // namespace

// Size of the first row's value, 0 for no row (or a failed step), -1 when
// the statement cannot be prepared. exists tells an empty row from none.
int koSQLite::paramRow(const char* key, int ix, bool* exists) {
  if (exists) *exists = false;
  koStatement s = keyed(this, SELECT_VALUE, key, ix);
  if (!s) return -1;
  int size = 0;
  if (s->row()) {
    s->columnBlob(0, &size);
    if (exists) *exists = true;
  }
  return size;
}

int koSQLite::getParamSize(const char* key, int ix) { return paramRow(key, ix, nullptr); }

int koSQLite::getBlobIx(const char* key, int ix, void* buffer, int max) {
  koStatement s = keyed(this, SELECT_VALUE, key, ix);
  if (!s) return -1;
  int size = 0;
  if (s->row()) {
    const void* data = s->columnBlob(0, &size);
    if (buffer && data && size > 0) {
      int n = (max > 0 && max < size) ? max : size;
      memcpy(buffer, data, (size_t)n);
    }
  }
  return size;
}

bool koSQLite::putBlobIx(const char* key, int ix, const void* value, int size) {
  bool exists = false;
  if (paramRow(key, ix, &exists) < 0) return false;
  // An existing row is updated even when its value is empty, so a key
  // never gets a second row.
  koStatement s = keyed(this,
                        exists ? "update params set data=?3 where key=?1 and ix=?2"
                               : "insert into params (key,ix,data) values(?1,?2,?3)",
                        key, ix);
  if (!s) return false;
  if (size < 0) size = 0;
  if (s->bindBlob(2, value ? value : "", size) != SQLITE_OK) return false;
  return s->run();
}

bool koSQLite::delParams(const char* key, int ix) {
  if (!key) return exec8("delete from params", nullptr, nullptr, nullptr) == 0;
  koStatement s = keyed(this, ix >= 0 ? "delete from params where key=?1 and ix=?2"
                                      : "delete from params where key=?1 and ?2 is not null",
                        key, ix);
  return s && s->run();
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
