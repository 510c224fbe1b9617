#include "koPathname.h"
#include <direct.h>
#include <string.h>
#include "koFind.h"
#include "koJChar.h"
#include "koUtl1.h"

namespace {
typedef unsigned char uchar;
const size_t kMaxPath = 260;
const size_t kNone = (size_t)-1;

// Bytes of the character at p: a lead byte with its trail byte is one unit,
// so a trail byte of 0x5C (表, ソ, 能) is never a separator.
size_t unitLength(const char* p) {
  return (koJChar1((uchar)p[0]) == 2 && p[1]) ? 2 : 1;
}

bool isSeparator(const char* p) { return (*p == '\\' || *p == '/') && unitLength(p) == 1; }

void copyPart(char* destination, const char* from, size_t n) {
  memcpy(destination, from, n);
  destination[n] = 0;
}

// The C runtime's _splitpath, one character one unit. The destinations hold
// at least as much as the text; the extension keeps its period.
void splitPath(const char* text, char* drive, char* dir, char* name, char* ext) {
  size_t i = 0;
  if (text[0] && unitLength(text) == 1 && text[1] == ':') i = 2;
  copyPart(drive, text, i);
  size_t dirEnd = i;
  for (size_t j = i; text[j]; j += unitLength(text + j))
    if (isSeparator(text + j)) dirEnd = j + 1;
  copyPart(dir, text + i, dirEnd - i);
  size_t dot = kNone, end = dirEnd;
  for (; text[end]; end += unitLength(text + end))
    if (text[end] == '.') dot = end;
  if (dot == kNone) dot = end;
  copyPart(name, text + dirEnd, dot - dirEnd);
  copyPart(ext, text + dot, end - dot);
}

// Both separators are accepted; the stored folder uses backslashes only.
void toBackslashes(char* dir) {
  for (char* p = dir; *p; p += unitLength(p))
    if (*p == '/') *p = '\\';
}

bool asciiEqual(const char* a, const char* b) {
  for (; *a && *b; a++, b++) {
    uchar x = (uchar)*a, y = (uchar)*b;
    if (x >= 'A' && x <= 'Z') x += 32;
    if (y >= 'A' && y <= 'Z') y += 32;
    if (x != y) return false;
  }
  return *a == *b;
}

// Parts laid out one after another, each terminated; offsets, not pointers,
// until the whole path is known to fit.
struct Layout {
  char path[300];
  char store[266];
  size_t used = 0;
  size_t node = kNone, drive = kNone, dir = kNone, name = kNone, ext = kNone;
  size_t pathLen = 0;
  size_t filePos = 0;

  void append(const char* text, size_t n) {
    memcpy(path + pathLen, text, n);
    pathLen += n;
    path[pathLen] = 0;
  }

  size_t put(const char* text, size_t n) {
    if (used + n + 1 > sizeof store) return kNone;
    size_t at = used;
    copyPart(store + at, text, n);
    used += n + 1;
    return at;
  }
};
}  // namespace

koPathname::koPathname(const char* text) : emptyText(0) {
  path[0] = 0;
  partStore[0] = 0;
  memset(&status, 0, sizeof status);
  clear();
  storeName(text);
}

koPathname::koPathname(const koPathname& other) : koObject(other) { copyFrom(other); }

koPathname& koPathname::operator=(const koPathname& other) {
  if (this != &other) {
    koObject::operator=(other);
    copyFrom(other);
  }
  return *this;
}

// The part pointers point into the object itself: move them along.
void koPathname::copyFrom(const koPathname& other) {
  emptyText = 0;
  memcpy(path, other.path, sizeof path);
  memcpy(partStore, other.partStore, sizeof partStore);
  statusValid = other.statusValid;
  status = other.status;
  char* const* from[] = {&other.node, &other.drive, &other.dir,
                         &other.name, &other.ext,   &other.filePos};
  char** to[] = {&node, &drive, &dir, &name, &ext, &filePos};
  for (int i = 0; i < 6; i++) {
    const char* p = *from[i];
    if (p >= other.path && p < other.path + sizeof path)
      *to[i] = path + (p - other.path);
    else if (p >= other.partStore && p < other.partStore + sizeof partStore)
      *to[i] = partStore + (p - other.partStore);
    else
      *to[i] = &emptyText;
  }
}

const char* koPathname::className() { return "koPathname"; }

void koPathname::clear() {
  path[0] = 0;
  node = drive = dir = name = ext = filePos = &emptyText;
  statusValid = false;
  errorCode = 0;
}

int koPathname::fail() {
  clear();
  return viewError(ERROR_INVALID_NAME, "store", 5);
}

int koPathname::storeName(const char* text) {
  size_t len = text ? strlen(text) : 0;
  if (len > kMaxPath) return fail();
  // The text may be this object's own path, which clear() empties.
  char copy[kMaxPath + 1];
  copyPart(copy, text ? text : "", len);
  clear();
  if (!len) return 0;

  char nodeText[kMaxPath + 1] = "";
  char driveText[kMaxPath + 1], dirText[kMaxPath + 1], nameText[kMaxPath + 1],
      extText[kMaxPath + 1];
  const char* rest = copy;
  if (copy[0] == '\\' && copy[1] == '\\') {
    char* b = koStrchr(copy + 2, '\\');
    // Two backslashes and no server name: no path.
    if (!b || b == copy + 2) return fail();
    copyPart(nodeText, copy, b - copy);
    rest = b;
  }
  splitPath(rest, driveText, dirText, nameText, extText);
  toBackslashes(dirText);

  char full[kMaxPath + 1];
  const char* dirPart = dirText;
  if (!nodeText[0]) {
    if (!driveText[0]) {
      int d = _getdrive();
      if (d < 1 || d > 26) return fail();
      driveText[0] = (char)(d + 0x40);
      driveText[1] = ':';
      driveText[2] = 0;
    }
    if (dirText[0] != '\\') {
      // Relative: below the drive's current folder, whatever the letter's case.
      uchar letter = (uchar)driveText[0];
      if (letter >= 'a' && letter <= 'z') letter -= 32;
      if (letter < 'A' || letter > 'Z') return fail();
      char cwd[300];
      if (!_getdcwd(letter - 0x40, cwd, sizeof cwd)) return fail();
      size_t c = strlen(cwd);
      if (c < 2 || cwd[1] != ':') return fail();
      // A drive root already ends with its backslash.
      bool slash = false;
      for (size_t j = 0; cwd[j]; j += unitLength(cwd + j)) slash = isSeparator(cwd + j);
      size_t d = strlen(dirText);
      if (c + (slash ? 0 : 1) + d > kMaxPath) return fail();
      memcpy(full, cwd, c);
      if (!slash) full[c++] = '\\';
      copyPart(full + c, dirText, d);
      toBackslashes(full);
      dirPart = full + 2;
    }
  }
  const char* extPart = extText[0] == '.' ? extText + 1 : extText;
  return make(nodeText, driveText, dirPart, nameText, extPart);
}

int koPathname::make(const char* nodeIn, const char* driveIn, const char* dirIn,
                     const char* nameIn, const char* extIn) {
  // Built aside first: the arguments may be this object's own parts.
  Layout out;
  out.path[0] = 0;
  size_t total = 0;
  if (nodeIn && *nodeIn) {
    size_t n = strlen(nodeIn);
    total += n;
    if (total > kMaxPath) return fail();
    char t[kMaxPath + 1];
    copyPart(t, nodeIn, n);
    koAdjustDir(t, '-');
    n = strlen(t);
    if ((out.node = out.put(t, n)) == kNone) return fail();
    out.append(t, n);
  }
  if (driveIn && *driveIn) {
    size_t n = strlen(driveIn);
    total += n;
    if (total > kMaxPath) return fail();
    if ((out.drive = out.put(driveIn, n)) == kNone) return fail();
    out.append(driveIn, n);
  }
  if (dirIn && *dirIn) {
    // Counted with its backslash, so that the path stays within bounds.
    size_t n = strlen(dirIn);
    if (total + n > kMaxPath) return fail();
    char t[kMaxPath + 2];
    copyPart(t, dirIn, n);
    koAdjustDir(t, '+');
    n = strlen(t);
    total += n;
    if (total > kMaxPath) return fail();
    if ((out.dir = out.put(t, n)) == kNone) return fail();
    out.append(t, n);
  }
  out.filePos = out.pathLen;
  if (nameIn && *nameIn) {
    size_t n = strlen(nameIn);
    total += n;
    if (total > kMaxPath) return fail();
    if ((out.name = out.put(nameIn, n)) == kNone) return fail();
    out.append(nameIn, n);
  }
  if (extIn && *extIn) {
    size_t n = strlen(extIn);
    if (total + n + 1 > kMaxPath) return fail();
    if ((out.ext = out.put(extIn, n)) == kNone) return fail();
    out.append(".", 1);
    out.append(extIn, n);
  }

  clear();
  memcpy(path, out.path, out.pathLen + 1);
  memcpy(partStore, out.store, out.used);
  auto at = [this](size_t offset) { return offset == kNone ? &emptyText : partStore + offset; };
  node = at(out.node);
  drive = at(out.drive);
  dir = at(out.dir);
  name = at(out.name);
  ext = at(out.ext);
  filePos = path + out.filePos;
  if (!*name) {
    // A name that begins with its period (.profile) has no extension.
    name = filePos;
    ext = &emptyText;
  }
  errorCode = 0;
  return 0;
}

void koPathname::getFilePos(char* destination) {
  if (!destination) return;
  size_t n = filePos == &emptyText ? 0 : (size_t)(filePos - path);
  memmove(destination, path, n);
  destination[n] = 0;
}

bool koPathname::IsExist(const char* text) {
  if (!text || !*text) return false;
  koFind find;
  return find.findFirst(text, 0xFF) == 0;
}

int koPathname::Remove(const char* text) {
  if (!IsExist(text)) return 0;
  return DeleteFileW(koWideOf(text).c_str()) ? 0 : (int)GetLastError();
}

int koPathname::remove() {
  statusValid = false;
  return errorCode = Remove(path);
}

int koPathname::Rename(const char* from, const char* to, DWORD flags) {
  if (!from) return ERROR_INVALID_PARAMETER;
  return MoveFileExW(koWideOf(from).c_str(), to ? koWideOf(to).c_str() : nullptr, flags) ? 0 : (int)GetLastError();
}

int koPathname::rename(const char* to, DWORD flags) {
  statusValid = false;
  return errorCode = Rename(path, to, flags);
}

int koPathname::getStatus(WIN32_FIND_DATAA* record) {
  statusValid = false;
  koFind find;
  errorCode = find.findFirst(path, 0xFF);
  if (errorCode) return errorCode;
  status = find.findData;
  statusValid = true;
  if (record) *record = status;
  return 0;
}

bool koPathname::testAttribute(DWORD bit) {
  if (!statusValid && getStatus(nullptr) != 0) return false;
  return (status.dwFileAttributes & bit) != 0;
}

bool koPathname::isReadOnly() { return testAttribute(FILE_ATTRIBUTE_READONLY); }
bool koPathname::isHidden() { return testAttribute(FILE_ATTRIBUTE_HIDDEN); }
bool koPathname::isSystem() { return testAttribute(FILE_ATTRIBUTE_SYSTEM); }
bool koPathname::isDirectory() { return testAttribute(FILE_ATTRIBUTE_DIRECTORY); }
bool koPathname::isArchive() { return testAttribute(FILE_ATTRIBUTE_ARCHIVE); }
bool koPathname::isNormal() { return testAttribute(FILE_ATTRIBUTE_NORMAL); }
bool koPathname::isTemporary() { return testAttribute(FILE_ATTRIBUTE_TEMPORARY); }
bool koPathname::isCompressed() { return testAttribute(FILE_ATTRIBUTE_COMPRESSED); }

bool koPathname::isExecutable() {
  return asciiEqual(ext, "com") || asciiEqual(ext, "exe") || asciiEqual(ext, "bat");
}

bool koPathname::setupDirectory() { return true; }
