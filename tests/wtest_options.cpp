// Runmate.exe's options under Wine (/which, /export, /import), and the group list's buttons that do the same.
#include "ko_test.h"
#include <fstream>
#include "extList.h"
#include "resource.h"

namespace {
class Options : public RunmateTest {
 protected:
  std::string out, boxes;  // what it wrote to standard output and error, the text of each box (OK pressed)
  // The exit code of Runmate.exe beside the test's exec.db.
  int run(const std::string& args) {
    std::string line = "\"" + dir + "\\Runmate.exe\" " + args, file = dir + "\\out.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS, 0, nullptr);
    STARTUPINFOA si{};
    si.cb = sizeof si, si.dwFlags = STARTF_USESTDHANDLES, si.hStdOutput = si.hStdError = h;
    PROCESS_INFORMATION pi{};
    DWORD code = 99;
    boxes.clear();
    if (!CopyFileTo(WinPath(KO_TEST_BIN_DIR "/Runmate.exe"), dir + "\\Runmate.exe") ||
        !CreateProcessA(nullptr, &line[0], nullptr, nullptr, TRUE, 0, nullptr, dir.c_str(), &si, &pi))
      return CloseHandle(h), -1;
    CloseHandle(h);
    for (HWND box, last = nullptr; WaitForSingleObject(pi.hProcess, 50) == WAIT_TIMEOUT && code-- > 0;)  // 99 rounds at most
      if ((box = WaitWindow(pi.dwProcessId, "#32770", 50)) && box != last) boxes += ItemText(box, 0xFFFF) + "\n", Click(box, IDOK), last = box;
    TerminateProcess(pi.hProcess, 99), GetExitCodeProcess(pi.hProcess, &code), CloseHandle(pi.hProcess), CloseHandle(pi.hThread);
    out = ReadWhole(file);
    return (int)code;
  }
};
}  // namespace

TEST_F(Options, WhichTellsTheGroupAndItsCandidates) {
  // 文書 with three applications; a remembered choice for wri; rec in no group.
  sql("update etable set na=3, atab=X'020000000100000003000000' where id=2;"
      "insert into params (key,ix,data) values ('RememberedMatch',0,'wri'||char(0)),('RememberedApp',0,X'01000000')");
  const std::string d = Utf8(dir);
  char root[MAX_PATH] = "";
  GetEnvironmentVariableA("SystemRoot", root, MAX_PATH);
  const std::string w = root;  // the shipped commands' %SystemRoot%, expanded as a start would
  const struct { std::string path, lines; int code; } rows[] = {
      {"C:\\表\\能.DOC", u8"group\t文書\nワードパッド\t\"C:\\Program Files\\Windows NT\\Accessories\\wordpad.exe\"  \"C:\\表\\能.DOC\"\n"
                        u8"メモ帳\t\"" + w + u8"\\notepad.exe\"  \"C:\\表\\能.DOC\"\nエクスプローラー\t\"" + w + u8"\\explorer.exe\"  \"C:\\表\\能.DOC\"\n", 0},
      {"a.wri", u8"group\t文書\nメモ帳\t\"" + w + u8"\\notepad.exe\"  \"a.wri\"\n", 0},
      {"a.rec", "shell\n", 0},
      {"\"" + dir + "\"", u8"group\t_Folder\nエクスプローラー\t\"" + w + u8"\\explorer.exe\"  \"" + d +
                              u8"\"\nコマンドプロンプト\t\"" + w + u8"\\System32\\cmd.exe\"  /k cd /d \"" + d + "\"\n", 0},
      {"a.txt /yes", u8"オプションの使い方が違います。", 2}, {"", u8"オプションの使い方が違います。", 2}};
  for (const auto& r : rows) {
    EXPECT_EQ(run("/WHICH " + r.path), r.code) << r.path;
    EXPECT_EQ(r.code ? out.substr(0, r.lines.size()) : out, r.lines);
    EXPECT_EQ(boxes, "");
  }
}

TEST_F(Options, ExportImportAndEachRefusalLeavesTheDatabase) {
  std::string file = dir + "\\登録.json", db = dir + "\\exec.db", again = dir + "\\again.json", first, before;
  ASSERT_EQ(run("/export \"" + file + "\""), 0);
  EXPECT_EQ(boxes, "");
  const std::string head = u8R"({"format":"runmate-registrations","version":1,"applications":[)";
  // Text that is no JSON, and JSON the check refuses (each kind's message is tested natively): nothing written, no copy.
  const std::string refusals[] = {"{\n\"format\": 1,,",
      head + u8R"(],"groups":[{"name":"G","extensions":[],"applications":["X"],"memo":""}],"folderGroup":"","remembered":[]})"};
  first = ReadWhole(file), before = ReadWhole(db);
  for (const std::string& text : refusals) {
    std::ofstream(file, std::ios::binary) << text;
    EXPECT_EQ(run("/import \"" + file + "\" /yes"), 1) << text;
    EXPECT_EQ(boxes.find("読み込めませんでした。今の登録は元のままです。"), 0u) << boxes;
    EXPECT_TRUE(ReadWhole(db) == before && !FileExists(db + ".bak")) << "exec.db unchanged, no copy";
  }
  // Another database replaced by the first export: the same registrations, the old one kept as .bak.
  sql("delete from etable where id=1; update atable set name='別' where id=1");
  before = ReadWhole(db);
  std::ofstream(file, std::ios::binary) << first;
  EXPECT_EQ(run("/Import \"" + file + "\" /YES") * 10 + run("/export \"" + again + "\""), 0);
  EXPECT_TRUE(ReadWhole(db + ".bak") == before && ReadWhole(again) == first);
  // A file that cannot be written: the box names it and why.
  EXPECT_EQ(run("/export \"" + dir + "\\無い\\x.json\""), 1);
  EXPECT_NE(boxes.find("書き出せませんでした。\n\n" + dir + "\\無い\\x.json\n"), std::string::npos) << boxes;
}

TEST_F(Options, GroupListExportsAndImportsThroughTheChoosers) {
  HWND groups = nullptr, chooser = nullptr;
  std::string file = dir + "\\登録.json", bad = dir + "\\bad.json";
  auto choose = [&](int button, const char* title, const std::string& path, const char* shot) {
    s.act([&, button] { Click(groups, button); });
    s.opened(title, chooser, shot);
    s.act([&, path] { Type(chooser, 0x47C, path), PostMessageA(chooser, WM_COMMAND, IDOK, 0); });  // the file name edit
    s.closed(chooser);
  };
  auto counts = [&](const char* what) { s.log(what + std::to_string(scalar("select count(*) from etable")) + " rows " + std::to_string(ListRows(groups))); };
  s.opened("拡張子グループのリスト", groups, "groups-files");
  choose(IDC_GROUPS_EXPORT, "登録の書き出し", file, "export-chooser");
  s.act([&] { CopyFileTo(KO_TEST_EXEC_DB, bad), sql("delete from etable where name='文書'"); });
  choose(IDC_GROUPS_IMPORT, "登録の読み込み", bad, nullptr);
  s.answer(IDOK, "import-refused");
  for (int button : {IDNO, IDYES}) {
    choose(IDC_GROUPS_IMPORT, "登録の読み込み", file, nullptr);
    s.answer(button, button == IDNO ? "import-question" : nullptr);
    s.act([&, button] { counts(button == IDNO ? "declined " : "imported "); });
  }
  s.act([&] { Click(groups, IDCANCEL); });
  EXPECT_TRUE(s.run([&] { ExtList(frame); }));
  std::string asked = "box " + file + " を読み込んで今の登録を置き換えますか？\n";
  EXPECT_EQ(s.logged(), "box 読み込めませんでした。今の登録は元のままです。\n\n" + bad +
                            "\n\nJSON として読めません（1 行 1 文字目）。\nその位置の書き方を直してください。\n" +
                            asked + "declined 2 rows 3\n" + asked + "imported 3 rows 3\n");
  EXPECT_TRUE(FileExists(dir + "\\exec.db.bak"));
}
