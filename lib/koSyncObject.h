// Base of lock objects over platform synchronisation primitives.
#ifndef KO_SYNCOBJECT_H
#define KO_SYNCOBJECT_H
#include <windows.h>
#include "koObject.h"

class koSyncObject : public koObject {
 public:
  char nameBuffer[300];
  HANDLE hHandle;               // null when none is open
  char* syncName;               // nameBuffer, or null without a name
  bool securityOwned;           // release securityAttributes with the object
  SECURITY_ATTRIBUTES* securityAttributes;
  bool created;                 // subclasses: their object exists
  int lockCount;                // successful locks minus unlocks

  explicit koSyncObject(const char* name = nullptr);
  ~koSyncObject() override;
  koSyncObject(const koSyncObject&) = delete;
  koSyncObject& operator=(const koSyncObject&) = delete;
  const char* className() override;

  // Timeout in milliseconds, -1 waits without limit; 0 or an error code.
  virtual int lock(int timeout);
  virtual int lock();
  virtual int unlock();
  virtual bool tryLock();
  virtual int open();
  virtual int create();
  virtual void close();
  virtual HANDLE operator()();

  void name(const char* text);
  void security(SECURITY_ATTRIBUTES* attributes, bool own);
  HANDLE handle() { return (*this)(); }
  void handle(HANDLE h) { hHandle = h; }
};

#endif
