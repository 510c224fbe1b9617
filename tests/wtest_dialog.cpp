#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <stdlib.h>
#include <string.h>
#include <functional>
#include <string>
#include <vector>
#include "koControl.h"
#include "koDlg1.h"
#include "koListBox.h"
#include "koMainWin.h"
#include "koModule.h"
#include "koScrollBar.h"
#include "koUpDown.h"
#include "ko_test.h"

namespace {
koModule module;

// Steps run one per tick from a thread timer, which keeps firing inside the
// modal loops; a step returns true when it is done.
std::vector<std::function<bool()>> steps;
size_t stepIndex = 0;
int ticks = 0;

HWND found;
BOOL CALLBACK FindProc(HWND window, LPARAM wantBox) {
  char cls[32] = "";
  GetClassNameA(window, cls, sizeof cls);
  if (strcmp(cls, "#32770") != 0 || !IsWindowVisible(window)) return TRUE;
  // Message boxes carry the module's title; test dialogs have their own.
  char title[64] = "";
  GetWindowTextA(window, title, sizeof title);
  bool isBox = strcmp(title, "wtest_dialog") == 0;
  if (isBox != (wantBox != 0)) return TRUE;
  found = window;
  return FALSE;
}

HWND FindDialog(bool messageBox = false) {
  found = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindProc, messageBox);
  return found;
}

void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
  if (++ticks > 200) {
    // A script that is stuck: end whatever is open so the test fails, not hangs.
    ADD_FAILURE() << "script stuck at step " << stepIndex;
    stepIndex = steps.size();
    if (HWND box = FindDialog(true)) EndDialog(box, IDNO);
    if (HWND d = FindDialog()) EndDialog(d, 99);
    return;
  }
  if (stepIndex < steps.size() && steps[stepIndex]()) stepIndex++;
}

struct Script {
  UINT_PTR timer;
  explicit Script(std::vector<std::function<bool()>> s) {
    steps = std::move(s);
    stepIndex = 0;
    ticks = 0;
    timer = SetTimer(nullptr, 0, 40, Tick);
  }
  ~Script() {
    KillTimer(nullptr, timer);
    EXPECT_EQ(stepIndex, steps.size()) << "steps left over";
  }
};

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

std::string Text(HWND window) {
  char buffer[300] = "";
  GetWindowTextA(window, buffer, sizeof buffer);
  return buffer;
}

// Resource bytes of a test template, as a copy to rewrite.
std::vector<unsigned char> TemplateBytes(const char* name) {
  HRSRC info = FindResourceA(nullptr, name, RT_DIALOG);
  if (!info) return {};
  const unsigned char* p = (const unsigned char*)LockResource(LoadResource(nullptr, info));
  return std::vector<unsigned char>(p, p + SizeofResource(nullptr, info));
}

// The point size sits right before the face name.
int PointSizeBeforeFace(const std::vector<unsigned char>& t) {
  const wchar_t face[] = L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF";  // ＭＳ Ｐゴシック
  for (size_t at = 20; at + sizeof face <= t.size(); at += 2)
    if (memcmp(&t[at], face, sizeof face - 2) == 0) return t[at - 2] | t[at - 1] << 8;
  return -1;
}

// A template built by hand: style, rectangle, menu and class units, title.
std::vector<unsigned char> Handmade(DWORD style, std::vector<WORD> menuAndClass,
                                    std::vector<WORD> tail, short x = 10, short y = 20,
                                    short cx = 180, short cy = 90) {
  std::vector<unsigned char> t(18, 0);
  memcpy(&t[0], &style, 4);
  short rect[4] = {x, y, cx, cy};
  memcpy(&t[10], rect, 8);
  for (WORD w : menuAndClass) t.insert(t.end(), (unsigned char*)&w, (unsigned char*)&w + 2);
  for (WORD w : tail) t.insert(t.end(), (unsigned char*)&w, (unsigned char*)&w + 2);
  return t;
}

short ShortAt(const std::vector<unsigned char>& t, size_t at) {
  short s;
  memcpy(&s, &t[at], 2);
  return s;
}

using Frame = HiddenFrame;

class DialogTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    pModule = &module;
    module.title = "wtest_dialog";
    frame = new Frame;
    ASSERT_TRUE(frame->create("frame"));
  }
  static void TearDownTestSuite() {
    DestroyWindow(frame->hWnd);
    pModule = nullptr;
  }
  void SetUp() override { koDialog::FontSize(9); }
  static Frame* frame;
};
Frame* DialogTest::frame = nullptr;

// A dialog that says when it is freed.
int deletedDialogs = 0;
class Probe : public koDialogModal {
 public:
  int okAsked = 0;
  bool refuseOk = false;
  Probe(koWin* parent, const char* name, koCtrlMap* map = nullptr)
      : koDialogModal(parent, "koDialog", -999, name, map) {}
  ~Probe() override { deletedDialogs++; }
  bool queryOk() override {
    okAsked++;
    return !refuseOk;
  }
};

koControl* MakeEdit(koDialog* d, int id) { return new koEdit(d, id); }
koControl* MakeCheck(koDialog* d, int id) { return new koCheckBox(d, id); }
koControl* MakeList(koDialog* d, int id) { return new koListBox(d, id); }
koControl* MakeUpDown(koDialog* d, int id) { return new koUpDown(d, id); }
koControl* MakeBar(koDialog* d, int id) { return new koScrollBar(d, id); }

char* fruits[] = {(char*)"りんご", (char*)"みかん", (char*)"ぶどう", nullptr};

struct Values {
  char name[20] = "初期値";
  int check = 1;
  int sel = 1;
  int size = 12;
  int sizeRange[2] = {5, 50};
  int bar = 30;
  int barRange[3] = {0, 250, 7};
  std::vector<koCtrlMap> map() {
    return {{MakeEdit, name, 140, (int)sizeof name, nullptr},
            {MakeCheck, &check, 160, 4, nullptr},
            {MakeList, &sel, 260, 0, fruits},
            {MakeUpDown, &size, 340, 0, sizeRange},
            {MakeBar, &bar, 400, 0, barRange},
            {nullptr, nullptr, 0, 0, nullptr}};
  }
};
}  // namespace

TEST(ChangeFont, WritesTheSizeOnlyWhereTheTemplateHasOne) {
  std::vector<unsigned char> zero = TemplateBytes("TESTDIALOG");
  ASSERT_FALSE(zero.empty());
  ASSERT_EQ(PointSizeBeforeFace(zero), 0);
  EXPECT_TRUE(koDialog::ChangeFont((DLGTEMPLATE*)zero.data(), 12, nullptr, false));
  EXPECT_EQ(PointSizeBeforeFace(zero), 12);
  EXPECT_EQ(koDialog::nitem, 11);

  std::vector<unsigned char> nine = TemplateBytes("FONT9");
  EXPECT_FALSE(koDialog::ChangeFont((DLGTEMPLATE*)nine.data(), 12, nullptr, false));
  EXPECT_EQ(PointSizeBeforeFace(nine), 9);
  EXPECT_TRUE(koDialog::ChangeFont((DLGTEMPLATE*)nine.data(), 12, nullptr, true));
  EXPECT_EQ(PointSizeBeforeFace(nine), 12);

  // Without DS_SETFONT nothing after the title belongs to the header.
  for (const char* name : {"NOFONT", "ABOUTBOX"}) {
    std::vector<unsigned char> t = TemplateBytes(name), before = t;
    ASSERT_FALSE(t.empty()) << name;
    EXPECT_FALSE(koDialog::ChangeFont((DLGTEMPLATE*)t.data(), 12, nullptr, true)) << name;
    EXPECT_EQ(t, before) << name;
  }
  // DS_FIXEDSYS alone: the units after the title are the first item.
  std::vector<unsigned char> fixed = Handmade(DS_FIXEDSYS, {0, 0}, {'A', 0, 0, 0x1234}),
                             fixedBefore = fixed;
  EXPECT_FALSE(koDialog::ChangeFont((DLGTEMPLATE*)fixed.data(), 12, nullptr, true));
  EXPECT_EQ(fixed, fixedBefore);
}

TEST(ChangeFont, RefusesWhatItCannotWalk) {
  // Menu or class by name.
  std::vector<unsigned char> menu = Handmade(DS_SETFONT, {'M', 0, 0}, {0, 0, 'A', 0}),
                             menuBefore = menu;
  EXPECT_FALSE(koDialog::ChangeFont((DLGTEMPLATE*)menu.data(), 12, nullptr, true));
  EXPECT_EQ(menu, menuBefore);
  std::vector<unsigned char> cls = Handmade(DS_SETFONT, {0xFFFF, 7, 'C', 0}, {0, 0, 'A', 0});
  EXPECT_FALSE(koDialog::ChangeFont((DLGTEMPLATE*)cls.data(), 12, nullptr, true));
  // Ordinal menu and class are skipped.
  std::vector<unsigned char> ordinals = Handmade(DS_SETFONT, {0xFFFF, 3, 0xFFFF, 4}, {'T', 0, 0, 'A', 0});
  EXPECT_TRUE(koDialog::ChangeFont((DLGTEMPLATE*)ordinals.data(), 11, nullptr, false));
  EXPECT_EQ(ShortAt(ordinals, 30), 11);
  // A title that runs to the end of the given length is not walked past.
  std::vector<unsigned char> cut = Handmade(DS_SETFONT, {0, 0}, {'T', 'T', 'T'}), cutBefore = cut;
  EXPECT_FALSE(koDialog::ChangeFont((DLGTEMPLATE*)cut.data(), 12, nullptr, true, (int)cut.size()));
  EXPECT_EQ(cut, cutBefore);
}

TEST(ChangeFont, ScalesAndRestoresTheRectangle) {
  std::vector<unsigned char> t = Handmade(DS_SETFONT, {0, 0}, {0, 0, 'A', 0});
  int r[4] = {0, 0, 0, 0};
  EXPECT_TRUE(koDialog::ChangeFont((DLGTEMPLATE*)t.data(), 12, r, false));
  EXPECT_EQ((std::vector<int>{r[0], r[1], r[2], r[3]}), (std::vector<int>{10, 20, 180, 90}));
  EXPECT_EQ((std::vector<int>{ShortAt(t, 10), ShortAt(t, 12), ShortAt(t, 14), ShortAt(t, 16)}),
            (std::vector<int>{13, 26, 240, 120}));
  EXPECT_EQ(ShortAt(t, 24), 12);
  EXPECT_TRUE(koDialog::ChangeFont((DLGTEMPLATE*)t.data(), 9, r, true));
  EXPECT_EQ((std::vector<int>{ShortAt(t, 10), ShortAt(t, 12), ShortAt(t, 14), ShortAt(t, 16)}),
            (std::vector<int>{10, 20, 180, 90}));
  EXPECT_EQ(ShortAt(t, 24), 9);
}

TEST_F(DialogTest, OkHandsTheControlsValuesBack) {
  Values v;
  std::vector<koCtrlMap> map = v.map();
  koDialog::FontSize(11);
  Probe* d = new Probe(frame, "TESTDIALOG", map.data());
  int before = deletedDialogs;
  {
    Script s({[&] {
                HWND w = FindDialog();
                if (!w) return false;
                EXPECT_EQ(koWin::GetWin(w), d);
                EXPECT_EQ(Text(w), "テスト用ダイアログ");
                EXPECT_EQ(Text(GetDlgItem(w, 140)), "初期値");
                EXPECT_EQ(SendDlgItemMessageA(w, 160, BM_GETCHECK, 0, 0), BST_CHECKED);
                EXPECT_EQ(SendDlgItemMessageA(w, 260, LB_GETCURSEL, 0, 0), 1);
                EXPECT_EQ(Text(GetDlgItem(w, 341)), "12");
                EXPECT_EQ(Text(GetDlgItem(w, 401)), "30");
                EXPECT_FALSE(d->isModified());
                // The user's changes.
                SetDlgItemTextA(w, 140, "新しい名前");
                SendDlgItemMessageA(w, 140, EM_SETMODIFY, TRUE, 0);
                SendDlgItemMessageA(w, 160, BM_SETCHECK, BST_UNCHECKED, 0);
                SendDlgItemMessageA(w, 260, LB_SETCURSEL, 2, 0);
                SendDlgItemMessageA(w, 340, UDM_SETPOS32, 0, 20);
                SendMessageA(w, WM_HSCROLL, SB_PAGEDOWN, (LPARAM)GetDlgItem(w, 400));
                EXPECT_EQ(Text(GetDlgItem(w, 401)), "37");
                EXPECT_TRUE(d->isModified());
                Click(w, IDOK);
                return true;
              }});
    EXPECT_EQ(d->run(), IDOK);
  }
  // The object outlives its window for the caller.
  EXPECT_EQ(deletedDialogs, before);
  EXPECT_EQ(d->result, IDOK);
  EXPECT_EQ(d->okAsked, 1);
  EXPECT_EQ(d->hWnd, nullptr);
  EXPECT_STREQ(v.name, "新しい名前");
  EXPECT_EQ(v.check, 0);
  EXPECT_EQ(v.sel, 2);
  EXPECT_EQ(v.size, 20);
  EXPECT_EQ(v.bar, 37);
  EXPECT_EQ(koDialog::NewDialog, nullptr);
  EXPECT_TRUE(koWin::IsPostDeletePending(d));
  Pump();
  EXPECT_EQ(deletedDialogs, before + 1);
}

TEST_F(DialogTest, CancelLeavesTheVariablesAndAsksWhenModified) {
  Values v;
  std::vector<koCtrlMap> map = v.map();
  // Unchanged: closes at once.
  Probe* quiet = new Probe(frame, "TESTDIALOG", map.data());
  {
    Script s({[&] {
      HWND w = FindDialog();
      if (!w) return false;
      Click(w, IDCANCEL);
      return true;
    }});
    EXPECT_EQ(quiet->run(), IDCANCEL);
  }
  EXPECT_EQ(quiet->okAsked, 0);

  // Changed: No keeps it open, Yes closes it; the variable stays.
  Probe* d = new Probe(frame, "TESTDIALOG", map.data());
  int questions = 0;
  HWND dialog = nullptr;
  auto answer = [&](int button) {
    return [&, button] {
      HWND box = FindDialog(true);
      if (!box) return false;
      questions++;
      EXPECT_EQ(Text(GetDlgItem(box, 0xFFFF)), "変更を保存せずに終了してよろしいですか？");
      EXPECT_EQ(Text(box), "wtest_dialog");
      Click(box, button);
      return true;
    };
  };
  {
    Script s({[&] {
                dialog = FindDialog();
                if (!dialog) return false;
                SendDlgItemMessageA(dialog, 160, BM_SETCHECK, BST_UNCHECKED, 0);
                Click(dialog, IDCANCEL);
                return true;
              },
              answer(IDNO),
              [&] {
                if (FindDialog(true)) return false;
                EXPECT_TRUE(IsWindow(dialog));
                EXPECT_EQ(d->result, IDCANCEL);
                // The close box: one question, even though WM_CLOSE passes
                // through the window and the dialog manager.
                PostMessageA(dialog, WM_CLOSE, 0, 0);
                return true;
              },
              answer(IDYES)});
    EXPECT_EQ(d->run(), IDCANCEL);
  }
  EXPECT_EQ(questions, 2);
  EXPECT_EQ(v.check, 1);
  Pump();
}

TEST_F(DialogTest, RefusedOkKeepsTheDialogOpen) {
  Probe* d = new Probe(frame, "TESTDIALOG");
  d->refuseOk = true;
  HWND dialog = nullptr;
  {
    Script s({[&] {
                dialog = FindDialog();
                if (!dialog) return false;
                Click(dialog, IDOK);
                return true;
              },
              [&] {
                if (d->okAsked == 0) return false;
                EXPECT_TRUE(IsWindowVisible(dialog));
                EXPECT_EQ(d->result, IDCANCEL);
                Click(dialog, IDCANCEL);
                return true;
              }});
    EXPECT_EQ(d->run(), IDCANCEL);
  }
  Pump();
}

TEST_F(DialogTest, ClickingTheUpDownArrowsIsHarmless) {
  Values v;
  std::vector<koCtrlMap> map = v.map();
  Probe* d = new Probe(frame, "TESTDIALOG", map.data());
  HWND arrows = nullptr;
  {
    Script s({[&] {
                HWND w = FindDialog();
                if (!w) return false;
                arrows = GetDlgItem(w, 340);
                RECT r;
                GetClientRect(arrows, &r);
                LPARAM up = MAKELPARAM(r.right / 2, 2);
                PostMessageA(arrows, WM_LBUTTONDOWN, MK_LBUTTON, up);
                PostMessageA(arrows, WM_LBUTTONUP, 0, up);
                return true;
              },
              [&] {
                HWND w = FindDialog();
                EXPECT_EQ(Text(GetDlgItem(w, 341)), "13");
                // A template up-down has no buddy of its own: its partner
                // edit follows it.
                koUpDown* spin = dynamic_cast<koUpDown*>(d->control(340));
                EXPECT_NE(spin, nullptr);
                if (spin) {
                  EXPECT_EQ(spin->buddy, nullptr);
                  spin->hide();
                  EXPECT_FALSE(IsWindowVisible(arrows));
                  EXPECT_FALSE(IsWindowVisible(GetDlgItem(w, 341)));
                  spin->show(SW_SHOW);
                  EXPECT_TRUE(IsWindowVisible(arrows));
                  EXPECT_TRUE(IsWindowVisible(GetDlgItem(w, 341)));
                  EXPECT_EQ(spin->getSel(), 13);
                }
                Click(w, IDOK);
                return true;
              }});
    EXPECT_EQ(d->run(), IDOK);
  }
  EXPECT_EQ(v.size, 13);
  Pump();
}

TEST_F(DialogTest, DialogsThatCannotOpenAreFreedAndForgotten) {
  int before = deletedDialogs;
  ClearTrace();
  Probe* missing = new Probe(frame, "NOSUCHTEMPLATE");
  EXPECT_EQ(missing->run(), -1);
  EXPECT_EQ(missing->errorCode, -1);
  EXPECT_EQ(koDialog::resultx, -1);
  EXPECT_NE(TraceLog().find("NOSUCHTEMPLATE"), std::string::npos);
  EXPECT_EQ(FindDialog(), nullptr);

  // Failing inside the dialog manager, before WM_INITDIALOG.
  Probe* bad = new Probe(frame, "BADCLASS");
  EXPECT_EQ(bad->run(), -1);
  EXPECT_EQ(koDialog::NewDialog, nullptr);
  EXPECT_EQ(bad->errorCode, -1);
  Pump();
  EXPECT_EQ(deletedDialogs, before + 2);

  // A dialog of koDlgProc that no object waits for stays a plain dialog.
  std::vector<unsigned char> t = TemplateBytes("FONT9");
  {
    Script s({[&] {
      HWND w = FindDialog();
      if (!w) return false;
      EXPECT_EQ(koWin::GetWin(w), nullptr);
      EndDialog(w, 7);
      return true;
    }});
    EXPECT_EQ(DialogBoxIndirectParamA(GetModuleHandleA(nullptr), (DLGTEMPLATE*)t.data(), nullptr,
                                      koDlgProc, 0),
              7);
  }
}

TEST_F(DialogTest, FrameOpensTheAboutBox) {
  {
    Script s({[&] {
      HWND w = FindDialog();
      if (!w) return false;
      EXPECT_EQ(Text(w), "バージョン情報");
      Click(w, IDOK);
      return true;
    }});
    EXPECT_TRUE(frame->command(550, 0));
  }
  Pump();
}

TEST_F(DialogTest, DialogForScreenshot) {
  // Kept open for a screenshot when KO_SHOT_SECONDS is set.
  const char* wait = getenv("KO_SHOT_SECONDS");
  if (!wait) GTEST_SKIP() << "KO_SHOT_SECONDS not set";
  Values v;
  std::vector<koCtrlMap> map = v.map();
  Probe* d = new Probe(frame, "TESTDIALOG", map.data());
  DWORD until = GetTickCount() + (DWORD)(atoi(wait) * 1000);
  {
    Script s({[&] {
      if (GetTickCount() < until) {
        ticks = 0;
        return false;
      }
      Click(FindDialog(), IDCANCEL);
      return true;
    }});
    d->run();
  }
  Pump();
}
