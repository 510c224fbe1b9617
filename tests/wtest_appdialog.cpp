// The application editor driven under Wine (adding by typing, editing, the
// name checks, long values, Enter) and the file chooser: its result
// handling fed directly, and the real open-file dialog driven for the
// command template.
#include <gtest/gtest.h>
#include <windows.h>
#include <sqlite3.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <string>
#include <vector>
#include "appDialog.h"
#include "dbsub.h"
#include "ko_test.h"
#include "koDlg0.h"
#include "koGetFn.h"
#include "koMainWin.h"
#include "koModule.h"

namespace {
koModule module;

using Frame = HiddenFrame;

// Enter in an edit: the dialog manager's IDOK without a button.
void enter(HWND dialog) { PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, 0), 0); }

struct Row {
  int count = 0;
  std::string cmd, memo;
  int id = 0;
};

Row row(const char* name) {
  Row r;
  sqlite3_stmt* st = nullptr;
  sqlite3_prepare_v2(db->dbHandle, "select id, cmd, memo from atable where name=?", -1, &st,
                     nullptr);
  sqlite3_bind_text(st, 1, db->toUTF8(name), -1, SQLITE_TRANSIENT);
  while (sqlite3_step(st) == SQLITE_ROW) {
    r.count++;
    r.id = sqlite3_column_int(st, 0);
    r.cmd = db->toSJIS((const char*)sqlite3_column_text(st, 1));
    r.memo = db->toSJIS((const char*)sqlite3_column_text(st, 2));
  }
  sqlite3_finalize(st);
  return r;
}

// One scripted scene at a time; the timer keeps firing inside modal loops.
void (*scene)() = nullptr;
int step = 0;
int waitTicks = 0;
HWND editor = nullptr;
std::vector<std::string> log;
std::string longCommand, longMemo, chosenExe;

void CALLBACK tick(HWND, UINT, UINT_PTR, DWORD) {
  if (scene) scene();
}

// The message box on top of the editor: its text logged, then OK.
bool answerBox() {
  HWND box = ThreadDialog(nullptr);
  if (!box || box == editor) return false;
  log.push_back("box " + ItemText(box, 65535));
  Click(box, IDOK);
  return true;
}

bool shotHold() {
  static const char* s = getenv("KO_SHOT_SECONDS");
  if (!s) return false;
  if (waitTicks == 0) waitTicks = atoi(s) * 10 + 1;
  return --waitTicks > 0;
}

void addScene() {
  switch (step) {
    case 0:
      editor = ThreadDialog("アプリケーションの追加");
      if (!editor) return;
      log.push_back(IsWindowEnabled(GetDlgItem(editor, 32)) ? "update on" : "update off");
      SetDlgItemTextA(editor, 140, "   ");
      Click(editor, 30);
      step = 1;
      return;
    case 1:
      if (!answerBox()) return;
      SetDlgItemTextA(editor, 140, " メモ帳 ");
      Click(editor, 30);
      step = 2;
      return;
    case 2:
      if (!answerBox()) return;
      log.push_back("kept [" + ItemText(editor, 140) + "]");
      SetDlgItemTextA(editor, 140, "  ビューア\t ");
      SetDlgItemTextA(editor, 141, longCommand.c_str());
      SetDlgItemTextA(editor, 142, longMemo.c_str());
      enter(editor);
      step = 3;
      waitTicks = 0;
      return;
    case 3:
      // Enter swallowed: the editor is still there with what was typed.
      if (shotHold()) return;
      log.push_back(IsWindow(editor) && IsWindowVisible(editor) ? "open after enter" : "closed");
      log.push_back("command " + std::to_string(ItemText(editor, 141).size()));
      Click(editor, 30);
      step = 4;
      return;
  }
}

void editScene() {
  switch (step) {
    case 0:
      editor = ThreadDialog("アプリケーション[ワードパッド]の更新");
      if (!editor) return;
      log.push_back(IsWindowEnabled(GetDlgItem(editor, 32)) ? "update on" : "update off");
      log.push_back("name " + ItemText(editor, 140));
      Click(editor, 30);  // same name as new: a duplicate
      step = 1;
      return;
    case 1:
      if (!answerBox()) return;
      SetDlgItemTextA(editor, 140, "メモ帳");  // another application's name
      Click(editor, 32);
      step = 2;
      return;
    case 2:
      if (!answerBox()) return;
      SetDlgItemTextA(editor, 140, "ワードパッド");
      SetDlgItemTextA(editor, 141, "wordpad.exe %1");
      SetDlgItemTextA(editor, 142, "改めた備考");
      Click(editor, 32);
      step = 3;
      return;
  }
}

void chooserScene() {
  HWND chooser;
  switch (step) {
    case 0:
      chooser = ThreadDialog("実行ファイルを開く");
      if (!chooser || !ShotWhenPainted(chooser, "chooser")) return;
      SetDlgItemTextA(chooser, 0x47C, chosenExe.c_str());
      PostMessageA(chooser, WM_COMMAND, IDOK, 0);
      step = 1;
      return;
    case 1:
      editor = ThreadDialog("アプリケーションの追加");
      if (!editor) return;
      log.push_back("name " + ItemText(editor, 140));
      log.push_back("command " + ItemText(editor, 141));
      SetDlgItemTextA(editor, 142, "keep");
      Click(editor, 120);  // pick again, then cancel the chooser
      step = 2;
      return;
    case 2:
      chooser = ThreadDialog("実行ファイルを開く");
      if (!chooser) return;
      Click(chooser, IDCANCEL);
      step = 3;
      return;
    case 3:
      if (ThreadDialog("実行ファイルを開く")) return;
      log.push_back("after cancel " + ItemText(editor, 140) + " / " + ItemText(editor, 142));
      Click(editor, IDCANCEL);
      step = 4;
      return;
  }
}

class AppEditor : public ::testing::Test {
 protected:
  Frame* frame = nullptr;
  UINT_PTR timer = 0;

  void SetUp() override {
    std::string dir = MakeTempDir("appdialog");
    ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "\\exec.db"));
    ASSERT_TRUE(DbOpen(dir.c_str(), "Runmate"));
    GetAllItem();
    chosenExe = dir + "\\view.exe";
    FILE* f = fopen(chosenExe.c_str(), "wb");
    ASSERT_TRUE(f);
    fclose(f);
    pModule = &module;
    module.title = "Runmate";
    koDialog::FontSize(9);
    frame = new Frame;
    ASSERT_TRUE(frame->create("frame"));
    log.clear();
    step = 0;
    waitTicks = 0;
    timer = SetTimer(nullptr, 0, 100, tick);
  }

  void TearDown() override {
    KillTimer(nullptr, timer);
    scene = nullptr;
    if (frame) DestroyWindow(frame->hWnd);
    pModule = nullptr;
    TermDb();
    EraseItem();
  }

  static std::string joined() {
    std::string all;
    for (auto& l : log) all += l + "\n";
    return all;
  }
};

TEST_F(AppEditor, AddByTypingWithNameChecksEnterAndLongValues) {
  longCommand = "\"C:\\Tools\\";
  while (longCommand.size() < 990) longCommand += "長い";
  longCommand += "\\v.exe\"  \"%1\"";
  longCommand.resize(1000, 'x');
  longMemo.clear();
  for (int i = 0; longMemo.size() < 4990; i++) longMemo += "備考の行 " + std::to_string(i) + "\r\n";
  longMemo.resize(4990);
  scene = addScene;
  appItem record;
  int result = AppDialog(frame, &record);
  EXPECT_EQ(result, 1);
  EXPECT_EQ(joined(),
            "update off\n"
            "box 名前がありません\n"
            "box 名前が重複しています\n"
            "kept [ メモ帳 ]\n"
            "open after enter\n"
            "command 1000\n");
  Row r = row("ビューア");
  EXPECT_EQ(r.count, 1) << "stored trimmed";
  EXPECT_EQ(r.cmd.size(), 1000u);
  EXPECT_EQ(r.cmd, longCommand) << "the command template is stored whole";
  EXPECT_EQ(r.memo, longMemo) << "the note is stored whole";
  EXPECT_EQ(record.id, r.id);
  EXPECT_EQ(row("メモ帳").count, 1) << "the duplicate was not stored";
}

TEST_F(AppEditor, EditKeepsItsNameAndRefusesAnother) {
  appItem* source = findAppItem("ワードパッド");
  ASSERT_TRUE(source);
  appItem* record = source->dup();
  scene = editScene;
  int result = AppDialog(frame, record);
  EXPECT_EQ(result, 2);
  EXPECT_EQ(joined(),
            "update on\n"
            "name ワードパッド\n"
            "box 名前が重複しています\n"
            "box 名前が重複しています\n");
  Row r = row("ワードパッド");
  EXPECT_EQ(r.count, 1);
  EXPECT_EQ(r.id, record->id);
  EXPECT_EQ(r.cmd, "wordpad.exe %1") << "a template without quotes is stored as typed";
  EXPECT_EQ(r.memo, "改めた備考");
  EXPECT_EQ(row("メモ帳").count, 1);
  delete record;
}

TEST_F(AppEditor, ChosenExecutableGivesTheQuotedTemplate) {
  scene = chooserScene;
  appItem record;
  int result = NewAppDialog(frame, &record);
  EXPECT_EQ(result, 0);
  EXPECT_EQ(joined(),
            "name view\n"
            "command \"" + chosenExe + "\"  \"%1\"\n"
            "after cancel view / keep\n");
  EXPECT_EQ(row("view").count, 0) << "cancel stores nothing";
}

// The chooser's handling of results, fed without the platform dialog.
TEST(FileChooser, FiltersAndRecord) {
  koGetOpenFileName open(nullptr);
  EXPECT_EQ(open.ofn.lStructSize, (DWORD)OPENFILENAME_SIZE_VERSION_400A);
  if (sizeof(void*) == 4) {
    EXPECT_EQ(open.ofn.lStructSize, 76u);
  }
  EXPECT_EQ(open.ofn.nMaxFile, 300u);
  EXPECT_STREQ(open.title, "開く");
  EXPECT_EQ(open.flags, 0x1004u);
  EXPECT_EQ(open.filterPattern(1), nullptr) << "no list: nothing to read";

  const char* six[] = {"実行ファイル", "*.exe", "バッチファイル", "*.bat", "全てのファイル", "*.*",
                       nullptr};
  ASSERT_TRUE(open.setFilters(six));
  std::string joinedList;
  const char* p = open.ofn.lpstrFilter;
  while (*p) {
    joinedList += std::string(p) + "|";
    p += strlen(p) + 1;
  }
  EXPECT_EQ(joinedList, "実行ファイル|*.exe|バッチファイル|*.bat|全てのファイル|*.*|");
  const char* odd[] = {"a", "*.a", "b", "*.b", "c", nullptr};
  EXPECT_FALSE(open.setFilters(odd));
  const char* none[] = {nullptr};
  EXPECT_FALSE(open.setFilters(none));
  EXPECT_STREQ(open.filterPattern(2), "*.bat") << "the previous list stays";
  EXPECT_EQ(open.filterPattern(0), nullptr);
  EXPECT_EQ(open.filterPattern(4), nullptr);

  open.setMMfilters(false);
  char* first = open.mmFilterBuffer;
  open.setMMfilters(true);
  EXPECT_EQ(open.ofn.lpstrFilter, open.mmFilterBuffer);
  (void)first;  // released by the second call
}

TEST(FileChooser, OpenResults) {
  koGetOpenFileName open(nullptr);
  strcpy(open.fileBuffer, "C:\\Tools\\view.exe");
  open.ofn.nFileOffset = 9;
  char path[300], title[300];
  EXPECT_EQ(open.takeResult(path, nullptr, sizeof path, 0), 1);
  EXPECT_STREQ(path, "C:\\Tools\\view.exe");
  EXPECT_STREQ(open.initialDir, "C:\\Tools\\");
  open.getFileTitle(title, sizeof title);
  EXPECT_STREQ(title, "view.exe");
  char small[8];
  open.takeResult(small, nullptr, sizeof small, 0);
  EXPECT_STREQ(small, "C:\\Tool") << "bounded copy";
  open.getFileTitle(small, 5);
  EXPECT_STREQ(small, "view");

  open.flags |= OFN_ALLOWMULTISELECT | OFN_EXPLORER;
  memcpy(open.fileBuffer, "C:\\Data\0a.txt\0bb.txt\0c.txt\0\0", 28);
  open.ofn.nFileOffset = 8;
  char names[300];
  memset(names, 'x', sizeof names);
  EXPECT_EQ(open.takeResult(path, names, sizeof path, sizeof names), 3);
  EXPECT_STREQ(path, "C:\\Data");
  EXPECT_STREQ(open.initialDir, "C:\\Data\\");
  EXPECT_EQ(open.namesLength, 19);
  EXPECT_EQ(std::string(names, 19), std::string("a.txt\0bb.txt\0c.txt\0", 19));
  memset(names, 'x', sizeof names);
  open.takeResult(path, names, sizeof path, 9);
  EXPECT_EQ(std::string(names, 9), std::string("a.txt\0bb\0", 9)) << "bounded, still ended";
  EXPECT_EQ(names[9], 'x');
}

TEST(FileChooser, SaveExtensionFromTheChosenFilter) {
  koGetSaveFileName save(nullptr);
  char path[300];
  strcpy(save.fileBuffer, "C:\\Data\\report");
  save.ofn.nFileOffset = 8;
  save.ofn.nFileExtension = 0;
  save.ofn.nFilterIndex = 1;
  save.takeResult(path, sizeof path);
  EXPECT_STREQ(path, "C:\\Data\\report") << "no filter list";
  const char* list[] = {"テキスト", "*.txt;*.log", "全て", "*.*", "空", "", nullptr};
  ASSERT_TRUE(save.setFilters(list));
  save.takeResult(path, sizeof path);
  EXPECT_STREQ(path, "C:\\Data\\report.txt");
  EXPECT_STREQ(save.fileBuffer, "C:\\Data\\report") << "only path changes";
  EXPECT_STREQ(save.initialDir, "C:\\Data\\");
  save.ofn.nFilterIndex = 2;
  save.takeResult(path, sizeof path);
  EXPECT_STREQ(path, "C:\\Data\\report") << "*.* adds no .*";
  save.ofn.nFilterIndex = 3;
  save.takeResult(path, sizeof path);
  EXPECT_STREQ(path, "C:\\Data\\report");
  for (unsigned n : {0u, 4u, 1000u}) {
    save.ofn.nFilterIndex = n;
    save.takeResult(path, sizeof path);
    EXPECT_STREQ(path, "C:\\Data\\report") << n;
  }
  save.ofn.nFilterIndex = 1;
  char tight[16];
  save.takeResult(tight, sizeof tight);
  EXPECT_STREQ(tight, "C:\\Data\\report") << "no room for the extension";
  save.ofn.nFileExtension = 15;
  save.takeResult(path, sizeof path);
  EXPECT_STREQ(path, "C:\\Data\\report");
  EXPECT_FALSE(save.setDefaultExtension(nullptr));
  EXPECT_TRUE(save.setDefaultExtension("txt"));
  EXPECT_TRUE(save.setDefaultExtension("log"));
  EXPECT_STREQ(save.defaultExtension, "log");
  EXPECT_STREQ(save.title, "名前を付けて保存");
  EXPECT_EQ(save.flags, 0x806u);
  koGetDirectoryName folder(nullptr);
  EXPECT_EQ(folder.rootFolder, 0x11);
  EXPECT_EQ(folder.flags, 1u);
  EXPECT_STREQ(folder.className(), "koGetDirectoryName");
}
}  // namespace
