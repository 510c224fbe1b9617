#include <gtest/gtest.h>
#include <windows.h>
#include "koMainWin.h"
#include "koModule.h"
#include "ko_script.h"
#include "ko_test.h"
#include "resource.h"

namespace {
koModule module;
bool frameDeleted = false;

class Frame : public koMainWin {
 public:
  explicit Frame(bool quit) : koMainWin("wtestFrame") {
    quitOnDestroy = quit;
    style &= ~WS_VISIBLE;
  }
  ~Frame() override { frameDeleted = true; }
};

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
  // Sent by the program's own chain of commands, or posted by the library.
  const struct {
    UINT message;
    bool quit;
  } cases[] = {{WM_COMMAND, true}, {KOM_COMMAND, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.message);
    frameDeleted = false;
    Frame* f = new Frame(c.quit);
    ASSERT_TRUE(f->create("frame"));
    HWND w = f->hWnd;
    EXPECT_EQ(module.hMainWnd, w);
    PostMessageA(w, c.message, CMD_CLOSE, c.message == WM_COMMAND ? (LPARAM)w : 0);
    MSG m{};
    if (c.quit)
      while (GetMessageA(&m, nullptr, 0, 0) > 0) DispatchMessageA(&m);
    else
      Pump();
    EXPECT_EQ(m.message, c.quit ? (UINT)WM_QUIT : 0u);
    EXPECT_EQ(m.wParam, 0u) << "the quit code";
    EXPECT_TRUE(frameDeleted);
    EXPECT_FALSE(IsWindow(w));
    // A later modal dialog must not post its deletion to a freed frame.
    EXPECT_EQ(module.mainWin, nullptr);
    EXPECT_EQ(module.hMainWnd, nullptr);
  }
}
