#include "ko_test.h"
#include <commctrl.h>
#include "koMainWin.h"
#include "koModule.h"
#include "resource.h"

namespace {
koModule module; bool frameDeleted = false; int layouts = 0;
class Frame : public koMainWin {
 public:
  explicit Frame(bool quit) : koMainWin("wtestFrame") { quitOnDestroy = quit, style &= ~WS_VISIBLE; }
  ~Frame() override { frameDeleted = true; }
  bool layoutChild() override { return ++layouts, koMainWin::layoutChild(); }
};
int Children(HWND parent, const char* cls) {
  int n = 0;
  for (HWND c = nullptr; (c = FindWindowExA(parent, c, cls, nullptr)) != nullptr;) n++;
  return n;
}
struct FrameTest : testing::Test {
  void SetUp() override { pModule = &module, module.mainWin = nullptr, module.hMainWnd = nullptr; }
  void TearDown() override { pModule = nullptr; }
};
}  // namespace
TEST_F(FrameTest, CloseCommandEndsTheFrameAndItsLoop) {
  // Sent by the program's own chain of commands, or posted by the library.
  for (UINT message : {(UINT)WM_COMMAND, (UINT)KOM_COMMAND}) {
    SCOPED_TRACE(message); frameDeleted = false; Frame* f = new Frame(message == WM_COMMAND);
    ASSERT_TRUE(f->create("frame")); HWND w = f->hWnd; EXPECT_EQ(module.hMainWnd, w);
    PostMessageA(w, message, CMD_CLOSE, message == WM_COMMAND ? (LPARAM)w : 0); MSG m{};
    while (message == WM_COMMAND && GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
    Pump(); EXPECT_EQ(m.message, message == WM_COMMAND ? (UINT)WM_QUIT : 0u);
    EXPECT_EQ(m.wParam, 0u) << "the quit code"; EXPECT_TRUE(frameDeleted); EXPECT_FALSE(IsWindow(w));
    // A later modal dialog must not post its deletion to a freed frame.
    EXPECT_EQ(module.mainWin, nullptr); EXPECT_EQ(module.hMainWnd, nullptr);
  }
}
TEST_F(FrameTest, BarsOnceAndTheClientAreaBesideThem) {
  Frame* f = new Frame(false); ASSERT_TRUE(f->create("frame"));
  SetWindowPos(f->hWnd, nullptr, 0, 0, 400, 300, SWP_NOZORDER); RECT client; GetClientRect(f->hWnd, &client);
  koRect r;
  // Shown twice, then the status bar 30 high (re-laid), then hidden twice.
  for (int step : {1, 30, 0}) {
    SCOPED_TRACE(step);
    for (int i = 0; i < 2 && step != 30; i++) f->statusBar(step, 0), f->toolBar(step, 0);
    layouts = 0;
    if (step == 30) f->pStatusBar->height(30), Pump();
    EXPECT_EQ(layouts > 0, step == 30);
    EXPECT_EQ(Children(f->hWnd, STATUSCLASSNAMEA) + Children(f->hWnd, TOOLBARCLASSNAMEA), step ? 2 : 0);
    f->getClientRect(r); EXPECT_EQ(r.top, step ? f->pToolBar->height() : 0);
    EXPECT_EQ(r.bottom, client.bottom - (step == 30 ? 30 : step ? f->pStatusBar->barHeight : 0));
    EXPECT_EQ(r.top > 0 && r.bottom < client.bottom, step != 0);
  }
  EXPECT_EQ(koToolBar(nullptr, 0).height(), -1) << "not made"; DestroyWindow(f->hWnd);
  koStatusBar loose(nullptr, 0); loose.height(25); EXPECT_EQ(loose.barHeight, 25);
  // On a window that has no object the layout is posted there.
  HWND plain = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  HWND sb = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, plain, nullptr, nullptr, nullptr);
  koStatusBar* attached = new koStatusBar(nullptr, 0); attached->linkWin(sb); attached->height(22); MSG m;
  EXPECT_TRUE(PeekMessageA(&m, plain, KOM_LAYOUT, KOM_LAYOUT, PM_REMOVE)); DestroyWindow(plain);
}
