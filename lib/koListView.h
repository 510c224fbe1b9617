// Report-style list view control: rows with text and one borrowed pointer
// each, columns, selection, sorting through an overridable comparison, and
// the control's notifications turned into members.
#ifndef KO_LISTVIEW_H
#define KO_LISTVIEW_H
#include <windows.h>
#include <commctrl.h>
#include "koControl.h"
#include "koGdi.h"

class koListView : public koControl {
 public:
  int ncolumn;     // columns the control accepted, less those deleted
  int nitem;       // rows as last seen
  long sortParam;  // free for derived classes

  koListView(koWin* parent, const char* className, int id, int style = 0x10001);
  const char* className() override;
  koPoint measureItem(MEASUREITEMSTRUCT* mis) override;
  bool paint(koDevContext& dc, koRect& rect, DRAWITEMSTRUCT& dis) override;
  bool notified(NMHDR* header, LRESULT& result) override;

  virtual bool queryEditLabel(int item);
  virtual void endEditLabel(int item, char* text);
  virtual void columnClick(int column);
  virtual void paint(koDevContext& dc, koRect& rect, int item, void* param);
  virtual void deletedItem(NMLISTVIEW& nm);
  virtual void deletedAll();
  virtual void inserted(NMLISTVIEW& nm);
  virtual void itemChanged(NMLISTVIEW& nm);
  virtual bool queryItemChange(NMLISTVIEW& nm);
  virtual int sortItem(void* a, void* b);
  virtual void erase();
  virtual bool delItem(int item);

  using koControl::paint;
  using koControl::measureItem;
  using koControl::setState;

  bool insertColumn(int column, const char* text, int width, int format = LVCFMT_LEFT);
  bool setColumn(int column, const char* text, int width = -1, int format = -1);
  bool delColumn(int column);
  int columnWidth(int column);
  bool insertItem(int item, const char* text, void* param);
  // A row after the last, in one message: its index, or -1.
  int appendItem(const char* text, void* param);
  bool setItem(int item, const char* text, int subitem, void* param);
  bool getItem(int item, char* buffer, int subitem, int size);
  bool setParam(int item, void* param);
  void* getParam(int item);
  bool setState(int item, int state, int mask);
  bool setItemState(int item, int state, int mask);
  int getItemState(int item, int mask);
  int image(int item);
  bool image(int item, int index);
  int find(const char* text, int start = -1);
  int hitTest(int x, int y, LVHITTESTINFO* info = nullptr);
  int selectAll(bool on);
  int selectReverse();
  HIMAGELIST dragImage(int item, int x, int y);
  bool sort();
  void setSortParam(long value);
  // Rows the control holds now.
  int count();

  static int CALLBACK ListViewCompareFunc(LPARAM a, LPARAM b, LPARAM view);

  // Held while many rows go in: room for them made at once, no drawing
  // until it ends, then one repaint.
  class Filling {
   public:
    Filling(koListView* view, int rows);
    ~Filling();
    Filling(const Filling&) = delete;
    Filling& operator=(const Filling&) = delete;

   private:
    HWND list;
    bool quiet;  // drawing turned off, to be turned back on
  };

 private:
  // A message to the control's own procedure, past this object's dispatcher,
  // which handles none of the list's messages: a fill sends thousands.
  LRESULT direct(UINT message, WPARAM wParam, LPARAM lParam);
};

#endif
