#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "koMainWin.h"
#include "koModule.h"
#include "ko_script.h"
#include "ko_test.h"
#include "resource.h"

namespace {
koModule module;
int layouts = 0;
bool frameDeleted = false;

class Frame : public koMainWin {
 public:
  explicit Frame(bool quit) : koMainWin("wtestFrame") {
    quitOnDestroy = quit;
    style &= ~WS_VISIBLE;
  }
  ~Frame() override { frameDeleted = true; }
  bool layoutChild() override {
    layouts++;
    return koMainWin::layoutChild();
  }
};

int Children(HWND parent, const char* cls) {
  int n = 0;
  for (HWND c = FindWindowExA(parent, nullptr, cls, nullptr); c; c = FindWindowExA(parent, c, cls, nullptr)) n++;
  return n;
}

struct FrameTest : testing::Test {
  void SetUp() override {
    pModule = &module;
    module.mainWin = nullptr;
    module.hMainWnd = nullptr;
    frameDeleted = false;
  }
  void TearDown() override { pModule = nullptr; }
};
}  // namespace

TEST_F(FrameTest, CloseCommandEndsTheFrameAndItsLoop) {
  const struct {
    UINT message;
    WPARAM wParam;
    bool quit;
  } cases[] = {{WM_COMMAND, CMD_CLOSE, true}, {KOM_COMMAND, CMD_CLOSE, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    frameDeleted = false;
    Frame* f = new Frame(c.quit);
    ASSERT_TRUE(f->create("frame"));
    HWND w = f->hWnd;
    EXPECT_EQ(module.hMainWnd, w);
    PostMessageA(w, c.message, c.wParam, c.message == WM_COMMAND ? (LPARAM)w : 0);
    MSG m{};
    int got = 1;
    if (c.quit)
      while ((got = GetMessageA(&m, nullptr, 0, 0)) > 0) DispatchMessageA(&m);
    else
      Pump();
    EXPECT_EQ(got, c.quit ? 0 : 1);
    EXPECT_EQ(m.wParam, 0u) << "the quit code";
    EXPECT_TRUE(frameDeleted);
    EXPECT_FALSE(IsWindow(w));
    // A later modal dialog must not post its deletion to a freed frame.
    EXPECT_EQ(module.mainWin, nullptr);
    EXPECT_EQ(module.hMainWnd, nullptr);
  }
}

TEST_F(FrameTest, BarsOnceAndTheClientAreaBesideThem) {
  Frame* f = new Frame(false);
  ASSERT_TRUE(f->create("frame"));
  SetWindowPos(f->hWnd, nullptr, 0, 0, 400, 300, SWP_NOZORDER);
  RECT client;
  GetClientRect(f->hWnd, &client);
  koRect r;
  for (int i = 0; i < 2; i++) f->statusBar(true, 0), f->toolBar(true, 0);
  EXPECT_EQ(Children(f->hWnd, STATUSCLASSNAMEA), 1);
  EXPECT_EQ(Children(f->hWnd, TOOLBARCLASSNAMEA), 1);
  f->getClientRect(r);
  EXPECT_EQ(r.top, f->pToolBar->height());
  EXPECT_EQ(r.bottom, client.bottom - f->pStatusBar->barHeight);
  EXPECT_GT(r.top, 0);
  EXPECT_LT(r.bottom, client.bottom);

  // A new height re-lays the frame.
  layouts = 0;
  f->pStatusBar->height(30);
  Pump();
  f->getClientRect(r);
  EXPECT_EQ(r.bottom, client.bottom - 30);
  EXPECT_GE(layouts, 1);

  for (int i = 0; i < 2; i++) f->statusBar(false, 0), f->toolBar(false, 0);
  EXPECT_EQ(Children(f->hWnd, STATUSCLASSNAMEA) + Children(f->hWnd, TOOLBARCLASSNAMEA), 0);
  f->getClientRect(r);
  EXPECT_EQ(r.top, 0);
  EXPECT_EQ(r.bottom, client.bottom);
  koToolBar unmade(nullptr, 0);
  EXPECT_EQ(unmade.height(), -1);
  DestroyWindow(f->hWnd);
}

TEST_F(FrameTest, StatusBarWithoutParentObject) {
  koStatusBar loose(nullptr, 0);
  loose.height(25);
  EXPECT_EQ(loose.barHeight, 25);
  // On a window that has no object the layout is posted there.
  HWND plain = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr, nullptr, nullptr);
  HWND sb = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, plain, nullptr, nullptr, nullptr);
  ASSERT_NE(sb, nullptr);
  koStatusBar* attached = new koStatusBar(nullptr, 0);
  attached->linkWin(sb);
  attached->height(22);
  MSG m;
  EXPECT_TRUE(PeekMessageA(&m, plain, KOM_LAYOUT, KOM_LAYOUT, PM_REMOVE));
  DestroyWindow(plain);
}
