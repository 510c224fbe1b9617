#include "koSyncObject.h"
#include "koUtl1.h"

koSyncObject::koSyncObject(const char* text) {
  dbout("koSyncObject %x %x\n", (unsigned)(UINT_PTR)this, (unsigned)(UINT_PTR)text);
  hHandle = nullptr;
  lockCount = 0;
  created = false;
  nameBuffer[0] = 0;
  syncName = nullptr;
  name(text);
  securityAttributes = nullptr;
  securityOwned = false;
  dbout("koSyncObject end %x \n", (unsigned)(UINT_PTR)this);
}

koSyncObject::~koSyncObject() {
  if (lockCount != 0)
    dbout("<<unmach lockCount %d %x (%s)>>\n", lockCount, (unsigned)(UINT_PTR)this,
          "koSyncObject");
  if (securityOwned) delete securityAttributes;
  securityAttributes = nullptr;
  // Not through the table: a subclass has already closed its own object.
  koSyncObject::close();
}

const char* koSyncObject::className() { return "koSyncObject"; }

void koSyncObject::name(const char* text) {
  if (!text) return;
  koStrncpy(nameBuffer, text, sizeof nameBuffer + 1);
  syncName = nameBuffer;
}

void koSyncObject::security(SECURITY_ATTRIBUTES* attributes, bool own) {
  if (securityOwned) delete securityAttributes;
  securityAttributes = attributes;
  securityOwned = own;
}

int koSyncObject::lock(int timeout) {
  errorCode = 0;
  DWORD r = WaitForSingleObject(hHandle, (DWORD)timeout);
  if (r == WAIT_OBJECT_0 || r == WAIT_ABANDONED) {
    // An abandoned mutex is acquired all the same and must be unlocked.
    lockCount++;
  } else if (r == WAIT_TIMEOUT) {
    viewError(WAIT_TIMEOUT, "wait", 5);
  } else if (r == WAIT_FAILED) {
    viewError((int)GetLastError(), "wait", 5);
  }
  return errorCode;
}

int koSyncObject::lock() { return lock(-1); }
int koSyncObject::unlock() { return -1; }
bool koSyncObject::tryLock() { return false; }
int koSyncObject::open() { return -1; }
int koSyncObject::create() { return -1; }

void koSyncObject::close() {
  errorCode = 0;
  if (hHandle && !CloseHandle(hHandle)) viewError((int)GetLastError(), "close", 5);
  hHandle = nullptr;
}

HANDLE koSyncObject::operator()() { return hHandle; }
