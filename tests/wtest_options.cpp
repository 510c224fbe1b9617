// Runmate.exe's options under Wine: /which, /export and /import, from a Japanese folder with its own exec.db.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include "ko_test.h"
#include "extList.h"
#include "koSQLite.h"
#include "resource.h"

namespace {
class Options : public ::testing::Test {
 protected:
  std::string dir = MakeTempDir("登録ソフト"), db = dir + "\\exec.db", out = dir + "\\out.txt";
  std::string boxes;  // "text" of each box, OK pressed
  void SetUp() override {
    ASSERT_TRUE(CopyFileTo(WinPath(KO_TEST_BIN_DIR "/Runmate.exe"), dir + "\\Runmate.exe"));
    ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, db));
  }
  void sql(const std::string& text) {
    koSQLite d(db.c_str());
    ASSERT_EQ(d.open(nullptr) || d.exec(text.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << text;
  }
  // The exit code; what it wrote to standard output and error is in out, its boxes in boxes.
  int run(const std::string& args) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE h = CreateFileA(out.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si, si.dwFlags = STARTF_USESTDHANDLES, si.hStdOutput = si.hStdError = h;
    PROCESS_INFORMATION pi{};
    std::string line = "\"" + dir + "\\Runmate.exe\" " + args;
    boxes.clear();
    bool started = CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, dir.c_str(), &si, &pi);
    CloseHandle(h);
    if (!started) return -100;
    HWND box, last = nullptr;
    for (int t = 0; WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT && t < 300; t++)
      if ((box = WaitWindow(pi.dwProcessId, "#32770", 50)) && box != last)
        boxes += ItemText(box, 0xFFFF) + "\n", Click(box, IDOK), last = box;
    DWORD code = 99;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) TerminateProcess(pi.hProcess, 99);
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
    return (int)code;
  }
  std::string written() { return ReadWhole(out); }
  void put(const std::string& path, const std::string& text) {
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD n = 0;
    ASSERT_TRUE(WriteFile(h, text.data(), (DWORD)text.size(), &n, nullptr) && CloseHandle(h));
  }
};
}  // namespace

TEST_F(Options, WhichTellsTheGroupAndItsCandidates) {
  // 文書 with three applications; a remembered choice for wri; rec in no group.
  sql("update etable set na=3, atab=X'020000000100000003000000' where id=2;"
      "insert into params (key,ix,data) values ('RememberedMatch',0,'wri'||char(0)),('RememberedApp',0,X'01000000')");
  const struct { std::string path, lines; int code; } rows[] = {
      {"C:\\表\\能.DOC", u8"group\t文書\n"
                        u8"ワードパッド\t\"C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe\"  \"C:\\表\\能.DOC\"\n"
                        u8"メモ帳\t\"C:\\Windows\\notepad.exe\"  \"C:\\表\\能.DOC\"\n"
                        u8"エクスプローラー\t\"C:\\Windows\\explorer.exe\"  \"C:\\表\\能.DOC\"\n", 0},
      {"a.wri", u8"group\t文書\nメモ帳\t\"C:\\Windows\\notepad.exe\"  \"a.wri\"\n", 0},
      {"a.rec", "shell\n", 0},
      {"\"" + dir + "\"", u8"group\t_Folder\nエクスプローラー\t\"C:\\Windows\\explorer.exe\"  \"" + Utf8(dir) +
                              u8"\"\nコマンドプロンプト\t\"C:\\Windows\\System32\\cmd.exe\"  /k cd /d \"" + Utf8(dir) + "\"\n", 0},
      {"a.txt /yes", "", 2},
      {"", "", 2},
  };
  for (const auto& r : rows) {
    SCOPED_TRACE(r.path);
    EXPECT_EQ(run("/WHICH " + r.path), r.code);
    if (r.code == 0) EXPECT_EQ(written(), r.lines);
    else EXPECT_NE(written().find(u8"オプションの使い方が違います。"), std::string::npos) << written();
    EXPECT_EQ(boxes, "");
  }
}

TEST_F(Options, ExportImportAndEachRefusalLeavesTheDatabase) {
  std::string file = dir + "\\登録.json", bak = db + ".bak";
  ASSERT_EQ(run("/export \"" + file + "\""), 0);
  std::string first = ReadWhole(file);
  EXPECT_EQ(boxes, "");
  EXPECT_NE(first.find(u8"{\"name\":\"テキスト\",\"extensions\":[\"txt\",\"log\",\"ini\",\"csv\",\"md\"],"
                       u8"\"applications\":[\"メモ帳\",\"ワードパッド\"],\"memo\":\"テキストファイル\"}"), std::string::npos) << first;
  const struct { std::string text, message; } refusals[] = {
      {"{\n\"format\": 1,,", "JSON として読めません（2 行 13 文字目）"},
      {u8R"({"format":"runmate-registrations","version":1,"applications":[],"groups":[{"name":"G","extensions":[],"applications":["X"],"memo":""}],"folderGroup":"","remembered":[]})",
       "groups の 1 番目「G」の \"applications\" にある「X」は、このファイルの applications にありません"},
      {u8R"({"format":"runmate-registrations","version":1,"applications":[{"name":"表","command":"","memo":""},{"name":"表","command":"","memo":""}]})",
       "applications の 2 番目「表」と同じ名前のアプリケーションが前にもあります"},
      {u8R"({"format":"runmate-registrations","version":3})", "版（\"version\"）には対応していません"},
  };
  std::string before = ReadWhole(db);
  for (const auto& r : refusals) {
    SCOPED_TRACE(r.text);
    put(file, r.text);
    EXPECT_EQ(run("/import \"" + file + "\" /yes"), 1);
    EXPECT_NE(boxes.find(r.message), std::string::npos) << boxes;
    EXPECT_EQ(ReadWhole(db), before) << "exec.db is unchanged";
    EXPECT_FALSE(FileExists(bak));
  }
  // Another database imported over with the first export: the same registrations, the old one kept as .bak.
  sql("delete from etable where id=1; update atable set name='別' where id=1");
  before = ReadWhole(db);
  std::string again = dir + "\\again.json";
  put(file, first);
  EXPECT_EQ(run("/Import \"" + file + "\" /YES"), 0);
  EXPECT_EQ(boxes, "");
  EXPECT_EQ(ReadWhole(bak), before);
  EXPECT_EQ(run("/export \"" + again + "\""), 0);
  EXPECT_EQ(ReadWhole(again), first);
  // A file that cannot be written: the box names it and why; exit code 1.
  EXPECT_EQ(run("/export \"" + dir + "\\無い\\x.json\""), 1);
  EXPECT_NE(boxes.find("書き出せませんでした。\n\n" + dir + "\\無い\\x.json\n"), std::string::npos) << boxes;
}

// The group list's buttons: the same through the file choosers, the question, and the list filled anew.
class ListFiles : public RunmateTest {};
TEST_F(ListFiles, ExportAndImportThroughTheChoosers) {
  HWND groups = nullptr, chooser = nullptr;
  std::string file = dir + "\\登録.json", bad = dir + "\\bad.json";
  auto choose = [&](int button, const char* title, const std::string& path, const char* shot) {
    s.act([&, button] { Click(groups, button); });
    s.opened(title, chooser, shot);
    s.act([&, path] { Type(chooser, 0x47C, path), PostMessageA(chooser, WM_COMMAND, IDOK, 0); });  // the file name edit
    s.closed(chooser);
  };
  s.opened("拡張子グループのリスト", groups, "groups-files");
  choose(IDC_GROUPS_EXPORT, "登録の書き出し", file, "export-chooser");
  s.act([&] { CopyFileTo(KO_TEST_EXEC_DB, bad), sql("delete from etable where name='文書'"); });
  choose(IDC_GROUPS_IMPORT, "登録の読み込み", bad, nullptr);
  s.answer(IDOK, "import-refused");
  choose(IDC_GROUPS_IMPORT, "登録の読み込み", file, nullptr);
  s.answer(IDNO, "import-question");
  s.act([&] { s.log("declined " + std::to_string(scalar("select count(*) from etable"))); });
  choose(IDC_GROUPS_IMPORT, "登録の読み込み", file, nullptr);
  s.answer(IDYES);
  s.act([&] { s.log("imported " + std::to_string(scalar("select count(*) from etable")) + " rows " + std::to_string(ListRows(groups))); });
  s.act([&] { Click(groups, IDCANCEL); });
  EXPECT_TRUE(s.run([&] { ExtList(frame); }));
  EXPECT_EQ(s.logged(), "box 読み込めませんでした。今の登録は元のままです。\n\n" + bad +
                            "\n\nJSON として読めません（1 行 1 文字目）。\nその位置の書き方を直してください。\n"
                            "box " + file + " を読み込んで今の登録を置き換えますか？\ndeclined 2\n"
                            "box " + file + " を読み込んで今の登録を置き換えますか？\nimported 3 rows 3\n");
  EXPECT_TRUE(FileExists(dir + "\\exec.db.bak"));
}
