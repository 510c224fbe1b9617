// The option dialog driven under Wine: what it shows, the enable rule of
// the shortcut button, shortcuts written and read back through the shell
// link object, the font size kept within its bounds, "設定" and "取消", and
// failures (a shortcut or the settings) reported to the user.
#include <gtest/gtest.h>
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>
#include <shobjidl.h>
#include <stdlib.h>
#include <string>
#include <vector>
#include "dbsub.h"
#include "gosub.h"
#include "ko_test.h"
#include "koDlg0.h"
#include "koMainWin.h"
#include "koModule.h"
#include "optDialog.h"

namespace {
koModule module;

using Frame = HiddenFrame;

const char* const CAPTION = "オプションの設定";
HWND dialog = nullptr;
int step = 0;
int holdTicks = 0;  // KO_SHOT_SECONDS keeps screens up for a screenshot
std::vector<std::string> log;
// What the timer types before "設定"/"取消": font edit, group edit, button.
std::string typedFont, typedGroup;
int endButton = IDOK;

// The user toggles a check box: its state, then its notification.
void check(int id, bool on) {
  SendDlgItemMessageA(dialog, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0);
  Click(dialog, id);
}

std::string state() {
  std::string s = IsDlgButtonChecked(dialog, 160) ? "desk+" : "desk-";
  s += IsDlgButtonChecked(dialog, 161) ? " send+" : " send-";
  s += IsWindowEnabled(GetDlgItem(dialog, 120)) ? " button on" : " button off";
  return s;
}

bool held() {
  static const char* s = getenv("KO_SHOT_SECONDS");
  if (!s) return false;
  if (holdTicks == 0) holdTicks = atoi(s) * 5;
  if (--holdTicks > 0) return true;
  holdTicks = 0;
  return false;
}

std::string folder(int csidl) {
  char path[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
  return path;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string storedGroup() {
  char buf[300] = "";
  db->getTextIx("FolderGroup", 0, buf, "?", -1);
  return buf;
}

// Opening, the enable rule, Send To only, then the typed values stored.
void CALLBACK registerScript(HWND, UINT, UINT_PTR, DWORD) {
  switch (step) {
    case 0:
      dialog = FindWindowA(nullptr, CAPTION);
      if (!dialog || held()) return;
      log.push_back("open " + ItemText(dialog, 140) + " " + ItemText(dialog, 341) + " " + state());
      check(160, false);
      check(161, false);
      step = 1;
      return;
    case 1:
      log.push_back("none " + state());
      check(161, true);
      step = 2;
      return;
    case 2:
      log.push_back("send " + state());
      Click(dialog, 120);
      step = 3;
      return;
    case 3:
      log.push_back("registered " + state());
      SetDlgItemTextA(dialog, 341, typedFont.c_str());
      SetDlgItemTextA(dialog, 140, typedGroup.c_str());
      Click(dialog, endButton);
      step = 4;
      return;
  }
}

// Types the values and ends with endButton; a message box on the way is
// logged and answered.
void CALLBACK storeScript(HWND, UINT, UINT_PTR, DWORD) {
  HWND box;
  switch (step) {
    case 0:
      dialog = FindWindowA(nullptr, CAPTION);
      if (!dialog) return;
      SetDlgItemTextA(dialog, 341, typedFont.c_str());
      SetDlgItemTextA(dialog, 140, typedGroup.c_str());
      Click(dialog, endButton);
      step = 1;
      return;
    case 1:
      box = ThreadDialog(nullptr, dialog);
      if (!box) return;
      log.push_back("box " + ItemText(box, 65535));
      Click(box, IDOK);
      step = 2;
      return;
  }
}

// A Send To shortcut that cannot be saved: reported, its box kept.
void CALLBACK failScript(HWND, UINT, UINT_PTR, DWORD) {
  HWND box;
  switch (step) {
    case 0:
      dialog = FindWindowA(nullptr, CAPTION);
      if (!dialog) return;
      check(160, false);
      step = 1;
      return;
    case 1:
      Click(dialog, 120);
      step = 2;
      return;
    case 2:
      box = ThreadDialog(nullptr, dialog);
      if (!box || held()) return;
      log.push_back("box " + ItemText(box, 65535));
      Click(box, IDOK);
      step = 3;
      return;
    case 3:
      if (ThreadDialog(nullptr, dialog)) return;
      step = 4;  // the posted re-check of the enable rule runs first
      return;
    case 4:
      log.push_back("after " + state());
      Click(dialog, IDCANCEL);
      step = 5;
      return;
  }
}

class OptionTest : public ::testing::Test {
 protected:
  Frame* frame = nullptr;
  std::string desk, sendTo;

  void SetUp() override {
    std::string dir = MakeTempDir("option");
    ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "\\exec.db"));
    ASSERT_TRUE(DbOpen(dir.c_str(), "Runmate"));
    GetModuleFileNameA(nullptr, exeFile, sizeof exeFile);
    pModule = &module;
    module.title = "Runmate";
    koDialog::FontSize(9);
    frame = new Frame;
    ASSERT_TRUE(frame->create("frame"));
    desk = folder(CSIDL_DESKTOPDIRECTORY) + "\\Runmate.lnk";
    sendTo = folder(CSIDL_SENDTO) + "\\Runmate.lnk";
    DeleteFileA(desk.c_str());
    DeleteFileA(sendTo.c_str());
    log.clear();
    step = 0;
    dialog = nullptr;
  }
  void TearDown() override {
    if (frame) DestroyWindow(frame->hWnd);
    pModule = nullptr;
    TermDb();
  }
  void run(TIMERPROC script) {
    UINT_PTR t = SetTimer(nullptr, 0, 200, script);
    OptionDialog(frame);
    KillTimer(nullptr, t);
  }
  std::string all() {
    std::string s;
    for (auto& l : log) s += l + "\n";
    return s;
  }
};

struct Link {
  HRESULT loaded = E_FAIL;
  std::string target, arguments, folder, description;
};

Link readLink(const std::string& path) {
  Link r;
  CoInitialize(nullptr);
  IShellLinkA* shell = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 (void**)&shell))) {
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shell->QueryInterface(IID_IPersistFile, (void**)&file))) {
      WCHAR wide[MAX_PATH];
      MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
      r.loaded = file->Load(wide, STGM_READ);
      char buf[MAX_PATH * 2] = "";
      shell->GetPath(buf, sizeof buf, nullptr, SLGP_RAWPATH);
      r.target = buf;
      buf[0] = 0;
      shell->GetArguments(buf, sizeof buf);
      r.arguments = buf;
      buf[0] = 0;
      shell->GetWorkingDirectory(buf, sizeof buf);
      r.folder = buf;
      buf[0] = 0;
      shell->GetDescription(buf, sizeof buf);
      r.description = buf;
      file->Release();
    }
    shell->Release();
  }
  CoUninitialize();
  return r;
}

std::string exeFolder() {
  std::string s = exeFile;
  return s.substr(0, s.rfind('\\'));
}
}  // namespace

TEST_F(OptionTest, OpensRegistersSendToOnlyAndStores) {
  strcpy(folderGroup, "フォルダー用");
  dialogFont = 12;
  typedFont = "99";
  typedGroup = "新しいグループ";
  endButton = IDOK;
  run(registerScript);
  EXPECT_EQ(all(),
            "open フォルダー用 12 desk+ send+ button on\n"
            "none desk- send- button off\n"
            "send desk- send+ button on\n"
            "registered desk- send- button off\n");
  EXPECT_FALSE(exists(desk)) << "the desktop box was unchecked";
  ASSERT_TRUE(exists(sendTo));
  Link l = readLink(sendTo);
  EXPECT_EQ(l.loaded, S_OK);
  EXPECT_STRCASEEQ(l.target.c_str(), exeFile);
  EXPECT_EQ(l.arguments, "");
  EXPECT_STRCASEEQ(l.folder.c_str(), exeFolder().c_str());
  EXPECT_EQ(l.description, "アプリケーションの振り分け");
  EXPECT_EQ(dialogFont, 50) << "99 is stored as the upper bound";
  EXPECT_EQ(db->getIntIx("DailogFontSize", 0, -1), 50);
  EXPECT_EQ(storedGroup(), "新しいグループ");
  DeleteFileA(sendTo.c_str());
}

TEST_F(OptionTest, FontLowerBoundCancelAndLongGroup) {
  strcpy(folderGroup, "_Folder");
  dialogFont = 9;
  typedFont = "1";
  typedGroup = "G";
  endButton = IDOK;
  run(storeScript);
  EXPECT_EQ(all(), "") << "no message on a good store";
  EXPECT_EQ(dialogFont, 5) << "1 is stored as the lower bound";
  EXPECT_EQ(db->getIntIx("DailogFontSize", 0, -1), 5);
  EXPECT_EQ(storedGroup(), "G");

  step = 0;
  typedFont = "30";
  typedGroup = "取消した";
  endButton = IDCANCEL;
  run(storeScript);
  EXPECT_EQ(dialogFont, 5) << "取消 stores nothing";
  EXPECT_STREQ(folderGroup, "G");
  EXPECT_EQ(db->getIntIx("DailogFontSize", 0, -1), 5);
  EXPECT_EQ(storedGroup(), "G");

  // 300 bytes of double-byte text put in past the edit's limit: cut at a
  // whole character within folderGroup; a font text that is no number.
  step = 0;
  typedFont = "abc";
  typedGroup = "";
  for (int i = 0; i < 150; i++) typedGroup += "あ";
  endButton = IDOK;
  run(storeScript);
  EXPECT_EQ(strlen(folderGroup), 198u);
  EXPECT_EQ(storedGroup(), typedGroup.substr(0, 198));
  EXPECT_GE(dialogFont, 5);
  EXPECT_LE(dialogFont, 50);
}

TEST_F(OptionTest, FailuresAreReported) {
  strcpy(folderGroup, "_Folder");
  dialogFont = 9;
  // A folder of the link's name makes the save refused.
  ASSERT_TRUE(CreateDirectoryA(sendTo.c_str(), nullptr));
  run(failScript);
  RemoveDirectoryA(sendTo.c_str());
  EXPECT_EQ(all(),
            "box 「送る」のショートカットを作成できませんでした。\n" + sendTo + "\n"
            "after desk- send+ button on\n");
  EXPECT_FALSE(exists(desk));

  // Settings that cannot be written are reported.
  koSQLite* kept = db;
  db = nullptr;
  log.clear();
  step = 0;
  typedFont = "20";
  typedGroup = "X";
  endButton = IDOK;
  run(storeScript);
  db = kept;
  EXPECT_EQ(all(), "box 設定を保存できませんでした。\n");
  EXPECT_EQ(db->getIntIx("DailogFontSize", 0, -1), -1) << "nothing was written";
}

TEST(CreateShortCut, MissingFolderAndOverlongPath) {
  char target[] = "C:\\windows\\notepad.exe", none[] = "", work[] = "C:\\windows",
       desc[] = "d";
  std::string dir = MakeTempDir("optlink");
  std::string missing = dir + "\\no such folder\\Runmate.lnk";
  EXPECT_EQ(CreateShortCut(&missing[0], target, none, work, desc), (HRESULT)0x80070003);
  EXPECT_FALSE(exists(missing));
  std::string longPath = dir + "\\" + std::string(300, 'a') + ".lnk";
  EXPECT_NE(CreateShortCut(&longPath[0], target, none, work, desc), S_OK);
  std::string good = dir + "\\Runmate.lnk";
  ASSERT_EQ(CreateShortCut(&good[0], target, none, work, desc), S_OK);
  Link l = readLink(good);
  EXPECT_EQ(l.target, target);
  EXPECT_EQ(l.folder, work);
  EXPECT_EQ(l.description, "d");
  // An existing file of the same name is overwritten.
  char desc2[] = "second";
  ASSERT_EQ(CreateShortCut(&good[0], target, none, work, desc2), S_OK);
  EXPECT_EQ(readLink(good).description, "second");
}

TEST(OptFontSize, KeptWithinBounds) {
  EXPECT_EQ(OptFontSize("99", 9), 50);
  EXPECT_EQ(OptFontSize("1", 9), 5);
  EXPECT_EQ(OptFontSize("12", 9), 12);
  EXPECT_EQ(OptFontSize("-7", 9), 5);
  EXPECT_EQ(OptFontSize("99999999999999", 9), 50);
  EXPECT_EQ(OptFontSize("abc", 9), 9);
  EXPECT_EQ(OptFontSize("", 77), 50) << "the fallback is bounded too";
  EXPECT_EQ(OptFontSize(nullptr, 0), 5);
}
