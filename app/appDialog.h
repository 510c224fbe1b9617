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
};

// Results: 0 nothing stored, 1 stored as new, 2 stored over record->id.
int AppDialog(koWin* parent, appItem* record);
int NewAppDialog(koWin* parent, appItem* record);
// Lets the user pick an executable and fills the remembered record's name
// and command template from it; false when cancelled.
bool getOpenCmd(koWin* parent);

#endif
