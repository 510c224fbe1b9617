// The top-level frame window: program icon, optional menu, tool bar and
// status bar; its destruction ends the message loop.
#ifndef KO_MAINWIN_H
#define KO_MAINWIN_H
#include "koStatusBar.h"
#include "koToolBar.h"
#include "koWin.h"

class koMainWin : public koWin {
 public:
  bool quitOnDestroy;  // the destructor posts WM_QUIT(quitCode)
  int quitCode;        // the program's exit code when this window ends it
  koStatusBar* pStatusBar;
  koToolBar* pToolBar;

  explicit koMainWin(const char* className);
  ~koMainWin() override;
  const char* className() override;
  bool command(int id, int code) override;
  bool layoutChild() override;
  virtual bool create(const char* title);
  virtual void getClientRect(koRect& r);

  void statusBar(bool show, int style);
  void toolBar(bool show, int style);

 private:
  HWND createdWindow;  // the handle create() gave the module, for clearing
};

#endif
