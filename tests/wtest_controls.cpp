#include "ko_test.h"
#include <commctrl.h>
#include <string.h>
#include <utility>
#include "koControl.h"
#include "koDlg1.h"
#include "koListBox.h"
#include "koModule.h"
#include "koScrollBar.h"
#include "koUpDown.h"

namespace {
koModule module;
// The controls of the CONTROLS template, and what an edit box sends for F1 and Enter.
enum { kEdit = 140, kMulti = 141, kBox = 160, kList = 260, kSpin = 340, kSpinEdit = 341, kBar = 400, kBarText };
enum { kF1Command = 20, kEnterCommand = 21 };
class Bench : public koDialogModal {
 public:
  std::vector<std::pair<int, int>> commands; koEdit* edit = nullptr; koMultiEdit* multi = nullptr;
  koListBox* list = nullptr; koUpDown* spin = nullptr; koScrollBar* bar = nullptr; koCheckBox* box = nullptr;
  Bench() : koDialogModal(nullptr, "koDialog", -999, "CONTROLS") {}
  void onStart() override {
    edit = new koEdit(this, kEdit), multi = new koMultiEdit(this, kMulti), list = new koListBox(this, kList);
    spin = new koUpDown(this, kSpin), bar = new koScrollBar(this, kBar), box = new koCheckBox(this, kBox);
  }
  bool command(int id, int code) override {
    if (id != kF1Command && id != kEnterCommand) return koDialogModal::command(id, code);
    return commands.push_back({id, code}), true;
  }
};
// Runs the check inside the open dialog, which is cancelled after it.
void InDialog(const std::function<void(Bench*)>& check) {
  pModule = &module; Bench b; HWND shown = nullptr; Script s; s.opened("コントロール", shown);
  s.act([&] { check(&b); }); EXPECT_TRUE(s.run([&] { EXPECT_EQ(b.run(), IDCANCEL); })) << s.logged();
  pModule = nullptr;
}
std::string Text(Bench* d, int id) { return ItemText(d->hWnd, id); }
void Shift(bool down) {
  BYTE keys[256]; GetKeyboardState(keys); keys[VK_SHIFT] = down ? 0x80 : 0; SetKeyboardState(keys);
}
std::vector<long> Placed(HWND dialog, HWND w) {
  RECT r; GetWindowRect(w, &r); MapWindowPoints(nullptr, dialog, (POINT*)&r, 2);
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}
}  // namespace
TEST(Controls, KeysReachTheDialogAsCommands) {
  InDialog([](Bench* d) {
    HWND e = d->edit->hWnd; SendMessageA(e, WM_CHAR, 13, 0); SendMessageA(e, WM_KEYDOWN, VK_F1, 0);
    SendMessageA(d->multi->hWnd, WM_CHAR, 13, 0);  // a multi-line box keeps Enter
    Pump();
    EXPECT_EQ(d->commands, (std::vector<std::pair<int, int>>{{kEnterCommand, kEdit}, {kF1Command, kEdit}}));
    EXPECT_EQ(Text(d, kMulti), "\r\n");
    for (HWND from : {e, d->list->hWnd}) {  // Tab, and Shift+Tab, move the focus through the dialog
      Shift(from != e); SetFocus(from); SendMessageA(from, WM_CHAR, 9, 0); Shift(false); Pump();
      EXPECT_EQ(GetFocus(), d->multi->hWnd);
    }
    SendMessageA(e, WM_CHAR, 27, 0); Pump();
    EXPECT_FALSE(IsWindowVisible(d->hWnd)) << "Escape ends the dialog as Cancel";
  });
}
TEST(Controls, ListBoxTextIsCutToTheBuffer) {
  InDialog([](Bench* d) {
    char buffer[16] = "junk"; EXPECT_EQ(d->list->getSel(buffer, 8), -1);
    EXPECT_STREQ(buffer, "") << "nothing selected";
    char* items[] = {(char*)"短い", (char*)"とても長い項目の名前です", (char*)"abcdefghij", nullptr}; int sel = 1;
    d->list->linkObject(&sel, items); d->list->updateScreen(); EXPECT_FALSE(d->list->isModified());
    // Whole characters, 7 bytes at most, and nothing past the 8 bytes.
    const struct { int row; const char* text; } cases[] = {{1, "とても"}, {2, "abcdefg"}, {0, "短い"}};
    for (const auto& c : cases) {
      SCOPED_TRACE(c.row); memset(buffer, 'x', sizeof buffer);
      SendMessageA(d->list->hWnd, LB_SETCURSEL, (WPARAM)c.row, 0); EXPECT_EQ(d->list->isModified(), c.row != 1);
      EXPECT_EQ(d->list->getSel(buffer, 8), c.row); EXPECT_EQ(std::string(buffer), c.text);
      EXPECT_EQ(buffer[8], 'x');
    }
    d->list->updateObject(); EXPECT_EQ(sel, 0);
  });
}
TEST(Controls, ScrollBarRangesAndSteps) {
  InDialog([](Bench* d) {
    koScrollBar* b = d->bar; EXPECT_EQ(Text(d, kBarText), "50") << "the partner label shows the position";
    const struct { int min, max, pos, flags; bool ok; int page, position; } ranges[] = {
        {0, 35, -1, SIF_RANGE, true, 5, 35},  // the position is clamped into the range
        {0, 9, -1, SIF_RANGE, true, 2, 9},
        {0, 250, 100, SIF_RANGE | SIF_POS, true, 25, 100},
        {10, 5, -1, SIF_RANGE, false, 25, 100},
    };
    for (const auto& r : ranges) {
      SCOPED_TRACE(r.max); EXPECT_EQ(b->setRangeAll(r.min, r.max, r.pos, -1, r.flags, true), r.ok);
      EXPECT_EQ(b->pageStep, r.page); EXPECT_EQ(GetScrollPos(b->hWnd, SB_CTL), r.position);
    }
    EXPECT_FALSE(b->setSel(251, true));
    const struct { WPARAM code; int position; } moves[] = {  // through the dialog as the user would
        {MAKEWPARAM(SB_THUMBTRACK, 17), 17}, {MAKEWPARAM(SB_THUMBPOSITION, 40), 17}, {SB_PAGEUP, 0},
        {SB_LINEDOWN, 1}, {SB_PAGEDOWN, 26}, {SB_LINEUP, 25}};
    for (const auto& m : moves) {
      SCOPED_TRACE(m.code); SendMessageA(d->hWnd, WM_HSCROLL, m.code, (LPARAM)b->hWnd);
      EXPECT_EQ(b->position, m.position); EXPECT_EQ(GetScrollPos(b->hWnd, SB_CTL), m.position);
      EXPECT_EQ(Text(d, kBarText), std::to_string(m.position));
    }
  });
}
TEST(Controls, UpDownFromATemplateAndCheckBoxTransfer) {
  InDialog([](Bench* d) {
    koUpDown* s = d->spin; EXPECT_EQ(s->getSel(), 50); s->setRange(5, 50); EXPECT_TRUE(s->setSel(99));
    EXPECT_EQ(s->getSel(), 50) << "clamped";
    SetDlgItemTextA(d->hWnd, kSpinEdit, "7");  // typed into the buddy edit
    EXPECT_EQ(s->getSel(), 7); s->enable(false); EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d->hWnd, kSpinEdit)));
    s->enable(true);
    // 64 x 16 moved to (100, 50): arrows at the right, the edit beside them.
    SetWindowPos(s->hWnd, nullptr, 0, 0, 64, 16, SWP_NOZORDER | SWP_NOMOVE); s->setpos01(100, 50);
    EXPECT_EQ(Placed(d->hWnd, s->hWnd), (std::vector<long>{155, 50, 9, 16}));
    EXPECT_EQ(Placed(d->hWnd, GetDlgItem(d->hWnd, kSpinEdit)), (std::vector<long>{100, 50, 57, 16}));
    int value = 1; koCtrlMap entry{nullptr, &value, kBox, 4, nullptr}; d->box->linkMapObject(&entry);
    d->box->updateScreen(); EXPECT_EQ(d->box->getCheck(), BST_CHECKED); EXPECT_FALSE(d->box->isModified());
    d->box->setCheck(BST_UNCHECKED); EXPECT_TRUE(d->box->isModified()); d->box->updateObject();
    EXPECT_EQ(value, 0);
  });
}
