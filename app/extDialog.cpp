#include "extDialog.h"
#include <windows.h>
#include <commctrl.h>
#include <algorithm>
#include <memory>
#include <string>
#include <vector>
#include "appList.h"
#include "dbsub.h"
#include "koControl.h"
#include "koDlg1.h"
#include "koLazy.h"
#include "koListBox.h"
#include "goMenu.h"
#include "gosub.h"
#include "knownApps.h"
#include "koUtl1.h"
#include "recordEdit.h"
#include "remember.h"
#include "resource.h"

namespace {
// The programs Windows knows for some extensions, some of them chosen.
class knownDialog : public koDialogModal {
 public:
  const std::vector<KnownApp>& known;
  std::vector<int> chosen;  // indices into known, once added
  knownDialog(koWin* parent, const std::vector<KnownApp>& k)
      : koDialogModal(parent, "koDialog", -999, "KnownDialog", nullptr, 2), known(k) {}
  HIMAGELIST icons = nullptr;
  ~knownDialog() override {
    if (auto destroy = KO_LAZY("comctl32.dll", ImageList_Destroy)) destroy(icons);
  }
  // One row each: the program's icon and name (（既定） for the default), and the program.
  void onStart() override {
    moveCenter();
    HWND list = GetDlgItem(hWnd, IDC_KNOWN_LIST);
    SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, 0, LVS_EX_FULLROWSELECT);
    int size = GetSystemMetrics(SM_CXSMICON);
    auto create = KO_LAZY("comctl32.dll", ImageList_Create);
    auto add = KO_LAZY("comctl32.dll", ImageList_Add);
    if (create && add && (icons = create(size, size, ILC_COLOR32, (int)known.size(), 0)))
      SendMessageW(list, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)icons);
    RECT r{};
    GetClientRect(list, &r);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = r.right - GetSystemMetrics(SM_CXVSCROLL);
    SendMessageW(list, LVM_INSERTCOLUMNW, 0, (LPARAM)&column);
    for (size_t i = 0; i < known.size(); i++) {
      std::wstring row = koWideOf(known[i].name + (known[i].isDefault ? "（既定）" : "") + "  " + ProgramOf(known[i].command.c_str()));
      LVITEMW item{};
      item.mask = LVIF_TEXT | LVIF_IMAGE;
      item.iItem = (int)i;
      item.pszText = &row[0];
      item.iImage = -1;
      if (HBITMAP icon = icons ? ProgramIcon(ProgramPath(known[i].command.c_str()), size) : nullptr) {
        item.iImage = add(icons, icon, nullptr);  // copied into the list
        DeleteObject(icon);
      }
      SendMessageW(list, LVM_INSERTITEMW, 0, (LPARAM)&item);
    }
    LVITEMW first{};  // the first, the default where there is one
    first.stateMask = first.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageW(list, LVM_SETITEMSTATE, 0, (LPARAM)&first);
    SetFocus(list);
  }
  void okProc() override {
    HWND list = GetDlgItem(hWnd, IDC_KNOWN_LIST);
    for (int i = -1; (i = (int)SendMessageW(list, LVM_GETNEXTITEM, (WPARAM)i, LVNI_SELECTED)) >= 0;) chosen.push_back(i);
    koDialogModal::okProc();
  }
};

// A list box whose rows carry application ids: names are only what is
// shown, a member is resolved by its id.
class appIdList : public koListBox {
 public:
  appIdList(koWin* parent, int id) : koListBox(parent, "ListBox", id) {}
  int count() { return (int)SendMessageW(hWnd, LB_GETCOUNT, 0, 0); }
  int selected() { return (int)SendMessageW(hWnd, LB_GETCURSEL, 0, 0); }
  void select(int row) { SendMessageW(hWnd, LB_SETCURSEL, row, 0); }
  int idAt(int row) { return (int)SendMessageW(hWnd, LB_GETITEMDATA, row, 0); }
  void clear() { SendMessageW(hWnd, LB_RESETCONTENT, 0, 0); }
  void remove(int row) { SendMessageW(hWnd, LB_DELETESTRING, row, 0); }
  bool has(int appId) {
    for (int i = 0, n = count(); i < n; i++)
      if (idAt(i) == appId) return true;
    return false;
  }
  // Inserts at row (-1: the end, or the sorted place in a sorted box);
  // the row it went to, or -1.
  int put(appItem* app, int row = -1) {
    if (!app) return -1;
    int at = (int)SendMessageW(hWnd, row < 0 ? LB_ADDSTRING : LB_INSERTSTRING,
                               row < 0 ? 0 : row, (LPARAM)koWideOf(app->name).c_str());
    if (at < 0) return -1;
    SendMessageW(hWnd, LB_SETITEMDATA, at, (LPARAM)app->id);
    return at;
  }
};

class extDialog : public koDialogModal {
 public:
  koEdit* nameEdit = nullptr;
  koEdit* extEdit = nullptr;
  koMultiEdit* memoEdit = nullptr;
  appIdList* members = nullptr;
  appIdList* candidates = nullptr;
  koPushButton* addMember = nullptr;
  koPushButton* removeMember = nullptr;
  koPushButton* upButton = nullptr;
  koPushButton* downButton = nullptr;
  koPushButton* addButton = nullptr;
  koPushButton* updButton = nullptr;
  int memberSel = -1;
  int candidateSel = -1;
  extItem* record;  // what is edited, written only when stored
  int outcome = 0;  // 0 nothing stored, 1 stored as new, 2 stored over record->id

  extDialog(koWin* parent, extItem* edited)
      : koDialogModal(parent, "koDialog", -999, "ExtDialog", nullptr, 2), record(edited) {}

  void onStart() override {
    if (record->id != 0)
      setText("拡張子グループ[" + koShortText(record->name) + "]の更新");
    moveCenter();
    memberSel = candidateSel = -1;
    nameEdit = new koEdit(this, "Edit", IDC_EDIT_NAME);
    extEdit = new koEdit(this, "Edit", IDC_EDIT_DETAIL);
    memoEdit = new koMultiEdit(this, "Edit", IDC_EDIT_MEMO);
    SendMessageW(nameEdit->hWnd, EM_LIMITTEXT, kExtNameMax, 0);
    SendMessageW(extEdit->hWnd, EM_LIMITTEXT, kExtListMax, 0);
    SendMessageW(memoEdit->hWnd, EM_LIMITTEXT, kExtMemoMax, 0);
    nameEdit->setText(record->name);
    extEdit->setText(record->detail);
    memoEdit->setText(record->memo);
    addMember = new koPushButton(this, "Button", IDC_GROUP_MEMBER_IN);
    removeMember = new koPushButton(this, "Button", IDC_GROUP_MEMBER_OUT);
    upButton = new koPushButton(this, "Button", IDC_GROUP_MEMBER_UP);
    downButton = new koPushButton(this, "Button", IDC_GROUP_MEMBER_DOWN);
    addButton = new koPushButton(this, "Button", IDC_GROUP_ADD);
    updButton = new koPushButton(this, "Button", IDC_GROUP_UPDATE);
    members = new appIdList(this, IDC_GROUP_MEMBERS);
    candidates = new appIdList(this, IDC_GROUP_CANDIDATES);
    forgetButton = new koPushButton(this, "Button", IDC_GROUP_FORGET);
    knownButton = new koPushButton(this, "Button", IDC_GROUP_KNOWN);
    // An id without an application (or one listed twice) is left out: it
    // could never start anything.
    for (int i = 0, n = record->count(); i < n; i++) {
      appItem* app = findAppItem(record->atab[i]);
      if (app && !members->has(app->id)) members->put(app);
    }
    setAppList();
    showRemembered();
    setEnable();
  }

  koPushButton* forgetButton = nullptr;
  koPushButton* knownButton = nullptr;
  // What is remembered for this group's elements: "txt → エディタ".
  std::vector<Remembered> remembered;
  void showRemembered() {
    HWND list = GetDlgItem(hWnd, IDC_GROUP_REMEMBERED);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    strComp elements;
    elements.set(record->detail.c_str());
    if (!LoadRemembered(remembered)) remembered.clear();
    for (size_t i = 0; record->id && i < remembered.size(); i++) {
      if (!elements.comp(remembered[i].match.c_str())) continue;
      appItem* app = findAppItem(remembered[i].appId);
      std::string row = remembered[i].match + " → " + (app ? app->name : "(削除されたアプリケーション)");
      int at = (int)SendMessageW(list, LB_ADDSTRING, 0, (LPARAM)koWideOf(row).c_str());
      SendMessageW(list, LB_SETITEMDATA, at, (LPARAM)i);
    }
  }

  void forgetSelected() {
    HWND list = GetDlgItem(hWnd, IDC_GROUP_REMEMBERED);
    int row = (int)SendMessageW(list, LB_GETCURSEL, 0, 0);
    if (row < 0) return;
    std::vector<Remembered> kept = remembered;
    kept.erase(kept.begin() + (long)SendMessageW(list, LB_GETITEMDATA, row, 0));
    koTransaction t(db);
    if (!t.begun() || !SaveRemembered(kept) || !t.commit()) {
      msgBox(("記憶を解除できませんでした。\n\n" + DbWriteFailure()).c_str(), MB_OK | MB_ICONERROR, nullptr);
      return;
    }
    showRemembered();
    int n = (int)SendMessageW(list, LB_GETCOUNT, 0, 0);
    SendMessageW(list, LB_SETCURSEL, row < n ? row : n - 1, 0);
    setEnable();
  }

  // The programs Windows has for the typed extensions, chosen ones added
  // as applications (one with the same command is used again) and members.
  void addKnown() {
    std::string typed;
    extEdit->getText(typed);
    strComp elements;
    elements.set(typed.c_str());
    std::vector<std::string> exts;
    for (int i = 0; i < elements.count; i++)
      if (*elements.items[i] && KindOf(elements.items[i]) == BY_EXTENSION) exts.push_back(elements.items[i]);
    int skipped = 0;
    std::vector<KnownApp> known = KnownApps(exts, &skipped);
    std::string unheld = skipped ? "\n（" + std::to_string(skipped) + " 件は文字コード 932 で表せない名前のため除きました）" : "";
    if (known.empty()) {
      msgBox(("拡張子[" + typed + "]に Windows が登録しているプログラムはありません。" + unheld).c_str(),
             MB_OK | MB_ICONINFORMATION, nullptr);
      return;
    }
    knownDialog* chooser = new knownDialog(this, known);
    chooser->run();
    std::string failed;
    for (int i : chooser->chosen) {
      const KnownApp& k = known[(size_t)i];
      auto same = std::find_if(alist.begin(), alist.end(), [&](appItem* a) { return SameText(a->detail, k.command); });
      appItem* app = same == alist.end() ? nullptr : *same;
      if (!app) {
        appItem made;
        made.name = k.name;
        // A name already taken by another program gets a number.
        for (int n = 2; std::any_of(alist.begin(), alist.end(), [&](appItem* a) { return a->name == made.name; }); n++)
          made.name = k.name + " " + std::to_string(n);
        made.detail = k.command;
        if (!made.addRecord()) {
          failed += "\n" + k.name;
          continue;
        }
        alist.push_back(app = made.dup());
      }
      if (!members->has(app->id) && members->count() < EXT_MAX_APPS) members->put(app);
    }
    if (!failed.empty()) msgBox(("次のアプリケーションを登録できませんでした。" + failed + "\n\n" + DbWriteFailure()).c_str(),
                                MB_OK | MB_ICONERROR, nullptr);
    setAppList();
    setEnable();
  }

  // Every application that is not shown as a member, sorted by the control.
  void setAppList() {
    candidates->clear();
    for (appItem* a : alist)
      if (!members->has(a->id)) candidates->put(a);
  }

  // After the application list: members show their current names, and
  // those whose application was deleted are gone.
  void refreshMembers() {
    int keep = memberSel >= 0 ? members->idAt(memberSel) : 0;
    std::vector<int> ids;
    for (int i = 0, n = members->count(); i < n; i++) ids.push_back(members->idAt(i));
    members->clear();
    memberSel = -1;
    for (int appId : ids) {
      int row = members->put(findAppItem(appId));
      if (row >= 0 && appId == keep) memberSel = row;
    }
    members->select(memberSel);
  }

  void setEnable() {
    int n = members->count();
    addMember->enable(candidateSel >= 0 && n < EXT_MAX_APPS);
    removeMember->enable(memberSel >= 0);
    upButton->enable(memberSel > 0);
    downButton->enable(memberSel >= 0 && memberSel < n - 1);
    updButton->enable(record->id != 0);
    bool chosen = SendDlgItemMessageW(hWnd, IDC_GROUP_REMEMBERED, LB_GETCURSEL, 0, 0) >= 0;
    forgetButton->enable(chosen && dbReadOnly.empty());
    knownButton->enable(dbReadOnly.empty());
  }

  void moveIn() {
    if (candidateSel < 0 || members->count() >= EXT_MAX_APPS) return;
    appItem* app = findAppItem(candidates->idAt(candidateSel));
    candidates->remove(candidateSel);
    candidateSel = -1;
    if (app) {
      // After the selected member, as a list is built from the top.
      int row = members->put(app, memberSel >= 0 ? memberSel + 1 : -1);
      members->select(row);
    }
    memberSel = members->selected();
  }

  void moveOut() {
    if (memberSel < 0) return;
    appItem* app = findAppItem(members->idAt(memberSel));
    members->remove(memberSel);
    memberSel = -1;
    if (app) candidates->select(candidates->put(app));
    candidateSel = candidates->selected();
  }

  void moveBy(int step) {
    int to = memberSel + step;
    if (memberSel < 0 || to < 0 || to >= members->count()) return;
    appItem* app = findAppItem(members->idAt(memberSel));
    members->remove(memberSel);
    memberSel = -1;
    if (app) memberSel = members->put(app, to);
    members->select(memberSel);
  }

  // A move that disables its own button while it has the focus sends the
  // focus where the user goes next: target, else the list.
  template <class Move>
  void moved(koPushButton* button, Move move, koWin* target, koWin* list) {
    bool had = GetFocus() == button->hWnd;
    move();
    setEnable();
    if (had && !IsWindowEnabled(button->hWnd))
      SendMessageW(hWnd, WM_NEXTDLGCTL, (WPARAM)(IsWindowEnabled(target->hWnd) ? target : list)->hWnd, TRUE);
  }

  bool command(int id, int code) override {
    switch (id) {
      case IDOK:
        // No OK button: Enter in an edit would end the dialog and lose the input.
        if (outcome) return koDialogModal::command(id, code);
        return true;
      case IDC_GROUP_MEMBER_IN: moved(addMember, [this] { moveIn(); }, members, members); return true;
      case IDC_GROUP_MEMBER_OUT: moved(removeMember, [this] { moveOut(); }, candidates, candidates); return true;
      case IDC_GROUP_MEMBER_UP: moved(upButton, [this] { moveBy(-1); }, downButton, members); return true;
      case IDC_GROUP_MEMBER_DOWN: moved(downButton, [this] { moveBy(1); }, upButton, members); return true;
      // A double-click moves the row to the other list.
      case IDC_GROUP_MEMBERS:
        if (code != LBN_SELCHANGE && code != LBN_DBLCLK) break;
        memberSel = members->selected();
        if (code == LBN_DBLCLK) moveOut();
        setEnable();
        return true;
      case IDC_GROUP_CANDIDATES:
        if (code != LBN_SELCHANGE && code != LBN_DBLCLK) break;
        candidateSel = candidates->selected();
        if (code == LBN_DBLCLK) moveIn();
        setEnable();
        return true;
      case IDC_GROUP_ADD:
      case IDC_GROUP_UPDATE:
        if (store(id == IDC_GROUP_ADD)) PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
        return true;
      case IDC_GROUP_KNOWN:
        addKnown();
        return true;
      case IDC_GROUP_FORGET:
        forgetSelected();
        return true;
      case IDC_GROUP_REMEMBERED:
        if (code == LBN_SELCHANGE) setEnable();
        return code == LBN_SELCHANGE;
      case IDC_GROUP_CANDIDATES_LIST:
        if (AppList(this)) {
          refreshMembers();
          setAppList();
          candidateSel = -1;
          setEnable();
        }
        return true;
    }
    return koDialogModal::command(id, code);
  }

  bool dataCheck(bool adding) {
    koEdit* const edits[3] = {nameEdit, extEdit, memoEdit};
    static const int bounds[3] = {kExtNameMax, kExtListMax, kExtMemoMax};
    if (!ReadRecordTexts(
            this, edits, bounds, "拡張子が長すぎます", record, adding,
            [](const char* name) -> xItem* { return findExtItem(name); },
            [&](const std::string& name, std::string& list) { return checkList(name, list, adding); }))
      return false;
    record->na = 0;
    for (int i = 0, n = members->count(); i < n && record->na < EXT_MAX_APPS; i++) {
      appItem* app = findAppItem(members->idAt(i));
      if (app) record->atab[record->na++] = app->id;
    }
    return true;
  }

  // The list made what is stored and shown; then a list that would leave
  // the group unused by a launch needs the user's yes.
  bool checkList(const std::string& name, std::string& list, bool adding) {
    list = TidyExtensions(list);
    extEdit->setText(list);
    if (list.empty()) {
      // The folder group is found by its name.
      if (name == folderGroup) return true;
      return AskField(this,
                      "拡張子がありません。\nファイルからはこのグループは選ばれません。\n"
                      "このまま登録しますか？\n「いいえ」で拡張子を入力できます。",
                      extEdit);
    }
    std::vector<std::string> clashes;
    const extItem* first = EarlierClashes(list, adding ? 0 : record->id, clashes);
    if (!first) return true;
    std::string text = "拡張子 " + clashes[0] + " はグループ[" + koShortText(first->name) + "]にもあります。\n";
    if (clashes.size() > 1)
      text += "ほか " + std::to_string(clashes.size() - 1) + " 件の拡張子も先のグループにあります。\n";
    return AskField(this, text + "起動ではそちらが先に選ばれます。\nこのまま登録しますか？\n「いいえ」で拡張子を直せます。", extEdit);
  }

  // "追加" (adding) or "更新": checked, then written.
  bool store(bool adding) {
    return dataCheck(adding) && StoreRecord(this, record, adding, outcome);
  }
};
}  // namespace

const extItem* EarlierClashes(const std::string& list, int id, std::vector<std::string>& clashes) {
  clashes.clear();
  // The groups the launch reads before the one with this id, in its order.
  std::vector<const extItem*> earlier;
  for (const extItem* e : elist)
    if (id == 0 || e->id < id) earlier.push_back(e);
  std::sort(earlier.begin(), earlier.end(), [](const extItem* a, const extItem* b) { return a->id < b->id; });
  std::vector<std::unique_ptr<strComp>> lists;
  for (const extItem* e : earlier) {
    lists.emplace_back(new strComp);
    lists.back()->set(e->detail.c_str());
  }
  std::unique_ptr<strComp> own(new strComp);
  own->set(list.c_str());
  const extItem* first = nullptr;
  for (int i = 0; i < own->count; i++) {
    for (size_t g = 0; g < earlier.size(); g++) {
      if (!lists[g]->comp(own->items[i])) continue;
      if (!first) first = earlier[g];
      clashes.push_back(own->items[i]);
      break;
    }
  }
  return first;
}

int ExtDialog(koWin* parent, extItem* record) {
  if (!record) return 0;
  extDialog* dialog = new extDialog(parent, record);
  // The object outlives its window; the main window frees it later.
  dialog->run();
  return dialog->outcome;
}
