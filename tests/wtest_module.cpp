#include "ko_test.h"
#include <string.h>
#include "koAutoBuffer.h"
#include "koModule.h"
#include "koSyncObject.h"
#include "koThreadMutex.h"

namespace {
// The enumerated name lives only during the call: keep a copy.
std::string firstName;
BOOL CALLBACK FirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR out) {
  *(LPSTR*)out = IS_INTRESOURCE(name) ? name : (LPSTR)(firstName = name).c_str();
  return FALSE;
}
DWORD WINAPI TakeAndEnd(LPVOID mutex) { return WaitForSingleObject(mutex, INFINITE); }
struct Holder { koThreadMutex* m; HANDLE locked, release; DWORD hold; };
DWORD WINAPI Hold(LPVOID p) {
  Holder* h = (Holder*)p; h->m->lock(); SetEvent(h->locked); WaitForSingleObject(h->release, h->hold);
  return h->m->unlock();
}
void Join(HANDLE t) { WaitForSingleObject(t, INFINITE), CloseHandle(t); }
}  // namespace
TEST(Module, PathTitleLoadAndResources) {
  koModule m("C:\\Tools\\tool.exe"), missing("C:\\nowhere\\ko_no_such_library.dll"); char folder[300];
  m.path.getFilePos(folder); EXPECT_EQ(m.title + "|" + folder, "tool|C:\\Tools\\");
  ASSERT_EQ(m.load("comdlg32.dll"), 0); HMODULE first = m.handle(); EXPECT_EQ(m.load("shell32.dll"), 0);
  EXPECT_EQ(m.handle(), first) << "a loaded module is kept";
  EXPECT_EQ(missing.load(nullptr), ERROR_MOD_NOT_FOUND); EXPECT_EQ(missing.handle(), nullptr);
  LPSTR name = nullptr; EnumResourceNamesA(m.handle(), (LPCSTR)RT_DIALOG, FirstName, (LONG_PTR)&name);
  ASSERT_NE(name, nullptr) << "comdlg32 holds dialog templates";
  HRSRC info = FindResourceA(m.handle(), name, (LPCSTR)RT_DIALOG);
  DWORD size = SizeofResource(m.handle(), info); unsigned char area[16]; koAutoBuffer buffer(area, sizeof area);
  ASSERT_TRUE(m.loadResource(buffer, name, (LPCSTR)RT_DIALOG)); EXPECT_EQ(buffer.used, (int)size);
  EXPECT_EQ(memcmp(buffer.get(0), LockResource(LoadResource(m.handle(), info)), size), 0);
  EXPECT_FALSE(m.loadResource(buffer, "KO_NO_SUCH_TEMPLATE", (LPCSTR)RT_DIALOG)); m.unload();
  EXPECT_EQ(m.handle(), nullptr); EXPECT_EQ(m.load(nullptr), ERROR_MOD_NOT_FOUND) << "its own path";
  EXPECT_EQ(m.load("comdlg32.dll"), 0); EXPECT_EQ(m.storePathname("D:\\x\\other.dll"), 0);
  EXPECT_EQ(m.title, "other"); EXPECT_EQ(m.handle(), nullptr) << "a new path unloads the old module";
}
TEST(Module, MessageBoxUsesTheTitleAsCaption) {
  koModule m("C:\\Tools\\tool.exe");
  const struct { const char *text, *caption, *expect; } cases[] = {{"情報です", nullptr, "tool"}, {"x", "見出し", "見出し"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expect); char caption[200] = ""; Script s;
    s.add([&] { return GetWindowTextA(MessageBoxOf(), caption, sizeof caption) > 0; }); s.answer(IDOK);
    EXPECT_TRUE(s.run([&] { EXPECT_EQ(m.msgBox(c.text, MB_ICONINFORMATION, c.caption), IDOK); }));
    EXPECT_STREQ(caption, c.expect); EXPECT_EQ(s.logged(), std::string("box ") + c.text + "\n");
  }
}
TEST(AutoBuffer, ExternalAreaWhileItFitsThenHeap) {
  unsigned char area[1024], other[8]; koAutoBuffer b(area, sizeof area), empty; EXPECT_EQ(b.get(100), area);
  unsigned char* big = b.get(2000);
  memset(big, 7, 2000);  // really that large
  // The heap array is reused; a put area replaces both.
  const struct { int size; unsigned char* at; int used; } steps[] = {
      {1500, big, 1500}, {500, area, 500}, {1800, big, 1800}, {-1, area, 0}, {-2, other, 8}};
  for (const auto& s : steps) {
    SCOPED_TRACE(s.size);
    if (s.size == -1) b.clear(true);
    if (s.size == -2) b.get(3000), b.put(other, sizeof other);
    EXPECT_EQ(b.get(s.size < 0 ? 0 : s.size), s.at); EXPECT_EQ(b.used, s.used);
  }
  EXPECT_EQ(empty.get(0), nullptr); EXPECT_NE(empty.get(10), nullptr);
}
TEST(SyncObject, WaitResultsAbandonedMutexesAndNames) {
  koSyncObject event("ev"), none(nullptr), abandoned(nullptr), named(std::string(300, 'n').c_str());
  event.handle(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  HANDLE mutex = CreateMutexA(nullptr, FALSE, nullptr);
  Join(CreateThread(nullptr, 0, TakeAndEnd, mutex, 0, nullptr));  // ends without releasing it
  abandoned.handle(mutex);
  const struct { koSyncObject* object; int timeout, rc, count; } cases[] = {
      {&event, 0, WAIT_TIMEOUT, 0}, {&none, 0, ERROR_INVALID_HANDLE, 0}, {&abandoned, 1000, 0, 1}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.rc); EXPECT_EQ(c.object->lock(c.timeout), c.rc);
    EXPECT_EQ(c.object->lockCount, c.count) << "an abandoned mutex is acquired all the same";
  }
  EXPECT_TRUE(ReleaseMutex(mutex)) << "the wait took the mutex"; EXPECT_EQ(strlen(named.syncName), 299u);
}
TEST(ThreadMutex, RecursiveAndTimedLocks) {
  koThreadMutex m("tmu");
  for (int i = 0; i < 4; i++) EXPECT_EQ(i < 2 ? m.lock() : m.unlock(), 0);
  // Held by another thread for `hold` ms: 0 only tries (well before the holder lets go, even on a
  // busy machine), -1 waits as long as needed, a time that long.
  const struct { int timeout; DWORD hold; int rc; DWORD least, most; } cases[] = {
      {0, 3000, WAIT_TIMEOUT, 0, 500}, {80, 3000, WAIT_TIMEOUT, 70, 1500}, {5000, 50, 0, 30, 1500}, {-1, 50, 0, 30, 1500}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.timeout);
    Holder h{&m, CreateEventA(nullptr, TRUE, FALSE, nullptr), CreateEventA(nullptr, TRUE, FALSE, nullptr), c.hold};
    HANDLE t = CreateThread(nullptr, 0, Hold, &h, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(h.locked, 5000), WAIT_OBJECT_0) << "released as often as taken";
    DWORD start = GetTickCount(); int rc = m.lock(c.timeout), took = (int)(GetTickCount() - start);
    EXPECT_EQ(rc, c.rc); EXPECT_TRUE(took >= (int)c.least && took <= (int)c.most) << took;
    if (rc == 0) m.unlock();
    SetEvent(h.release); Join(t); CloseHandle(h.locked), CloseHandle(h.release);
  }
}
