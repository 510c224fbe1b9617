#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include "koMainWin.h"
#include "koModule.h"
#include "ko_test.h"

namespace {
koModule module;

int layouts = 0;
bool frameDeleted = false;

class Frame : public koMainWin {
 public:
  explicit Frame(bool quit = true) : koMainWin("wtestFrame") {
    quitOnDestroy = quit;
    style &= ~WS_VISIBLE;
  }
  ~Frame() override { frameDeleted = true; }
  bool layoutChild() override {
    layouts++;
    return koMainWin::layoutChild();
  }
};

int CountChildren(HWND parent, const char* cls) {
  int n = 0;
  for (HWND c = FindWindowExA(parent, nullptr, cls, nullptr); c;
       c = FindWindowExA(parent, c, cls, nullptr))
    n++;
  return n;
}

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    if (m.message == WM_QUIT) continue;
    DispatchMessageA(&m);
  }
}

class FrameTest : public testing::Test {
 protected:
  void SetUp() override {
    pModule = &module;
    module.mainWin = nullptr;
    module.hMainWnd = nullptr;
    frameDeleted = false;
    layouts = 0;
  }
  void TearDown() override { pModule = nullptr; }
};
}  // namespace

TEST_F(FrameTest, CommandCloseEndsTheLoopWithCodeZero) {
  Frame* f = new Frame;
  EXPECT_EQ(module.mainWin, f);
  ASSERT_TRUE(f->create("frame"));
  HWND w = f->hWnd;
  EXPECT_EQ(module.hMainWnd, w);
  EXPECT_FALSE(f->command(1234, 0));
  PostMessageA(w, WM_COMMAND, 512, (LPARAM)w);
  MSG m;
  int got;
  while ((got = GetMessageA(&m, nullptr, 0, 0)) > 0) DispatchMessageA(&m);
  EXPECT_EQ(got, 0);
  EXPECT_EQ(m.wParam, 0u);
  EXPECT_TRUE(frameDeleted);
  EXPECT_FALSE(IsWindow(w));
  // A later modal dialog must not post its deletion to a freed frame.
  EXPECT_EQ(module.mainWin, nullptr);
  EXPECT_EQ(module.hMainWnd, nullptr);
}

TEST_F(FrameTest, PostedCommandCloseToo) {
  Frame* f = new Frame(false);
  ASSERT_TRUE(f->create(nullptr));
  HWND w = f->hWnd;
  PostMessageA(w, KOM_COMMAND, 512, 0);
  Pump();
  EXPECT_TRUE(frameDeleted);
  EXPECT_FALSE(IsWindow(w));
}

TEST_F(FrameTest, StatusBarOnAndOff) {
  Frame* f = new Frame(false);
  ASSERT_TRUE(f->create("frame"));
  SetWindowPos(f->hWnd, nullptr, 0, 0, 400, 300, SWP_NOZORDER);
  RECT client;
  GetClientRect(f->hWnd, &client);
  koRect r;
  f->getClientRect(r);
  EXPECT_EQ(r.bottom, client.bottom);
  EXPECT_EQ(r.top, 0);

  f->statusBar(true, 0);
  koStatusBar* bar = f->pStatusBar;
  ASSERT_NE(bar, nullptr);
  f->statusBar(true, 0);
  EXPECT_EQ(f->pStatusBar, bar);
  EXPECT_EQ(CountChildren(f->hWnd, STATUSCLASSNAMEA), 1);
  EXPECT_GT(bar->barHeight, 0);
  f->getClientRect(r);
  EXPECT_EQ(r.bottom, client.bottom - bar->barHeight);

  // A new height re-lays the frame.
  layouts = 0;
  bar->height(30);
  Pump();
  EXPECT_EQ(bar->barHeight, 30);
  EXPECT_GE(layouts, 1);

  f->statusBar(false, 0);
  f->statusBar(false, 0);
  EXPECT_EQ(f->pStatusBar, nullptr);
  EXPECT_EQ(CountChildren(f->hWnd, STATUSCLASSNAMEA), 0);
  DestroyWindow(f->hWnd);
}

TEST_F(FrameTest, StatusBarHeightWithoutParentObject) {
  koStatusBar* loose = new koStatusBar(nullptr, 0);
  loose->height(25);
  EXPECT_EQ(loose->barHeight, 25);
  delete loose;

  // A status bar on a window that has no object posts the layout there.
  HWND plain = CreateWindowExA(0, "Static", "", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                               nullptr, nullptr);
  ASSERT_NE(plain, nullptr);
  HWND sb = CreateWindowExA(0, STATUSCLASSNAMEA, "", WS_CHILD | WS_VISIBLE, 0, 0, 0, 0, plain,
                            nullptr, nullptr, nullptr);
  ASSERT_NE(sb, nullptr);
  koStatusBar* attached = new koStatusBar(nullptr, 0);
  attached->linkWin(sb);
  attached->height(22);
  MSG m;
  EXPECT_TRUE(PeekMessageA(&m, plain, KOM_LAYOUT, KOM_LAYOUT, PM_REMOVE));
  DestroyWindow(plain);
}

TEST_F(FrameTest, ToolBar) {
  Frame* f = new Frame(false);
  ASSERT_TRUE(f->create("frame"));
  f->toolBar(true, 0);
  koToolBar* bar = f->pToolBar;
  ASSERT_NE(bar, nullptr);
  f->toolBar(true, 0);
  EXPECT_EQ(f->pToolBar, bar);
  EXPECT_GT(bar->height(), 0);
  koRect r;
  f->getClientRect(r);
  EXPECT_EQ(r.top, bar->height());
  EXPECT_TRUE(bar->separate(0, 8));
  EXPECT_EQ(SendMessageA(bar->hWnd, TB_BUTTONCOUNT, 0, 0), 1);
  int w = 0, h = 0;
  bar->getButtonSize(w, h);
  EXPECT_GT(w, 0);
  EXPECT_GT(h, 0);
  EXPECT_EQ(bar->mapAccelerator('x'), 0);
  bar->setColorScheme(RGB(1, 2, 3), RGB(4, 5, 6));
  unsigned long hi = 0, sh = 0;
  if (bar->getColorScheme(hi, sh)) {
    EXPECT_EQ(hi, RGB(1, 2, 3));
    EXPECT_EQ(sh, RGB(4, 5, 6));
  }
  f->toolBar(false, 0);
  EXPECT_EQ(f->pToolBar, nullptr);
  EXPECT_EQ(CountChildren(f->hWnd, TOOLBARCLASSNAMEA), 0);
  koToolBar unmade(nullptr, 0);
  EXPECT_EQ(unmade.height(), -1);
  DestroyWindow(f->hWnd);
}
