#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "koAutoBuffer.h"
#include "koModule.h"
#include "koSyncObject.h"
#include "koThreadMutex.h"
#include "ko_test.h"

TEST(Module, PathAndTitle) {
  koModule m("C:\\Tools\\tool.exe");
  EXPECT_EQ(m.title, "tool");
  char folder[300];
  m.path.getFilePos(folder);
  EXPECT_STREQ(folder, "C:\\Tools\\");
  EXPECT_EQ(m.handle(), nullptr);
  EXPECT_STREQ(m.className(), "koModule");
  EXPECT_EQ(m.storePathname("D:\\x\\other.dll"), 0);
  EXPECT_EQ(m.title, "other");
}

TEST(Module, LoadOnceUnloadAndMissingLibrary) {
  koModule m;
  ASSERT_EQ(m.load("comdlg32.dll"), 0);
  HMODULE first = m.handle();
  ASSERT_NE(first, nullptr);
  EXPECT_TRUE(m.owner);
  EXPECT_EQ(m.load("shell32.dll"), 0) << "a loaded module is kept";
  EXPECT_EQ(m.handle(), first);
  m.unload();
  EXPECT_EQ(m.handle(), nullptr);
  EXPECT_FALSE(m.owner);

  koModule missing("C:\\nowhere\\ko_no_such_library.dll");
  EXPECT_EQ(missing.load(nullptr), 126);
  EXPECT_EQ(missing.errorCode, 126);
  EXPECT_EQ(missing.handle(), nullptr);
}

namespace {
// The enumerated name lives only during the call: keep a copy.
std::string firstName;
BOOL CALLBACK FirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR out) {
  if (IS_INTRESOURCE(name)) {
    *(LPSTR*)out = name;
  } else {
    firstName = name;
    *(LPSTR*)out = (LPSTR)firstName.c_str();
  }
  return FALSE;
}
}  // namespace

TEST(Module, LoadResourceCopiesIntoTheBuffer) {
  koModule m;
  ASSERT_EQ(m.load("comdlg32.dll"), 0);
  LPSTR name = nullptr;
  EnumResourceNamesA(m.handle(), (LPCSTR)RT_DIALOG, FirstName, (LONG_PTR)&name);
  ASSERT_NE(name, nullptr) << "comdlg32 holds dialog templates";
  HRSRC info = FindResourceA(m.handle(), name, (LPCSTR)RT_DIALOG);
  DWORD size = SizeofResource(m.handle(), info);
  const void* original = LockResource(LoadResource(m.handle(), info));

  unsigned char area[16];
  koAutoBuffer buffer(area, sizeof area);
  ASSERT_TRUE(m.loadResource(buffer, name, (LPCSTR)RT_DIALOG));
  EXPECT_EQ(buffer.used, (int)size);
  EXPECT_EQ(memcmp(buffer.get(0), original, size), 0);
  EXPECT_FALSE(m.loadResource(buffer, "KO_NO_SUCH_TEMPLATE", (LPCSTR)RT_DIALOG));
}

namespace {
std::string seenCaption, seenText;
BOOL CALLBACK CloseOneBox(HWND h, LPARAM) {
  char cls[32], text[200];
  GetClassNameA(h, cls, sizeof cls);
  if (strcmp(cls, "#32770") != 0) return TRUE;
  GetWindowTextA(h, text, sizeof text);
  seenCaption = text;
  GetWindowTextA(GetDlgItem(h, 0xFFFF), text, sizeof text);
  seenText = text;
  PostMessageA(h, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(h, IDOK));
  return FALSE;
}
VOID CALLBACK CloseMessageBox(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), CloseOneBox, 0);
}
}  // namespace

TEST(Module, MessageBoxUsesTheTitleAsCaption) {
  koModule m("C:\\Tools\\tool.exe");
  UINT_PTR timer = SetTimer(nullptr, 0, 200, CloseMessageBox);
  EXPECT_EQ(m.msgBox("情報です", MB_ICONINFORMATION, nullptr), IDOK);
  KillTimer(nullptr, timer);
  EXPECT_EQ(seenCaption, "tool");
  EXPECT_EQ(seenText, "情報です");
  timer = SetTimer(nullptr, 0, 200, CloseMessageBox);
  m.msgBox("x", 0, "見出し");
  KillTimer(nullptr, timer);
  EXPECT_EQ(seenCaption, "見出し");
}

TEST(AutoBuffer, ExternalAreaWhileItFitsThenHeap) {
  unsigned char area[1024];
  koAutoBuffer b(area, sizeof area);
  EXPECT_EQ(b.get(0), area);
  EXPECT_EQ(b.get(100), area);
  EXPECT_EQ(b.owned, nullptr);
  unsigned char* big = b.get(2000);
  ASSERT_NE(big, nullptr);
  EXPECT_NE(big, area);
  EXPECT_EQ(b.ownedSize, 2000);
  memset(big, 7, 2000);
  EXPECT_EQ(b.get(1500), big) << "the owned array is reused";
  EXPECT_EQ(b.used, 1500);
  EXPECT_EQ(b.get(0), big);
  EXPECT_EQ(b.get(500), area);
  EXPECT_EQ(b.get(1800), big);

  b.clear(false);
  EXPECT_EQ(b.used, 0);
  EXPECT_EQ(b.owned, big);
  b.clear(true);
  EXPECT_EQ(b.owned, nullptr);
  EXPECT_EQ(b.ownedSize, 0);
  EXPECT_EQ(b.get(0), area);

  unsigned char other[8];
  b.get(3000);
  b.put(other, sizeof other);
  EXPECT_EQ(b.owned, nullptr) << "put releases the heap array";
  EXPECT_EQ(b.get(0), other);
  EXPECT_EQ(b.used, 8);
  koAutoBuffer empty;
  EXPECT_EQ(empty.get(0), nullptr);
  EXPECT_NE(empty.get(10), nullptr);
}

TEST(SyncObject, WaitResultsAndLockCount) {
  ClearTrace();
  {
    koSyncObject s("ev");
    EXPECT_STREQ(s.syncName, "ev");
    s.handle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    EXPECT_EQ(s.lock(0), 258);
    EXPECT_EQ(s.lockCount, 0);
    SetEvent(s.handle());
    EXPECT_EQ(s.lock(), 0);
    EXPECT_EQ(s.lockCount, 1);
    EXPECT_EQ(s.unlock(), -1);
    EXPECT_FALSE(s.tryLock());
    EXPECT_EQ(s.open(), -1);
  }
  EXPECT_NE(TraceLog().find("<<unmach lockCount 1 "), std::string::npos) << TraceLog();
  EXPECT_NE(TraceLog().find("(koSyncObject)>>"), std::string::npos);

  koSyncObject none(nullptr);
  EXPECT_EQ(none.syncName, nullptr);
  EXPECT_EQ(none.lock(0), ERROR_INVALID_HANDLE);
  EXPECT_EQ(none.lockCount, 0);

  std::string longName(300, 'n');
  koSyncObject named(longName.c_str());
  EXPECT_EQ(strlen(named.syncName), 298u);
}

namespace {
DWORD WINAPI TakeAndEnd(LPVOID m) { return WaitForSingleObject((HANDLE)m, INFINITE); }
}  // namespace

TEST(SyncObject, AbandonedMutexIsAcquiredAndCounted) {
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  HANDLE t = CreateThread(nullptr, 0, TakeAndEnd, mutex, 0, nullptr);
  WaitForSingleObject(t, INFINITE);  // ends holding the mutex
  CloseHandle(t);
  koSyncObject s(nullptr);
  s.handle(mutex);
  EXPECT_EQ(s.lock(1000), 0);
  EXPECT_EQ(s.lockCount, 1);
  EXPECT_TRUE(ReleaseMutex(mutex)) << "the wait took the mutex";
  s.lockCount = 0;
}

namespace {
struct Holder {
  koThreadMutex* m;
  HANDLE locked, release;
  int result;
};

DWORD WINAPI HoldLock(LPVOID p) {
  Holder* h = (Holder*)p;
  h->m->lock();
  SetEvent(h->locked);
  WaitForSingleObject(h->release, INFINITE);
  h->m->unlock();
  return 0;
}

DWORD WINAPI ReleaseLater(LPVOID p) {
  Sleep(50);
  SetEvent(((Holder*)p)->release);
  return 0;
}

DWORD WINAPI TryFromOtherThread(LPVOID p) {
  Holder* h = (Holder*)p;
  h->result = h->m->tryLock() ? 1 : 0;
  return 0;
}
}  // namespace

TEST(ThreadMutex, RecursiveLocksAndTryLockFromAnotherThread) {
  koThreadMutex m("tmu");
  EXPECT_STREQ(m.className(), "koThreadMutex");
  EXPECT_EQ(m.handle(), (HANDLE)&m.section);
  EXPECT_EQ(m.lock(), 0);
  EXPECT_EQ(m.lock(), 0);
  EXPECT_EQ(m.lockCount, 2);
  Holder h{&m, nullptr, nullptr, -1};
  HANDLE t = CreateThread(nullptr, 0, TryFromOtherThread, &h, 0, nullptr);
  WaitForSingleObject(t, INFINITE);
  CloseHandle(t);
  EXPECT_EQ(h.result, 0);
  EXPECT_EQ(m.unlock(), 0);
  EXPECT_EQ(m.unlock(), 0);
  EXPECT_EQ(m.lockCount, 0);
  EXPECT_TRUE(m.tryLock());
  m.unlock();
  m.close();
  EXPECT_FALSE(m.created);
  EXPECT_EQ(m.open(), 0);
  EXPECT_TRUE(m.created);
  EXPECT_EQ(m.lock(-1), 0);
  m.unlock();
}

TEST(ThreadMutex, TimedLock) {
  koThreadMutex m(nullptr);
  Holder h{&m, CreateEventA(nullptr, TRUE, FALSE, nullptr),
           CreateEventA(nullptr, TRUE, FALSE, nullptr), 0};
  HANDLE t = CreateThread(nullptr, 0, HoldLock, &h, 0, nullptr);
  WaitForSingleObject(h.locked, INFINITE);

  EXPECT_EQ(m.lock(0), 258) << "0 only tries";
  DWORD start = GetTickCount();
  EXPECT_EQ(m.lock(60), 258);
  EXPECT_GE(GetTickCount() - start, 50u) << "waits up to the time";
  EXPECT_EQ(m.errorCode, 258);

  // Released while we wait: the timed lock takes it.
  HANDLE releaser = CreateThread(nullptr, 0, ReleaseLater, &h, 0, nullptr);
  EXPECT_EQ(m.lock(5000), 0);
  EXPECT_EQ(m.errorCode, 0);
  m.unlock();
  WaitForSingleObject(t, INFINITE);
  WaitForSingleObject(releaser, INFINITE);
  EXPECT_EQ(m.lockCount, 0);
  CloseHandle(t);
  CloseHandle(releaser);
  CloseHandle(h.locked);
  CloseHandle(h.release);
}
