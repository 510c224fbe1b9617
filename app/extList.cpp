// The list of extension groups: what the user sees when the program starts
// without a path.
#include "extList.h"
#include "koLazy.h"  // dropped files: the shell loaded at the first drop
#include "koPlatform.h"
#include <windows.h>
#include <string.h>
#include <string>
#include "appList.h"
#include "dbsub.h"
#include "extDialog.h"
#include "gosub.h"
#include "ilistv.h"
#include "koGetFn.h"
#include "koModule.h"
#include "koUtl1.h"
#include "optDialog.h"
#include "regFile.h"
#include "resource.h"

namespace {
const char* const kRegFilters[] = {"登録のファイル (*.json)", "*.json", "全てのファイル", "*.*", nullptr};

class extListDialog : public ilistDialog {
 public:
  // What the group editor edits: never a record of elist itself.
  extItem working;

  explicit extListDialog(koWin* parent) : ilistDialog(parent, "extListDialog", 'e', IDC_GROUPS_NEW) {}

  void fill() override { fillWith(elist); }

  bool command(int id, int code) override {
    switch (id) {
      case IDC_GROUPS_NEW:
        working.init();
        if (ExtDialog(this, &working) != 0) addRecordRow(working.dup(), elist);
        return true;
      case IDC_LIST_UPDATE:
        editSelected(working, ExtDialog, elist);
        return true;
      case IDC_LIST_DELETE:
        delRecord();
        return true;
      case IDC_GROUPS_APPS:
        AppList(this);
        return true;
      case IDC_GROUPS_OPTIONS:
        OptionDialog(this);
        return true;
      case IDC_GROUPS_ABOUT: {
        koDialogModal* about = new koDialogModal(this, "koDialog", -999, "ABOUTBOX");
        about->run();
        return true;
      }
      case IDC_GROUPS_HELP:
        help();
        return true;
      case IDC_GROUPS_EXPORT:
        exportTo();
        return true;
      case IDC_GROUPS_IMPORT:
        importFrom();
        return true;
      case IDC_GROUPS_TRY:
        tryFile();
        return true;
    }
    return ilistDialog::command(id, code);
  }

  void delRecord() {
    extItem* record = (extItem*)current();
    if (!record) return;
    deleteSelected(record, "グループ[" + koShortText(record->name) + "]を削除します。よろしいですか？", elist);
  }

  // Registrations to and from a file, with the command line's checks and question.
  void exportTo() {
    koGetSaveFileName chooser(this);
    chooser.setFilters(kRegFilters);
    chooser.setDefaultExtension("json");
    chooser.setTitle("登録の書き出し");
    char path[koGetFileName::kPathSize] = "";
    if (chooser.run(path, sizeof path) && !chooser.chosen.empty()) ExportRegistrations(hWnd, chooser.chosen, caption());
  }

  void importFrom() {
    koGetOpenFileName chooser(this);
    chooser.setFilters(kRegFilters);
    chooser.setTitle("登録の読み込み");
    char path[koGetFileName::kPathSize] = "";
    if (!chooser.run(path, nullptr, sizeof path) || chooser.chosen.empty()) return;
    if (!ImportRegistrations(hWnd, chooser.chosen, true, caption())) return;
    // The rows point into the lists: gone before them.
    list->erase();
    EraseItem();
    if (!GetAllItem()) msgBox(DbFailureText(), MB_OK | MB_ICONERROR, nullptr);
    fill();
    list->applySort();
    selection = -1;
    showLabels();
    setEnable();
  }

  static const char* caption() { return pModule ? pModule->title.c_str() : ""; }

  // What a launch would do with a file, chosen or dropped on the list.
  void tryFile() {
    koGetOpenFileName chooser(this);
    chooser.setTitle("試すファイル");
    char path[koGetFileName::kPathSize] = "";
    if (chooser.run(path, nullptr, sizeof path) && !chooser.chosen.empty()) preview(chooser.chosen);
  }
  void preview(const std::wstring& path) {
    msgBox(LaunchPreview(path).c_str(), MB_OK | MB_ICONINFORMATION, "試す");
  }
  bool other(koEvent& e) override {
    if (e.message != WM_DROPFILES) return ilistDialog::other(e);
    HDROP drop = (HDROP)e.wParam;
    for (UINT i = 0, n = KO_LAZY("shell32.dll", DragQueryFileW)(drop, 0xFFFFFFFF, nullptr, 0); i < n; i++) {
      std::wstring file(KO_LAZY("shell32.dll", DragQueryFileW)(drop, i, nullptr, 0) + 1, L'\0');
      file.resize(KO_LAZY("shell32.dll", DragQueryFileW)(drop, i, &file[0], (UINT)file.size()));
      preview(file);
    }
    KO_LAZY("shell32.dll", DragFinish)(drop);
    return true;
  }

  // A missing file and a file without a program to open it are told apart.
  void help() {
    char folder[300] = "";
    if (pModule) pModule->path.getFilePos(folder);
    std::string path = std::string(folder) + "help\\help.html", text;
    DWORD attr = koFileAttributes(path.c_str());
    if (attr == INVALID_FILE_ATTRIBUTES || (attr & FILE_ATTRIBUTE_DIRECTORY))
      text = "ヘルプのファイルがありません。\n\n" + path + "\n\nプログラムと一緒に配られた help フォルダーを、プログラムと同じフォルダーに置いてください。";
    else if (!OpenBesideProgram(folder, "help\\help.html").empty())
      text = "ヘルプを開くプログラムがありません。\n\n" + path +
             "\n\n.html のファイルを開くブラウザーを入れるか、既定のアプリに設定してください。";
    if (!text.empty()) msgBox(text.c_str(), MB_OK | MB_ICONERROR, nullptr);
  }
};
}  // namespace

void ExtList(koWin* parent) {
  extListDialog* dialog = new extListDialog(parent);
  dialog->run();
}
