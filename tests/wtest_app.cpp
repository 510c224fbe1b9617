#include "ko_test.h"
#include <string.h>
#include "koApp.h"
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
