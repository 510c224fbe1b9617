// Scroll bar control; the variable is its position, the partner shows it.
#ifndef KO_SCROLLBAR_H
#define KO_SCROLLBAR_H
#include "koControl.h"

class koScrollBar : public koControl {
 public:
  int bar;  // SB_CTL
  int position;
  int minimum;
  int maximum;
  int pageStep;

  koScrollBar(koWin* parent, int id, int style = 0);
  const char* className() override;
  using koControl::linkObject;
  void linkMapObject(koCtrlMap* entry) override;
  bool joinPartner() override;
  void updateObject() override;
  void updateScreen() override;
  bool isModified() override;

  bool setRangeAll(int min, int max, int position, int page, unsigned mask, bool redraw);
  bool setSel(int position, bool redraw);
  bool scroll(int code, int position);
  // rangeAndStep: minimum, maximum, page step.
  void linkObject(int* value, int* rangeAndStep);
  bool create();
};

#endif
