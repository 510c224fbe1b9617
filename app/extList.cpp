// The list of extension groups: what the user sees when the program starts
// without a path.
#include "extList.h"
#include <windows.h>
#include <string.h>
#include <string>
#include "appList.h"
#include "dbsub.h"
#include "extDialog.h"
#include "ilistv.h"
#include "koModule.h"
#include "koUtl1.h"
#include "optDialog.h"

namespace {
// What the group editor edits: never a record of elist itself.
extItem working;

class extListDialog : public ilistDialog {
 public:
  explicit extListDialog(koWin* parent) : ilistDialog(parent, "extListDialog", 'e') {}

  void fill() override {
    for (extItem* e : elist) list->append(e);
  }

  bool command(int id, int code) override {
    switch (id) {
      case IDOK:
        // Enter closes like "閉じる", so the column widths are kept too.
        return command(IDCANCEL, code);
      case 30:
        working.init();
        if (ExtDialog(this, &working) != 0) addItem(working.dup());
        return true;
      case 32:
        updRecord();
        return true;
      case 31:
        delRecord();
        return true;
      case 1011:
        AppList(this);
        return true;
      case 800:
        OptionDialog(this);
        return true;
      case 550: {
        koDialogModal* about = new koDialogModal(this, "koDialog", -999, "ABOUTBOX");
        about->run();
        return true;
      }
      case 551:
        help();
        return true;
    }
    return koDialogModal::command(id, code);
  }

  void addItem(extItem* record) {
    elist.push_back(record);
    addRow(record);
  }

  void updRecord() {
    extItem* record = (extItem*)current();
    if (!record) return;
    working.import(record);
    // The editor is modal and owned by this dialog: the row cannot be
    // deleted or edited again while its copy is open.
    switch (ExtDialog(this, &working)) {
      case 1:
        addItem(working.dup());
        break;
      case 2:
        record->import(&working);
        updRow(record);
        break;
    }
  }

  void delRecord() {
    extItem* record = (extItem*)current();
    if (!record) return;
    std::string question = "グループ[" + koShortText(record->name) + "]を削除します。よろしいですか？";
    if (msgBox(question.c_str(), MB_YESNO | MB_ICONQUESTION, nullptr) != IDYES) return;
    if (!extItem::DelRecord(record->id)) {
      msgBox("削除に失敗しました!", MB_OK | MB_ICONEXCLAMATION, nullptr);
      return;
    }
    delRow();
    elist.remove(record);
    delete record;
  }

  void help() {
    char doc[300] = "";
    if (pModule) pModule->path.getFilePos(doc);
    if (strlen(doc) + strlen("help\\help.html") >= sizeof doc) return;
    strcat(doc, "help\\help.html");
    ShellExecuteA(nullptr, "open", doc, nullptr, nullptr, SW_SHOW);
  }
};
}  // namespace

void ExtList(koWin* parent) {
  extListDialog* dialog = new extListDialog(parent);
  dialog->run();
}
