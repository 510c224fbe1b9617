#include "koFind.h"
#include <stddef.h>
#include <string.h>
#include "koUtl1.h"

koFind::koFind() : searchHandle(INVALID_HANDLE_VALUE), pending(false) {
  memset(&findData, 0, sizeof findData);
  close();
}

koFind::~koFind() { close(); }

const char* koFind::className() { return "koFind"; }

namespace {
// The search runs in UTF-16; the entry is handed out in Shift-JIS.
void takeEntry(const WIN32_FIND_DATAW& wide, WIN32_FIND_DATAA& entry) {
  memcpy(&entry, &wide, offsetof(WIN32_FIND_DATAA, cFileName));
  koStrncpy(entry.cFileName, koSjisOf(wide.cFileName).c_str(), (int)sizeof entry.cFileName + 1);
  koStrncpy(entry.cAlternateFileName, koSjisOf(wide.cAlternateFileName).c_str(), (int)sizeof entry.cAlternateFileName + 1);
}
}  // namespace

void koFind::close() {
  if (searchHandle != INVALID_HANDLE_VALUE) FindClose(searchHandle);
  searchHandle = INVALID_HANDLE_VALUE;
  findData.dwFileAttributes = 0;
  // A closed search has nothing left to hand out.
  pending = false;
}

int koFind::findFirst(const char* pattern, int attributes) {
  close();
  if (!pattern) return errorCode = ERROR_INVALID_NAME;
  WIN32_FIND_DATAW wide;
  searchHandle = FindFirstFileW(koWideOf(pattern).c_str(), &wide);
  if (searchHandle != INVALID_HANDLE_VALUE) takeEntry(wide, findData);
  if (searchHandle == INVALID_HANDLE_VALUE) {
    errorCode = (int)GetLastError();
    findData.dwFileAttributes = 0;
    // Some platforms report a failed search without a code.
    if (errorCode == 0) errorCode = ERROR_FILE_NOT_FOUND;
    return errorCode;
  }
  return errorCode = 0;
}

bool koFind::findNext() {
  if (searchHandle == INVALID_HANDLE_VALUE) {
    errorCode = ERROR_INVALID_HANDLE;
    return false;
  }
  WIN32_FIND_DATAW wide;
  if (!FindNextFileW(searchHandle, &wide)) {
    errorCode = (int)GetLastError();
    return false;
  }
  takeEntry(wide, findData);
  errorCode = 0;
  return true;
}

WIN32_FIND_DATAA* koFind::getData() {
  return searchHandle != INVALID_HANDLE_VALUE ? &findData : nullptr;
}

int koFind::open(const char* directory, int attributes) {
  close();
  if (!directory) return errorCode = ERROR_INVALID_NAME;
  char pattern[300];
  // Room for a backslash, "*.*" and the terminator, or no search at all.
  size_t len = strlen(directory);
  if (len + 5 > sizeof pattern) return errorCode = ERROR_INVALID_NAME;
  memcpy(pattern, directory, len + 1);
  koAdjustDir(pattern, '+');
  strcat(pattern, "*.*");
  int rc = findFirst(pattern, attributes);
  pending = rc == 0;
  return rc;
}

bool koFind::read(char* nameBuffer) {
  if (pending) {
    pending = false;
  } else if (!findNext()) {
    return false;
  }
  if (nameBuffer) strcpy(nameBuffer, findData.cFileName);
  return true;
}

char* koFind::getName(char* buffer) {
  if (searchHandle == INVALID_HANDLE_VALUE) {
    if (buffer) *buffer = 0;
    return nullptr;
  }
  if (buffer) strcpy(buffer, findData.cFileName);
  return findData.cFileName;
}

char* koFind::getAlterName(char* buffer) {
  if (searchHandle == INVALID_HANDLE_VALUE) {
    if (buffer) *buffer = 0;
    return nullptr;
  }
  if (buffer) strcpy(buffer, findData.cAlternateFileName);
  return findData.cAlternateFileName;
}
