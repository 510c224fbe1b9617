#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include <vector>
#include "koApp.h"
#include "koWin.h"
#include "ko_test.h"

// The program's application object and its hooks, as a test program.
koApp App;

namespace {
std::vector<std::string> hooks;
std::vector<std::string> args;
int startupResult = 0, mainResult = 0, quitCode = 0, terminalSets = 0;
int terminalSaw = 12345;

void Reset() {
  hooks.clear();
  args.clear();
  startupResult = mainResult = quitCode = terminalSets = 0;
  terminalSaw = 12345;
}
}  // namespace

int koApp::startup(int n, char** v) {
  hooks.push_back("startup");
  for (int i = 0; i < n; i++) args.push_back(v[i]);
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

namespace {
using Hooks = std::vector<std::string>;

std::string ExePath() {
  char buf[300];
  GetModuleFileNameA(nullptr, buf, sizeof buf);
  return buf;
}
}  // namespace

TEST(AppObject, IsTheModuleObject) {
  EXPECT_EQ(pModule, &App);
  EXPECT_STREQ(App.className(), "koAppw");
  EXPECT_EQ(App.showCommand, SW_SHOW);
  EXPECT_STREQ(App.mutex.syncName, "tmu");
}

TEST(WinMainBody, HooksInOrderWithTheSplitArguments) {
  Reset();
  quitCode = 7;
  int code = koWinMainBody(App, GetModuleHandleA(nullptr), "first  \"second arg\" third", 3);
  EXPECT_EQ(code, 7) << "the quit message's code";
  EXPECT_EQ(hooks, (Hooks{"startup", "main", "terminal"}));
  EXPECT_EQ(terminalSaw, 7);
  ASSERT_EQ(args.size(), 4u);
  EXPECT_EQ(args[0], ExePath());
  EXPECT_EQ(args[2], "second arg");
  EXPECT_EQ(pApp, &App);
  EXPECT_EQ(App.handle(), GetModuleHandleA(nullptr));
  EXPECT_FALSE(App.owner) << "the program's instance is never freed";
  EXPECT_EQ(App.showCommand, 3);
  EXPECT_EQ(App.argv, nullptr) << "the arguments are released";
  EXPECT_EQ(App.hAccel, nullptr) << "no KeyAccel resource";
  std::string title = ExePath();
  title = title.substr(title.rfind('\\') + 1);
  EXPECT_EQ(App.title + ".exe", title);
}

TEST(WinMainBody, FailingStartupSkipsMainAndLoop) {
  Reset();
  startupResult = -1;
  EXPECT_EQ(koWinMainBody(App, GetModuleHandleA(nullptr), "", 5), -1);
  EXPECT_EQ(hooks, (Hooks{"startup", "terminal"}));
  EXPECT_EQ(terminalSaw, -1);
  ASSERT_EQ(args.size(), 1u);
}

TEST(WinMainBody, MainResultAndTerminalDecideTheCode) {
  Reset();
  mainResult = 3;
  EXPECT_EQ(koWinMainBody(App, GetModuleHandleA(nullptr), "x", 5), 3);
  EXPECT_EQ(hooks, (Hooks{"startup", "main", "terminal"}));
  Reset();
  terminalSets = 42;
  EXPECT_EQ(koWinMainBody(App, GetModuleHandleA(nullptr), nullptr, 5), 42);
}

namespace {
struct CountingModule : koModule {
  int seen = 0;
  void MsgTransaction(MSG&) override { seen++; }
};

int fakeCalls = 0;
std::vector<BOOL> fakeResults;
BOOL WINAPI FakeGetMessage(LPMSG m, HWND, UINT, UINT) {
  BOOL r = fakeResults[fakeCalls++];
  m->message = r ? WM_NULL : WM_QUIT;
  m->wParam = 9;
  return r;
}
}  // namespace

TEST(MessageLoop, EndsOnQuitAndOnFailure) {
  CountingModule module;
  fakeCalls = 0;
  fakeResults = {1, 1, 0};
  EXPECT_EQ(koMessageLoop(module, FakeGetMessage), 9);
  EXPECT_EQ(module.seen, 2);

  module.seen = 0;
  fakeCalls = 0;
  fakeResults = {1, -1, 1, 1};
  EXPECT_EQ(koMessageLoop(module, FakeGetMessage), -1) << "a failing GetMessageA ends the loop";
  EXPECT_EQ(fakeCalls, 2);
  EXPECT_EQ(module.seen, 1);
}

namespace {
int pumped = 0;
LRESULT CALLBACK CountProc(HWND h, UINT m, WPARAM w, LPARAM l) {
  if (m == WM_USER + 1) pumped++;
  return DefWindowProcA(h, m, w, l);
}
}  // namespace

TEST(MessageLoop, PumpProcessesTheQueueAndKeepsQuit) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = CountProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = "koTestPump";
  RegisterClassA(&wc);
  HWND h = CreateWindowA("koTestPump", "", 0, 0, 0, 1, 1, nullptr, nullptr, wc.hInstance, 0);
  ASSERT_NE(h, nullptr);
  pumped = 0;
  for (int i = 0; i < 3; i++) PostMessageA(h, WM_USER + 1, 0, 0);
  EXPECT_TRUE(App.MsgPump(0)) << "returns although PM_REMOVE was not given";
  EXPECT_EQ(pumped, 3);
  EXPECT_TRUE(App.MsgPump(PM_REMOVE));

  PostMessageA(h, WM_USER + 1, 0, 0);
  PostQuitMessage(4);
  EXPECT_FALSE(App.MsgPump(PM_REMOVE));
  EXPECT_EQ(pumped, 4);
  MSG m;
  ASSERT_EQ(GetMessageA(&m, nullptr, 0, 0), 0) << "the quit message is kept for the loop";
  EXPECT_EQ(m.wParam, 4u);
  DestroyWindow(h);
}

namespace {
INT_PTR CALLBACK PlainDialog(HWND, UINT, WPARAM, LPARAM) { return FALSE; }
}  // namespace

TEST(Modeless, RegistrationAndDialogMessages) {
  // A minimal modeless dialog with one button.
  struct {
    DLGTEMPLATE t;
    WORD menu, cls, title;
  } tpl{};
  tpl.t.style = WS_POPUP | DS_MODALFRAME;
  tpl.t.cx = 50;
  tpl.t.cy = 30;
  HWND dlg = CreateDialogIndirectParamA(
      GetModuleHandleA(nullptr), &tpl.t, nullptr, PlainDialog, 0);
  ASSERT_NE(dlg, nullptr);
  koWin a(dlg, false), b(nullptr, "X", 0);
  App.appendDialog(&a);
  App.appendDialog(&b);
  ASSERT_EQ(App.modeless.size(), 2u);
  EXPECT_EQ(App.modeless.front(), &b) << "newest first";

  MSG m{};
  m.hwnd = dlg;
  m.message = WM_KEYDOWN;
  m.wParam = VK_TAB;
  EXPECT_TRUE(App.checkModeless(&m));
  m.hwnd = nullptr;
  m.message = WM_NULL;
  EXPECT_FALSE(App.checkModeless(&m));

  App.removeDialog(&a);
  App.removeDialog(&a);
  EXPECT_EQ(App.modeless.size(), 1u);
  m.hwnd = dlg;
  m.message = WM_KEYDOWN;
  EXPECT_FALSE(App.checkModeless(&m)) << "an unregistered dialog is not asked";
  App.removeDialog(&b);
  EXPECT_TRUE(App.modeless.empty());
  DestroyWindow(dlg);
}
