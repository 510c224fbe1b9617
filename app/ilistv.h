// The three-column list of application or extension-group records used by
// the list dialogs: sorting by header, stored column widths.
#ifndef ILISTV_H
#define ILISTV_H
#include "appItem.h"
#include "koControl.h"
#include "koDlg1.h"
#include "koListView.h"

class ilistView : public koListView {
 public:
  char kind;       // 'a' applications, 'e' extension groups
  int sortIndex;   // current sort column
  int widths[3];   // column widths in pixels
  bool saved;      // widths written once already
  bool descending;

  ilistView(koWin* parent, int id, char kind);
  ~ilistView() override;

  void initColumn();
  // The new row's index.
  int append(xItem* item);
  bool changeSort(int column);
  int sortItem(void* first, void* second) override;
  // Scrolls so that the row is visible.
  void setView(int row);
  void loadParams();
  void saveParams();

  using koListView::getItem;
  // The record of a row, or null.
  xItem* getItem(int row);
  // The first selected row, or -1.
  int selected();
  // Selects and focuses one row.
  void select(int row);
  // The row showing the record, or -1.
  int findItem(xItem* item);
  // Rewrites a row's three cells from its record.
  void updateItem(int row);
};

// What the two record list dialogs share: the labels over the list, the
// list itself, the update and delete buttons and the selection that
// enables them.
class ilistDialog : public koDialogModal {
 public:
  koLabel* nameLabel = nullptr;
  koLabel* detailLabel = nullptr;
  ilistView* list = nullptr;
  koPushButton* updButton = nullptr;
  koPushButton* delButton = nullptr;
  int selection = -1;

  ilistDialog(koWin* parent, const char* templateName, char kind);
  void onStart() override;
  bool queryClose() override;
  bool notified(NMHDR* header, LRESULT& result) override;

  void setEnable();
  // Shows a record that its global list took over as the new last row,
  // selected, in view and focused.
  void addRow(xItem* record);
  // Rewrites the row of a record after an edit.
  void updRow(xItem* record);
  // Removes the selected row; nothing is selected afterwards.
  void delRow();
  // The record of the selected row, or null.
  xItem* current();

 protected:
  char kind;
  virtual void fill() = 0;
  void showLabels();
};

#endif
