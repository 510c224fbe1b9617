#include "extItem.h"
#include <string.h>
#include "koPlatform.h"
#include "koUtl1.h"

extItem::extItem() : xItem('e'), na(0) {
  memset(atab, 0, sizeof atab);
  init();
}

void extItem::init() {
  xItem::init();
  na = 0;
}

int extItem::count() const { return na < 0 ? 0 : (na > EXT_MAX_APPS ? EXT_MAX_APPS : na); }

void extItem::import(const extItem* source) {
  if (!source || source == this) return;
  xItem::import(source);
  na = source->count();
  memcpy(atab, source->atab, sizeof(int) * na);
}

extItem* extItem::dup() const {
  extItem* copy = new extItem();
  copy->import(this);
  return copy;
}

strComp::strComp() : count(0) {
  buf[0] = 0;
  memset(items, 0, sizeof items);
}

void strComp::set(const char* list) {
  count = 0;
  // A longer list is cut at a character boundary rather than overrun.
  koStrncpy(buf, list ? list : "", BUF_SIZE + 1);
  char* cursor = buf;
  for (;;) {
    if (*cursor == '.') cursor++;
    if (!*cursor || count >= MAX_ITEMS) break;
    items[count++] = cursor;
    char* comma = koMbschr(cursor, ',');
    if (!comma) break;
    *comma = 0;
    cursor = comma + 1;
  }
}

const char* strComp::comp(const char* ext) {
  if (!ext) return nullptr;
  for (int i = 0; i < count; i++)
    if (_mbsicmp((const unsigned char*)items[i], (const unsigned char*)ext) == 0) return ext;
  return nullptr;
}

const char* strComp::comp(strComp* other) {
  if (!other) return nullptr;
  for (int i = 0; i < count; i++)
    if (other->comp(items[i])) return items[i];
  return nullptr;
}

void strComp::asmStr(char* out) {
  if (!out) return;
  out[0] = 0;
  size_t len = 0;
  for (int i = 0; i < count; i++) {
    size_t n = strlen(items[i]);
    if (i) out[len++] = ',';
    memcpy(out + len, items[i], n);
    len += n;
  }
  out[len] = 0;
}
