// The three-column list of application or extension-group records used by
// the list dialogs: sorting by header, stored column widths.
#ifndef ILISTV_H
#define ILISTV_H
#include <list>
#include <string>
#include "appItem.h"
#include "dbsub.h"
#include "koControl.h"
#include "koDlg1.h"
#include "koListView.h"

class ilistView : public koListView {
 public:
  char kind;        // 'a' applications, 'e' extension groups
  int sortIndex;    // current sort column, 0 to 2
  bool descending;
  int widths[3];    // column widths in pixels
  bool stored[3];   // the width is the user's, read back from the database
  bool saved;       // widths and sort written once already

  ilistView(koWin* parent, int id, char kind);
  ~ilistView() override;

  void initColumn();
  // The new row's index.
  int append(xItem* item);
  bool changeSort(int column);
  // Sorts the rows by the current column and marks its header.
  bool applySort();
  int sortItem(void* first, void* second) override;
  // Columns without a stored width as wide as their header and content
  // need, within the list's client width; the last one takes the rest.
  void fitColumns();
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

 private:
  // Widths are stored in dialog units too, which follow the font and DPI.
  int toDialogUnits(int pixels);
  int toPixels(int dialogUnits);
  void markSortColumn();
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

  // newCommand: what Insert does, as the "新規" button.
  ilistDialog(koWin* parent, const char* templateName, char kind, int newCommand);
  void onStart() override;
  bool queryClose() override;
  bool notified(NMHDR* header, LRESULT& result) override;
  // Enter opens the selected row's editor; it never closes the list.
  bool command(int id, int code) override;

  void setEnable();
  // Shows a record that its global list took over in its sorted place,
  // selected, in view and focused.
  void addRow(xItem* record);
  // Rewrites the row of a record after an edit.
  void updRow(xItem* record);
  // Removes the row of a record; nothing is selected afterwards.
  void delRow(xItem* record);
  // The record of the selected row, or null.
  xItem* current();
  // The database takes writes: otherwise nothing is added, edited or deleted.
  bool writable() const { return dbReadOnly.empty(); }

  // A row for every record of a global list, drawn once at the end.
  template <class Record>
  void fillWith(const std::list<Record*>& all) {
    koListView::Filling filling(list, (int)all.size());
    for (Record* record : all) list->append(record);
  }

  // A record the editor stored as new: its global list takes it over.
  template <class Record>
  void addRecordRow(Record* record, std::list<Record*>& all) {
    all.push_back(record);
    addRow(record);
  }

  // Edits a copy of the selected record; a copy stored as new gets a row of
  // its own, an update is mirrored into the record and its row. The
  // editor's result. The editor is modal and owned by this dialog, so the
  // row cannot be deleted or edited again while its copy is open.
  template <class Record>
  int editSelected(Record& working, int (*editor)(koWin*, Record*), std::list<Record*>& all) {
    Record* record = (Record*)current();
    if (!record) return 0;
    working.import(record);
    int result = editor(this, &working);
    if (result == 1) {
      addRecordRow(working.dup(), all);
    } else if (result == 2) {
      record->import(&working);
      updRow(record);
    }
    return result;
  }

  // Asks, deletes the selected record from the database, then from its
  // row and its global list. True when it was deleted.
  template <class Record>
  bool deleteSelected(Record* record, const std::string& question, std::list<Record*>& all) {
    // No by default, as every question: Enter alone deletes nothing.
    if (!record || msgBox(question.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, nullptr) != IDYES)
      return false;
    if (!Record::DelRecord(record->id)) {
      msgBox(("削除に失敗しました!\n\n" + DbWriteFailure()).c_str(), MB_OK | MB_ICONERROR, nullptr);
      return false;
    }
    delRow(record);
    all.remove(record);
    delete record;
    return true;
  }

 protected:
  char kind;
  int newCommand;
  virtual void fill() = 0;
  void showLabels();
};

#endif
