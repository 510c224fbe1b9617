#include <gtest/gtest.h>
#include <windows.h>
#include <commctrl.h>
#include <string.h>
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include "koControl.h"
#include "koDlg1.h"
#include "koListBox.h"
#include "koModule.h"
#include "koScrollBar.h"
#include "koUpDown.h"
#include "ko_test.h"

namespace {
koModule module;

// The whole check runs inside the open dialog, from its own timer.
class Bench : public koDialogModal {
 public:
  std::function<void(Bench*)> body;
  std::vector<std::pair<int, int>> commands;
  koEdit* edit = nullptr;
  koMultiEdit* multi = nullptr;
  koListBox* list = nullptr;
  koUpDown* spin = nullptr;
  koScrollBar* bar = nullptr;

  Bench() : koDialogModal(nullptr, "koDialog", -999, "CONTROLS") {}
  void onStart() override {
    edit = new koEdit(this, 140);
    multi = new koMultiEdit(this, 141);
    list = new koListBox(this, 260);
    spin = new koUpDown(this, 340);
    bar = new koScrollBar(this, 400);
    SetTimer(hWnd, 1, 50, nullptr);
  }
  bool timer(int) override { return false; }
  bool other(koEvent& e) override {
    if (e.message != WM_TIMER) return false;
    KillTimer(hWnd, 1);
    body(this);
    return true;
  }
  bool command(int id, int code) override {
    if (id == 20 || id == 21) {
      commands.push_back({id, code});
      return true;
    }
    return koDialogModal::command(id, code);
  }
};

void Pump() {
  MSG m;
  while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&m);
}

void InDialog(std::function<void(Bench*)> body) {
  pModule = &module;
  Bench* b = new Bench;
  b->body = std::move(body);
  EXPECT_EQ(b->run(), IDCANCEL);
  delete b;  // no main window here: the caller frees it
  pModule = nullptr;
}
}  // namespace

TEST(Controls, KeysReachTheDialogAsCommands) {
  InDialog([](Bench* d) {
    HWND e = d->edit->hWnd;
    SendMessageA(e, WM_CHAR, 13, 0);
    SendMessageA(e, WM_KEYDOWN, VK_F1, 0);
    // A multi-line box keeps Enter.
    SendMessageA(d->multi->hWnd, WM_CHAR, 13, 0);
    Pump();
    EXPECT_EQ(d->commands, (std::vector<std::pair<int, int>>{{21, 140}, {20, 140}}));
    char text[16] = "";
    GetWindowTextA(d->multi->hWnd, text, sizeof text);
    EXPECT_STREQ(text, "\r\n");

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

    // Escape ends the dialog as Cancel.
    SendMessageA(e, WM_CHAR, 27, 0);
  });
}

TEST(Controls, ListBoxTextIsCutToTheBuffer) {
  InDialog([](Bench* d) {
    char buffer[16];
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(d->list->getSel(buffer, 8), -1);
    EXPECT_STREQ(buffer, "");
    EXPECT_EQ(d->list->showLast(), 0);
    char* items[] = {(char*)"短い", (char*)"とても長い項目の名前です", nullptr};
    int sel = 1;
    d->list->linkObject(&sel, items);
    d->list->updateScreen();
    memset(buffer, 'x', sizeof buffer);
    EXPECT_EQ(d->list->getSel(buffer, 8), 1);
    EXPECT_LT(strlen(buffer), 8u);
    EXPECT_EQ(std::string(buffer), std::string("とても長い項目").substr(0, strlen(buffer)));
    EXPECT_EQ(buffer[8], 'x');
    EXPECT_FALSE(d->list->isModified());
    SendMessageA(d->list->hWnd, LB_SETCURSEL, 0, 0);
    EXPECT_TRUE(d->list->isModified());
    d->list->updateObject();
    EXPECT_EQ(sel, 0);
    PostMessageA(d->hWnd, WM_COMMAND, IDCANCEL, 0);
  });
}

TEST(Controls, ScrollBarSteps) {
  InDialog([](Bench* d) {
    koScrollBar* b = d->bar;
    EXPECT_EQ(b->position, 50);
    EXPECT_EQ(b->pageStep, 10);
    ASSERT_NE(b->partner, nullptr);
    char text[16] = "";
    GetDlgItemTextA(d->hWnd, 401, text, sizeof text);
    EXPECT_STREQ(text, "50");
    koControl* wrapper = b->partner;
    b->joinPartner();
    EXPECT_EQ(b->partner, wrapper);  // joined twice, one wrapper

    EXPECT_TRUE(b->setRangeAll(0, 35, -1, -1, SIF_RANGE, true));
    EXPECT_EQ(b->pageStep, 5);
    EXPECT_EQ(b->position, 35);  // clamped into the new range
    b->setRangeAll(0, 9, -1, -1, SIF_RANGE, true);
    EXPECT_EQ(b->pageStep, 2);
    b->setRangeAll(0, 250, 100, -1, SIF_RANGE | SIF_POS, true);
    EXPECT_EQ(b->pageStep, 25);
    EXPECT_EQ(b->position, 100);
    EXPECT_FALSE(b->setRangeAll(10, 5, -1, -1, SIF_RANGE, true));
    EXPECT_EQ(b->maximum, 250);
    EXPECT_FALSE(b->setSel(251, true));
    EXPECT_EQ(b->position, 100);

    // Through the dialog as the user would.
    SendMessageA(d->hWnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBTRACK, 17), (LPARAM)b->hWnd);
    EXPECT_EQ(b->position, 17);
    SendMessageA(d->hWnd, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 40), (LPARAM)b->hWnd);
    EXPECT_EQ(b->position, 17);
    SendMessageA(d->hWnd, WM_HSCROLL, SB_PAGEUP, (LPARAM)b->hWnd);
    EXPECT_EQ(b->position, 0);
    SendMessageA(d->hWnd, WM_HSCROLL, SB_LINEDOWN, (LPARAM)b->hWnd);
    EXPECT_EQ(GetScrollPos(b->hWnd, SB_CTL), 1);
    GetDlgItemTextA(d->hWnd, 401, text, sizeof text);
    EXPECT_STREQ(text, "1");
    PostMessageA(d->hWnd, WM_COMMAND, IDCANCEL, 0);
  });
}

TEST(Controls, UpDownFromATemplate) {
  InDialog([](Bench* d) {
    koUpDown* s = d->spin;
    EXPECT_EQ(s->buddy, nullptr);
    ASSERT_NE(s->partner, nullptr);
    EXPECT_EQ(s->getSel(), 50);
    s->setRange(5, 50);
    EXPECT_TRUE(s->setSel(99));
    EXPECT_EQ(s->getSel(), 50);
    // The user types into the buddy edit.
    SetDlgItemTextA(d->hWnd, 341, "7");
    EXPECT_EQ(s->getSel(), 7);
    s->enable(false);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(d->hWnd, 341)));
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
    EXPECT_EQ(placed(GetDlgItem(d->hWnd, 341)), (std::vector<long>{100, 50, 57, 16}));
    PostMessageA(d->hWnd, WM_COMMAND, IDCANCEL, 0);
  });
}

TEST(Controls, CheckBoxTransfer) {
  InDialog([](Bench* d) {
    HWND w = CreateWindowExA(0, "Button", "box", WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX, 5, 105,
                             60, 12, d->hWnd, (HMENU)160, nullptr, nullptr);
    koCheckBox* box = new koCheckBox(d, 160);
    EXPECT_EQ(box->hWnd, w);
    int value = 1;
    koCtrlMap entry{nullptr, &value, 160, 4, nullptr};
    box->linkMapObject(&entry);
    box->updateScreen();
    EXPECT_EQ(box->getCheck(), BST_CHECKED);
    EXPECT_FALSE(box->isModified());
    box->setCheck(BST_UNCHECKED);
    EXPECT_TRUE(box->isModified());
    box->updateObject();
    EXPECT_EQ(value, 0);
    PostMessageA(d->hWnd, WM_COMMAND, IDCANCEL, 0);
  });
}
