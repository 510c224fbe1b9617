// The option dialog under Wine: the shortcut buttons' enable rule, shortcuts
// made, read back through the shell link object and removed, the folder
// group check, bounds and failures.
#include "ko_script.h"
#include <shlobj.h>
#include <shobjidl.h>
#include "gosub.h"
#include "optDialog.h"
#include "resource.h"
#include "shellEntry.h"

namespace {
const char* const CAPTION = "オプションの設定";
HWND dialog = nullptr;
void check(int id, bool on) {  // as the user toggles it: the state, then the notification
  SendDlgItemMessageA(dialog, id, BM_SETCHECK, on ? BST_CHECKED : BST_UNCHECKED, 0), Click(dialog, id);
}
std::string state() {
  return std::string(IsDlgButtonChecked(dialog, IDC_OPT_DESKTOP) ? "desk+" : "desk-") +
         (IsDlgButtonChecked(dialog, IDC_OPT_SENDTO) ? " send+ " : " send- ") + Enabled(dialog, {{IDC_OPT_LINKS, "make"}, {IDC_OPT_UNLINK, "remove"}});
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
  // Logs what the dialog shows, types the values and ends with button; a box is answered with answer.
  // Where the dialog stays (fix), the field with the focus and its selection are logged and 12 and 文書 set instead.
  std::string store(const std::string& font, const std::string& group, int button, int answer = 0, bool fix = false) {
    Script t;
    t.opened(CAPTION, dialog);
    t.act([&] {
      t.log("open " + ItemText(dialog, IDC_OPT_FOLDER_GROUP) + " " + ItemText(dialog, IDC_OPT_FONT_SIZE) + " " + state());
      Type(dialog, IDC_OPT_FONT_SIZE, font), Type(dialog, IDC_OPT_FOLDER_GROUP, group), Click(dialog, button);
    });
    if (answer) t.answer(answer, fix && font == "99" ? "box-fontsize" : nullptr);
    if (fix)
      t.act([&] {
        DWORD from = 9, to = 9;
        SendMessageA(GetFocus(), EM_GETSEL, (WPARAM)&from, (LPARAM)&to);
        int id = GetDlgCtrlID(GetFocus());
        t.log(std::string(id == IDC_OPT_FOLDER_GROUP ? "open, focus group" : id == IDC_OPT_FONT_SIZE ? "open, focus font" : "open, no focus") + " sel " +
              std::to_string(from) + "-" + std::to_string(to) + " stored " + std::to_string(storedFont()) + " [" + storedGroup() + "]");
        Type(dialog, IDC_OPT_FONT_SIZE, "12"), Type(dialog, IDC_OPT_FOLDER_GROUP, "文書"), Click(dialog, IDOK);
      });
    EXPECT_TRUE(t.run([&] { OptionDialog(frame); }));
    return t.logged();
  }
};
}  // namespace

TEST_F(OptionTest, ShowsStoresCancelsAndReports) {
  strcpy(folderGroup, "フォルダー用"), dialogFont = 12;
  std::string wide;  // past the edit's limit: cut at a whole character
  for (int i = 0; i < 150; i++) wide += "あ";
  auto unknown = [](const std::string& name) {
    return "box グループ[" + name + "]はありません。\nフォルダーはシェルに渡されます。\nこのまま設定しますか？\n";
  };
  // A size out of range and a name no group has are told; the dialog and the database stay as they were. Empty: folders go to the shell.
  const std::string font = "box ダイアログフォントの大きさは 8 から 16 までの数で入力してください。\n";
  struct Row { const char* font; std::string group; int button, answer, fontAfter; std::string groupAfter, log; };
  const Row rows[] = {{"99", "テキスト", IDOK, IDOK, 12, "文書", font + "open, focus font sel 0-2 stored -1 [?]\n"},
                      {"abc", "テキスト", IDOK, IDOK, 12, "文書", font + "open, focus font sel 0-3 stored 12 [文書]\n"},
                      {"8", "テキスト", IDOK, 0, 8, "テキスト", ""}, {"30", "取消した", IDCANCEL, 0, 8, "テキスト", ""},
                      {"16", "", IDOK, 0, 16, "", ""},
                      {"12", "NoSuchGroup", IDOK, IDNO, 12, "文書", unknown("NoSuchGroup") + "open, focus group sel 0-11 stored 16 []\n"},
                      {"12", wide, IDOK, IDYES, 12, wide.substr(0, 198), unknown(wide.substr(0, 198))}};
  for (const Row& r : rows) {
    SCOPED_TRACE(r.font);  // each opening shows what is in force
    std::string shown = "open " + std::string(folderGroup) + " " + std::to_string(dialogFont) + " desk+ send+ make+ remove+\n";
    EXPECT_EQ(store(r.font, r.group, r.button, r.answer, !r.log.empty() && r.answer != IDYES), shown + r.log);
    EXPECT_EQ((std::vector<int>{dialogFont, storedFont()}), (std::vector<int>{r.fontAfter, r.fontAfter}));
    EXPECT_EQ(folderGroup + ("|" + storedGroup()), r.groupAfter + "|" + r.groupAfter);
  }
  koSQLite* kept = db;
  db = nullptr;
  EXPECT_EQ(store("14", "文書", IDOK, IDOK), "open " + wide.substr(0, 198) + " 12 desk+ send+ make+ remove+\nbox 設定を保存できませんでした。\n\n理由: no database\n"
            "exec.db が壊れていないか確かめてください。\n");
  db = kept;
  EXPECT_EQ(storedFont(), 12) << "nothing was written";
}

// Each row a fresh dialog, its boxes showing where a shortcut is (both when none is): the link paths
// prepared ('-' none, 'f' a file, 'd' a folder), one box toggled, a button, the boxes answered; then what
// was told, the boxes and buttons (again what exists), the paths as left.
TEST_F(OptionTest, ShortcutsMadeAndRemovedAreToldWithTheirPaths) {
  std::string deskOther = desk.substr(0, desk.rfind('\\')) + "\\Runmate (2).lnk", sendOther = sendTo + ".bak";
  auto prepare = [](const std::string& path, char kind) {
    DeleteFileA(path.c_str()), RemoveDirectoryA(path.c_str());
    if (kind == 'd') CreateDirectoryA(path.c_str(), nullptr);
    if (FILE* f = kind == 'f' ? fopen(path.c_str(), "wb") : nullptr) fputs("link", f), fclose(f);
  };
  prepare(deskOther, 'f'), prepare(sendOther, 'f');
  auto kind = [](const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a == INVALID_FILE_ATTRIBUTES ? '-' : a & FILE_ATTRIBUTE_DIRECTORY ? 'd' : 'f';
  };
  const std::string ask = "box 次のショートカットを削除しますか？\n", made = "box ショートカットを作成しました。\n",
                    removed = "box ショートカットを削除しました。\n", absent = "box ショートカットはありませんでした。\n",
                    both = "デスクトップ:\n<D>\n「送る」:\n<S>\n", all = "desk+ send+ make+ remove+\n",
                    deskOnly = "desk+ send- make+ remove+\n";
  struct Row { const char* before; int toggle, button; std::vector<int> answers; std::string log; const char* after; };
  const Row rows[] = {
      {"--", IDC_OPT_DESKTOP, IDC_OPT_LINKS, {IDOK}, made + "「送る」:\n<S>\ndesk- send+ make+ remove+\n", "-f"},
      {"--", 0, IDC_OPT_LINKS, {IDOK}, made + both + all, "ff"},  // both there: removing needs no ticking
      {"ff", 0, IDC_OPT_UNLINK, {IDNO}, ask + both + all, "ff"},
      {"ff", 0, IDC_OPT_UNLINK, {IDYES, IDOK}, ask + both + removed + both + all, "--"},  // none: making needs none
      {"--", 0, IDC_OPT_UNLINK, {IDOK}, absent + both + all, "--"},
      {"ff", IDC_OPT_DESKTOP, IDC_OPT_UNLINK, {IDYES, IDOK}, ask + "「送る」:\n<S>\n" + removed + "「送る」:\n<S>\n" + deskOnly, "f-"},
      {"fd", IDC_OPT_SENDTO, IDC_OPT_UNLINK, {IDYES, IDOK},  // a folder of that name is no shortcut
       ask + "デスクトップ:\n<D>\n" + removed + "デスクトップ:\n<D>\n\nショートカットを削除できませんでした。\n"
       "「送る」(フォルダーなので残しました):\n<S>\n" + all, "-d"},
      {"-d", 0, IDC_OPT_LINKS, {IDOK},
       made + "デスクトップ:\n<D>\n\n「送る」のショートカットを作成できませんでした。\n<S>\n" + deskOnly, "fd"}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.before) + (r.button == IDC_OPT_LINKS ? " make" : " remove"));
    prepare(desk, r.before[0]), prepare(sendTo, r.before[1]);
    Script t;
    t.opened(CAPTION, dialog);
    t.act([&] { if (r.toggle) check(r.toggle, !IsDlgButtonChecked(dialog, r.toggle)); Click(dialog, r.button); });
    for (int a : r.answers) t.answer(a);
    t.act([&] { t.log(state()), Click(dialog, IDCANCEL); });
    EXPECT_TRUE(t.run([&] { OptionDialog(frame); }));
    std::string log = r.log;  // <D> and <S> stand for the two link paths
    for (size_t at; (at = log.find('<')) != std::string::npos;) log.replace(at, 3, log[at + 1] == 'D' ? desk : sendTo);
    EXPECT_EQ(t.logged(), log);
    EXPECT_EQ((std::string{kind(desk), kind(sendTo)}), r.after);
    std::string exe = exeFile;
    if (&r == rows) { EXPECT_EQ(readLink(sendTo), exe + "||" + exe.substr(0, exe.rfind('\\')) + "|アプリケーションの振り分け"); }
  }
  prepare(desk, '-'), prepare(sendTo, '-');
  EXPECT_EQ(ReadWhole(deskOther) + ReadWhole(sendOther), "linklink") << "nothing beside the shortcuts touched";
  DeleteFileA(deskOther.c_str()), DeleteFileA(sendOther.c_str());
}

// The context-menu entry as the dialog shows it: pointing at a moved program, mended, then removed.
TEST_F(OptionTest, ContextMenuEntryShownMendedAndRemoved) {
  ASSERT_EQ(AddShellEntry(L"C:\\old\\Runmate.exe"), 0);
  Script t;
  auto shown = [&] {
    t.log(ItemText(dialog, IDC_OPT_ENTRY_STATE) + "|" + ItemText(dialog, IDC_OPT_ENTRY_ADD) + "|" +
          Enabled(dialog, {{IDC_OPT_ENTRY_ADD, "add"}, {IDC_OPT_ENTRY_REMOVE, "remove"}}));
  };
  t.opened(CAPTION, dialog, "option-entry");
  t.act([&] { shown(), Click(dialog, IDC_OPT_ENTRY_ADD); });
  t.answer(IDOK);
  t.act([&] { shown(), Click(dialog, IDC_OPT_ENTRY_REMOVE); });
  t.answer(IDOK);
  t.act([&] { shown(), Click(dialog, IDCANCEL); });
  EXPECT_TRUE(t.run([&] { OptionDialog(frame); }));
  EXPECT_EQ(t.logged(),
            "別のプログラムを指しています: C:\\old\\Runmate.exe|この場所に直す(&M)|add+ remove+\n"
            "box ファイルとフォルダーの右クリックメニューに「Runmate で開く」を追加しました。\n"
            "Windows 11 では「その他のオプションを確認」の中にあります。\n"
            "「Runmate で開く」があります。|「Runmate で開く」を追加(&M)|add- remove+\n"
            "box 右クリックメニューから「Runmate で開く」を削除しました。\n"
            "「Runmate で開く」はありません。|「Runmate で開く」を追加(&M)|add+ remove-\n");
  EXPECT_EQ(ShellEntryState(L"C:\\old\\Runmate.exe", nullptr), ENTRY_NONE);
}

TEST(CreateShortCut, MissingFolderOverlongPathAndOverwrite) {
  const std::string target = "C:\\windows\\notepad.exe", work = "C:\\windows";
  std::string dir = MakeTempDir("optlink"), made = target + "||" + work + "|";
  struct Row { std::string link; const char* description; HRESULT result; std::string read; };  // S_FALSE: any failure
  const Row rows[] = {{dir + "\\no such folder\\Runmate.lnk", "d", (HRESULT)0x80070003, "not loaded"},
                      {dir + "\\" + std::string(300, 'a') + ".lnk", "d", S_FALSE, "not loaded"},
                      {dir + "\\Runmate.lnk", "d", S_OK, made + "d"},
                      {dir + "\\Runmate.lnk", "second", S_OK, made + "second"}};  // overwritten
  for (const Row& r : rows) {
    SCOPED_TRACE(r.description + r.link.substr(dir.size()));
    HRESULT got = CreateShortCut(Wide(r.link), Wide(target), L"", Wide(work), Wide(r.description));
    EXPECT_TRUE(r.result == S_FALSE ? got != S_OK : got == r.result) << std::hex << got;
    EXPECT_EQ(readLink(r.link), r.read);
  }
}
