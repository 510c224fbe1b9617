// Modal dialogs: run from a template, the object outlives its window so the
// caller can read its fields, and the main window deletes it later.
#ifndef KO_DLG1_H
#define KO_DLG1_H
#include "koDlg0.h"

class koDialogModal : public koDialog {
 public:
  koDialogModal(koWin* parent, const char* templateName);
  koDialogModal(koWin* parent, const char* className, int id, const char* templateName,
                koCtrlMap* map = nullptr, int result = IDCANCEL);
  const char* className() override;
  bool destroy() override;

  bool create();
  // The end code (1 OK, 2 Cancel, or what the dialog gave EndDialog), -1
  // when the dialog could not be made.
  int run();
};

#endif
