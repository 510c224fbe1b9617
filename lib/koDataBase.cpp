#include "koDataBase.h"
#include <string.h>
#include "koJString.h"

static const char* orEmpty(const char* s) { return s ? s : ""; }

koDataBase::koDataBase(const char* n, const char* s, const char* u, const char* p)
    : name_(orEmpty(n)), server_(orEmpty(s)), user_(orEmpty(u)), password_(orEmpty(p)),
      dbHandle(nullptr) {}
koDataBase::~koDataBase() {}

int koDataBase::open(const char*, const char*, const char*, const char*) { return -1; }
int koDataBase::close() { return -1; }
int koDataBase::exec(const char*, int (*)(void*, int, char**, char**), void*, char**) {
  return -1;
}
int koDataBase::begin() { return -1; }
int koDataBase::commit() { return -1; }
int koDataBase::rollback() { return -1; }

void koDataBase::name(const char* s) { name_ = orEmpty(s); }
void koDataBase::server(const char* s) { server_ = orEmpty(s); }
void koDataBase::user(const char* s) { user_ = orEmpty(s); }
void koDataBase::password(const char* s) { password_ = orEmpty(s); }

void koDataBase::QFormat(const char* source, char* destination) {
  if (!destination) return;
  if (!source) {
    strcpy(destination, "NULL");
    return;
  }
  const int limit = 1000;
  koJString in;
  in.getin(source);
  // Cut only between whole characters (a doubled quote counts as one) and
  // always keep room for the closing quote.
  char* out = destination;
  int used = 0;
  out[used++] = '\'';
  for (int i = 0; i < in.length; i++) {
    JCHAR c = in.at(i);
    int need = c >= 256 ? 2 : (c == '\'' ? 2 : 1);
    if (used + need + 1 >= limit) break;
    if (c >= 256) {
      out[used++] = (char)(c >> 8);
      out[used++] = (char)(c & 0xFF);
    } else {
      out[used++] = (char)c;
      if (c == '\'') out[used++] = '\'';
    }
  }
  out[used++] = '\'';
  out[used] = 0;
}
