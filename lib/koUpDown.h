// Up-down control; the variable is its position.
#ifndef KO_UPDOWN_H
#define KO_UPDOWN_H
#include "koControl.h"

class koUpDown : public koControl {
 public:
  typedef int (*ParseFn)(const char* text);
  typedef void (*FormatFn)(int value, char* buffer);  // buffer of 300 bytes

  bool guard;        // set while setpos01 moves the windows
  int position;
  int minimum;
  int maximum;
  koControl* buddy;  // the edit box create() made, null for a template control
  ParseFn parse;
  FormatFn format;

  koUpDown(koWin* parent, int id, int style = 0);
  ~koUpDown() override;
  const char* className() override;
  using koControl::linkObject;
  void linkMapObject(koCtrlMap* entry) override;
  void updateObject() override;
  bool isModified() override;
  bool moved(int x, int y) override;
  bool mouse(int message, koPoint point, int keys) override;
  bool show(int command) override;
  bool hide() override;

  bool setRange(int min, int max, bool redraw = true);
  bool setSel(int value);
  int getSel();
  bool linkObject(int* value, int* range);
  bool create();
  void setpos01(int x, int y);
  void viewData();
  bool checkJoin();

 private:
  HWND buddyWindow;
  int clamp(int value) const;
  koControl* edit();  // the buddy while it lives, else the partner
};

#endif
