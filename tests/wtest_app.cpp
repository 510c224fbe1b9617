#include "ko_test.h"
#include <string.h>
#include "koApp.h"
#include "koAutoBuffer.h"
#include "koModule.h"
#include "koSyncObject.h"
#include "koThreadMutex.h"
#include "koWin.h"

// The program's application object and its hooks, as a test program.
koApp App;
namespace {
std::string hooks; std::vector<std::string> args;
int startupResult, mainResult, quitCode, terminalSets, terminalSaw, pumped; size_t fakeCalls;
std::vector<BOOL> fakeResults;
struct CountingModule : koModule {
  int seen = 0;
  void MsgTransaction(MSG&) override { seen++; }
};
BOOL WINAPI FakeGetMessage(LPMSG m, HWND, UINT, UINT) {
  BOOL r = fakeResults[fakeCalls++]; m->message = r ? WM_NULL : WM_QUIT; m->wParam = 9;
  return r;
}
LRESULT CALLBACK CountProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  pumped += m == WM_USER + 1;
  return DefWindowProcA(h, m, w, l);
}
INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
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
int koApp::startup(int n, char** v) {
  hooks += "startup "; args.assign(v, v + n);
  return startupResult;
}
int koApp::main() {
  hooks += "main ";
  if (mainResult == 0) PostQuitMessage(quitCode);
  return mainResult;
}
void koApp::terminal(int& code) {
  hooks += "terminal"; terminalSaw = code;
  if (terminalSets) code = terminalSets;
}
TEST(WinMainBody, HooksInOrderAndTheExitCode) {
  const struct { const char* line; int startupResult, mainResult, quitCode, terminalSets; const char* hooks;
                 int terminalSaw, code; size_t args; } cases[] = {
      {"first  \"second arg\" third", 0, 0, 7, 0, "startup main terminal", 7, 7, 4},
      {"", -1, 0, 0, 0, "startup terminal", -1, -1, 1},  // startup failed: no main, no loop
      {"x", 0, 3, 0, 0, "startup main terminal", 3, 3, 2},
      {nullptr, 0, 0, 0, 42, "startup main terminal", 0, 42, 1},
  };
  char exe[MAX_PATH]; GetModuleFileNameA(nullptr, exe, sizeof exe);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line ? c.line : "(null)"); hooks.clear();
    startupResult = c.startupResult, mainResult = c.mainResult, quitCode = c.quitCode, terminalSets = c.terminalSets;
    EXPECT_EQ(koWinMainBody(App, GetModuleHandleA(nullptr), c.line, 3), c.code); EXPECT_EQ(hooks, c.hooks);
    EXPECT_EQ(terminalSaw, c.terminalSaw); ASSERT_EQ(args.size(), c.args);
    EXPECT_EQ(args[0], exe) << "argument 0 is the program's real path"; EXPECT_EQ(pApp, &App);
    EXPECT_EQ(App.handle(), GetModuleHandleA(nullptr));
    EXPECT_EQ(App.argv, nullptr) << "the arguments are released";
  }
  EXPECT_EQ(App.title + ".exe", strrchr(exe, '\\') + 1);
}
TEST(MessageLoop, EndsOnQuitAndOnFailure) {
  const struct { std::vector<BOOL> results; int code, seen; size_t calls; } cases[] = {
      {{1, 1, 0}, 9, 2, 3}, {{1, -1, 1, 1}, -1, 1, 2}};  // a failing GetMessageA ends it
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code); CountingModule module; fakeCalls = 0; fakeResults = c.results;
    EXPECT_EQ(koMessageLoop(module, FakeGetMessage), c.code); EXPECT_EQ(module.seen, c.seen);
    EXPECT_EQ(fakeCalls, c.calls);
  }
}
TEST(MessageLoop, PumpEmptiesTheQueueAndKeepsQuit) {
  WNDCLASSA wc{0, CountProc, 0, 0, nullptr, nullptr, nullptr, nullptr, nullptr, "koTestPump"};
  RegisterClassA(&wc); HWND h = CreateWindowA("koTestPump", "", 0, 0, 0, 1, 1, nullptr, nullptr, nullptr, 0);
  // Removed even when PM_REMOVE is not given; a quit is left for the loop.
  const struct { int flags, posted, quit; } cases[] = {{0, 3, -1}, {PM_REMOVE, 1, 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.quit); pumped = 0;
    for (int i = 0; i < c.posted; i++) PostMessageA(h, WM_USER + 1, 0, 0);
    if (c.quit >= 0) PostQuitMessage(c.quit);
    EXPECT_EQ(App.MsgPump(c.flags), c.quit < 0); EXPECT_EQ(pumped, c.posted); MSG m{};
    EXPECT_EQ(PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE) ? (int)m.wParam : -1, c.quit);
  }
  DestroyWindow(h);
}
TEST(Modeless, OnlyRegisteredDialogsGetDialogMessages) {
  struct { DLGTEMPLATE t; WORD menu, cls, title; } tpl{}; tpl.t.style = WS_POPUP | DS_MODALFRAME;
  HWND dlg = CreateDialogIndirectParamA(nullptr, &tpl.t, nullptr, PlainDialog, 0); ASSERT_NE(dlg, nullptr);
  koWin a(dlg, false), b(nullptr, "X", 0);  // b has no window
  MSG tab{dlg, WM_KEYDOWN, VK_TAB, 0, 0, {0, 0}}, none{}; EXPECT_FALSE(App.checkModeless(&tab));
  App.appendDialog(&a), App.appendDialog(&b); EXPECT_TRUE(App.checkModeless(&tab));
  EXPECT_FALSE(App.checkModeless(&none)); App.removeDialog(&a), App.removeDialog(&a);
  EXPECT_FALSE(App.checkModeless(&tab)) << "a removed dialog is not asked"; App.removeDialog(&b);
  DestroyWindow(dlg);
}
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
