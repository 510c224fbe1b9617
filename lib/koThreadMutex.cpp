#include "koThreadMutex.h"

koThreadMutex::koThreadMutex(const char* text) : koSyncObject(text) {
  created = false;
  create();
}

koThreadMutex::~koThreadMutex() { close(); }

const char* koThreadMutex::className() { return "koThreadMutex"; }

int koThreadMutex::create() {
  if (!created) InitializeCriticalSection(&section);
  created = true;
  return 0;
}

int koThreadMutex::open() { return create(); }

int koThreadMutex::lock() {
  EnterCriticalSection(&section);
  lockCount++;
  errorCode = 0;
  return 0;
}

int koThreadMutex::lock(int timeout) {
  errorCode = 0;
  if (timeout == -1) return lock();
  if (tryLock()) return 0;
  if (timeout > 0) {
    // A critical section has no timed wait: poll until the time is up.
    DWORD start = GetTickCount();
    while (GetTickCount() - start < (DWORD)timeout) {
      Sleep(1);
      if (tryLock()) return 0;
    }
  }
  return viewError(WAIT_TIMEOUT, "wait", 5);
}

bool koThreadMutex::tryLock() {
  if (!TryEnterCriticalSection(&section)) return false;
  lockCount++;
  return true;
}

int koThreadMutex::unlock() {
  lockCount--;
  LeaveCriticalSection(&section);
  return 0;
}

void koThreadMutex::close() {
  if (created) DeleteCriticalSection(&section);
  lockCount = 0;
  created = false;
}

HANDLE koThreadMutex::operator()() { return (HANDLE)&section; }
