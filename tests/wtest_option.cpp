// The option dialog under Wine: the shortcut button's enable rule, shortcuts
// read back through the shell link object, bounds and failures.
#include "ko_script.h"
#include <shlobj.h>
#include <shobjidl.h>
#include "gosub.h"
#include "optDialog.h"
#include "resource.h"

namespace {
const char* const CAPTION = "オプションの設定";
HWND dialog = nullptr;
void check(int id, bool on) {  // as the user toggles it: the state, then the notification
  SendDlgItemMessageA(dialog, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0), Click(dialog, id);
}
std::string state() {
  return std::string(IsDlgButtonChecked(dialog, IDC_OPT_DESKTOP) ? "desk+" : "desk-") +
         (IsDlgButtonChecked(dialog, IDC_OPT_SENDTO) ? " send+ " : " send- ") + Enabled(dialog, {{IDC_OPT_LINKS, "button"}});
}
std::string link(int csidl) {
  char path[MAX_PATH] = "";
  SHGetSpecialFolderPathA(nullptr, path, csidl, TRUE);
  return std::string(path) + "\\Runmate.lnk";
}
std::string storedGroup() {
  char buf[300] = "";
  db->getTextIx("FolderGroup", 0, buf, "?", -1);
  return buf;
}
int storedFont() { return db->getIntIx("DailogFontSize", 0, -1); }
// A shell link read back: "target|arguments|folder|description".
std::string readLink(const std::string& path) {
  std::string r = "not loaded";
  CoInitialize(nullptr);
  IShellLinkA* shell = nullptr;
  IPersistFile* file = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, (void**)&shell)) &&
      SUCCEEDED(shell->QueryInterface(IID_IPersistFile, (void**)&file)) && file->Load(Wide(path).c_str(), STGM_READ) == S_OK) {
    char target[MAX_PATH] = "", args[MAX_PATH] = "", folder[MAX_PATH] = "", desc[MAX_PATH] = "";
    shell->GetPath(target, sizeof target, nullptr, SLGP_RAWPATH), shell->GetArguments(args, sizeof args);
    shell->GetWorkingDirectory(folder, sizeof folder), shell->GetDescription(desc, sizeof desc);
    r = std::string(target) + "|" + args + "|" + folder + "|" + desc;
  }
  if (file) file->Release();
  if (shell) shell->Release();
  return CoUninitialize(), r;
}
class OptionTest : public RunmateTest {
 protected:
  std::string desk = link(CSIDL_DESKTOPDIRECTORY), sendTo = link(CSIDL_SENDTO);
  void SetUp() override {
    RunmateTest::SetUp();
    GetModuleFileNameA(nullptr, exeFile, sizeof exeFile);
    strcpy(folderGroup, "_Folder"), dialogFont = 9;
    DeleteFileA(desk.c_str()), DeleteFileA(sendTo.c_str());
  }
  // Types the values and ends with button; what shows is logged.
  std::string store(const std::string& font, const std::string& group, int button, bool box) {
    Script t;
    t.opened(CAPTION, dialog);
    t.act([&] { Type(dialog, IDC_OPT_FONT_SIZE, font), Type(dialog, IDC_OPT_FOLDER_GROUP, group), Click(dialog, button); });
    if (box) t.answer(IDOK);
    EXPECT_TRUE(t.run([&] { OptionDialog(frame); }));
    return t.logged();
  }
};
}  // namespace

TEST_F(OptionTest, RegistersSendToOnlyStoresCancelsAndReports) {
  strcpy(folderGroup, "フォルダー用"), dialogFont = 12;
  s.opened(CAPTION, dialog, "option");
  s.hold();
  s.act([&] {
    s.log("open " + ItemText(dialog, IDC_OPT_FOLDER_GROUP) + " " + ItemText(dialog, IDC_OPT_FONT_SIZE) + " " + state());
    check(IDC_OPT_DESKTOP, false), check(IDC_OPT_SENDTO, false);
  });
  s.act([&] { s.log("none " + state()), check(IDC_OPT_SENDTO, true); });
  s.act([&] { s.log("send " + state()), Click(dialog, IDC_OPT_LINKS); });
  s.act([&] {
    s.log("registered " + state());
    Type(dialog, IDC_OPT_FONT_SIZE, "99"), Type(dialog, IDC_OPT_FOLDER_GROUP, "新しいグループ"), Click(dialog, IDOK);
  });
  EXPECT_TRUE(s.run([&] { OptionDialog(frame); }));
  EXPECT_EQ(s.logged(), "open フォルダー用 12 desk+ send+ button+\nnone desk- send- button-\n"
                        "send desk- send+ button+\nregistered desk- send- button-\n");
  EXPECT_FALSE(FileExists(desk)) << "the desktop box was unchecked";
  std::string folder = exeFile;
  EXPECT_EQ(readLink(sendTo), folder + "||" + folder.substr(0, folder.rfind('\\')) + "|アプリケーションの振り分け");
  EXPECT_EQ(dialogFont * 100 + storedFont(), 5050) << "99 is stored as the upper bound";
  EXPECT_EQ(storedGroup(), "新しいグループ");
  DeleteFileA(sendTo.c_str());
  std::string wide;  // past the edit's limit: cut at a whole character
  for (int i = 0; i < 150; i++) wide += "あ";
  struct Row { const char* font; std::string group; int button, fontAfter; std::string groupAfter; };
  const Row rows[] = {{"1", "G", IDOK, 5, "G"}, {"30", "取消した", IDCANCEL, 5, "G"}, {"abc", wide, IDOK, 5, wide.substr(0, 198)}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.font);
    EXPECT_EQ(store(r.font, r.group, r.button, false), "") << "no message";
    EXPECT_EQ((std::vector<int>{dialogFont, storedFont()}), (std::vector<int>{r.fontAfter, r.fontAfter}));
    EXPECT_EQ(folderGroup + ("|" + storedGroup()), r.groupAfter + "|" + r.groupAfter);
  }
  Script u;
  ASSERT_TRUE(CreateDirectoryA(sendTo.c_str(), nullptr));  // a folder of the link's name: the save is refused
  u.opened(CAPTION, dialog);
  u.act([&] { check(IDC_OPT_DESKTOP, false); });
  u.act([&] { Click(dialog, IDC_OPT_LINKS); });
  u.hold();
  u.answer(IDOK);
  u.act([] {});  // the posted re-check of the enable rule runs first
  u.act([&] { u.log("after " + state()), Click(dialog, IDCANCEL); });
  EXPECT_TRUE(u.run([&] { OptionDialog(frame); }));
  RemoveDirectoryA(sendTo.c_str());
  EXPECT_EQ(u.logged(), "box 「送る」のショートカットを作成できませんでした。\n" + sendTo + "\nafter desk- send+ button+\n");
  EXPECT_FALSE(FileExists(desk));
  koSQLite* kept = db;
  db = nullptr;
  EXPECT_EQ(store("20", "X", IDOK, true), "box 設定を保存できませんでした。\n");
  db = kept;
  EXPECT_EQ(storedFont(), 5) << "nothing was written";
}

TEST(CreateShortCut, MissingFolderOverlongPathAndOverwrite) {
  char target[] = "C:\\windows\\notepad.exe", none[] = "", work[] = "C:\\windows";
  std::string dir = MakeTempDir("optlink"), made = std::string(target) + "||" + work + "|";
  struct Row { std::string link; const char* description; HRESULT result; std::string read; };  // S_FALSE: any failure
  const Row rows[] = {{dir + "\\no such folder\\Runmate.lnk", "d", (HRESULT)0x80070003, "not loaded"},
                      {dir + "\\" + std::string(300, 'a') + ".lnk", "d", S_FALSE, "not loaded"},
                      {dir + "\\Runmate.lnk", "d", S_OK, made + "d"},
                      {dir + "\\Runmate.lnk", "second", S_OK, made + "second"}};  // overwritten
  for (const Row& r : rows) {
    SCOPED_TRACE(r.description + r.link.substr(dir.size()));
    std::string link = r.link, desc = r.description;
    HRESULT got = CreateShortCut(&link[0], target, none, work, &desc[0]);
    EXPECT_TRUE(r.result == S_FALSE ? got != S_OK : got == r.result) << std::hex << got;
    EXPECT_EQ(readLink(r.link), r.read);
  }
}

TEST(OptFontSize, KeptWithinBounds) {
  const struct { const char* text; int fallback, size; } rows[] = {
      {"99", 9, 50}, {"1", 9, 5}, {"12", 9, 12}, {"-7", 9, 5}, {"99999999999999", 9, 50}, {"abc", 9, 9}, {"", 77, 50}, {nullptr, 0, 5}};
  for (auto& r : rows) EXPECT_EQ(OptFontSize(r.text, r.fallback), r.size) << (r.text ? r.text : "null");
}
