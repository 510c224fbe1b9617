#include "appList.h"
#include <windows.h>
#include <string>
#include "appDialog.h"
#include "dbsub.h"
#include "ilistv.h"
#include "koUtl1.h"
#include "resource.h"

namespace {
class appListDialog : public ilistDialog {
 public:
  bool modified = false;  // an application was stored or deleted
  // What the application editor edits: never a record of alist itself.
  appItem working;

  explicit appListDialog(koWin* parent) : ilistDialog(parent, "appListDialog", 'a', IDC_APPS_NEW) {}

  void fill() override { fillWith(alist); }

  void onStart() override {
    ilistDialog::onStart();
    EnableWindow(GetDlgItem(hWnd, IDC_APPS_EMPTY), writable());
  }

  bool command(int id, int code) override {
    switch (id) {
      case IDC_APPS_NEW:
        working.init();
        if (NewAppDialog(this, &working) != 0) addItem(working.dup());
        return true;
      case IDC_APPS_EMPTY:
        working.init();
        if (AppDialog(this, &working) != 0) addItem(working.dup());
        return true;
      case IDC_LIST_UPDATE:
        if (editSelected(working, AppDialog, alist) != 0) modified = true;
        return true;
      case IDC_LIST_DELETE:
        delRecord();
        return true;
    }
    return ilistDialog::command(id, code);
  }

  void addItem(appItem* record) {
    addRecordRow(record, alist);
    modified = true;
  }

  void delRecord() {
    appItem* record = (appItem*)current();
    if (!record) return;
    std::vector<std::string> users;
    for (extItem* e : AppUsers(record->id)) users.push_back(e->name);
    if (!users.empty()) {
      std::string text = "アプリケーションはグループ[" + NamesInBrief(users) +
                         "]で使用されています。\nそれらのグループから外すと削除できます。";
      msgBox(text.c_str(), MB_OK | MB_ICONINFORMATION, nullptr);
      return;
    }
    std::string question =
        "アプリケーション[" + koShortText(record->name) + "]を削除します。よろしいですか？";
    if (deleteSelected(record, question, alist)) modified = true;
  }
};
}  // namespace

std::vector<extItem*> AppUsers(int appId) {
  std::vector<extItem*> users;
  for (extItem* e : elist) {
    for (int i = 0, n = e->count(); i < n; i++) {
      if (e->atab[i] != appId) continue;
      users.push_back(e);
      break;
    }
  }
  return users;
}

bool AppList(koWin* parent) {
  appListDialog* dialog = new appListDialog(parent);
  // The object outlives its window; the main window frees it later.
  dialog->run();
  return dialog->modified;
}
