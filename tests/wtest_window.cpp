#include "ko_test.h"
#include <commctrl.h>
#include <stdio.h>
#include "koGdi.h"
#include "koMainWin.h"
#include "koMenu.h"
#include "koModule.h"
#include "koScrollBar.h"
#include "koWin.h"
#include "resource.h"

namespace {
std::vector<std::string> calls;
int destroyed = 0, countedGone = 0;
struct Counted : koObject {
  ~Counted() override { countedGone++; }
};
template <class... A> bool Log(const char* format, A... a) {
  char buf[200]; snprintf(buf, sizeof buf, format, a...);
  return calls.push_back(buf), true;
}
std::string Last() { return calls.empty() ? "" : calls.back(); }
// Records which member each message reached, with the decoded arguments.
// Freed memory is poisoned so that a late read of a deleted object fails.
class Probe : public koWin {
 public:
  bool allowClose = true, deleteSelfOnOther = false;
  Probe() : koWin(nullptr, "koTestProbe", 0) { style = WS_OVERLAPPEDWINDOW; }
  ~Probe() override { destroyed++; }
  static void operator delete(void* p, size_t n) { memset(p, 0xDD, n), ::operator delete(p); }
  const char* className() override { return "Probe"; }
  void onStart() override { Log("onStart"); }
  bool queryClose() override { return Log("queryClose") && allowClose; }
  void onClose() override { Log("onClose"); }
  void onDestroy() override { Log("onDestroy"); }
  bool command(int id, int code) override { return Log("command %d %d", id, code); }
  bool moved(int x, int y) override { return Log("moved %d %d", x, y); }
  bool queryEndSession(int flags) override { return !Log("queryEndSession %x", flags); }
  bool scrolled(int id, int code, int pos) override {
    bool handled = koWin::scrolled(id, code, pos);
    return Log("scrolled %d %d %d %d", id, code, pos, (int)handled) && handled;
  }
  bool mouse(int m, koPoint p, int keys) override { return Log("mouse %x %d %d %d", m, p.x, p.y, keys); }
  bool kbd(koEvent& e) override { return Log("kbd %x %d", e.message, (int)e.wParam); }
  bool user(koEvent& e) override { return Log("user %x", e.message); }
  bool layoutChild() override { return Log("layoutChild"); }
  bool notified(NMHDR* h, LRESULT& result) override { return (result = 77), Log("notified %d", (int)h->code); }
  void menuPopup(koMenu& m, int index) override { Log("menuPopup %d", index), m.appendSub("sub"); }
  void sysmenuPopup(koMenu&) override { Log("sysmenuPopup"); }
  void menuInit(koMenu&) override { Log("menuInit"); }
  void menuSelect(koMenu&, unsigned item, unsigned flags) override { Log("menuSelect %u %x", item, flags); }
  bool other(koEvent& e) override {
    if (Log("other %x", e.message) && deleteSelfOnOther) delete this;
    return false;
  }
};
struct Win : testing::Test {
  void SetUp() override { calls.clear(), destroyed = 0; }
};
Probe* NewWindow() {
  Probe* p = new Probe(); EXPECT_TRUE(p->create(nullptr));
  return p;
}
HWND Child(HWND parent, const char* cls, int id, DWORD style = WS_CHILD) {
  return CreateWindowExA(0, cls, "", style, 0, 0, 40, 20, parent, (HMENU)(INT_PTR)id, nullptr, nullptr);
}
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
TEST_F(Win, MessagesReachTheirMembers) {
  Probe* p = NewWindow(); HWND h = p->hWnd; EXPECT_EQ(koWin::GetWin(h), p); EXPECT_EQ(Last(), "onStart");
  HMENU menu = CreatePopupMenu(); AppendMenuA(menu, MF_STRING, 100, "item"); NMHDR nm{h, 9, 123};
  const struct { UINT m; WPARAM w; LPARAM l; const char* expect; LRESULT result; } cases[] = {
      {WM_MOVE, 0, MAKELPARAM(10, 20), "moved 10 20", 0},
      {WM_QUERYENDSESSION, 0, (LPARAM)ENDSESSION_LOGOFF, "queryEndSession 80000000", 0},  // the answer
      {WM_COMMAND, MAKEWPARAM(CMD_CLOSE, 0), (LPARAM)h, "command 512 0", 0},
      {KOM_COMMAND, CMD_CLOSE, 0, "command 512 0", 0},
      {WM_VSCROLL, MAKEWPARAM(SB_LINEDOWN, 0), 0, "scrolled 1 1 0 0", 0},
      {WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 33), 0, "scrolled 0 5 33 0", 0},
      {WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(-5, 300), "mouse 201 -5 300 1", 0},
      {WM_MOUSEMOVE, 0, MAKELPARAM(7, -2), "mouse 200 7 -2 0", 0},
      {WM_KEYDOWN, VK_RETURN, 0, "kbd 100 13", 0},
      {WM_CHAR, 'a', 0, "kbd 102 97", 0},
      {WM_USER + 5, 0, 0, "user 405", 0},
      {0x7FFF, 0, 0, "user 7fff", 0},
      {KOM_LAYOUT, 0, 0, "layoutChild", 0},
      {WM_NOTIFY, 9, (LPARAM)&nm, "notified 123", 77},
      {WM_NULL, 0, 0, "other 0", 0},
      {WM_APP, 0, 0, "other 8000", 0},
      {WM_INITMENUPOPUP, (WPARAM)menu, MAKELPARAM(3, 0), "menuPopup 3", 0},
      {WM_INITMENUPOPUP, (WPARAM)menu, MAKELPARAM(0, 1), "sysmenuPopup", 0},
      {WM_INITMENU, (WPARAM)menu, 0, "menuInit", 0},
      {WM_MENUSELECT, MAKEWPARAM(100, MF_HILITE), (LPARAM)menu, "menuSelect 100 80", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expect); calls.clear(); LRESULT r = SendMessageA(h, c.m, c.w, c.l);
    EXPECT_EQ(Last(), c.expect);
    EXPECT_EQ(c.m == WM_NOTIFY || c.m == WM_QUERYENDSESSION ? r : c.result, c.result);
  }
  // The menu objects were temporary: appendSub reached the real menu, which lives on.
  EXPECT_EQ(GetMenuItemCount(menu), 2); EXPECT_TRUE(DestroyMenu(menu)); p->allowClose = false;
  EXPECT_EQ(SendMessageA(h, WM_CLOSE, 0, 0), 0); EXPECT_TRUE(IsWindow(h)) << "closing refused";
  p->allowClose = true; calls.clear(); SendMessageA(h, WM_CLOSE, 0, 0); EXPECT_FALSE(IsWindow(h));
  EXPECT_EQ(calls, (std::vector<std::string>{"queryClose", "onClose", "onDestroy"})); EXPECT_EQ(destroyed, 1);
}
TEST_F(Win, ScrollsReachOnlyRealScrollBarsOwnerDrawTheChild) {
  Probe* p = NewWindow(); HWND ud = Child(p->hWnd, UPDOWN_CLASSA, 7, WS_CHILD | WS_VISIBLE | UDS_HORZ);
  SendMessageA(ud, UDM_SETRANGE32, 0, 100);
  struct FakeBar : koWin {  // only calls itself a scroll bar
    using koWin::koWin;
    const char* className() override { return "koScrollBar"; }
  };
  new FakeBar(ud, true);
  // Press and release on the right arrow: the control scrolls its parent.
  SendMessageA(ud, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(35, 10));
  SendMessageA(ud, WM_LBUTTONUP, 0, MAKELPARAM(35, 10)); std::string scrolls;
  for (const std::string& c : calls)
    if (c.rfind("scrolled 7 ", 0) == 0) scrolls += c.back();
  EXPECT_NE(scrolls, ""); EXPECT_EQ(scrolls.find('1'), std::string::npos) << "taken as handled";
  koScrollBar* bar = new koScrollBar(p, 8); ASSERT_TRUE(bar->create());
  bar->setRangeAll(0, 10, 5, 2, SIF_ALL, false);
  const struct { HWND from; WPARAM w; const char* expect; int position; } cases[] = {
      {ud, MAKEWPARAM(SB_THUMBPOSITION, 3), "scrolled 7 4 3 0", 5}, {bar->hWnd, SB_LINEDOWN, "scrolled 8 1 0 1", 6}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expect); SendMessageA(p->hWnd, WM_HSCROLL, c.w, (LPARAM)c.from);
    EXPECT_EQ(Last(), c.expect); EXPECT_EQ(GetScrollPos(bar->hWnd, SB_CTL), c.position);
  }
  MEASUREITEMSTRUCT mis{ODT_LISTBOX, 55, 0, 0, 0, 0};
  COMPAREITEMSTRUCT cis{ODT_LISTBOX, 55, nullptr, 0, 0, 0, 0, 0};
  for (UINT height : {10u, 20u}) {  // the fallback without a child object, then the child's answer
    SCOPED_TRACE(height);
    if (height == 20) new koWin(Child(p->hWnd, "LISTBOX", 55), true);
    EXPECT_EQ(SendMessageA(p->hWnd, WM_MEASUREITEM, 55, (LPARAM)&mis), 0); EXPECT_EQ(mis.itemHeight, height);
    EXPECT_EQ(SendMessageA(p->hWnd, WM_COMPAREITEM, 55, (LPARAM)&cis), 0);
  }
  p->destroy();  // the children go with it, and their owned objects
  EXPECT_EQ(koWin::GetWin(ud), nullptr);
}
TEST_F(Win, HandlerDeletingItsObjectIsSafe) {
  // A subclassed system control: after the handler the window procedure must
  // pass the message on without reading the (poisoned) object.
  Probe* parent = NewWindow(); HWND button = Child(parent->hWnd, "BUTTON", 9);
  WNDPROC original = (WNDPROC)GetWindowLongPtrA(button, GWLP_WNDPROC); Probe* object = new Probe();
  object->linkWin(button); object->owner = object->deleteSelfOnOther = true;
  SendMessageA(button, WM_APP + 1, 0, 0); EXPECT_EQ(destroyed, 1);
  EXPECT_EQ((WNDPROC)GetWindowLongPtrA(button, GWLP_WNDPROC), original);
  EXPECT_EQ(koWin::GetWin(button), nullptr);
  Pump();  // the posted WM_CLOSE closes the button without its object
  EXPECT_FALSE(IsWindow(button)); parent->destroy();
}
TEST_F(Win, OwnedObjectsDieWithTheirWindowOnceBorrowedOnesStay) {
  Probe* p = NewWindow(); HWND h = p->hWnd; DestroyWindow(h); EXPECT_EQ(destroyed, 1);
  EXPECT_EQ(koWin::GetWin(h), nullptr);
  p = NewWindow();  // deleting the object closes its window, later
  h = p->hWnd; delete p; EXPECT_TRUE(IsWindow(h)); Pump(); EXPECT_FALSE(IsWindow(h)); EXPECT_EQ(destroyed, 2);
  p = NewWindow(); h = p->hWnd;
  { koWin borrowed(h, false); }
  Pump(); EXPECT_TRUE(IsWindow(h)) << "a borrowed object does not close the window";
  // A window not owned by the probe that links it: its end leaves the probe.
  HWND plain = Child(h, "STATIC", 0); Probe* guest = new Probe(); guest->owner = false; guest->linkWin(plain);
  DestroyWindow(plain); EXPECT_EQ(destroyed, 2);
  EXPECT_EQ(guest->hWnd, nullptr) << "no handle kept of a gone window"; delete guest; p->destroy();
  EXPECT_EQ(destroyed, 4);
}
TEST_F(Win, PostDeleteTakesOnlyRegisteredObjects) {
  Probe* p = NewWindow(); Counted* registered = new Counted; koWin::RegisterPostDelete(registered);
  for (int i = 0; i < 2; i++) PostMessageA(p->hWnd, KOM_POSTDELETE, 0, (LPARAM)registered);
  Pump(); EXPECT_EQ(countedGone, 1); Counted onStack;
  EXPECT_EQ(SendMessageA(p->hWnd, KOM_POSTDELETE, 0, (LPARAM)&onStack), 0);
  EXPECT_EQ(countedGone, 1) << "an address nobody registered is not deleted";
  // An object deleted by other means is forgotten.
  Probe* dialog = new Probe(); koWin::RegisterPostDelete(dialog);
  EXPECT_TRUE(koWin::IsPostDeletePending(dialog)); LPARAM stale = (LPARAM)(koObject*)dialog; delete dialog;
  EXPECT_FALSE(koWin::IsPostDeletePending((koObject*)stale)); SendMessageA(p->hWnd, KOM_POSTDELETE, 0, stale);
  p->destroy();
}
TEST_F(Win, TextNumbersPositionIdsAndParents) {
  Probe* p = NewWindow(); const std::string longText = std::string(1500, 'x') + "末";
  const struct { int number; const char* format; std::string text; double back; } texts[] = {
      {1, "%d", "-42", -42}, {1, "%05d", "-0042", -42}, {0, "%.2f", "2.50", 2.5}, {0, nullptr, "2.5", 2.5},
      {-1, nullptr, longText, 0}};
  for (const auto& t : texts) {
    SCOPED_TRACE(t.text.size());
    EXPECT_TRUE(t.number > 0 ? p->setInt(-42, t.format) : t.number ? p->setText(t.text) : p->setFloat(2.5f, t.format));
    std::string back; EXPECT_EQ(p->getText(back), (int)t.text.size()); EXPECT_EQ(back, t.text);
    EXPECT_EQ(t.number > 0 ? (double)p->getInt() : t.number ? 0 : (double)p->getFloat(), t.back);
  }
  koPoint pos{30, 40}, size{200, 100}; EXPECT_TRUE(p->setPos(&pos, &size)); p->moveCenter(); RECT r;
  GetWindowRect(p->hWnd, &r);
  EXPECT_EQ(std::vector<long>({r.left, r.right - r.left}), std::vector<long>({(GetSystemMetrics(SM_CXSCREEN) - 200) / 2, 200}));
  koWin a(nullptr, "X", -999), b(nullptr, "X", -999), orphan(nullptr, "X", 1);
  EXPECT_GE(a.id, 1000) << "automatic ids stay clear of the templates'"; EXPECT_NE(b.id, a.id);
  koWin* bar = new koWin(p, "Scrollbar", 31);
  ASSERT_TRUE(bar->create(nullptr)) << "a system class needs no registration";
  EXPECT_EQ(GetDlgItem(p->hWnd, 31), bar->hWnd); EXPECT_TRUE(bar->postParent(WM_USER + 9, 0, 0)); Pump();
  EXPECT_EQ(Last(), "user 409"); EXPECT_FALSE(orphan.postParent(WM_USER, 0, 0));
  EXPECT_FALSE(orphan.create(nullptr)) << "a child window needs a parent"; p->destroy();
}
TEST(Menu, SubmenusInOrderGoWithTheirOwner) {
  koMenu* bar = new koMenu(CreateMenu(), true); HMENU h = bar->handle();
  koMenu* first = bar->appendSub("one");
  EXPECT_EQ(GetSubMenu(h, 0), (bar->appendSub("two"), first->handle())) << "items in call order";
  HMENU nested = first->appendSub("nested")->handle(); delete bar; EXPECT_FALSE(IsMenu(h) || IsMenu(nested));
}
TEST(DevContext, OwnedObjectsReleasedAfterTheOriginalIsBack) {
  HDC dc = CreateCompatibleDC(nullptr); HGDIOBJ original = GetCurrentObject(dc, OBJ_FONT); HFONT f[3];
  for (int i = 0; i < 3; i++) f[i] = CreateFontA(12 + i, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, "Arial");
  {
    koDevContext ctx(dc, false); EXPECT_EQ(ctx.select(WO_FONT, (HGDIOBJ)f[0], true), original);
    EXPECT_EQ(ctx.select(WO_FONT, (HGDIOBJ)f[1], false), (HGDIOBJ)f[0]);
    EXPECT_EQ(GetObjectType(f[0]), 0u) << "the replaced owned font is deleted";
    ctx.select(WO_FONT, (HGDIOBJ)f[2], true);
    EXPECT_EQ(GetObjectType(f[1]), (DWORD)OBJ_FONT) << "a borrowed font stays";
    ctx.select(WO_FONT, (HGDIOBJ)f[2], true);  // again: must not delete itself
    EXPECT_EQ(GetObjectType(f[2]), (DWORD)OBJ_FONT); HPEN pen = CreatePen(PS_SOLID, 1, 0);
    ctx.select(WO_PEN, new koDrawObj(pen), true); ctx.restoreSelection(WO_PEN);
    EXPECT_EQ(GetObjectType(pen), 0u);
  }
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), original) << "the original font is put back";
  EXPECT_EQ(GetObjectType(f[2]), 0u);
  EXPECT_EQ(GetObjectType(dc), (DWORD)OBJ_MEMDC) << "a borrowed context stays"; DeleteObject(f[1]);
  { koDevContext owned(dc, true); }
  EXPECT_EQ(GetObjectType(dc), 0u);
}
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
