// The editor of one application record: name, command template and note.
#ifndef APP_DIALOG_H
#define APP_DIALOG_H
#include <string>
#include "appItem.h"
#include "koControl.h"
#include "koDlg1.h"

// One bound for each value: the edit's input limit and what is stored.
const int kAppNameMax = 200;
const int kAppCommandMax = 1000;
const int kAppMemoMax = 5000;

// The whole text of an edit when it fits bound bytes; false, and nothing
// read, when it does not.
bool ReadEditWhole(koEdit* edit, int bound, std::string& out);

// The typed name without its leading and trailing blanks.
std::string TrimmedName(const std::string& typed);

// What an editor's name, detail and note edits hold, read the same way for
// both kinds of record: each whole within its bound, the name trimmed, not
// empty and not another record's (byName finds a record by its name). Only
// then written into record; otherwise tells the user what is wrong and
// returns false, the record unchanged.
bool ReadRecordTexts(koWin* dialog, koEdit* const edits[3], const int bounds[3],
                     const char* detailTooLong, xItem* record, bool adding,
                     xItem* (*byName)(const char*));

// Stores the record as new (adding) or over its id, telling the user when
// that failed. On success result becomes the editor's result: 1 added, 2
// updated.
template <class Record>
bool StoreRecord(koWin* dialog, Record* record, bool adding, int& result) {
  if (adding ? record->addRecord() : record->updRecord()) {
    result = adding ? 1 : 2;
    return true;
  }
  dialog->msgBox(adding ? "追加に失敗しました!" : "更新に失敗しました!", MB_OK | MB_ICONEXCLAMATION,
                 nullptr);
  return false;
}

class appDialog : public koDialogModal {
 public:
  koEdit* nameEdit = nullptr;
  koEdit* commandEdit = nullptr;
  koMultiEdit* memoEdit = nullptr;
  koPushButton* updButton = nullptr;
  bool stored = false;  // the record was written: the posted OK may end the dialog

  explicit appDialog(koWin* parent);
  ~appDialog() override;
  const char* className() override;
  void onStart() override;
  bool command(int id, int code) override;

  bool dataCheck(bool adding);
  bool addRecord();
  bool updRecord();
  bool store(bool adding);
};

// Results: 0 nothing stored, 1 stored as new, 2 stored over record->id.
int AppDialog(koWin* parent, appItem* record);
int NewAppDialog(koWin* parent, appItem* record);
// Lets the user pick an executable and fills the remembered record's name
// and command template from it; false when cancelled.
bool getOpenCmd(koWin* parent);

#endif
