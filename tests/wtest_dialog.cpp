// The dialog framework under Wine: the font size written into templates,
// controls filled from and read back into variables, OK and Cancel with
// their questions, and dialogs that cannot open.
#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string.h>
#include <string>
#include <vector>
#include "koControl.h"
#include "koDlg1.h"
#include "koListBox.h"
#include "koModule.h"
#include "koScrollBar.h"
#include "koUpDown.h"
#include "ko_script.h"
#include "ko_test.h"
#include "resource.h"

// The test template's own controls (wtest_dialog.rc).
#define IDC_TEST_BAR 400
#define IDC_TEST_BAR_VALUE 401

namespace {
koModule module;
using Bytes = std::vector<unsigned char>;

// Resource bytes of a test template, as a copy to rewrite.
Bytes TemplateBytes(const char* name) {
  HRSRC info = FindResourceA(nullptr, name, RT_DIALOG);
  if (!info) return {};
  const unsigned char* p = (const unsigned char*)LockResource(LoadResource(nullptr, info));
  return Bytes(p, p + SizeofResource(nullptr, info));
}

// The point size sits right before the face name.
int PointSizeBeforeFace(const Bytes& t) {
  const wchar_t face[] = L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF";  // ＭＳ Ｐゴシック
  for (size_t at = 20; at + sizeof face <= t.size(); at += 2)
    if (memcmp(&t[at], face, sizeof face - 2) == 0) return t[at - 2] | t[at - 1] << 8;
  return -1;
}

// A template built by hand: style, rectangle, menu and class units, title.
Bytes Handmade(DWORD style, std::vector<WORD> units) {
  Bytes t(18, 0);
  memcpy(&t[0], &style, 4);
  short rect[4] = {10, 20, 180, 90};
  memcpy(&t[10], rect, 8);
  for (WORD w : units) t.insert(t.end(), (unsigned char*)&w, (unsigned char*)&w + 2);
  return t;
}

short ShortAt(const Bytes& t, size_t at) {
  short s;
  memcpy(&s, &t[at], 2);
  return s;
}

class DialogTest : public testing::Test {
 protected:
  static void SetUpTestSuite() {
    pModule = &module;
    module.title = "wtest_dialog";
    frame = new HiddenFrame;
    ASSERT_TRUE(frame->create("frame"));
  }
  static void TearDownTestSuite() {
    DestroyWindow(frame->hWnd);
    pModule = nullptr;
  }
  void SetUp() override { koDialog::FontSize(9); }
  void TearDown() override { Pump(); }  // frees the dialogs
  static HiddenFrame* frame;
  Script s;
  HWND w = nullptr;
};
HiddenFrame* DialogTest::frame = nullptr;

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
  int check = 1, sel = 1, size = 12, bar = 30;
  int sizeRange[2] = {5, 50};
  int barRange[3] = {0, 250, 7};
  std::vector<koCtrlMap> map() {
    return {{MakeEdit, name, IDC_EDIT_NAME, (int)sizeof name, nullptr},
            {MakeCheck, &check, IDC_OPT_DESKTOP, 4, nullptr},
            {MakeList, &sel, IDC_GROUP_MEMBERS, 0, fruits},
            {MakeUpDown, &size, IDC_OPT_FONT_SPIN, 0, sizeRange},
            {MakeBar, &bar, IDC_TEST_BAR, 0, barRange},
            {nullptr, nullptr, 0, 0, nullptr}};
  }
  std::string shown(HWND w) {
    return ItemText(w, IDC_EDIT_NAME) + " " + std::to_string(IsDlgButtonChecked(w, IDC_OPT_DESKTOP)) + " " +
           std::to_string(SendDlgItemMessageA(w, IDC_GROUP_MEMBERS, LB_GETCURSEL, 0, 0)) + " " +
           ItemText(w, IDC_OPT_FONT_SIZE) + " " + ItemText(w, IDC_TEST_BAR_VALUE);
  }
  std::string held() {
    return std::string(name) + " " + std::to_string(check) + " " + std::to_string(sel) + " " +
           std::to_string(size) + " " + std::to_string(bar);
  }
};
}  // namespace

TEST(ChangeFont, WritesTheSizeOnlyWhereItCanWalkTheTemplate) {
  struct Row {
    const char* what;
    Bytes bytes;
    int size;
    bool force, ok;
    int point;  // after the call; -1: the bytes stay as they were
    int length = 0;
    size_t pointAt = 0;  // 0: before the face name
  };
  const Row rows[] = {
      {"size 0", TemplateBytes("TESTDIALOG"), 12, false, true, 12},
      {"size 9", TemplateBytes("FONT9"), 12, false, false, 9},
      {"size 9 forced", TemplateBytes("FONT9"), 12, true, true, 12},
      // Without DS_SETFONT nothing after the title belongs to the header;
      // an extended template is not walked.
      {"no font", TemplateBytes("NOFONT"), 12, true, false, -1},
      {"extended", TemplateBytes("ABOUTBOX"), 12, true, false, -1},
      {"DS_FIXEDSYS alone", Handmade(DS_FIXEDSYS, {0, 0, 'A', 0, 0, 0x1234}), 12, true, false, -1},
      {"menu by name", Handmade(DS_SETFONT, {'M', 0, 0, 0, 0, 'A', 0}), 12, true, false, -1},
      {"class by name", Handmade(DS_SETFONT, {0xFFFF, 7, 'C', 0, 0, 0, 'A', 0}), 12, true, false, -1},
      {"ordinal menu and class", Handmade(DS_SETFONT, {0xFFFF, 3, 0xFFFF, 4, 'T', 0, 0, 'A', 0}), 11, false, true,
       11, 0, 30},
      // A title that runs to the end of the given length is not walked past.
      {"cut title", Handmade(DS_SETFONT, {0, 0, 'T', 'T', 'T'}), 12, true, false, -1, 24},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ASSERT_FALSE(r.bytes.empty());
    Bytes t = r.bytes;
    EXPECT_EQ(koDialog::ChangeFont((DLGTEMPLATE*)t.data(), r.size, nullptr, r.force, r.length), r.ok);
    if (r.point < 0) {
      EXPECT_EQ(t, r.bytes);
    } else {
      EXPECT_EQ(r.pointAt ? ShortAt(t, r.pointAt) : PointSizeBeforeFace(t), r.point);
    }
  }
}

TEST(ChangeFont, ScalesAndRestoresTheRectangle) {
  Bytes t = Handmade(DS_SETFONT, {0, 0, 0, 0, 'A', 0});
  int r[4] = {0, 0, 0, 0};
  auto header = [&] {
    return std::vector<int>{ShortAt(t, 10), ShortAt(t, 12), ShortAt(t, 14), ShortAt(t, 16), ShortAt(t, 24)};
  };
  EXPECT_TRUE(koDialog::ChangeFont((DLGTEMPLATE*)t.data(), 12, r, false));
  EXPECT_EQ((std::vector<int>{r[0], r[1], r[2], r[3]}), (std::vector<int>{10, 20, 180, 90}));
  EXPECT_EQ(header(), (std::vector<int>{13, 26, 240, 120, 12}));
  EXPECT_TRUE(koDialog::ChangeFont((DLGTEMPLATE*)t.data(), 9, r, true));
  EXPECT_EQ(header(), (std::vector<int>{10, 20, 180, 90, 9}));
}

TEST_F(DialogTest, OkHandsTheControlsValuesBack) {
  Values v;
  std::vector<koCtrlMap> map = v.map();
  koDialog::FontSize(11);
  Probe* d = new Probe(frame, "TESTDIALOG", map.data());
  int before = deletedDialogs;
  s.opened("テスト用ダイアログ", w);
  s.hold();
  s.act([&] {
    EXPECT_EQ(koWin::GetWin(w), d);
    s.log(v.shown(w) + (d->isModified() ? " modified" : ""));
    // The user's changes.
    SetDlgItemTextA(w, IDC_EDIT_NAME, "新しい名前");
    SendDlgItemMessageA(w, IDC_EDIT_NAME, EM_SETMODIFY, TRUE, 0);
    SendDlgItemMessageA(w, IDC_OPT_DESKTOP, BM_SETCHECK, BST_UNCHECKED, 0);
    SendDlgItemMessageA(w, IDC_GROUP_MEMBERS, LB_SETCURSEL, 2, 0);
    SendDlgItemMessageA(w, IDC_OPT_FONT_SPIN, UDM_SETPOS32, 0, 20);
    SendMessageA(w, WM_HSCROLL, SB_PAGEDOWN, (LPARAM)GetDlgItem(w, IDC_TEST_BAR));
    s.log(v.shown(w) + (d->isModified() ? " modified" : ""));
    Click(w, IDOK);
  });
  EXPECT_TRUE(s.run([&] { EXPECT_EQ(d->run(), IDOK); }));
  EXPECT_EQ(s.logged(), "初期値 1 1 12 30\n新しい名前 0 2 20 37 modified\n");
  // The object outlives its window for the caller.
  EXPECT_EQ(deletedDialogs, before);
  EXPECT_EQ(d->result, IDOK);
  EXPECT_EQ(d->okAsked, 1);
  EXPECT_EQ(d->hWnd, nullptr);
  EXPECT_EQ(v.held(), "新しい名前 0 2 20 37");
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
  s.opened("テスト用ダイアログ", w);
  s.act([&] { Click(w, IDCANCEL); });
  EXPECT_TRUE(s.run([&] { EXPECT_EQ(quiet->run(), IDCANCEL); }));
  EXPECT_EQ(s.logged(), "");
  EXPECT_EQ(quiet->okAsked, 0);

  // Changed: No keeps it open, Yes closes it; the variable stays.
  Probe* d = new Probe(frame, "TESTDIALOG", map.data());
  Script t;
  t.opened("テスト用ダイアログ", w);
  t.act([&] {
    SendDlgItemMessageA(w, IDC_OPT_DESKTOP, BM_SETCHECK, BST_UNCHECKED, 0);
    Click(w, IDCANCEL);
  });
  t.add([&] {  // the module's title as caption
    char caption[64] = "";
    if (HWND box = MessageBoxOf()) GetWindowTextA(box, caption, sizeof caption);
    t.log(std::string("caption ") + caption);
    return *caption != 0;
  });
  t.answer(IDNO);
  t.act([&] {
    t.log(std::string(IsWindowVisible(w) ? "open " : "closed ") + std::to_string(d->result));
    // The close box: one question, though WM_CLOSE passes through the
    // window and the dialog manager.
    PostMessageA(w, WM_CLOSE, 0, 0);
  });
  t.answer(IDYES);  // a second question would be logged as left open
  EXPECT_TRUE(t.run([&] { EXPECT_EQ(d->run(), IDCANCEL); }));
  EXPECT_EQ(t.logged(),
            "caption wtest_dialog\n"
            "box 変更を保存せずに終了してよろしいですか？\n"
            "open 2\n"
            "box 変更を保存せずに終了してよろしいですか？\n");
  EXPECT_EQ(v.check, 1);
}

TEST_F(DialogTest, RefusedOkKeepsTheDialogOpen) {
  Probe* d = new Probe(frame, "TESTDIALOG");
  d->refuseOk = true;
  s.opened("テスト用ダイアログ", w);
  s.act([&] { Click(w, IDOK); });
  s.add([&] { return d->okAsked > 0; });
  s.act([&] {
    s.log(std::string(IsWindowVisible(w) ? "open " : "closed ") + std::to_string(d->result));
    Click(w, IDCANCEL);
  });
  EXPECT_TRUE(s.run([&] { EXPECT_EQ(d->run(), IDCANCEL); }));
  EXPECT_EQ(s.logged(), "open 2\n");
}

TEST_F(DialogTest, ClickingTheUpDownArrowsIsHarmless) {
  Values v;
  std::vector<koCtrlMap> map = v.map();
  Probe* d = new Probe(frame, "TESTDIALOG", map.data());
  s.opened("テスト用ダイアログ", w);
  s.act([&] {
    HWND arrows = GetDlgItem(w, IDC_OPT_FONT_SPIN);
    RECT r;
    GetClientRect(arrows, &r);
    LPARAM up = MAKELPARAM(r.right / 2, 2);
    PostMessageA(arrows, WM_LBUTTONDOWN, MK_LBUTTON, up);
    PostMessageA(arrows, WM_LBUTTONUP, 0, up);
  });
  s.act([&] {
    // A template up-down has no buddy of its own: its partner edit follows it.
    koUpDown* spin = dynamic_cast<koUpDown*>(d->control(IDC_OPT_FONT_SPIN));
    ASSERT_NE(spin, nullptr);
    EXPECT_EQ(spin->buddy, nullptr);
    auto shown = [&] {
      return std::to_string(IsWindowVisible(GetDlgItem(w, IDC_OPT_FONT_SPIN))) +
             std::to_string(IsWindowVisible(GetDlgItem(w, IDC_OPT_FONT_SIZE)));
    };
    spin->hide();
    s.log(ItemText(w, IDC_OPT_FONT_SIZE) + " hidden " + shown());
    spin->show(SW_SHOW);
    s.log(std::to_string(spin->getSel()) + " shown " + shown());
    Click(w, IDOK);
  });
  EXPECT_TRUE(s.run([&] { EXPECT_EQ(d->run(), IDOK); }));
  EXPECT_EQ(s.logged(), "13 hidden 00\n13 shown 11\n");
  EXPECT_EQ(v.size, 13);
}

TEST_F(DialogTest, DialogsThatCannotOpenAreFreedAndForgotten) {
  int before = deletedDialogs;
  ClearTrace();
  Probe* missing = new Probe(frame, "NOSUCHTEMPLATE");
  EXPECT_EQ(missing->run(), -1);
  EXPECT_EQ(missing->errorCode, -1);
  EXPECT_EQ(koDialog::resultx, -1);
  EXPECT_NE(TraceLog().find("NOSUCHTEMPLATE"), std::string::npos);
  EXPECT_EQ(ThreadDialog(nullptr), nullptr);

  // Failing inside the dialog manager, before WM_INITDIALOG.
  Probe* bad = new Probe(frame, "BADCLASS");
  EXPECT_EQ(bad->run(), -1);
  EXPECT_EQ(koDialog::NewDialog, nullptr);
  EXPECT_EQ(bad->errorCode, -1);
  Pump();
  EXPECT_EQ(deletedDialogs, before + 2);

  // A dialog of koDlgProc that no object waits for stays a plain dialog.
  Bytes t = TemplateBytes("FONT9");
  s.opened("九ポイント", w);
  s.act([&] {
    s.log(koWin::GetWin(w) ? "object" : "plain");
    EndDialog(w, 7);
  });
  EXPECT_TRUE(s.run([&] {
    EXPECT_EQ(DialogBoxIndirectParamA(GetModuleHandleA(nullptr), (DLGTEMPLATE*)t.data(), nullptr, koDlgProc, 0), 7);
  }));
  EXPECT_EQ(s.logged(), "plain\n");
}

// 550: the frame's own About command.
TEST_F(DialogTest, FrameOpensTheAboutBox) {
  s.opened("バージョン情報", w);
  s.act([&] { Click(w, IDOK); });
  EXPECT_TRUE(s.run([&] { EXPECT_TRUE(frame->command(550, 0)); }));
  EXPECT_EQ(s.logged(), "");
}
