#include "extItem.h"
#include <string.h>
#include "koPlatform.h"
#include "koJChar.h"
#include "koUtl1.h"

namespace {
// Bytes of the blank at text (space, tab, full-width space), 0 for none.
size_t blankAt(const char* text) {
  if (*text == ' ' || *text == '\t') return 1;
  return (unsigned char)text[0] == 0x81 && (unsigned char)text[1] == 0x40 ? 2 : 0;
}
}  // namespace

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

ElementKind KindOf(const char* element) {
  ElementKind kind = BY_EXTENSION;
  // One pass, a character at a time: a trail byte 5C is no backslash.
  for (const unsigned char* p = (const unsigned char*)(element ? element : ""); *p; p++) {
    if (*p == '\\') return BY_PATH;
    if (*p == '*' || *p == '?') kind = BY_NAME;
    else if (koIsLeadByte(*p) && p[1]) p++;
  }
  return kind;
}

const char* strComp::match(const char* path, const char* name, const char* ext, ElementKind minKind,
                           ElementKind* kind) {
  const char* best = nullptr;
  ElementKind bestKind = minKind;
  for (int i = 0; i < count && !(best && bestKind == BY_PATH); i++) {
    ElementKind k = KindOf(items[i]);
    if (k < bestKind || (best && k == bestKind)) continue;
    const char* against = k == BY_PATH ? path : k == BY_NAME ? name : ext;
    bool hit = against && (k == BY_EXTENSION ? _mbsicmp((const unsigned char*)items[i], (const unsigned char*)against) == 0
                                             : koWildMatch(items[i], against));
    if (hit) best = items[i], bestKind = k;
  }
  if (kind) *kind = bestKind;
  return best;
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

// Walked a character at a time: the bytes 0x81 0x40 may also end a
// double-byte character followed by '@', and a trail byte never is a comma.
std::string TidyExtensions(const std::string& typed) {
  std::string out;
  const char* p = typed.c_str();
  while (*p) {
    while (size_t n = blankAt(p)) p += n;
    const char* start = p;
    const char* end = p;  // after the last character that is not a blank
    while (*p && *p != ',') {
      size_t n = blankAt(p);
      bool blank = n != 0;
      if (!blank) n = koIsLeadByte((unsigned char)*p) && p[1] ? 2 : 1;
      p += n;
      if (!blank) end = p;
    }
    // An element the launch would match already (case and a leading dot
    // aside) could never be the one that matches: it is dropped too.
    std::string element(start, end);
    strComp kept;
    kept.set(out.c_str());
    // Only dots would match every file without an extension: no element.
    bool dots = element.find_first_not_of('.') == std::string::npos;
    if (!dots && !kept.comp(element[0] == '.' ? element.c_str() + 1 : element.c_str()))
      out += (out.empty() ? "" : ",") + element;
    if (*p == ',') p++;
  }
  return out;
}
