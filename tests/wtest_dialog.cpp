// The dialog framework under Wine: template fonts, controls bound to
// variables, OK and Cancel with their questions, dialogs that cannot open.
#include "ko_test.h"
#include <commctrl.h>
#include "koDlg1.h"
#include "koListBox.h"
#include "koScrollBar.h"
#include "koUpDown.h"
#include "resource.h"

namespace {
const int BAR = 400, BAR_VALUE = 401;  // the test template's own controls
const char* const TITLE = "テスト用ダイアログ";
using Bytes = std::vector<unsigned char>;
Bytes TemplateBytes(const char* name) {  // a copy to rewrite
  HRSRC info = FindResourceA(nullptr, name, RT_DIALOG);
  const unsigned char* p = info ? (const unsigned char*)LockResource(LoadResource(nullptr, info)) : nullptr;
  return p ? Bytes(p, p + SizeofResource(nullptr, info)) : Bytes();
}
int PointSizeBeforeFace(const Bytes& t) {
  const wchar_t face[] = L"\xFF2D\xFF33 \xFF30\x30B4\x30B7\x30C3\x30AF";  // ＭＳ Ｐゴシック
  for (size_t at = 20; at + sizeof face <= t.size(); at += 2)
    if (memcmp(&t[at], face, sizeof face - 2) == 0) return t[at - 2] | t[at - 1] << 8;
  return -1;
}
// A template by hand: style, rectangle, then menu, class and title units.
Bytes Handmade(DWORD style, std::vector<WORD> units) {
  Bytes t(18, 0);
  short rect[4] = {10, 20, 180, 90};
  memcpy(&t[0], &style, 4);
  memcpy(&t[10], rect, 8);
  for (WORD w : units) t.insert(t.end(), (unsigned char*)&w, (unsigned char*)&w + 2);
  return t;
}
short ShortAt(const Bytes& t, size_t at) { return (short)(t[at] | t[at + 1] << 8); }
int deletedDialogs = 0;
class Probe : public koDialogModal {
 public:
  int okAsked = 0;
  bool refuseOk = false;
  Probe(koWin* parent, const char* name, koCtrlMap* map = nullptr) : koDialogModal(parent, "koDialog", -999, name, map) {}
  ~Probe() override { deletedDialogs++; }
  bool queryOk() override { return ++okAsked, !refuseOk; }
};
template <class C>
koControl* Make(koDialog* d, int id) { return new C(d, id); }
char* fruits[] = {(char*)"りんご", (char*)"みかん", (char*)"ぶどう", nullptr};
struct Values {
  char name[20] = "初期値";
  int check = 1, sel = 1, size = 12, bar = 30, sizeRange[2] = {5, 50}, barRange[3] = {0, 250, 7};
  std::vector<koCtrlMap> map{
      {Make<koEdit>, name, IDC_EDIT_NAME, (int)sizeof name, nullptr}, {Make<koCheckBox>, &check, IDC_OPT_DESKTOP, 4, nullptr},
      {Make<koListBox>, &sel, IDC_GROUP_MEMBERS, 0, fruits}, {Make<koUpDown>, &size, IDC_OPT_FONT_SPIN, 0, sizeRange},
      {Make<koScrollBar>, &bar, BAR, 0, barRange}, {nullptr, nullptr, 0, 0, nullptr}};
  std::string shown(HWND w) {
    return ItemText(w, IDC_EDIT_NAME) + " " + std::to_string(IsDlgButtonChecked(w, IDC_OPT_DESKTOP)) + " " +
           std::to_string(SendDlgItemMessageA(w, IDC_GROUP_MEMBERS, LB_GETCURSEL, 0, 0)) + " " +
           ItemText(w, IDC_OPT_FONT_SIZE) + " " + ItemText(w, BAR_VALUE);
  }
  std::string held() { return name + (" " + std::to_string(check) + " " + std::to_string(sel) + " " + std::to_string(size) + " " + std::to_string(bar)); }
};
class DialogTest : public RunmateTest {
 protected:
  void TearDown() override { Pump(), RunmateTest::TearDown(); }  // frees the dialogs
  HWND w = nullptr;
  Values v;
};
}  // namespace

TEST(ChangeFont, WritesTheSizeOnlyWhereItCanWalkTheTemplate) {
  // point: after the call, -1 when the bytes stay as they were; pointAt 0: before the face name.
  struct Row { const char* what; Bytes bytes; int size; bool force, ok; int point, length = 0; size_t pointAt = 0; };
  const Row rows[] = {
      {"size 0", TemplateBytes("TESTDIALOG"), 12, false, true, 12},
      {"size 9", Handmade(DS_SETFONT, {0, 0, 'A', 0, 9, 'F', 0}), 12, false, false, 9, 0, 26},
      {"size 9 forced", Handmade(DS_SETFONT, {0, 0, 'A', 0, 9, 'F', 0}), 12, true, true, 12, 0, 26},
      // Without DS_SETFONT nothing after the title belongs to the header; an extended template is not walked.
      {"no font", Handmade(WS_POPUP | WS_CAPTION, {0, 0, 'A', 0}), 12, true, false, -1},
      {"extended", TemplateBytes("ABOUTBOX"), 12, true, false, -1},
      {"DS_FIXEDSYS alone", Handmade(DS_FIXEDSYS, {0, 0, 'A', 0, 0, 0x1234}), 12, true, false, -1},
      {"menu by name", Handmade(DS_SETFONT, {'M', 0, 0, 0, 0, 'A', 0}), 12, true, false, -1},
      {"class by name", Handmade(DS_SETFONT, {0xFFFF, 7, 'C', 0, 0, 0, 'A', 0}), 12, true, false, -1},
      {"ordinal menu and class", Handmade(DS_SETFONT, {0xFFFF, 3, 0xFFFF, 4, 'T', 0, 0, 'A', 0}), 11, false, true, 11, 0, 30},
      // A title that runs to the end of the given length is not walked past.
      {"cut title", Handmade(DS_SETFONT, {0, 0, 'T', 'T', 'T'}), 12, true, false, -1, 24},
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.what);
    ASSERT_FALSE(r.bytes.empty());
    Bytes t = r.bytes;
    EXPECT_EQ(koDialog::ChangeFont((DLGTEMPLATE*)t.data(), r.size, nullptr, r.force, r.length), r.ok);
    if (r.point < 0) EXPECT_EQ(t, r.bytes);
    else EXPECT_EQ(r.pointAt ? ShortAt(t, r.pointAt) : PointSizeBeforeFace(t), r.point);
  }
  Bytes t = Handmade(DS_SETFONT, {0, 0, 0, 0, 'A', 0});  // scaled and restored
  int r[4] = {0, 0, 0, 0};
  auto header = [&] { return std::vector<int>{ShortAt(t, 10), ShortAt(t, 12), ShortAt(t, 14), ShortAt(t, 16), ShortAt(t, 24)}; };
  EXPECT_TRUE(koDialog::ChangeFont((DLGTEMPLATE*)t.data(), 12, r, false));
  EXPECT_EQ((std::vector<int>{r[0], r[1], r[2], r[3]}), (std::vector<int>{10, 20, 180, 90}));
  EXPECT_EQ(header(), (std::vector<int>{13, 26, 240, 120, 12}));
  EXPECT_TRUE(koDialog::ChangeFont((DLGTEMPLATE*)t.data(), 9, r, true));
  EXPECT_EQ(header(), (std::vector<int>{10, 20, 180, 90, 9}));
}

// The size the dialog manager makes a dialog at is the largest one its own
// window fits: the measure agrees with the real window.
TEST_F(DialogTest, FontShrinksUntilTheDialogFitsItsScreen) {
  Bytes t = TemplateBytes("TESTDIALOG");
  for (int size : {9, 14, 20}) {
    SCOPED_TRACE(size);
    RECT shown{};
    koDialog::FontSize(size);
    Script run;
    run.opened(TITLE, w), run.act([&] { GetWindowRect(w, &shown), Click(w, IDCANCEL); });
    EXPECT_TRUE(run.run([&] { (new Probe(frame, "TESTDIALOG"))->run(); }));
    RECT work{0, 0, shown.right - shown.left, shown.bottom - shown.top}, narrower = work;
    narrower.right--;
    EXPECT_EQ(koDialog::FittingFontSize((DLGTEMPLATE*)t.data(), 40, work, 5, (int)t.size()), size);
    EXPECT_LT(koDialog::FittingFontSize((DLGTEMPLATE*)t.data(), 40, narrower, 5, (int)t.size()), size);
    EXPECT_EQ(koDialog::FittingFontSize((DLGTEMPLATE*)t.data(), size, RECT{0, 0, 9999, 9999}), size);
  }
  const RECT tiny{0, 0, 10, 10};
  Bytes about = TemplateBytes("ABOUTBOX");  // extended: its font is its own
  EXPECT_EQ(koDialog::FittingFontSize((DLGTEMPLATE*)t.data(), 30, tiny, 5, (int)t.size()), 5);
  EXPECT_EQ(koDialog::FittingFontSize((DLGTEMPLATE*)about.data(), 30, tiny, 5, (int)about.size()), 30);
  koDialog::FontSize(9);
}

TEST_F(DialogTest, OkHandsTheControlsValuesBack) {
  koDialog::FontSize(11);
  Probe* d = new Probe(frame, "TESTDIALOG", v.map.data());
  int before = deletedDialogs;
  s.opened(TITLE, w);
  s.hold();
  s.act([&] {
    EXPECT_EQ(koWin::GetWin(w), d);
    s.log(v.shown(w) + (d->isModified() ? " modified" : ""));
    Type(w, IDC_EDIT_NAME, "新しい名前");
    for (auto m : {std::vector<int>{IDC_EDIT_NAME, EM_SETMODIFY, TRUE}, {IDC_OPT_DESKTOP, BM_SETCHECK, BST_UNCHECKED},
                   {IDC_GROUP_MEMBERS, LB_SETCURSEL, 2}, {IDC_OPT_FONT_SPIN, UDM_SETPOS32, 0, 20}})
      SendDlgItemMessageA(w, m[0], m[1], m[2], m.size() > 3 ? m[3] : 0);
    SendMessageA(w, WM_HSCROLL, SB_PAGEDOWN, (LPARAM)GetDlgItem(w, BAR));
    s.log(v.shown(w) + (d->isModified() ? " modified" : ""));
    HWND arrows = GetDlgItem(w, IDC_OPT_FONT_SPIN);  // a click on the arrows is harmless
    RECT r;
    GetClientRect(arrows, &r);
    PostMessageA(arrows, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(r.right / 2, 2));
    PostMessageA(arrows, WM_LBUTTONUP, 0, MAKELPARAM(r.right / 2, 2));
  });
  s.act([&] {
    // A template up-down has no buddy of its own: its partner edit follows it.
    koUpDown* spin = dynamic_cast<koUpDown*>(d->control(IDC_OPT_FONT_SPIN));
    ASSERT_TRUE(spin && !spin->buddy);
    auto shown = [&] { return std::to_string(IsWindowVisible(GetDlgItem(w, IDC_OPT_FONT_SPIN)) * 10 + IsWindowVisible(GetDlgItem(w, IDC_OPT_FONT_SIZE))); };
    spin->hide();
    s.log(ItemText(w, IDC_OPT_FONT_SIZE) + " hidden " + shown());
    spin->show(SW_SHOW);
    s.log(std::to_string(spin->getSel()) + " shown " + shown());
    Click(w, IDOK);
  });
  EXPECT_TRUE(s.run([&] { EXPECT_EQ(d->run(), IDOK); }));
  EXPECT_EQ(s.logged(), "初期値 1 1 12 30\n新しい名前 0 2 20 37 modified\n21 hidden 0\n21 shown 11\n");
  EXPECT_EQ((std::vector<int>{d->result, d->okAsked, !d->hWnd, !koDialog::NewDialog, koWin::IsPostDeletePending(d), deletedDialogs - before}),
            (std::vector<int>{IDOK, 1, 1, 1, 1, 0}));  // the object outlives its window for the caller
  EXPECT_EQ(v.held(), "新しい名前 0 2 21 37");
  Pump();
  EXPECT_EQ(deletedDialogs, before + 1);
}

// Unchanged: closes at once; changed: No keeps it open, Yes closes it; a
// refused OK keeps it open. The variables stay.
TEST_F(DialogTest, CancelAsksWhenModifiedAndRefusedOkStaysOpen) {
  Probe* quiet = new Probe(frame, "TESTDIALOG", v.map.data());
  s.opened(TITLE, w);
  s.act([&] { Click(w, IDCANCEL); });
  EXPECT_TRUE(s.run([&] { EXPECT_EQ(quiet->run(), IDCANCEL); }));
  EXPECT_EQ(quiet->okAsked, 0);
  Probe* d = new Probe(frame, "TESTDIALOG", v.map.data());
  d->refuseOk = true;
  Script t;
  t.opened(TITLE, w);
  t.act([&] { Click(w, IDOK); });
  t.add([&] { return d->okAsked > 0; });
  t.act([&] {
    t.log(std::string(IsWindowVisible(w) ? "open " : "closed ") + std::to_string(d->result));
    SendDlgItemMessageA(w, IDC_OPT_DESKTOP, BM_SETCHECK, BST_UNCHECKED, 0), Click(w, IDCANCEL);
  });
  t.add([&] {  // the module's title as caption
    char caption[64] = "";
    if (HWND box = MessageBoxOf()) GetWindowTextA(box, caption, sizeof caption);
    return *caption && (t.log(std::string("caption ") + caption), true);
  });
  t.answer(IDNO);
  t.act([&] {
    t.log(std::string(IsWindowVisible(w) ? "open " : "closed ") + std::to_string(d->result));
    PostMessageA(w, WM_CLOSE, 0, 0);  // one question, though WM_CLOSE passes the window and the dialog manager
  });
  t.answer(IDYES);  // a second question would be logged as left open
  EXPECT_TRUE(t.run([&] { EXPECT_EQ(d->run(), IDCANCEL); }));
  EXPECT_EQ(s.logged() + t.logged(), "open 2\ncaption Runmate\nbox 変更を保存せずに終了してよろしいですか？\n"
                                     "open 2\nbox 変更を保存せずに終了してよろしいですか？\n");
  EXPECT_EQ(v.check, 1);
}

TEST_F(DialogTest, DialogsThatCannotOpenAreFreedAndForgottenAndTheAboutBoxOpens) {
  int before = deletedDialogs;
  ClearTrace();
  for (const char* name : {"NOSUCHTEMPLATE", "BADCLASS"}) {  // the second fails in the dialog manager, before WM_INITDIALOG
    SCOPED_TRACE(name);
    Probe* d = new Probe(frame, name);
    EXPECT_EQ((std::vector<int>{d->run(), d->errorCode, (int)koDialog::resultx, !koDialog::NewDialog, !ThreadDialog(nullptr)}),
              (std::vector<int>{-1, -1, -1, 1, 1}));
  }
  EXPECT_NE(TraceLog().find("NOSUCHTEMPLATE"), std::string::npos);
  Pump();
  EXPECT_EQ(deletedDialogs, before + 2);
  // A dialog of koDlgProc that no object waits for stays a plain dialog.
  Bytes t = TemplateBytes("TESTDIALOG");
  s.opened(TITLE, w);
  s.act([&] { s.log(koWin::GetWin(w) ? "object" : "plain"), EndDialog(w, 7); });
  EXPECT_TRUE(s.run([&] {
    EXPECT_EQ(DialogBoxIndirectParamA(GetModuleHandleA(nullptr), (DLGTEMPLATE*)t.data(), nullptr, koDlgProc, 0), 7);
  }));
  Script about;
  about.opened("バージョン情報", w);
  about.act([&] { Click(w, IDOK); });
  EXPECT_TRUE(about.run([&] { EXPECT_TRUE(frame->command(550, 0)); }));  // the frame's own About command
  EXPECT_EQ(s.logged() + about.logged(), "plain\n");
}
