#include "koDlg1.h"
#include <commctrl.h>
#include "koModule.h"
#include "koLazy.h"

koDialogModal::koDialogModal(koWin* parentObject, const char* name)
    : koDialog(parentObject, name) {
  kind = 1;
}

koDialogModal::koDialogModal(koWin* parentObject, const char* windowClass, int controlId,
                             const char* name, koCtrlMap* map, int endCode)
    : koDialog(parentObject, windowClass, controlId, name, map, endCode) {
  kind = 1;
}

const char* koDialogModal::className() { return "koDialogModal"; }

bool koDialogModal::destroy() { return EndDialog(hWnd, result) != 0; }

namespace {
void initCommonControls() {
  // Templates name common-control classes (up-down, list view).
  static bool done = false;
  if (done) return;
  INITCOMMONCONTROLSEX icc{sizeof icc, ICC_WIN95_CLASSES};
  if (auto init = KO_LAZY("comctl32.dll", InitCommonControlsEx)) init(&icc);
  done = true;
}

// The object is freed by the main window once control is back in the loop.
void scheduleDelete(koDialog* dialog) {
  if (!pModule || !pModule->mainWin || !pModule->mainWin->hWnd) return;
  koWin::RegisterPostDelete(dialog);
  PostMessageW(pModule->mainWin->hWnd, KOM_POSTDELETE, 0, (LPARAM)dialog);
}
}  // namespace

bool koDialogModal::create() {
  bool owned = owner;
  if (templateName) {
    if (!pModule || !pModule->loadResource(templateBuffer, templateName, RT_DIALOG)) {
      dbout("<<koDialogModal:テンプレート[%s]が見つかりません。>>", templateName);
      resultx = -1;
      errorCode = -1;
      // Nobody else will free a dialog that never opened.
      if (owned) scheduleDelete(this);
      return false;
    }
    dlgTemplate = (DLGTEMPLATE*)templateBuffer.get(0);
  }
  if (!dlgTemplate) {
    dbout("<<koDialogModal:テンプレートが指定されてません。>>");
    resultx = -1;
    errorCode = -1;
    if (owned) scheduleDelete(this);
    return false;
  }
  int length = templateName ? templateBuffer.used : 0;
  // A size too large for the screen it opens on shrinks until it fits.
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  HMONITOR where = MonitorFromWindow(parent ? parent->hWnd : nullptr, MONITOR_DEFAULTTOPRIMARY);
  int size = fontSize();
  if (where && GetMonitorInfoW(where, &monitor))
    size = FittingFontSize(dlgTemplate, size, monitor.rcWork, 5, length);
  ChangeFont(dlgTemplate, size, nullptr, false, length);
  initCommonControls();
  owner = false;
  NewDialog = this;
  resultx = DialogBoxIndirectParamW(koInstance(), dlgTemplate, parent ? parent->hWnd : nullptr,
                                    koDlgProc, (LPARAM)createParam);
  // A dialog that failed before WM_INITDIALOG must not leave itself behind.
  if (NewDialog == this) NewDialog = nullptr;
  owner = owned;
  bool ok = resultx != -1;
  if (ok) {
    errorCode = 0;
    if (templateName) {
      templateBuffer.clear(true);
      dlgTemplate = nullptr;
    }
  } else {
    if (templateName) dbout("<<koDialogModal:生成に失敗しました。 [%s]>>\n", templateName);
    else dbout("<<koDialogModal:生成に失敗しました。 %x>>\n", (unsigned)(UINT_PTR)dlgTemplate);
    errorCode = -1;
  }
  if (owned) scheduleDelete(this);
  return ok;
}

int koDialogModal::run() {
  if (!create()) return -1;
  return (int)resultx;
}
