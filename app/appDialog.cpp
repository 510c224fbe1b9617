#include "appDialog.h"
#include <windows.h>
#include <string>
#include "koGetFn.h"
#include "koPathname.h"
#include "gosub.h"
#include "koUtl1.h"
#include "recordEdit.h"
#include "resource.h"

namespace {
// The executable the user picks; false when cancelled, or refused (told).
bool pickProgram(koWin* parent, std::string& path) {
  koGetOpenFileName chooser(parent);
  static const char* const filters[] = {"実行ファイル", "*.exe", "バッチファイル", "*.bat",
                                        "全てのファイル", "*.*", nullptr};
  chooser.setFilters(filters);
  chooser.setTitle("実行ファイルを開く");
  char chosen[koGetFileName::kPathSize] = "";
  if (chooser.run(chosen, nullptr, sizeof chosen) == 0 || chooser.chosen.empty()) return false;
  if (HeldProgramPath(chooser.chosen, path)) return true;
  std::string text = UnheldMessage("選んだプログラムの場所", koUnheld(chooser.chosen)) +
                     "\n（ユーザーのフォルダーなど、環境変数で書けるフォルダーの下なら、そのまま選べます）";
  parent->msgBox(text.c_str(), MB_OK | MB_ICONEXCLAMATION, nullptr);
  return false;
}

// The file name without its extension, as the application's name.
std::string programName(const std::string& path) {
  koPathname parts;
  parts.storeName(path.c_str());
  return parts.name ? parts.name : "";
}

int openDialog(koWin* parent, appItem* record) {
  appDialog* dialog = new appDialog(parent, record);
  // The object outlives its window; the main window frees it later.
  dialog->run();
  return dialog->outcome;
}
}  // namespace

appDialog::appDialog(koWin* parentObject, appItem* edited)
    : koDialogModal(parentObject, "koDialog", -999, "appDialog", nullptr, 2), record(edited) {}

appDialog::~appDialog() {}

const char* appDialog::className() { return "appDialog"; }

void appDialog::onStart() {
  if (record && record->id != 0)
    setText("アプリケーション[" + koShortText(record->name) + "]の更新");
  moveCenter();
  nameEdit = new koEdit(this, "Edit", IDC_EDIT_NAME);
  commandEdit = new koEdit(this, "Edit", IDC_EDIT_DETAIL);
  memoEdit = new koMultiEdit(this, "Edit", IDC_EDIT_MEMO);
  SendMessageW(nameEdit->hWnd, EM_LIMITTEXT, kAppNameMax, 0);
  SendMessageW(commandEdit->hWnd, EM_LIMITTEXT, kAppCommandMax, 0);
  SendMessageW(memoEdit->hWnd, EM_LIMITTEXT, kAppMemoMax, 0);
  if (record) {
    nameEdit->setText(record->name);
    commandEdit->setText(record->detail);
    memoEdit->setText(record->memo);
  }
  updButton = new koPushButton(this, "Button", IDC_APP_UPDATE);
  updButton->enable(record && record->id != 0);
}

bool appDialog::command(int id, int code) {
  switch (id) {
    case IDOK:
      // No OK button: Enter in an edit would end the dialog and lose the input.
      // Only the dialog's own post after storing ends it.
      if (outcome) return koDialogModal::command(id, code);
      return true;
    case IDC_APP_ADD:
    case IDC_APP_UPDATE:
      if (store(id == IDC_APP_ADD)) PostMessageW(hWnd, WM_COMMAND, IDOK, 0);
      return true;
    case IDC_APP_BROWSE: {
      // What was typed stays: the arguments, and a name that is there.
      std::string path, typed, name;
      if (!pickProgram(this, path)) return true;
      commandEdit->getText(typed);
      nameEdit->getText(name);
      commandEdit->setText(WithProgram(typed, path));
      if (TrimmedName(name).empty()) nameEdit->setText(programName(path));
      return true;
    }
  }
  return koDialogModal::command(id, code);
}

bool appDialog::dataCheck(bool adding) {
  if (!record) return false;
  koEdit* const edits[3] = {nameEdit, commandEdit, memoEdit};
  static const int bounds[3] = {kAppNameMax, kAppCommandMax, kAppMemoMax};
  return ReadRecordTexts(this, edits, bounds, "コマンドが長すぎます", record, adding,
                         [](const char* name) -> xItem* { return findAppItem(name); });
}

bool appDialog::store(bool adding) {
  return dataCheck(adding) && StoreRecord(this, record, adding, outcome);
}

bool getOpenCmd(koWin* parent, appItem* record) {
  std::string path;
  if (!record || !pickProgram(parent, path)) return false;
  record->detail = WithProgram("", path);
  record->name = programName(path);
  return true;
}

std::string WithProgram(const std::string& command, const std::string& path) {
  size_t start, end;
  ProgramSpan(command, start, end);
  if (start == std::string::npos) return "\"" + path + "\"  \"%1\"";
  return command.substr(0, start) + "\"" + path + "\"" + command.substr(end);
}

int AppDialog(koWin* parent, appItem* record) {
  if (!record) return 0;
  return openDialog(parent, record);
}

int NewAppDialog(koWin* parent, appItem* record) {
  if (!getOpenCmd(parent, record)) return 0;
  return openDialog(parent, record);
}
