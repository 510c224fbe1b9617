// The editor of one application record: name, command template and note.
#ifndef APP_DIALOG_H
#define APP_DIALOG_H
#include <string>
#include "appItem.h"
#include "koControl.h"
#include "koDlg1.h"
#include "recordEdit.h"

class appDialog : public koDialogModal {
 public:
  koEdit* nameEdit = nullptr;
  koEdit* commandEdit = nullptr;
  koMultiEdit* memoEdit = nullptr;
  koPushButton* updButton = nullptr;
  appItem* record;  // what is edited, written only when stored
  int outcome = 0;  // 0 nothing stored, 1 stored as new, 2 stored over record->id

  appDialog(koWin* parent, appItem* record);
  ~appDialog() override;
  const char* className() override;
  void onStart() override;
  bool command(int id, int code) override;

  bool dataCheck(bool adding);
  bool store(bool adding);
};

// Results: 0 nothing stored, 1 stored as new, 2 stored over record->id.
int AppDialog(koWin* parent, appItem* record);
int NewAppDialog(koWin* parent, appItem* record);
// Lets the user pick an executable and fills the record's name and command
// template from it; false when cancelled.
bool getOpenCmd(koWin* parent, appItem* record);
// The command with its program (the first word, or the quoted text it
// starts with) replaced by the quoted path, its arguments kept; a command
// of blanks becomes the path's template ("path"  "%1").
std::string WithProgram(const std::string& command, const std::string& path);


#endif
