#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include "koControl.h"
#include "koDlg1.h"
#include "koListBox.h"
#include "koModule.h"
#include "koUpDown.h"
#include "ko_script.h"
#include "ko_test.h"

namespace {
koModule module;
// The controls of the CONTROLS template, and what an edit box sends for F1 and Enter.
enum { kEdit = 140, kMulti = 141, kList = 260, kSpin = 340, kSpinEdit = 341 };
enum { kF1Command = 20, kEnterCommand = 21 };

class Bench : public koDialogModal {
 public:
  std::vector<std::pair<int, int>> commands;
  koEdit* edit = nullptr;
  koMultiEdit* multi = nullptr;
  koListBox* list = nullptr;
  koUpDown* spin = nullptr;

  Bench() : koDialogModal(nullptr, "koDialog", -999, "CONTROLS") {}
  void onStart() override {
    edit = new koEdit(this, kEdit);
    multi = new koMultiEdit(this, kMulti);
    list = new koListBox(this, kList);
    spin = new koUpDown(this, kSpin);
  }
  bool command(int id, int code) override {
    if (id != kF1Command && id != kEnterCommand) return koDialogModal::command(id, code);
    commands.push_back({id, code});
    return true;
  }
};

// Runs the check inside the open dialog, which is cancelled after it.
void InDialog(const std::function<void(Bench*)>& check) {
  pModule = &module;
  Bench b;
  HWND shown = nullptr;
  Script s;
  s.opened("コントロール", shown);
  s.act([&] { check(&b); });
  EXPECT_TRUE(s.run([&] { EXPECT_EQ(b.run(), IDCANCEL); })) << s.logged();
  pModule = nullptr;
}

std::string Text(Bench* d, int id) { return ItemText(d->hWnd, id); }
}  // namespace

TEST(Controls, KeysReachTheDialogAsCommands) {
  InDialog([](Bench* d) {
    HWND e = d->edit->hWnd;
    SendMessageA(e, WM_CHAR, 13, 0);
    SendMessageA(e, WM_KEYDOWN, VK_F1, 0);
    SendMessageA(d->multi->hWnd, WM_CHAR, 13, 0);  // a multi-line box keeps Enter
    Pump();
    EXPECT_EQ(d->commands, (std::vector<std::pair<int, int>>{{kEnterCommand, kEdit}, {kF1Command, kEdit}}));
    EXPECT_EQ(Text(d, kMulti), "\r\n");

    // Tab and Shift+Tab move the focus through the dialog.
    SetFocus(e);
    SendMessageA(e, WM_CHAR, 9, 0);
    Pump();
    EXPECT_EQ(GetFocus(), d->multi->hWnd);
    BYTE keys[256];
    GetKeyboardState(keys);
    keys[VK_SHIFT] = 0x80;
    SetKeyboardState(keys);
    SetFocus(d->list->hWnd);
    SendMessageA(d->list->hWnd, WM_CHAR, 9, 0);
    keys[VK_SHIFT] = 0;
    SetKeyboardState(keys);
    Pump();
    EXPECT_EQ(GetFocus(), d->multi->hWnd);

    SendMessageA(e, WM_CHAR, 27, 0);
    Pump();
    EXPECT_FALSE(IsWindowVisible(d->hWnd)) << "Escape ends the dialog as Cancel";
  });
}

TEST(Controls, UpDownFromATemplate) {
  InDialog([](Bench* d) {
    koUpDown* s = d->spin;
    EXPECT_EQ(s->getSel(), 50);
    s->setRange(5, 50);
    EXPECT_TRUE(s->setSel(99));
    EXPECT_EQ(s->getSel(), 50) << "clamped";
    SetDlgItemTextA(d->hWnd, kSpinEdit, "7");  // typed into the buddy edit
    EXPECT_EQ(s->getSel(), 7);
    s->enable(false);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d->hWnd, kSpinEdit)));
    s->enable(true);

    // 64 x 16 moved to (100, 50): arrows at the right, the edit beside them.
    SetWindowPos(s->hWnd, nullptr, 0, 0, 64, 16, SWP_NOZORDER | SWP_NOMOVE);
    s->setpos01(100, 50);
    auto placed = [&](HWND w) {
      RECT r;
      GetWindowRect(w, &r);
      MapWindowPoints(nullptr, d->hWnd, (POINT*)&r, 2);
      return std::vector<long>{r.left, r.top, r.right - r.left, r.bottom - r.top};
    };
    EXPECT_EQ(placed(s->hWnd), (std::vector<long>{155, 50, 9, 16}));
    EXPECT_EQ(placed(GetDlgItem(d->hWnd, kSpinEdit)), (std::vector<long>{100, 50, 57, 16}));
  });
}
