// The option dialog and the shell link files of the program.
#include "optDialog.h"
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include "dbsub.h"
#include "gosub.h"
#include "koControl.h"
#include "koDlg1.h"
#include "koModule.h"
#include "koPathname.h"
#include "koUpDown.h"
#include "koUtl1.h"
#include "resource.h"
#include "koLazy.h"

namespace {
const char LINK_NAME[] = "\\Runmate.lnk";
char desktopFolder[MAX_PATH + 4];
char sendToFolder[MAX_PATH + 4];

// Empty when the shell does not know the folder.
void SpecialFolder(int csidl, char* path) {
  path[0] = 0;
  LPITEMIDLIST list = nullptr;
  auto location = KO_LAZY("shell32.dll", SHGetSpecialFolderLocation);
  auto pathOf = KO_LAZY("shell32.dll", SHGetPathFromIDListA);
  auto release = KO_LAZY("ole32.dll", CoTaskMemFree);
  if (!location || !pathOf || !release) return;
  if (location(nullptr, csidl, &list) != S_OK || !list) return;
  if (!pathOf(list, path)) path[0] = 0;
  release(list);
}

class optDialog : public koDialogModal {
 public:
  koEdit* groupEdit = nullptr;
  koUpDown* fontSpin = nullptr;
  koPushButton* linkButton = nullptr;
  koCheckBox* desktopBox = nullptr;
  koCheckBox* sendToBox = nullptr;

  explicit optDialog(koWin* parent)
      : koDialogModal(parent, "koDialog", -999, "OptionDialog", nullptr, 2) {}

  void onStart() override {
    moveCenter();
    groupEdit = new koEdit(this, "Edit", IDC_OPT_FOLDER_GROUP);
    // What can be typed fits folderGroup with its terminator.
    SendMessageA(groupEdit->hWnd, EM_LIMITTEXT, sizeof folderGroup - 1, 0);
    groupEdit->setText(folderGroup);
    fontSpin = new koUpDown(this, IDC_OPT_FONT_SPIN);
    fontSpin->setRange(OPT_FONT_MIN, OPT_FONT_MAX);
    fontSpin->setSel(dialogFont);
    linkButton = new koPushButton(this, "Button", IDC_OPT_LINKS);
    desktopBox = new koCheckBox(this, "Button", IDC_OPT_DESKTOP);
    sendToBox = new koCheckBox(this, "Button", IDC_OPT_SENDTO);
    desktopBox->setCheck(BST_CHECKED);
    sendToBox->setCheck(BST_CHECKED);
    linkButton->enable(true);
  }

  bool command(int id, int code) override {
    switch (id) {
      case IDC_OPT_LINKS:
        addLink();
        return true;
      case IDC_OPT_DESKTOP:
      case IDC_OPT_SENDTO:
        linkButton->enable(desktopBox->getCheck() == BST_CHECKED ||
                           sendToBox->getCheck() == BST_CHECKED);
        break;
    }
    return koDialog::command(id, code);
  }

  void okProc() override {
    char size[32] = "";
    GetDlgItemTextA(hWnd, IDC_OPT_FONT_SIZE, size, sizeof size);
    dialogFont = OptFontSize(size, fontSpin->getSel());
    std::string group;
    groupEdit->getText(group);
    koStrncpy(folderGroup, group.c_str(), (int)sizeof folderGroup + 1);
    if (!SaveParams())
      msgBox("設定を保存できませんでした。", MB_OK | MB_ICONEXCLAMATION, nullptr);
  }

  // One shortcut; false (after telling the user) when it was not written.
  bool makeLink(const char* folder, const char* what, const char* workDir) {
    char link[MAX_PATH + 4] = "";
    HRESULT hr = E_FAIL;
    // Without its folder the link would land in the current drive's root.
    if (folder[0] &&
        snprintf(link, sizeof link, "%s%s", folder, LINK_NAME) < MAX_PATH) {
      char arguments[1] = "";
      char description[] = "アプリケーションの振り分け";
      hr = CreateShortCut(link, exeFile, arguments, (char*)workDir, description);
    }
    if (hr == S_OK) return true;
    char text[MAX_PATH + 200];
    snprintf(text, sizeof text, "%sのショートカットを作成できませんでした。\n%s", what,
             folder[0] ? link : "(フォルダーが不明です)");
    msgBox(text, MB_OK | MB_ICONEXCLAMATION, nullptr);
    return false;
  }

  void addLink() {
    SpecialFolder(CSIDL_DESKTOPDIRECTORY, desktopFolder);
    SpecialFolder(CSIDL_SENDTO, sendToFolder);
    char workDir[MAX_PATH + 4];
    // The module's full path; the command line's when it has none.
    koPathname exe(exeFile);
    koPathname& own = pModule && pModule->path.path[0] ? pModule->path : exe;
    own.getFilePos(workDir);
    koAdjustDir(workDir, ' ');
    // A box whose shortcut failed stays checked, so it can be tried again.
    if (desktopBox->getCheck() == BST_CHECKED &&
        makeLink(desktopFolder, "デスクトップ", workDir))
      desktopBox->setCheck(BST_UNCHECKED);
    if (sendToBox->getCheck() == BST_CHECKED && makeLink(sendToFolder, "「送る」", workDir))
      sendToBox->setCheck(BST_UNCHECKED);
    PostMessageA(hWnd, WM_COMMAND, MAKEWPARAM(IDC_OPT_DESKTOP, BN_CLICKED), 0);
  }
};
}  // namespace

int OptFontSize(const char* text, int fallback) {
  int value = fallback;
  if (text) {
    char* end = nullptr;
    long n = strtol(text, &end, 10);
    while (end && (*end == ' ' || *end == '\t')) end++;
    if (end != text && end && !*end) value = n < -100000 ? -100000 : n > 100000 ? 100000 : (int)n;
  }
  if (value < OPT_FONT_MIN) return OPT_FONT_MIN;
  if (value > OPT_FONT_MAX) return OPT_FONT_MAX;
  return value;
}

void OptionDialog(koWin* parent) {
  optDialog* dialog = new optDialog(parent);
  dialog->run();
}

HRESULT CreateShortCut(char* link, char* target, char* arguments, char* folder,
                       char* description) {
  auto initialize = KO_LAZY("ole32.dll", CoInitialize);
  auto create = KO_LAZY("ole32.dll", CoCreateInstance);
  auto uninitialize = KO_LAZY("ole32.dll", CoUninitialize);
  if (!initialize || !create || !uninitialize) return E_NOTIMPL;
  HRESULT init = initialize(nullptr);
  IShellLinkA* shell = nullptr;
  HRESULT hr = create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&shell);
  if (SUCCEEDED(hr)) {
    IPersistFile* file = nullptr;
    hr = shell->QueryInterface(IID_IPersistFile, (void**)&file);
    if (SUCCEEDED(hr)) {
      WCHAR path[MAX_PATH];
      // A path that does not fit is refused rather than cut.
      if (!link || !MultiByteToWideChar(CP_ACP, 0, link, -1, path, MAX_PATH)) {
        hr = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
      } else {
        shell->SetPath(target ? target : "");
        shell->SetArguments(arguments ? arguments : "");
        shell->SetWorkingDirectory(folder ? folder : "");
        shell->SetDescription(description ? description : "");
        hr = file->Save(path, TRUE);
      }
      file->Release();
    }
    shell->Release();
  }
  if (SUCCEEDED(init)) uninitialize();
  return hr;
}
