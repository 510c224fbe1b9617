// Child controls: a control of a dialog template linked by subclassing, or
// one the object creates; each moves one program variable to and from its
// window.
#ifndef KO_CONTROL_H
#define KO_CONTROL_H
#include "koDlg0.h"
#include "koWin.h"

class koControl : public koWin {
 public:
  bool modifiedFlag;
  void* data;
  int size;
  koControl* partner;  // the control with the next id, or null

  koControl(koWin* parent, const char* className, int id, int style = 0);
  koControl(HWND window, bool link);
  ~koControl() override;
  const char* className() override;

  bool other(koEvent& e) override;
  bool kbd(koEvent& e) override;
  bool show(int command) override;
  bool enable(bool enable) override;

  virtual void linkObject(void* data, int size);
  virtual void linkMapObject(koCtrlMap* entry);
  virtual bool joinPartner();
  virtual void updateObject();
  virtual void updateScreen();
  virtual bool isModified();
  virtual void modified(bool on);
  virtual int getCheck();
  virtual void setCheck(int state);
  virtual int getState();
  virtual void setState(int state);
  virtual void setStyle(int style, bool redraw);
  virtual void click();
  virtual void setModified(bool on);

  bool tryLink();
  int controlId();

 protected:
  bool ownPartner;  // the partner is a wrapper this control made
  void releasePartner();
};

class koEdit : public koControl {
 public:
  koEdit(koWin* parent, int id, int style = 0);
  koEdit(koWin* parent, const char* className, int id, int style = 0);
  const char* className() override;
  void linkMapObject(koCtrlMap* entry) override;
  void updateObject() override;
  void updateScreen() override;
  bool isModified() override;
  void setModified(bool on) override;
  bool other(koEvent& e) override;

 protected:
  // A paste that would not fit the edit's limit whole is refused with a
  // message; the edit alone would keep its beginning without a word.
  bool refusePaste(koEvent& e);
};

// Keeps Enter and Tab for itself.
class koMultiEdit : public koEdit {
 public:
  koMultiEdit(koWin* parent, int id, int style = 0);
  koMultiEdit(koWin* parent, const char* className, int id, int style = 0);
  const char* className() override;
  bool kbd(koEvent& e) override;
  bool other(koEvent& e) override;
};

class koPushButton : public koControl {
 public:
  koPushButton(koWin* parent, int id, int style = 0);
  koPushButton(koWin* parent, const char* className, int id, int style = 0);
  const char* className() override;
  void updateScreen() override;
};

class koLabel : public koControl {
 public:
  koLabel(koWin* parent, int id, int style = 0);
  koLabel(koWin* parent, const char* className, int id, int style = 0);
  const char* className() override;
  void updateScreen() override;
};

class koCheckBox : public koControl {
 public:
  koCheckBox(koWin* parent, int id, int style = 0);
  koCheckBox(koWin* parent, const char* className, int id, int style = 0);
  const char* className() override;
  void linkMapObject(koCtrlMap* entry) override;
  void updateObject() override;
  void updateScreen() override;
  bool isModified() override;
};

#endif
