#include <windows.h>
#include <commctrl.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include <vector>
#include "koGdi.h"
#include "koMenu.h"
#include "koScrollBar.h"
#include "koWin.h"
#include "ko_test.h"

namespace {
std::vector<std::string> calls;
int destroyed = 0;

void Log(const char* format, ...) {
  char buf[200];
  va_list ap;
  va_start(ap, format);
  vsnprintf(buf, sizeof buf, format, ap);
  va_end(ap);
  calls.push_back(buf);
}

std::string Last() { return calls.empty() ? "" : calls.back(); }

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
}

// Records which member each message reached, with the decoded arguments.
// Freed memory is poisoned so that a late read of a deleted object fails.
class Probe : public koWin {
 public:
  bool allowClose = true;
  bool deleteSelfOnOther = false;
  int udScrolled = -1;

  Probe(koWin* parent = nullptr, const char* cls = "koTestProbe", int id = 0)
      : koWin(parent, cls, id) {
    style = WS_OVERLAPPEDWINDOW;
  }
  ~Probe() override { destroyed++; }
  static void operator delete(void* p, size_t n) {
    memset(p, 0xDD, n);
    ::operator delete(p);
  }
  const char* className() override { return "Probe"; }

  void onStart() override { Log("onStart"); }
  bool queryClose() override {
    Log("queryClose");
    return allowClose;
  }
  void onClose() override { Log("onClose"); }
  void onDestroy() override { Log("onDestroy"); }
  bool command(int id, int code) override {
    Log("command %d %d", id, code);
    return true;
  }
  bool moved(int x, int y) override {
    Log("moved %d %d", x, y);
    return true;
  }
  bool resized(int w, int h, int type) override {
    Log("resized %d %d %d", w, h, type);
    return true;
  }
  bool minimized(int w, int h) override {
    Log("minimized %d %d", w, h);
    return true;
  }
  bool activated(int state, bool minimized, HWND) override {
    Log("activated %d %d", state, (int)minimized);
    return true;
  }
  bool enabled(bool on) override {
    Log("enabled %d", (int)on);
    return true;
  }
  bool queryEndSession(int flags) override {
    Log("queryEndSession %x", flags);
    return false;
  }
  bool scrolled(int id, int code, int position) override {
    bool handled = koWin::scrolled(id, code, position);
    Log("scrolled %d %d %d %d", id, code, position, (int)handled);
    return handled;
  }
  bool mouse(int message, koPoint p, int keys) override {
    Log("mouse %x %d %d %d", message, p.x, p.y, keys);
    return true;
  }
  bool kbd(koEvent& e) override {
    Log("kbd %x %d", e.message, (int)e.wParam);
    return true;
  }
  bool user(koEvent& e) override {
    Log("user %x", e.message);
    return true;
  }
  bool dde(koEvent& e) override {
    Log("dde %x", e.message);
    return true;
  }
  bool layoutChild() override {
    Log("layoutChild");
    return true;
  }
  bool notified(NMHDR* h, LRESULT& result) override {
    Log("notified %d", (int)h->code);
    result = 77;
    return true;
  }
  bool notified2(int code, void* data) override {
    Log("notified2 %d %x", code, (unsigned)(UINT_PTR)data);
    return true;
  }
  bool threadEnded(int code, koThread* t) override {
    Log("threadEnded %d", code);
    return koWin::threadEnded(code, t);
  }
  void menuPopup(koMenu& menu, int index) override {
    Log("menuPopup %d", index);
    menu.appendSub("sub");
  }
  void sysmenuPopup(koMenu&) override { Log("sysmenuPopup"); }
  void menuInit(koMenu&) override { Log("menuInit"); }
  void menuSelect(koMenu&, unsigned item, unsigned flags) override {
    Log("menuSelect %u %x", item, flags);
  }
  bool other(koEvent& e) override {
    Log("other %x", e.message);
    if (deleteSelfOnOther) {
      delete this;
      return false;
    }
    return false;
  }
};

struct Fixture : testing::Test {
  void SetUp() override {
    calls.clear();
    destroyed = 0;
  }
};
using WinDispatch = Fixture;
using WinOwnership = Fixture;
using WinOps = Fixture;

Probe* NewWindow() {
  Probe* p = new Probe();
  EXPECT_TRUE(p->create(nullptr));
  return p;
}
}  // namespace

TEST_F(WinDispatch, CreateBindsAndStarts) {
  Probe* p = NewWindow();
  ASSERT_NE(p->hWnd, nullptr);
  EXPECT_TRUE(p->linked);
  EXPECT_EQ(p->prevProc, nullptr) << "its own class already runs koWinProc";
  EXPECT_EQ(koWin::GetWin(p->hWnd), p);
  EXPECT_EQ(Last(), "onStart");
  std::string text;
  p->getText(text);
  EXPECT_EQ(text, "kobas");
  p->destroy();
}

TEST_F(WinDispatch, MessagesReachTheirMembers) {
  Probe* p = NewWindow();
  HWND h = p->hWnd;
  struct Case {
    UINT m;
    WPARAM w;
    LPARAM l;
    const char* expect;
  } cases[] = {
      {WM_MOVE, 0, MAKELPARAM(10, 20), "moved 10 20"},
      {WM_SIZE, SIZE_MINIMIZED, MAKELPARAM(0, 0), "minimized 0 0"},
      {WM_SIZE, SIZE_MAXIMIZED, MAKELPARAM(640, 480), "resized 640 480 2"},
      {WM_ACTIVATE, MAKEWPARAM(WA_CLICKACTIVE, 1), 0, "activated 2 1"},
      {WM_ENABLE, 1, 0, "enabled 1"},
      {WM_COMMAND, MAKEWPARAM(512, 0), (LPARAM)h, "command 512 0"},
      {KOM_COMMAND, 512, 0, "command 512 0"},
      {WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0, "scrolled 1 1 0 0"},
      {WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 33), 0, "scrolled 0 5 33 0"},
      {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 300), "mouse 201 -5 300 1"},
      {WM_MOUSEMOVE, 0, MAKELPARAM(7, -2), "mouse 200 7 -2 0"},
      {WM_KEYDOWN, VK_RETURN, 0, "kbd 100 13"},
      {WM_CHAR, 'a', 0, "kbd 102 97"},
      {WM_USER + 5, 0, 0, "user 405"},
      {0x7FFF, 0, 0, "user 7fff"},
      {KOM_LAYOUT, 0, 0, "layoutChild"},
      {KOM_NOTIFY, 3, 0x1234, "notified2 3 1234"},
      {KOM_THREADENDED, 4, 0, "threadEnded 4"},
      {0x03E2, 0, 0, "dde 3e2"},
      {WM_NULL, 0, 0, "other 0"},
      {WM_APP, 0, 0, "other 8000"},
  };
  for (const Case& c : cases) {
    calls.clear();
    SendMessageA(h, c.m, c.w, c.l);
    EXPECT_EQ(Last(), c.expect) << "message " << std::hex << c.m;
  }

  // Results set by the handler come back from the window procedure.
  NMHDR nm{h, 9, 123};
  EXPECT_EQ(SendMessageA(h, WM_NOTIFY, 9, (LPARAM)&nm), 77);
  EXPECT_EQ(Last(), "notified 123");
  EXPECT_EQ(SendMessageA(h, WM_QUERYENDSESSION, 0, ENDSESSION_LOGOFF), 0);
  EXPECT_EQ(Last(), "queryEndSession 80000000");
  p->destroy();
}

TEST_F(WinDispatch, CloseRefusedKeepsTheWindow) {
  Probe* p = NewWindow();
  HWND h = p->hWnd;
  p->allowClose = false;
  EXPECT_EQ(SendMessageA(h, WM_CLOSE, 0, 0), 0);
  EXPECT_TRUE(IsWindow(h));
  EXPECT_EQ(calls.back(), "queryClose");
  p->allowClose = true;
  calls.clear();
  SendMessageA(h, WM_CLOSE, 0, 0);
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(calls, (std::vector<std::string>{"queryClose", "onClose", "onDestroy"}));
  EXPECT_EQ(destroyed, 1);
}

TEST_F(WinDispatch, MenuEventsGetTemporaryMenus) {
  Probe* p = NewWindow();
  HMENU menu = CreatePopupMenu();
  AppendMenuA(menu, MF_STRING, 100, "item");
  SendMessageA(p->hWnd, WM_INITMENUPOPUP, (WPARAM)menu, MAKELPARAM(3, 0));
  EXPECT_EQ(Last(), "menuPopup 3");
  EXPECT_EQ(GetMenuItemCount(menu), 2) << "appendSub on the temporary menu reaches the real one";
  EXPECT_TRUE(IsMenu(menu)) << "the temporary object does not destroy the menu";
  SendMessageA(p->hWnd, WM_INITMENUPOPUP, (WPARAM)menu, MAKELPARAM(0, 1));
  EXPECT_EQ(Last(), "sysmenuPopup");
  SendMessageA(p->hWnd, WM_INITMENU, (WPARAM)menu, 0);
  EXPECT_EQ(Last(), "menuInit");
  SendMessageA(p->hWnd, WM_MENUSELECT, MAKEWPARAM(100, MF_HILITE), (LPARAM)menu);
  EXPECT_EQ(Last(), "menuSelect 100 80");
  EXPECT_TRUE(IsMenu(menu));
  DestroyMenu(menu);
  p->destroy();
}

TEST_F(WinDispatch, UpDownScrollIsNotTakenForAScrollBar) {
  Probe* p = NewWindow();
  HWND ud = CreateWindowExA(0, UPDOWN_CLASSA, "", WS_CHILD | WS_VISIBLE | UDS_HORZ, 0, 0, 40, 20,
                            p->hWnd, (HMENU)7, GetModuleHandleA(nullptr), nullptr);
  ASSERT_NE(ud, nullptr);
  SendMessageA(ud, UDM_SETRANGE32, 0, 100);
  // An object that only calls itself a scroll bar.
  struct FakeBar : koWin {
    using koWin::koWin;
    const char* className() override { return "koScrollBar"; }
  };
  FakeBar* object = new FakeBar(ud, true);
  EXPECT_EQ(koWin::GetWin(ud), object);
  EXPECT_NE(object->prevProc, nullptr) << "a system control is subclassed";

  // Press and release on the right arrow: the control scrolls its parent.
  SendMessageA(ud, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(35, 10));
  SendMessageA(ud, WM_LBUTTONUP, 0, MAKELPARAM(35, 10));
  bool sawScroll = false;
  for (const std::string& c : calls)
    if (c.rfind("scrolled 7 ", 0) == 0) {
      sawScroll = true;
      EXPECT_EQ(c.back(), '0') << c << ": not handled";
    }
  EXPECT_TRUE(sawScroll);
  calls.clear();
  SendMessageA(p->hWnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), (LPARAM)ud);
  EXPECT_EQ(Last(), "scrolled 7 4 3 0");
  EXPECT_STREQ(object->className(), "koScrollBar");
  EXPECT_EQ(object->hWnd, ud);

  // A real scroll bar object takes the call and moves.
  koScrollBar* bar = new koScrollBar(p, 8);
  ASSERT_TRUE(bar->create());
  bar->setRangeAll(0, 10, 5, 2, SIF_ALL, false);
  calls.clear();
  SendMessageA(p->hWnd, WM_HSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), (LPARAM)bar->hWnd);
  EXPECT_EQ(Last(), "scrolled 8 1 0 1");
  EXPECT_EQ(bar->position, 6);
  p->destroy();  // the child goes with it, and its owned object
  EXPECT_EQ(koWin::GetWin(ud), nullptr);
}

TEST_F(WinDispatch, PrivateAndOwnerDrawRoutes) {
  Probe* p = NewWindow();
  MEASUREITEMSTRUCT mis{};
  mis.CtlType = ODT_LISTBOX;
  mis.CtlID = 55;
  EXPECT_EQ(SendMessageA(p->hWnd, WM_MEASUREITEM, 55, (LPARAM)&mis), 0);
  EXPECT_EQ(mis.itemWidth, 200u);
  EXPECT_EQ(mis.itemHeight, 10u) << "no child object: the fallback size";

  HWND lb = CreateWindowExA(0, "LISTBOX", "", WS_CHILD, 0, 0, 50, 50, p->hWnd, (HMENU)55,
                            GetModuleHandleA(nullptr), nullptr);
  koWin* child = new koWin(lb, true);
  mis.itemHeight = 0;
  SendMessageA(p->hWnd, WM_MEASUREITEM, 55, (LPARAM)&mis);
  EXPECT_EQ(mis.itemHeight, 20u) << "the child's answer";
  COMPAREITEMSTRUCT cis{};
  cis.CtlID = 55;
  EXPECT_EQ(SendMessageA(p->hWnd, WM_COMPAREITEM, 55, (LPARAM)&cis), 0);
  (void)child;
  p->destroy();
}

TEST_F(WinDispatch, HandlerDeletingItsObjectIsSafe) {
  // A subclassed system control: after the handler the window procedure must
  // pass the message on without reading the (poisoned) object.
  Probe* parent = NewWindow();
  HWND button = CreateWindowExA(0, "BUTTON", "b", WS_CHILD, 0, 0, 20, 20, parent->hWnd,
                                (HMENU)9, GetModuleHandleA(nullptr), nullptr);
  WNDPROC original = (WNDPROC)GetWindowLongPtrA(button, GWLP_WNDPROC);
  Probe* object = new Probe();
  object->linkWin(button);
  object->owner = true;
  object->deleteSelfOnOther = true;
  destroyed = 0;
  SendMessageA(button, WM_APP + 1, 0, 0);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ((WNDPROC)GetWindowLongPtrA(button, GWLP_WNDPROC), original);
  EXPECT_EQ(koWin::GetWin(button), nullptr);
  Pump();  // the posted WM_CLOSE closes the button without its object
  EXPECT_FALSE(IsWindow(button));
  parent->destroy();
}

TEST_F(WinOwnership, OwnedObjectsDieWithTheirWindowOnce) {
  Probe* p = NewWindow();
  HWND h = p->hWnd;
  DestroyWindow(h);
  EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(koWin::GetWin(h), nullptr);
  EXPECT_EQ(koWindowsMap, nullptr) << "the registry goes with its last entry";

  // Deleting the object closes its window.
  destroyed = 0;
  p = NewWindow();
  h = p->hWnd;
  delete p;
  EXPECT_EQ(destroyed, 1);
  EXPECT_TRUE(IsWindow(h));
  Pump();
  EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(destroyed, 1);
}

TEST_F(WinOwnership, BorrowedObjectsAreLeftAlone) {
  Probe* p = NewWindow();
  HWND h = p->hWnd;
  {
    koWin borrowed(h, false);
    EXPECT_FALSE(borrowed.linked);
    EXPECT_FALSE(borrowed.owner);
    EXPECT_EQ(borrowed.hWnd, h);
  }
  Pump();
  EXPECT_TRUE(IsWindow(h)) << "a borrowed object does not close the window";
  EXPECT_EQ(destroyed, 0);

  // A window of another object's class: not owned by the probe that links it.
  HWND plain = CreateWindowExA(0, "STATIC", "s", WS_CHILD, 0, 0, 5, 5, h, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
  Probe* guest = new Probe();
  guest->owner = false;
  guest->linkWin(plain);
  DestroyWindow(plain);
  EXPECT_EQ(destroyed, 0);
  EXPECT_FALSE(guest->linked);
  EXPECT_EQ(guest->hWnd, nullptr);
  delete guest;
  EXPECT_EQ(destroyed, 1);
  p->destroy();
  EXPECT_EQ(destroyed, 2);
}

namespace {
int countedGone = 0;
struct Counted : koObject {
  ~Counted() override { countedGone++; }
};
}  // namespace

TEST_F(WinOwnership, PostDeleteTakesOnlyRegisteredObjects) {
  Probe* p = NewWindow();
  countedGone = 0;
  Counted* registered = new Counted;
  koWin::RegisterPostDelete(registered);
  PostMessageA(p->hWnd, KOM_POSTDELETE, 0, (LPARAM)registered);
  PostMessageA(p->hWnd, KOM_POSTDELETE, 0, (LPARAM)registered);
  Pump();
  EXPECT_EQ(countedGone, 1);

  Counted onStack;
  ClearTrace();
  EXPECT_EQ(SendMessageA(p->hWnd, KOM_POSTDELETE, 0, (LPARAM)&onStack), 0);
  EXPECT_EQ(countedGone, 1) << "an address nobody registered is not deleted";
  EXPECT_NE(TraceLog().find("KOM_POSTDELETE 0 "), std::string::npos);

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

TEST_F(WinOps, TextNumbersAndPosition) {
  Probe* p = NewWindow();
  EXPECT_TRUE(p->setInt(-42, "%d"));
  EXPECT_EQ(p->getInt(), -42);
  p->setFloat(2.5f, "%.2f");
  char buf[20];
  p->getText(buf, sizeof buf);
  EXPECT_STREQ(buf, "2.50");
  EXPECT_FLOAT_EQ(p->getFloat(), 2.5f);
  std::string longText(1500, 'x');
  longText += "末";
  p->setText(longText);
  std::string back;
  EXPECT_EQ(p->getText(back), (int)longText.size());
  EXPECT_EQ(back, longText);
  EXPECT_GT(p->textHeight(), 0);

  koPoint pos{30, 40}, size{200, 100};
  EXPECT_TRUE(p->setPos(&pos, &size));
  RECT r;
  GetWindowRect(p->hWnd, &r);
  EXPECT_EQ(r.left, 30);
  EXPECT_EQ(r.right - r.left, 200);
  p->moveCenter();
  GetWindowRect(p->hWnd, &r);
  EXPECT_EQ(r.left, (GetSystemMetrics(SM_CXSCREEN) - 200) / 2);
  EXPECT_EQ(p->showState(), SW_SHOWNORMAL);
  EXPECT_FALSE(p->show(SW_SHOW)) << "it was hidden";
  EXPECT_TRUE(p->hide());
  p->destroy();

  Probe q;
  koPoint at{10, 20}, extent{300, 200};
  q.setPos(&at, &extent);
  EXPECT_EQ(q.rect.left, 10);
  EXPECT_EQ(q.rect.top, 20);
  EXPECT_EQ(q.rect.right, 310);
  EXPECT_EQ(q.rect.bottom, 220);
}

TEST_F(WinOps, AutomaticIdsSystemClassesAndParents) {
  koWin a(nullptr, "X", -999), b(nullptr, "X", -999);
  EXPECT_GE(a.id, 1000);
  EXPECT_EQ(b.id, a.id + 1);
  EXPECT_EQ(a.rect.left, (int)0x80000000);
  EXPECT_EQ(a.style, 0x50000000u);

  Probe* p = NewWindow();
  koWin* bar = new koWin(p, "Scrollbar", 31);
  ASSERT_TRUE(bar->create(nullptr)) << "a system class needs no registration";
  EXPECT_EQ(GetDlgItem(p->hWnd, 31), bar->hWnd);
  EXPECT_EQ(GetParent(bar->hWnd), p->hWnd);
  EXPECT_TRUE(bar->postParent(WM_USER + 9, 0, 0));
  calls.clear();
  Pump();
  EXPECT_EQ(Last(), "user 409");
  koWin orphan(nullptr, "X", 1);
  EXPECT_FALSE(orphan.postParent(WM_USER, 0, 0));
  EXPECT_FALSE(orphan.create(nullptr)) << "a child window needs a parent";
  p->destroy();
}

TEST(Menu, SubmenusAreOwnedByTheObject) {
  koMenu* bar = new koMenu(CreateMenu(), true);
  HMENU h = bar->handle();
  koMenu* first = bar->appendSub("one");
  koMenu* second = bar->appendSub("two");
  ASSERT_NE(first, nullptr);
  EXPECT_EQ(GetMenuItemCount(h), 2);
  EXPECT_EQ(GetSubMenu(h, 0), first->handle()) << "items in call order";
  EXPECT_EQ(bar->submenus.front(), second) << "the list holds the newest first";
  first->appendSub("nested");
  delete bar;
  EXPECT_FALSE(IsMenu(h));

  koPopupMenu popup;
  EXPECT_TRUE(IsMenu(popup.handle()));
  EXPECT_STREQ(popup.className(), "koPopupMenu");
}

TEST(DevContext, OwnedObjectsReleasedAfterTheOriginalIsBack) {
  HDC dc = CreateCompatibleDC(nullptr);
  HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT);
  HFONT a = CreateFontA(12, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HFONT b = CreateFontA(14, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  HFONT c = CreateFontA(16, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  {
    koDevContext ctx(dc, false);
    EXPECT_EQ(ctx.select(WO_FONT, (HGDIOBJ)a, true), original);
    EXPECT_EQ(ctx.select(WO_FONT, (HGDIOBJ)b, false), (HGDIOBJ)a);
    EXPECT_EQ(GetObjectType(a), 0u) << "the replaced owned font is deleted";
    EXPECT_EQ(ctx.select(WO_FONT, (HGDIOBJ)c, true), (HGDIOBJ)b);
    EXPECT_EQ(GetObjectType(b), (DWORD)OBJ_FONT) << "a borrowed font stays";
    ctx.select(WO_FONT, (HGDIOBJ)c, true);  // again: must not delete itself
    EXPECT_EQ(GetObjectType(c), (DWORD)OBJ_FONT);
    koDrawObj* pen = new koDrawObj(CreatePen(PS_SOLID, 1, 0));
    HGDIOBJ penHandle = pen->handle();
    ctx.select(WO_PEN, pen, true);
    EXPECT_EQ(ctx.drawObjects[WO_PEN], pen);
    ctx.restoreSelection(WO_PEN);
    EXPECT_EQ(GetObjectType(penHandle), 0u);
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), original) << "the original font is put back";
  EXPECT_EQ(GetObjectType(c), 0u);
  EXPECT_EQ(GetObjectType(dc), (DWORD)OBJ_MEMDC) << "a borrowed context stays";
  DeleteObject(b);
  {
    koDevContext owned(dc, true);
  }
  EXPECT_EQ(GetObjectType(dc), 0u);
}
