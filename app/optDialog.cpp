// The option dialog and the shell link files of the program.
#include "optDialog.h"
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <stdlib.h>
#include <string.h>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>
#include "appItem.h"
#include "dbsub.h"
#include "gosub.h"
#include "koControl.h"
#include "koDlg1.h"
#include "koModule.h"
#include "koPathname.h"
#include "koUpDown.h"
#include "koUtl1.h"
#include "recordEdit.h"
#include "regFile.h"
#include "shellEntry.h"
#include "resource.h"
#include "koLazy.h"

namespace {
const wchar_t LINK_NAME[] = L"\\Runmate.lnk";

// Empty when the shell does not know the folder. In UTF-16: the user's own
// folders hold their Windows name, which code page 932 may not.
std::wstring SpecialFolder(int csidl) {
  wchar_t path[MAX_PATH] = L"";
  LPITEMIDLIST list = nullptr;
  auto location = KO_LAZY("shell32.dll", SHGetSpecialFolderLocation);
  auto pathOf = KO_LAZY("shell32.dll", SHGetPathFromIDListW);
  auto release = KO_LAZY("ole32.dll", CoTaskMemFree);
  if (!location || !pathOf || !release) return L"";
  if (location(nullptr, csidl, &list) != S_OK || !list) return L"";
  if (!pathOf(list, path)) path[0] = 0;
  release(list);
  return path;
}

// One of the program's two shortcuts: the only files this dialog writes or
// removes.
struct Shortcut {
  const char* what;   // as the user knows the folder
  std::wstring link;  // empty when the folder is unknown or the name would not fit
  // The path on a line of its own: it is long and wraps anyway.
  std::string where() const { return link.empty() ? "(フォルダーが不明です)" : koSjisOf(link.c_str()); }
  std::string shown(const char* note = "") const { return std::string(what) + note + ":\n" + where(); }
};

Shortcut ShortcutIn(int csidl, const char* what) {
  std::wstring folder = SpecialFolder(csidl);
  Shortcut s{what, L""};
  // Without its folder the link would land in the current drive's root.
  if (!folder.empty() && folder.size() + wcslen(LINK_NAME) < MAX_PATH) s.link = folder + LINK_NAME;
  return s;
}

// A heading with its lines, or nothing when there are none.
std::string Section(const char* heading, const std::string& lines) {
  return lines.empty() ? "" : std::string(heading) + "\n" + lines;
}
// Parts apart by sep, the empty ones left out.
std::string Joined(std::initializer_list<std::string> parts, const char* sep = "\n\n") {
  std::string text;
  for (const std::string& p : parts)
    if (!p.empty()) text += (text.empty() ? "" : sep) + p;
  return text;
}

class optDialog : public koDialogModal {
 public:
  koEdit* groupEdit = nullptr;
  koUpDown* fontSpin = nullptr;
  koPushButton* linkButton = nullptr;
  koPushButton* unlinkButton = nullptr;
  koCheckBox* desktopBox = nullptr;
  koCheckBox* sendToBox = nullptr;
  koLabel* entryState = nullptr;
  koPushButton* entryAdd = nullptr;
  koPushButton* entryRemove = nullptr;

  explicit optDialog(koWin* parent)
      : koDialogModal(parent, "koDialog", -999, "OptionDialog", nullptr, 2) {}

  void onStart() override {
    moveCenter();
    groupEdit = new koEdit(this, "Edit", IDC_OPT_FOLDER_GROUP);
    // What can be typed fits folderGroup with its terminator.
    SendMessageW(groupEdit->hWnd, EM_LIMITTEXT, sizeof folderGroup - 1, 0);
    groupEdit->setText(folderGroup);
    fontSpin = new koUpDown(this, IDC_OPT_FONT_SPIN);
    fontSpin->setRange(OPT_FONT_MIN, OPT_FONT_MAX);
    fontSpin->setSel(dialogFont);
    linkButton = new koPushButton(this, "Button", IDC_OPT_LINKS);
    unlinkButton = new koPushButton(this, "Button", IDC_OPT_UNLINK);
    desktopBox = new koCheckBox(this, "Button", IDC_OPT_DESKTOP);
    sendToBox = new koCheckBox(this, "Button", IDC_OPT_SENDTO);
    entryState = new koLabel(this, IDC_OPT_ENTRY_STATE);
    entryAdd = new koPushButton(this, "Button", IDC_OPT_ENTRY_ADD);
    entryRemove = new koPushButton(this, "Button", IDC_OPT_ENTRY_REMOVE);
    showExisting();
    showEntry();
  }

  // Whether the context-menu entry is there and starts this program; the
  // add button mends one that points elsewhere.
  void showEntry() {
    std::wstring command;
    EntryState state = ShellEntryState(koProgramPath(), &command);
    std::string shown = ProgramOf(ShownPath(command).c_str());
    // One line: a path that does not fit is shortened in its middle.
    entryState->setText(state == ENTRY_NONE ? "「Runmate で開く」はありません。"
                        : state == ENTRY_HERE ? "「Runmate で開く」があります。"
                                              : ("別のプログラムを指しています: " + shown).c_str());
    entryAdd->setText(state == ENTRY_ELSEWHERE ? "この場所に直す(&M)" : "「Runmate で開く」を追加(&M)");
    entryAdd->enable(state != ENTRY_HERE);
    entryRemove->enable(state != ENTRY_NONE);
  }

  void changeEntry(bool add) {
    LONG error = add ? AddShellEntry(koProgramPath()) : RemoveShellEntry();
    if (error)
      msgBox(((add ? "右クリックメニューに追加できませんでした。\n\n" : "右クリックメニューから削除できませんでした。\n\n") +
              koSystemReason((DWORD)error)).c_str(), MB_OK | MB_ICONERROR, nullptr);
    else
      msgBox(add ? "ファイルとフォルダーの右クリックメニューに「Runmate で開く」を追加しました。\n"
                   "Windows 11 では「その他のオプションを確認」の中にあります。"
                 : "右クリックメニューから「Runmate で開く」を削除しました。",
             MB_OK | MB_ICONINFORMATION, nullptr);
    showEntry();
  }

  // The boxes show where a shortcut is now, both when there is none, so
  // that either button works at once, at the opening and after each use.
  void showExisting() {
    bool desktop = isFile(ShortcutIn(CSIDL_DESKTOPDIRECTORY, "").link);
    bool sendTo = isFile(ShortcutIn(CSIDL_SENDTO, "").link);
    desktopBox->setCheck(desktop || !sendTo ? BST_CHECKED : BST_UNCHECKED);
    sendToBox->setCheck(sendTo || !desktop ? BST_CHECKED : BST_UNCHECKED);
    enableButtons();
  }

  // Both shortcut buttons act on the checked boxes: idle without one.
  void enableButtons() {
    bool any = desktopBox->getCheck() == BST_CHECKED || sendToBox->getCheck() == BST_CHECKED;
    linkButton->enable(any);
    unlinkButton->enable(any);
  }

  bool command(int id, int code) override {
    switch (id) {
      case IDC_OPT_LINKS:
        addLinks();
        return true;
      case IDC_OPT_UNLINK:
        removeLinks();
        return true;
      case IDC_OPT_ENTRY_ADD:
      case IDC_OPT_ENTRY_REMOVE:
        changeEntry(id == IDC_OPT_ENTRY_ADD);
        return true;
      case IDC_OPT_DESKTOP:
      case IDC_OPT_SENDTO:
        enableButtons();
        break;
    }
    return koDialog::command(id, code);
  }

  // A group name no group has sends folders to the shell: asked, not
  // silently stored. Empty means that on purpose.
  bool queryOk() override {
    // A size out of range is refused, never stored as the nearest bound.
    if (!typedFontSize()) {
      std::string text = "ダイアログフォントの大きさは " + std::to_string(OPT_FONT_MIN) + " から " +
                         std::to_string(OPT_FONT_MAX) + " までの数で入力してください。";
      RefuseField(this, text.c_str(), GetDlgItem(hWnd, IDC_OPT_FONT_SIZE));
      return false;
    }
    std::wstring unheld = koUnheld(groupEdit->getWideText());
    if (!unheld.empty()) {
      RefuseField(this, UnheldMessage("フォルダーグループ", unheld).c_str(), groupEdit);
      return false;
    }
    std::string group = typedGroup();
    if (group.empty() || findExtItem(group.c_str())) return true;
    // No: the focus and the whole name selected, to type the right one over it.
    return AskField(this, "グループ[" + group + "]はありません。\nフォルダーはシェルに渡されます。\nこのまま設定しますか？",
                    groupEdit);
  }

  // The font size typed; 0 when it is none within the bounds.
  int typedFontSize() { return OptFontSize(koSjisOf(koWindowText(GetDlgItem(hWnd, IDC_OPT_FONT_SIZE)).c_str()).c_str()); }

  // The folder group as it will be stored: cut at a whole character to fit.
  std::string typedGroup() {
    std::string text;
    groupEdit->getText(text);
    char group[sizeof folderGroup];
    koStrncpy(group, text.c_str(), (int)sizeof group + 1);
    return group;
  }

  void okProc() override {
    dialogFont = typedFontSize();
    koStrncpy(folderGroup, typedGroup().c_str(), (int)sizeof folderGroup + 1);
    if (!SaveParams())
      msgBox(("設定を保存できませんでした。\n\n" + DbWriteFailure()).c_str(), MB_OK | MB_ICONERROR, nullptr);
  }

  // The checked boxes with their shortcuts.
  std::vector<std::pair<koCheckBox*, Shortcut>> checked() {
    std::vector<std::pair<koCheckBox*, Shortcut>> list;
    if (desktopBox->getCheck() == BST_CHECKED)
      list.push_back({desktopBox, ShortcutIn(CSIDL_DESKTOPDIRECTORY, "デスクトップ")});
    if (sendToBox->getCheck() == BST_CHECKED) list.push_back({sendToBox, ShortcutIn(CSIDL_SENDTO, "「送る」")});
    return list;
  }

  // One box tells what was made where and what failed.
  void addLinks() {
    // The module's full path; the command line's when it has none.
    std::wstring exe = koProgramPath();
    if (exe.empty()) exe = koWideOf(exeFile);
    std::wstring workDir = exe.substr(0, exe.find_last_of(L'\\') == std::wstring::npos ? 0 : exe.find_last_of(L'\\'));
    std::string made, failed;
    for (auto& [box, link] : checked()) {
      HRESULT hr = E_FAIL;
      if (!link.link.empty()) hr = CreateShortCut(link.link, exe, L"", workDir, koWideOf("アプリケーションの振り分け"));
      if (hr == S_OK) {
        made = Joined({made, link.shown()}, "\n");
      } else {
        failed = Joined({failed, std::string(link.what) + "のショートカットを作成できませんでした。\n" + link.where()});
      }
    }
    std::string text = Joined({Section("ショートカットを作成しました。", made), failed});
    msgBox(text.c_str(), MB_OK | (failed.empty() ? MB_ICONINFORMATION : MB_ICONEXCLAMATION), nullptr);
    showExisting();
  }

  // Removes exactly the program's shortcuts, and only files: a folder of
  // that name or anything beside it stays. Asked first, since the user may
  // have changed the shortcut and a removed file is not in the recycle bin.
  void removeLinks() {
    auto list = checked();
    std::string present;
    for (auto& [box, link] : list)
      if (!link.link.empty() && isFile(link.link)) present = Joined({present, link.shown()}, "\n");
    if (!present.empty()) {
      std::string ask = Section("次のショートカットを削除しますか？", present);
      if (msgBox(ask.c_str(), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2, nullptr) != IDYES) return;
    }
    std::string removed, absent, failed;
    for (auto& [box, link] : list) {
      DWORD attr = link.link.empty() ? INVALID_FILE_ATTRIBUTES : GetFileAttributesW(link.link.c_str());
      DWORD error = attr == INVALID_FILE_ATTRIBUTES ? GetLastError() : 0;
      if (link.link.empty()) {
        failed = Joined({failed, link.shown()}, "\n");
      } else if (attr == INVALID_FILE_ATTRIBUTES && (error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND)) {
        absent = Joined({absent, link.shown()}, "\n");
      } else if (attr != INVALID_FILE_ATTRIBUTES && (attr & FILE_ATTRIBUTE_DIRECTORY)) {
        failed = Joined({failed, link.shown("(フォルダーなので残しました)")}, "\n");
      } else if (DeleteFileW(link.link.c_str())) {
        removed = Joined({removed, link.shown()}, "\n");
      } else {
        std::string why = "(使用中か、消す権限がありません。エラー " + std::to_string(GetLastError()) + ")";
        failed = Joined({failed, link.shown(why.c_str())}, "\n");
      }
    }
    std::string text = Joined({Section("ショートカットを削除しました。", removed),
                               Section("ショートカットはありませんでした。", absent),
                               Section("ショートカットを削除できませんでした。", failed)});
    msgBox(text.c_str(), MB_OK | (failed.empty() ? MB_ICONINFORMATION : MB_ICONEXCLAMATION), nullptr);
    showExisting();
  }

  static bool isFile(const std::wstring& path) {
    DWORD attr = GetFileAttributesW(path.c_str());
    return attr != INVALID_FILE_ATTRIBUTES && !(attr & FILE_ATTRIBUTE_DIRECTORY);
  }
};
}  // namespace

int OptFontSize(const char* text) {
  if (!text) return 0;
  char* end = nullptr;
  long n = strtol(text, &end, 10);
  while (end && (*end == ' ' || *end == '\t')) end++;
  if (end == text || !end || *end || n < OPT_FONT_MIN || n > OPT_FONT_MAX) return 0;
  return (int)n;
}

void OptionDialog(koWin* parent) {
  optDialog* dialog = new optDialog(parent);
  dialog->run();
}

HRESULT CreateShortCut(const std::wstring& link, const std::wstring& target, const std::wstring& arguments,
                       const std::wstring& folder, const std::wstring& description) {
  auto initialize = KO_LAZY("ole32.dll", CoInitialize);
  auto create = KO_LAZY("ole32.dll", CoCreateInstance);
  auto uninitialize = KO_LAZY("ole32.dll", CoUninitialize);
  if (!initialize || !create || !uninitialize) return E_NOTIMPL;
  HRESULT init = initialize(nullptr);
  IShellLinkW* shell = nullptr;
  HRESULT hr = create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, (void**)&shell);
  if (SUCCEEDED(hr)) {
    IPersistFile* file = nullptr;
    hr = shell->QueryInterface(IID_IPersistFile, (void**)&file);
    if (SUCCEEDED(hr)) {
      // A path that does not fit is refused rather than cut.
      if (link.empty() || link.size() >= MAX_PATH) {
        hr = HRESULT_FROM_WIN32(ERROR_FILENAME_EXCED_RANGE);
      } else {
        shell->SetPath(target.c_str());
        shell->SetArguments(arguments.c_str());
        shell->SetWorkingDirectory(folder.c_str());
        shell->SetDescription(description.c_str());
        hr = file->Save(link.c_str(), TRUE);
      }
      file->Release();
    }
    shell->Release();
  }
  if (SUCCEEDED(init)) uninitialize();
  return hr;
}
