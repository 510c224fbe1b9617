#include "appDialog.h"
#include <windows.h>
#include <string.h>
#include <string>
#include <vector>
#include "koGetFn.h"
#include "koPathname.h"
#include "koUtl1.h"
#include "resource.h"

namespace {
appItem* editRecord = nullptr;
int dialogResult = 0;

const int kMsgIcon = MB_OK | MB_ICONEXCLAMATION;

int openDialog(koWin* parent) {
  appDialog* dialog = new appDialog(parent);
  dialog->run();
  return dialogResult;
}
}  // namespace

// The whole text of an edit when it fits the bound, else false: a value is
// never cut silently (an edit may count its limit in characters).
bool ReadEditWhole(koEdit* edit, int bound, std::string& out) {
  out.clear();
  if (!edit || !edit->hWnd) return true;
  if (edit->getTextLen() > bound) return false;
  std::string text;
  if (edit->getText(text) < 0) return false;
  if ((int)text.size() > bound) return false;
  out = text;
  return true;
}

std::string TrimmedName(const std::string& typed) {
  std::vector<char> name(typed.c_str(), typed.c_str() + typed.size() + 1);
  koBlankCut(name.data());
  return name.data();
}

bool ReadRecordTexts(koWin* dialog, koEdit* const edits[3], const int bounds[3],
                     const char* detailTooLong, xItem* record, bool adding,
                     xItem* (*byName)(const char*)) {
  const char* tooLong[3] = {"名前が長すぎます", detailTooLong, "備考が長すぎます"};
  std::string texts[3];
  for (int i = 0; i < 3; i++) {
    if (!ReadEditWhole(edits[i], bounds[i], texts[i])) {
      dialog->msgBox(tooLong[i], kMsgIcon, nullptr);
      return false;
    }
  }
  texts[0] = TrimmedName(texts[0]);
  if (texts[0].empty()) {
    dialog->msgBox("名前がありません", kMsgIcon, nullptr);
    return false;
  }
  xItem* same = byName(texts[0].c_str());
  if (same && (adding || same->id != record->id)) {
    dialog->msgBox("名前が重複しています", kMsgIcon, nullptr);
    return false;
  }
  record->name = texts[0];
  record->detail = texts[1];
  record->memo = texts[2];
  return true;
}

appDialog::appDialog(koWin* parentObject)
    : koDialogModal(parentObject, "koDialog", -999, "appDialog", nullptr, 2) {}

appDialog::~appDialog() {}

const char* appDialog::className() { return "appDialog"; }

void appDialog::onStart() {
  if (editRecord && editRecord->id != 0)
    setText("アプリケーション[" + koShortText(editRecord->name) + "]の更新");
  moveCenter();
  nameEdit = new koEdit(this, "Edit", IDC_EDIT_NAME);
  commandEdit = new koEdit(this, "Edit", IDC_EDIT_DETAIL);
  memoEdit = new koMultiEdit(this, "Edit", IDC_EDIT_MEMO);
  SendMessageA(nameEdit->hWnd, EM_LIMITTEXT, kAppNameMax, 0);
  SendMessageA(commandEdit->hWnd, EM_LIMITTEXT, kAppCommandMax, 0);
  SendMessageA(memoEdit->hWnd, EM_LIMITTEXT, kAppMemoMax, 0);
  if (editRecord) {
    nameEdit->setText(editRecord->name);
    commandEdit->setText(editRecord->detail);
    memoEdit->setText(editRecord->memo);
  }
  updButton = new koPushButton(this, "Button", IDC_APP_UPDATE);
  updButton->enable(editRecord && editRecord->id != 0);
}

bool appDialog::command(int id, int code) {
  switch (id) {
    case IDOK:
      // No OK button: Enter in an edit would end the dialog and lose the input.
      // Only the dialog's own post after storing ends it.
      if (stored) return koDialogModal::command(id, code);
      return true;
    case IDC_APP_ADD:
      if (addRecord()) {
        stored = true;
        PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
      }
      return true;
    case IDC_APP_UPDATE:
      if (updRecord()) {
        stored = true;
        PostMessageA(hWnd, WM_COMMAND, IDOK, 0);
      }
      return true;
    case IDC_APP_BROWSE:
      if (getOpenCmd(this) && editRecord) {
        nameEdit->setText(editRecord->name);
        commandEdit->setText(editRecord->detail);
      }
      return true;
  }
  return koDialogModal::command(id, code);
}

bool appDialog::dataCheck(bool adding) {
  if (!editRecord) return false;
  koEdit* const edits[3] = {nameEdit, commandEdit, memoEdit};
  static const int bounds[3] = {kAppNameMax, kAppCommandMax, kAppMemoMax};
  return ReadRecordTexts(this, edits, bounds, "コマンドが長すぎます", editRecord, adding,
                         [](const char* name) -> xItem* { return findAppItem(name); });
}

bool appDialog::store(bool adding) {
  return dataCheck(adding) && StoreRecord(this, editRecord, adding, dialogResult);
}

bool appDialog::addRecord() { return store(true); }
bool appDialog::updRecord() { return store(false); }

bool getOpenCmd(koWin* parent) {
  if (!editRecord) return false;
  koGetOpenFileName chooser(parent);
  static const char* const filters[] = {"実行ファイル", "*.exe", "バッチファイル", "*.bat",
                                        "全てのファイル", "*.*", nullptr};
  chooser.setFilters(filters);
  chooser.setTitle("実行ファイルを開く");
  char path[koGetFileName::kPathSize] = "";
  if (chooser.run(path, nullptr, sizeof path) == 0 || !path[0]) return false;
  editRecord->detail = std::string("\"") + path + "\"  \"%1\"";
  koPathname parts;
  parts.storeName(path);
  editRecord->name = parts.name ? parts.name : "";
  return true;
}

int AppDialog(koWin* parent, appItem* record) {
  dialogResult = 0;
  editRecord = record;
  return openDialog(parent);
}

int NewAppDialog(koWin* parent, appItem* record) {
  dialogResult = 0;
  editRecord = record;
  if (!getOpenCmd(parent)) return 0;
  return openDialog(parent);
}
