// Dialogs from templates: the template is loaded into memory, its font size
// rewritten, the dialog manager makes the window and the object is bound to it.
#ifndef KO_DLG0_H
#define KO_DLG0_H
#include <windows.h>
#include "koAutoBuffer.h"
#include "koWin.h"

class koControl;
class koDialog;

// One control tied to one program variable; a null factory ends the map.
struct koCtrlMap {
  koControl* (*factory)(koDialog* dialog, int id);
  void* data;   // the variable
  int id;       // control id in the template
  int size;     // capacity of the variable (text: bytes with the terminator)
  void* extra;  // list box items, up-down or scroll bar range
};

INT_PTR CALLBACK koDlgProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

class koDialog : public koWin {
 public:
  alignas(8) unsigned char templateStorage[1024];  // templates must be DWORD-aligned
  const char* templateName;
  DLGTEMPLATE* dlgTemplate;
  koCtrlMap* ctrlMap;
  koAutoBuffer templateBuffer;
  int kind;    // 0 plain, 1 modal
  int result;  // IDOK or IDCANCEL, handed to EndDialog

  koDialog(koWin* parent, const char* templateName);
  koDialog(koWin* parent, const char* className, int id, const char* templateName,
           koCtrlMap* map = nullptr, int result = IDCANCEL);
  ~koDialog() override;
  const char* className() override;

  bool queryClose() override;
  bool command(int id, int code) override;
  virtual bool isModified();
  virtual bool queryOk();
  virtual void okProc();
  virtual int fontSize();
  virtual void fontSize(int size);

  static int FontSize();
  static void FontSize(int size);
  // Writes size into the template's point size. length, when above 0, is
  // the number of bytes the template may occupy; nothing is read beyond it.
  static bool ChangeFont(DLGTEMPLATE* dlgTemplate, int size, int* rectangle, bool force,
                         int length = 0);
  // The largest point size up to size at which the template's dialog, with
  // its caption and frame, fits the work area; never below minimum, and
  // size itself for a template whose font cannot be changed.
  static int FittingFontSize(const DLGTEMPLATE* dlgTemplate, int size, const RECT& work,
                             int minimum = 5, int length = 0);

  bool initialProc();
  void updateScreen();
  void linkMapObject();
  bool isModifiedMapData();
  // The object of a control of this dialog, or null.
  koControl* control(int id);

  static int commonFontSize;
  static const int designSize = 9;
  static koDialog* NewDialog;  // the dialog the dialog manager is making now
  static INT_PTR resultx;      // what the last modal dialog box returned
  static int nitem;            // items of the last template given to ChangeFont

 protected:
  bool closing;  // the user agreed to close: not asked again on the way out
};

#endif
