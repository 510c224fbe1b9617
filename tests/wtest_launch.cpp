// The launch decision and its menu in-process, on real files and folders (the whole program in wtest_program).
#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include "dbsub.h"
#include "goMenu.h"
#include "gosub.h"
#include "knownApps.h"
#include "resource.h"
#include "version.h"
#include "ko_test.h"

namespace {
// The width of the menu's entries as it shows them.
HMENU shownMenu;
int shownWidth;
void CALLBACK MeasureShown(HWND, UINT, UINT_PTR, DWORD) {
  RECT item{};
  if (GetMenuItemRect(nullptr, shownMenu, 0, &item)) shownWidth = item.right - item.left;
  EndMenu();
}
int ShownWidth(HMENU menu) {
  shownMenu = menu, shownWidth = -1;
  HWND owner = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
  UINT_PTR timer = SetTimer(nullptr, 0, 200, MeasureShown);
  TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY, 100, 100, owner, nullptr);
  KillTimer(nullptr, timer);
  DestroyWindow(owner);
  return shownWidth;
}

class Launch : public ::testing::Test {
 protected:
  std::string dir = MakeTempDir("launch"), record = dir + "\\record.txt";
  void SetUp() override {
    ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "\\exec.db"));
    ASSERT_TRUE(DbOpen(dir.c_str(), "Runmate"));
    strcpy(folderGroup, "_Folder");
    SetEnvironmentVariableA("KO_RECORD", record.c_str());
    sql("update atable set cmd='\"" + WinPath(KO_TEST_BIN_DIR "/recorder.exe") + "\"  \"%1\"' where id=2");  // WordPad
  }
  void TearDown() override { TermDb(); }
  void sql(const std::string& text) { ASSERT_EQ(db->exec(text.c_str(), nullptr, nullptr, nullptr), 0) << text; }
};
}  // namespace

TEST_F(Launch, FilesGoByExtensionFoldersByTheFolderGroup) {
  std::string sub = dir + "\\My 表示 ソフト", folder = dir + "\\フォルダ.txt", jp = sub + "\\能";  // 能 ends in 0x5C
  for (const std::string& f : {sub, folder, jp}) ASSERT_TRUE(CreateDirectoryA(f.c_str(), nullptr));
  fclose(fopen((sub + "\\報告 書.TXT").c_str(), "wb"));
  // Patterns: a name pattern takes README.txt from テキスト, a path pattern the folder and all under it.
  sql("insert into etable (name,elist,memo,na,atab) values ('読んで','README*','',1,X'02000000'),"
      "('表示','" + sub + "\\*','',1,X'04000000')");
  const struct { std::wstring path; int count; const char* first; } cases[] = {
      {Wide(dir + "\\README.txt"), 1, "ワードパッド"}, {Wide(sub), 2, "エクスプローラー"},  // not under itself
      {Wide(sub + "\\報告 書.TXT"), 1, "コマンドプロンプト"},
      {Wide(dir + "\\まだ無い.txt"), 2, "メモ帳"},  // a missing file goes by its extension
      {Wide(folder), 2, "エクスプローラー"},  // an extension does not count for folders
      {Wide(jp), 1, "コマンドプロンプト"},
      {Wide(folder + "\\"), 2, "エクスプローラー"},
      {Wide(dir + "\\exec.db"), 0, ""},
      {Wide("C:\\" + std::string(280, 'a') + ".txt"), 2, "メモ帳"},  // longer than a split path
      {Wide(dir) + L"\\r\u00e9sum\u00e9_\ud55c\uae00.txt", 2, "メモ帳"},
      {Wide(dir) + L"\\a.t\u00e9t", 0, ""},  // an extension no stored list can hold
      {L"", 0, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Utf8(c.path));
    SetLaunchPath(c.path);
    EXPECT_EQ(GoCheck(), c.count);
    EXPECT_EQ(c.count ? menus[0] : "", c.first);
  }
}

// The tester's text for three files: a remembered choice among the candidates, a pattern, no group.
TEST_F(Launch, PreviewTellsWhatALaunchWouldDo) {
  sql("insert into etable (name,elist,memo,na,atab) values ('読んで','README*','',1,X'02000000');"
      "insert into params (key,ix,data) values ('RememberedMatch',0,'txt'||char(0)),('RememberedApp',0,X'02000000')");
  const std::string rec = WinPath(KO_TEST_BIN_DIR "/recorder.exe");
  const struct { std::string file, text; } rows[] = {
      {"a.TXT", "グループ: テキスト（一致: TXT）\n記憶したアプリケーション: ワードパッド（メニューを出さずに開きます）\n\n候補:\n"
                "1. メモ帳\n    \"C:\\windows\\notepad.exe\"  \"<F>\"\n2. ワードパッド ← 記憶\n    \"" + rec + "\"  \"<F>\""},
      {"README.md", "グループ: 読んで（一致: README*）\n\n候補:\n1. ワードパッド\n    \"" + rec + "\"  \"<F>\""},
      {"a.none", "どのグループにも当たりません。\nシェルに渡します（Windows の既定のアプリで開きます）。"}};
  for (const auto& r : rows) {
    std::string file = dir + "\\" + r.file, want = file + "\n\n" + r.text;
    for (size_t at; (at = want.find("<F>")) != std::string::npos;) want.replace(at, 3, file);
    EXPECT_EQ(LaunchPreview(Wide(file)), want);
  }
}

TEST_F(Launch, OnlyACandidateOfThisDecisionStarts) {
  sql("insert into etable (name,elist,memo,na,atab) values ('三','tri','',3,X'020000000200000002000000')");
  ASSERT_EQ(GoCheck(Wide(dir + "\\a.tri")), 3);  // leaves a third command behind
  SetLaunchPath(Wide(dir + "\\a.txt"));
  ASSERT_EQ(GoCheck(), 2);
  for (int index : {-1, 2, (int)MAX_CANDIDATES}) EXPECT_NE(GoExec(index), 0u) << index;
  EXPECT_EQ(WaitForFile(record, 3000), "") << "an index past the candidates started something";
  for (const char* command : {"\"C:\\nowhere\\wordpad.exe\"  \"%1\"", "", "\"\""}) EXPECT_NE(GoExec(command, L"C:\\a.txt"), 0u) << command;
  EXPECT_EQ(GoExec(1), 0u);
  EXPECT_NE(WaitForFile(record, 20000).find("a.txt"), std::string::npos);
}

TEST(CommandLine, VariablesOfTheTemplateExpandedNeverThoseOfThePath) {
  SetEnvironmentVariableW(L"KO_T", L"C:\\表 x");
  SetEnvironmentVariableW(L"KO_NONE", nullptr);
  const wchar_t* file = L"C:\\報告%KO_T%.txt";
  const struct { const char* tmpl; std::wstring line; } rows[] = {
      {"\"%KO_T%\\a.exe\"  \"%1\"", L"\"C:\\表 x\\a.exe\"  \"" + std::wstring(file) + L"\""},
      {"a.exe %KO_NONE% %1", L"a.exe %KO_NONE% " + std::wstring(file)},  // unknown: as written
      {"\"%KO_T%1\\a.exe\" %1", L"\"C:\\表 x1\\a.exe\" " + std::wstring(file)},  // a variable's closing % is not the path's
      {"%KO_T%\\a.exe", L"C:\\表 x\\a.exe \"" + std::wstring(file) + L"\""},
  };
  for (const auto& r : rows) {
    std::wstring line;
    EXPECT_TRUE(CommandLineOf(r.tmpl, file, line));
    EXPECT_EQ(Utf8(line), Utf8(r.line)) << r.tmpl;
  }
}

// A made-up type with a default program, an open-with program, an open-with application and the user's own
// list: each program once, named as the system names it, its command a template; the default first.
TEST(KnownApps, TheProgramsWindowsHasForATypeNamedAndAsTemplates) {
  const std::string bin = WinPath(KO_TEST_BIN_DIR), rec = "\"" + bin + "\\recorder.exe\"";
  auto set = RegText;
  set(HKEY_CLASSES_ROOT, ".kotest", nullptr, "KoTest.File");
  set(HKEY_CLASSES_ROOT, ".kotest\\OpenWithProgids", "KoTest.Other", "");
  set(HKEY_CLASSES_ROOT, ".kotest\\OpenWithList\\noop.exe", nullptr, "");
  set(HKEY_CLASSES_ROOT, "KoTest.File\\shell\\open", "FriendlyAppName", "テスト表示");
  set(HKEY_CLASSES_ROOT, "KoTest.File\\shell\\open\\command", nullptr, rec + " \"%1\"");
  set(HKEY_CLASSES_ROOT, "KoTest.Other\\shell\\open\\command", nullptr, "\"" + bin + "\\minlaunch.exe\" %L");
  set(HKEY_CLASSES_ROOT, "Applications\\noop.exe\\shell\\open\\command", nullptr, "\"" + bin + "\\noop.exe\"");
  set(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.kotest\\OpenWithList", "a", "noop.exe");
  // Installed for a user code page 932 cannot name: reached through the folder's variable.
  SetEnvironmentVariableW(L"LOCALAPPDATA", L"C:\\Users\\Jos\u00e9\\AppData\\Local");
  set(HKEY_CLASSES_ROOT, ".kotest\\OpenWithProgids", "KoTest.User", "");
  const wchar_t user[] = L"\"C:\\Users\\Jos\u00e9\\AppData\\Local\\Programs\\u.exe\" \"%1\"";
  RegSetKeyValueW(HKEY_CLASSES_ROOT, L"KoTest.User\\shell\\open\\command", nullptr, REG_SZ, user, sizeof user);
  set(HKEY_CLASSES_ROOT, "KoTest.User\\shell\\open", "FriendlyAppName", "利用者の");
  std::string got;
  for (const KnownApp& k : KnownApps({"kotest", "KOTEST"})) got += k.name + (k.isDefault ? "*" : "") + "=" + k.command + "\n";
  EXPECT_EQ(got, "テスト表示*=" + rec + " \"%1\"\nminlaunch=\"" + bin + "\\minlaunch.exe\" %1\n"
                 "利用者の=\"%LOCALAPPDATA%\\Programs\\u.exe\" \"%1\"\nnoop=\"" + bin + "\\noop.exe\" \"%1\"\n");
  for (const char* key : {".kotest", "KoTest.File", "KoTest.Other", "KoTest.User", "Applications\\noop.exe"}) RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
  RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\FileExts\\.kotest");
  EXPECT_TRUE(KnownApps({"kotest"}).empty());
}

TEST_F(Launch, TheMenuShowsTheFileKeysAndEntries) {
  // Eleven candidates, one with "&" in its name, one whose program is gone.
  sql("update atable set name='R&D' where id=1; update atable set cmd='x:\\no.exe \"%1\"' where id=4;"
      " insert into etable (name,elist,memo,na,atab) values ('十一','eleven','',11,X'0100000002000000030000000400000001"
      "000000020000000300000004000000010000000200000003000000')");
  const std::string x36(36, 'x'), gone = "コマンドプロンプト（見つかりません）|";
  const struct { std::string name; size_t files; bool shell; std::string texts; size_t icons; } cases[] = {
      {"a&b.txt", 1, true, "a&&b.txt||&1 R&&D|&2 ワードパッド|既定のアプリで開く||いつもこれで開く(&A)|(中止)|", 3},
      {x36 + "表示.eleven", 3, true, std::string(20, 'x') + "..." + std::string(9, 'x') + "表示.eleven ほか 2 件||&1 R&&D|&2 ワードパッド|&3 エクスプローラー|&4 " + gone +
       "&5 R&&D|&6 ワードパッド|&7 エクスプローラー|&8 " + gone + "&9 R&&D|&0 ワードパッド|エクスプローラー|既定のアプリで開く||いつもこれで開く(&A)|(中止)|", 10},
      {"a.none", 1, true, "a.none||既定のアプリで開く||(中止)|", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    SetLaunchPath(Wide(dir + "\\" + c.name));
    GoCheck();
    HMENU menu = CreatePopupMenu();
    std::vector<HBITMAP> icons = FillGoMenu(menu, MenuTitle(srcFile, c.files), (c.shell ? MENU_SHELL : 0) | MENU_ALWAYS);
    std::string texts;
    HMENU plain = CreatePopupMenu();  // the same texts without icons
    for (int i = 0; i < GetMenuItemCount(menu); i++) {
      char text[256] = "";
      texts += (GetMenuStringA(menu, i, text, sizeof text, MF_BYPOSITION), text) + std::string("|");
      AppendMenuA(plain, *text ? MF_STRING : MF_SEPARATOR, 1, text);
    }
    EXPECT_EQ(texts, c.texts);
    EXPECT_EQ(icons.size(), c.icons);  // the programs' and a blank one
    // Icons take a column of their own: the same texts without them must be narrower by it, or the
    // widest text is cut.
    if (c.icons) { EXPECT_GE(ShownWidth(menu), ShownWidth(plain) + GetSystemMetrics(SM_CXSMICON)); }
    DestroyMenu(plain);
    EXPECT_EQ(GetMenuDefaultItem(menu, FALSE, 0), nCmd ? (UINT)CMD_CANDIDATE : (UINT)-1);
    EXPECT_TRUE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_GRAYED) << "the file line is no choice";
    DestroyMenu(menu);
    for (HBITMAP icon : icons) DeleteObject(icon);
  }
}

TEST(Program, VersionAndManifestResources) {
  std::string exe = WinPath(KO_TEST_BIN_DIR "/Runmate.exe");
  std::vector<char> info(GetFileVersionInfoSizeA(exe.c_str(), nullptr) + 1);
  ASSERT_TRUE(GetFileVersionInfoA(exe.c_str(), 0, (DWORD)info.size(), info.data()));
  for (const char* key : {"ProductName", "FileDescription", "ProductVersion", "LegalCopyright"}) {
    char* value = nullptr;
    UINT n = 0;
    EXPECT_TRUE(VerQueryValueA(info.data(), (std::string("\\StringFileInfo\\041103A4\\") + key).c_str(), (void**)&value, &n) && n > 1) << key;
    if (!strcmp(key, "ProductVersion") && value) { EXPECT_STREQ(value, RUNMATE_VERSION); }
  }
  HMODULE module = LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
  ASSERT_NE(found, nullptr) << "no manifest";
  std::string text((const char*)LockResource(LoadResource(module, found)), SizeofResource(module, found));
  for (const char* wanted : {"Microsoft.Windows.Common-Controls\"", "version=\"6.0.0.0\"", ">PerMonitorV2, PerMonitor<",
                             ">true/pm<", ">true</longPathAware>", "level=\"asInvoker\"", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"})
    EXPECT_NE(text.find(wanted), std::string::npos) << wanted;
  FreeLibrary(module);
}
