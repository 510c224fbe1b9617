// The list of extension groups: what the user sees when the program starts
// without a path.
#include "extList.h"
#include <windows.h>
#include <commctrl.h>
#include <string.h>
#include <string>
#include "dbsub.h"
#include "ilistv.h"
#include "koControl.h"
#include "koDlg1.h"
#include "koModule.h"

namespace {
class extListDialog : public koDialogModal {
 public:
  koLabel* nameLabel = nullptr;
  koLabel* detailLabel = nullptr;
  ilistView* list = nullptr;
  koPushButton* updButton = nullptr;
  koPushButton* delButton = nullptr;
  int selection = -1;

  explicit extListDialog(koWin* parent)
      : koDialogModal(parent, "koDialog", -999, "extListDialog", nullptr, 2) {}

  void onStart() override {
    moveCenter();
    selection = -1;
    nameLabel = new koLabel(this, "Static", 100);
    detailLabel = new koLabel(this, "Static", 101);
    list = new ilistView(this, 300, 'e');
    list->initColumn();
    updButton = new koPushButton(this, "Button", 32);
    delButton = new koPushButton(this, "Button", 31);
    for (extItem* e : elist) list->append(e);
    selection = -1;
    setEnable();
  }

  void setEnable() {
    updButton->enable(selection >= 0);
    delButton->enable(selection >= 0);
  }

  bool queryClose() override {
    list->saveParams();
    return true;
  }

  bool command(int id, int code) override {
    switch (id) {
      case IDOK:
        // Enter closes like "閉じる", so the column widths are kept too.
        return command(IDCANCEL, code);
      case 31:
        delRecord();
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

  bool notified(NMHDR* header, LRESULT& result) override {
    if (!header || header->idFrom != 300) return false;
    if (header->code == LVN_COLUMNCLICK) {
      list->changeSort(((NMLISTVIEW*)header)->iSubItem);
      return true;
    }
    if (header->code == LVN_ITEMCHANGED) {
      selection = list->selected();
      xItem* item = selection >= 0 ? list->getItem(selection) : nullptr;
      nameLabel->setText(item ? item->name.c_str() : "");
      detailLabel->setText(item ? item->detail.c_str() : "");
      setEnable();
      return true;
    }
    return false;
  }

  void delRecord() {
    selection = list->selected();
    extItem* record = selection >= 0 ? (extItem*)list->getItem(selection) : nullptr;
    if (!record) return;
    std::string question = "グループ[" + record->name + "]を削除します。よろしいですか？";
    if (msgBox(question.c_str(), MB_YESNO | MB_ICONQUESTION, nullptr) != IDYES) return;
    if (!extItem::DelRecord(record->id)) {
      msgBox("削除に失敗しました!", MB_OK | MB_ICONEXCLAMATION, nullptr);
      return;
    }
    list->delItem(selection);
    elist.remove(record);
    delete record;
    selection = -1;
    nameLabel->setText("");
    detailLabel->setText("");
    setEnable();
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
