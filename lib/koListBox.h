// List box control: the linked variable is the selected index.
#ifndef KO_LISTBOX_H
#define KO_LISTBOX_H
#include "koControl.h"

class koListBox : public koControl {
 public:
  koListBox(koWin* parent, int id, int style = 0);
  koListBox(koWin* parent, const char* className, int id, int style = 0);
  const char* className() override;
  using koControl::linkObject;
  void linkMapObject(koCtrlMap* entry) override;
  void updateObject() override;
  void updateScreen() override;
  bool isModified() override;

  // items: texts added in order, ended by a null pointer.
  void linkObject(int* selection, char** items);
  // The selected item's text, cut to size bytes with the terminator; the
  // index, or -1 (empty text) without a selection.
  int getSel(char* buffer, int size = 300);
  int showLast();
};

#endif
