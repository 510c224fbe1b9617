// A lock between the threads of one process, over a critical section.
#ifndef KO_THREADMUTEX_H
#define KO_THREADMUTEX_H
#include "koSyncObject.h"

class koThreadMutex : public koSyncObject {
 public:
  CRITICAL_SECTION section;

  explicit koThreadMutex(const char* name = nullptr);
  ~koThreadMutex() override;
  const char* className() override;

  // 0 only tries, -1 waits as long as needed, otherwise waits up to the
  // timeout; 0 or 258 (timed out).
  int lock(int timeout) override;
  int lock() override;
  int unlock() override;
  bool tryLock() override;
  int open() override;
  int create() override;
  void close() override;
  HANDLE operator()() override;
};

#endif
