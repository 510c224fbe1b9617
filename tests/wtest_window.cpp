#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include "koGdi.h"
#include "koMenu.h"
#include "koWin.h"
#include "ko_script.h"
#include "ko_test.h"
#include "resource.h"

namespace {
std::vector<std::string> calls;
int destroyed = 0;

bool Log(const char* format, ...) {
  char buf[200];
  va_list ap;
  va_start(ap, format);
  vsnprintf(buf, sizeof buf, format, ap);
  va_end(ap);
  calls.push_back(buf);
  return true;
}

std::string Last() { return calls.empty() ? "" : calls.back(); }

// Records which member each message reached, with the decoded arguments.
// Freed memory is poisoned so that a late read of a deleted object fails.
class Probe : public koWin {
 public:
  bool allowClose = true, deleteSelfOnOther = false;

  Probe() : koWin(nullptr, "koTestProbe", 0) { style = WS_OVERLAPPEDWINDOW; }
  ~Probe() override { destroyed++; }
  static void operator delete(void* p, size_t n) {
    memset(p, 0xDD, n);
    ::operator delete(p);
  }
  const char* className() override { return "Probe"; }

  void onStart() override { Log("onStart"); }
  bool queryClose() override { return Log("queryClose") && allowClose; }
  void onClose() override { Log("onClose"); }
  void onDestroy() override { Log("onDestroy"); }
  bool command(int id, int code) override { return Log("command %d %d", id, code); }
  bool moved(int x, int y) override { return Log("moved %d %d", x, y); }
  bool scrolled(int id, int code, int position) override {
    bool handled = koWin::scrolled(id, code, position);
    Log("scrolled %d %d %d %d", id, code, position, (int)handled);
    return handled;
  }
  bool mouse(int message, koPoint p, int keys) override {
    return Log("mouse %x %d %d %d", message, p.x, p.y, keys);
  }
  bool kbd(koEvent& e) override { return Log("kbd %x %d", e.message, (int)e.wParam); }
  bool user(koEvent& e) override { return Log("user %x", e.message); }
  bool layoutChild() override { return Log("layoutChild"); }
  bool notified(NMHDR* h, LRESULT& result) override {
    result = 77;
    return Log("notified %d", (int)h->code);
  }
  void menuPopup(koMenu&, int index) override { Log("menuPopup %d", index); }
  bool other(koEvent& e) override {
    Log("other %x", e.message);
    if (deleteSelfOnOther) delete this;
    return false;
  }
};

struct Win : testing::Test {
  void SetUp() override {
    calls.clear();
    destroyed = 0;
  }
};

Probe* NewWindow() {
  Probe* p = new Probe();
  EXPECT_TRUE(p->create(nullptr));
  return p;
}

HWND Child(HWND parent, const char* cls, int id, DWORD style = WS_CHILD) {
  return CreateWindowExA(0, cls, "", style, 0, 0, 40, 20, parent, (HMENU)(INT_PTR)id,
                         GetModuleHandleA(nullptr), nullptr);
}
}  // namespace

TEST_F(Win, MessagesReachTheirMembers) {
  Probe* p = NewWindow();
  HWND h = p->hWnd;
  EXPECT_EQ(koWin::GetWin(h), p);
  EXPECT_EQ(Last(), "onStart");
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 100, "item");
  struct Case {
    UINT m;
    WPARAM w;
    LPARAM l;
    const char* expect;
  } cases[] = {
      {WM_MOVE, 0, MAKELPARAM(10, 20), "moved 10 20"},
      {WM_COMMAND, MAKEWPARAM(CMD_CLOSE, 0), (LPARAM)h, "command 512 0"},
      {KOM_COMMAND, CMD_CLOSE, 0, "command 512 0"},
      {WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0, "scrolled 1 1 0 0"},
      {WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 33), 0, "scrolled 0 5 33 0"},
      {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 300), "mouse 201 -5 300 1"},
      {WM_MOUSEMOVE, 0, MAKELPARAM(7, -2), "mouse 200 7 -2 0"},
      {WM_KEYDOWN, VK_RETURN, 0, "kbd 100 13"},
      {WM_CHAR, 'a', 0, "kbd 102 97"},
      {WM_USER + 5, 0, 0, "user 405"},
      {0x7FFF, 0, 0, "user 7fff"},
      {KOM_LAYOUT, 0, 0, "layoutChild"},
      {WM_NULL, 0, 0, "other 0"},
      {WM_APP, 0, 0, "other 8000"},
      {WM_INITMENUPOPUP, (WPARAM)menu, MAKELPARAM(3, 0), "menuPopup 3"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.expect);
    calls.clear();
    SendMessageA(h, c.m, c.w, c.l);
    EXPECT_EQ(Last(), c.expect);
  }
  NMHDR nm{h, 9, 123};  // the handler's result comes back from the window procedure
  EXPECT_EQ(SendMessageA(h, WM_NOTIFY, 9, (LPARAM)&nm), 77);
  EXPECT_EQ(Last(), "notified 123");
  EXPECT_TRUE(IsMenu(menu)) << "the handlers' menu objects were temporary";
  DestroyMenu(menu);
  p->destroy();
}

TEST_F(Win, CloseRefusedKeepsTheWindow) {
  Probe* p = NewWindow();
  HWND h = p->hWnd;
  p->allowClose = false;
  EXPECT_EQ(SendMessageA(h, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(h));
  p->allowClose = true;
  calls.clear();
  SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(calls, (std::vector<std::string>{"queryClose", "onClose", "onDestroy"}));
  EXPECT_EQ(destroyed, 1);
}

TEST_F(Win, UpDownScrollIsNotTakenForAScrollBar) {
  Probe* p = NewWindow();
  HWND ud = Child(p->hWnd, UPDOWN_CLASSA, 7, WS_CHILD | WS_VISIBLE | UDS_HORZ);
  SendMessageA(ud, UDM_SETRANGE32, 0, 100);
  // An object that only calls itself a scroll bar.
  struct FakeBar : koWin {
    using koWin::koWin;
    const char* className() override { return "koScrollBar"; }
  };
  new FakeBar(ud, true);
  // Press and release on the right arrow: the control scrolls its parent.
  SendMessageA(ud, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(35, 10));
  SendMessageA(ud, WM_LBUTTONUP, 0, MAKELPARAM(35, 10));
  std::string scrolls;
  for (const std::string& c : calls)
    if (c.rfind("scrolled 7 ", 0) == 0) scrolls += c.back();
  EXPECT_NE(scrolls, "");
  EXPECT_EQ(scrolls.find('1'), std::string::npos) << "taken as handled";
  SendMessageA(p->hWnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), (LPARAM)ud);
  EXPECT_EQ(Last(), "scrolled 7 4 3 0");
  p->destroy();  // the children go with it, and their owned objects
  EXPECT_EQ(koWin::GetWin(ud), nullptr);
}

TEST_F(Win, HandlerDeletingItsObjectIsSafe) {
  // A subclassed system control: after the handler the window procedure must
  // pass the message on without reading the (poisoned) object.
  Probe* parent = NewWindow();
  HWND button = Child(parent->hWnd, "BUTTON", 9);
  WNDPROC original = (WNDPROC)GetWindowLongPtrA(button, GWLP_WNDPROC);
  Probe* object = new Probe();
  object->linkWin(button);
  object->owner = true;
  object->deleteSelfOnOther = true;
  SendMessageA(button, WM_APP + 1, 0, 0);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ((WNDPROC)GetWindowLongPtrA(button, GWLP_WNDPROC), original);
  EXPECT_EQ(koWin::GetWin(button), nullptr);
  Pump();  // the posted WM_CLOSE closes the button without its object
  EXPECT_FALSE(IsWindow(button));
  parent->destroy();
}

TEST_F(Win, OwnedObjectsDieWithTheirWindowOnce) {
  Probe* p = NewWindow();
  HWND h = p->hWnd;
  DestroyWindow(h);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(koWin::GetWin(h), nullptr);

  // Deleting the object closes its window, later.
  p = NewWindow();
  h = p->hWnd;
  delete p;
  EXPECT_TRUE(IsWindow(h));
  Pump();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(destroyed, 2);
}

TEST_F(Win, BorrowedObjectsAreLeftAlone) {
  Probe* p = NewWindow();
  HWND h = p->hWnd;
  { koWin borrowed(h, false); }
  Pump();
  EXPECT_TRUE(IsWindow(h)) << "a borrowed object does not close the window";
  // A window not owned by the probe that links it: its end leaves the probe.
  HWND plain = Child(h, "STATIC", 0);
  Probe* guest = new Probe();
  guest->owner = false;
  guest->linkWin(plain);
  DestroyWindow(plain);
  EXPECT_EQ(destroyed, 0);
  EXPECT_EQ(guest->hWnd, nullptr) << "no handle kept of a gone window";
  delete guest;
  p->destroy();
  EXPECT_EQ(destroyed, 2);
}

namespace {
int countedGone = 0;
struct Counted : koObject {
  ~Counted() override { countedGone++; }
};
}  // namespace

TEST_F(Win, PostDeleteTakesOnlyRegisteredObjects) {
  Probe* p = NewWindow();
  Counted* registered = new Counted;
  koWin::RegisterPostDelete(registered);
  PostMessageA(p->hWnd, KOM_POSTDELETE, 0, (LPARAM)registered);
  PostMessageA(p->hWnd, KOM_POSTDELETE, 0, (LPARAM)registered);
  Pump();
  EXPECT_EQ(countedGone, 1);
  Counted onStack;
  EXPECT_EQ(SendMessageA(p->hWnd, KOM_POSTDELETE, 0, (LPARAM)&onStack), 0);
  EXPECT_EQ(countedGone, 1) << "an address nobody registered is not deleted";

  // An object deleted by other means is forgotten.
  Probe* dialog = new Probe();
  koWin::RegisterPostDelete(dialog);
  EXPECT_TRUE(koWin::IsPostDeletePending(dialog));
  LPARAM stale = (LPARAM)(koObject*)dialog;
  delete dialog;
  EXPECT_FALSE(koWin::IsPostDeletePending((koObject*)stale));
  SendMessageA(p->hWnd, KOM_POSTDELETE, 0, stale);
  p->destroy();
}

TEST_F(Win, LongTextAndCentring) {
  Probe* p = NewWindow();
  std::string longText = std::string(1500, 'x') + "末", back;
  p->setText(longText);
  EXPECT_EQ(p->getText(back), (int)longText.size());
  EXPECT_EQ(back, longText);

  koPoint pos{30, 40}, size{200, 100};
  EXPECT_TRUE(p->setPos(&pos, &size));
  p->moveCenter();
  RECT r;
  GetWindowRect(p->hWnd, &r);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 200) / 2);
  EXPECT_EQ(r.right - r.left, 200);
  p->destroy();
}

TEST(DevContext, OwnedObjectsReleasedAfterTheOriginalIsBack) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
  HFONT f[3];
  for (int i = 0; i < 3; i++) f[i] = CreateFontA(12 + i, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  {
    koDevContext ctx(dc, false);
    EXPECT_EQ(ctx.select(WO_FONT, (HGDIOBJ)f[0], true), original);
    EXPECT_EQ(ctx.select(WO_FONT, (HGDIOBJ)f[1], false), (HGDIOBJ)f[0]);
    EXPECT_EQ(GetObjectType(f[0]), 0u) << "the replaced owned font is deleted";
    ctx.select(WO_FONT, (HGDIOBJ)f[2], true);
    EXPECT_EQ(GetObjectType(f[1]), (DWORD)OBJ_FONT) << "a borrowed font stays";
    ctx.select(WO_FONT, (HGDIOBJ)f[2], true);  // again: must not delete itself
    EXPECT_EQ(GetObjectType(f[2]), (DWORD)OBJ_FONT);
    koDrawObj* pen = new koDrawObj(CreatePen(PS_SOLID, 1, 0));
    HGDIOBJ penHandle = pen->handle();
    ctx.select(WO_PEN, pen, true);
    ctx.restoreSelection(WO_PEN);
    EXPECT_EQ(GetObjectType(penHandle), 0u);
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), original) << "the original font is put back";
  EXPECT_EQ(GetObjectType(f[2]), 0u);
  EXPECT_EQ(GetObjectType(dc), (DWORD)OBJ_MEMDC) << "a borrowed context stays";
  DeleteObject(f[1]);
  { koDevContext owned(dc, true); }
  EXPECT_EQ(GetObjectType(dc), 0u);
}
