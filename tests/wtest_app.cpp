#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "koApp.h"
#include "koWin.h"
#include "ko_test.h"

// The program's application object and its hooks, as a test program.
koApp App;

namespace {
std::vector<std::string> hooks, args;
int startupResult, mainResult, quitCode, terminalSets, terminalSaw;
}  // namespace

int koApp::startup(int n, char** v) {
  hooks.push_back("startup");
  args.assign(v, v + n);
  return startupResult;
}

int koApp::main() {
  hooks.push_back("main");
  if (mainResult == 0) PostQuitMessage(quitCode);
  return mainResult;
}

void koApp::terminal(int& code) {
  hooks.push_back("terminal");
  terminalSaw = code;
  if (terminalSets) code = terminalSets;
}

TEST(WinMainBody, HooksInOrderAndTheExitCode) {
  const struct {
    const char* line;
    int startupResult, mainResult, quitCode, terminalSets;
    const char* hooks;
    int terminalSaw, code;
    size_t args;
  } cases[] = {
      {"first  \"second arg\" third", 0, 0, 7, 0, "startup main terminal", 7, 7, 4},
      {"", -1, 0, 0, 0, "startup terminal", -1, -1, 1},  // startup failed: no main, no loop
      {"x", 0, 3, 0, 0, "startup main terminal", 3, 3, 2},
      {nullptr, 0, 0, 0, 42, "startup main terminal", 0, 42, 1},
  };
  char exe[MAX_PATH];
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line ? c.line : "(null)");
    hooks.clear();
    startupResult = c.startupResult, mainResult = c.mainResult, quitCode = c.quitCode;
    terminalSets = c.terminalSets;
    EXPECT_EQ(koWinMainBody(App, GetModuleHandleA(nullptr), c.line, 3), c.code);
    std::string order;
    for (auto& h : hooks) order += (order.empty() ? "" : " ") + h;
    EXPECT_EQ(order, c.hooks);
    EXPECT_EQ(terminalSaw, c.terminalSaw);
    ASSERT_EQ(args.size(), c.args);
    EXPECT_EQ(args[0], exe) << "argument 0 is the program's real path";
    EXPECT_EQ(pApp, &App);
    EXPECT_EQ(App.argv, nullptr) << "the arguments are released";
  }
}

namespace {
struct CountingModule : koModule {
  int seen = 0;
  void MsgTransaction(MSG&) override { seen++; }
};

size_t fakeCalls;
std::vector<BOOL> fakeResults;
BOOL WINAPI FakeGetMessage(LPMSG m, HWND, UINT, UINT) {
  BOOL r = fakeResults[fakeCalls++];
  m->message = r ? WM_NULL : WM_QUIT;
  m->wParam = 9;
  return r;
}
}  // namespace

TEST(MessageLoop, EndsOnQuitAndOnFailure) {
  const struct {
    std::vector<BOOL> results;
    int code, seen;
    size_t calls;
  } cases[] = {{{1, 1, 0}, 9, 2, 3}, {{1, -1, 1, 1}, -1, 1, 2}};  // a failing GetMessageA ends it
  for (const auto& c : cases) {
    SCOPED_TRACE(c.code);
    CountingModule module;
    fakeCalls = 0;
    fakeResults = c.results;
    EXPECT_EQ(koMessageLoop(module, FakeGetMessage), c.code);
    EXPECT_EQ(module.seen, c.seen);
    EXPECT_EQ(fakeCalls, c.calls);
  }
}

