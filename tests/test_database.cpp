#include <gtest/gtest.h>
#include <sqlite3.h>
#include <memory>
#include <string.h>
#include "dbsub.h"
#include "gosub.h"
#include "koPlatform.h"
#include "koUtl1.h"
#include "ko_test.h"
#include "registrations.h"
#include "remember.h"
#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace {
// A blob of 45 application ids 1 2 3 4 1 2 ..., more than a group holds.
const std::string kIds45 = [] {
  std::string s = "X'";
  for (int i = 0; i < 45; i++) s += "0" + std::to_string(i % 4 + 1) + "000000";
  return s + "'";
}();

// A copy of the tests' exec.db in a fresh folder, opened and its settings loaded as the program does.
class Db : public ::testing::Test {
 protected:
  void SetUp() override { open(); }
  void TearDown() override { TermDb(), EraseItem(), strcpy(folderGroup, "_Folder"); }
  void open() {
    TermDb();
    std::string dir = MakeTempDir("db") + SEP;
    ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "exec.db"));
    ASSERT_TRUE(DbOpen(dir.c_str(), "Runmate"));
    LoadParams();
  }
  // The registrations as JSON.
  std::string exported() {
    Registrations r;
    std::string json, error;
    EXPECT_TRUE(LoadRegistrations(r, error) && RegistrationsToJson(r, json, error)) << error;
    return json;
  }
  // The import check then the store; "" when both passed.
  std::string import(const std::string& json) {
    Registrations r;
    std::string error;
    if (ParseRegistrations(json, r, error)) StoreRegistrations(r, error);
    return error;
  }
  // The first value of a query, over a connection of the test's own.
  std::string one(const std::string& sql) {
    sqlite3* h = nullptr;
    std::string r;
    sqlite3_open(dbName, &h);
    sqlite3_exec(h, sql.c_str(), [](void* r, int, char** v, char**) { return *(std::string*)r = v[0] ? v[0] : "", 1; },
                 &r, nullptr);
    sqlite3_close(h);
    return r;
  }
  void run(const std::string& sql) { ASSERT_EQ(db->exec(sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql; }
};

// Shift-JIS 表 ソ 能 end in a backslash byte; variables stay unexpanded; the order of the groups decides.
const char* const kFile = u8R"({
  "format": "runmate-registrations",
  "version": 1,
  "applications": [
    {"name": "表計算ソフト", "command": "\"%SystemRoot%\\表\\能.exe\"  \"%1\"", "memo": "ソ\\能"},
    {"name": "メモ帳", "command": "\"%SystemRoot%\\notepad.exe\"  \"%1\"", "memo": ""}
  ],
  "groups": [
    {"name": "表", "extensions": ["xls", "ソ能", "README*"], "applications": ["表計算ソフト", "メモ帳"], "memo": "能"},
    {"name": "テキスト", "extensions": ["txt", "xls"], "applications": ["メモ帳"], "memo": ""},
    {"name": "空", "extensions": [], "applications": [], "memo": ""}
  ],
  "folderGroup": "表",
  "remembered": [{"match": "ソ能", "application": "メモ帳"}]
})";
}  // namespace

#ifndef _WIN32
// An overlong folder is refused, never cut to one that holds a database (natively the backslash added to a
// cut folder is part of a file name). The other messages are read from the real boxes under Wine.
TEST(DbOpenCheck, OverlongFolderIsNotCut) {
  std::string deep = MakeTempDir("dbopen") + "/";
  ASSERT_LT(deep.size(), 99u);
  deep += std::string(99 - deep.size(), 'p') + "/";  // short enough names below it
  ASSERT_EQ(mkdir(deep.c_str(), 0700), 0);
  for (size_t n = 280; n < 300; n++)
    ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, deep + std::string(n - deep.size(), 'd') + "\\exec.db"));
  deep += std::string(400 - deep.size(), 'd') + "/";
  koNativeClearMessages();
  EXPECT_FALSE(DbOpen(deep.c_str(), "Runmate"));
  EXPECT_EQ(std::string(koNativeMessages()), std::string("Runmate: ") + MSG_DB_NOT_FOUND +
            "\n\nプログラムのあるフォルダーのパスが長すぎて、exec.db を探せません。\n"
            "プログラムと exec.db を、もっと短いパスのフォルダーに移してください。\n");
  EXPECT_FALSE(FileExists(deep + "exec.db")) << "no stray empty file";
  TermDb();
}
#endif

TEST_F(Db, ShippedRecordsLoadAndWritersStoreWhatTheyAreGiven) {
  GetAllItem();
  ASSERT_EQ(alist.size() * 10 + elist.size(), 43u);
  EXPECT_EQ(elist.front()->name, "_Folder") << "ASCII before Japanese";
  extItem* text = findExtItem("テキスト");
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->na * 10 + text->atab[1], 22);
  ASSERT_NE(findAppItem(1), nullptr);
  EXPECT_EQ(findAppItem(1)->name + findAppItem(1)->detail, "メモ帳\"%SystemRoot%\\notepad.exe\"  \"%1\"");
  appItem a, back, missing;
  a.name = "表示ソフト", a.detail = "\"C:\\Tools\\表示.exe\"  \"%1\"", a.memo = "it's";
  ASSERT_TRUE(a.addRecord());
  back.id = a.id;
  EXPECT_TRUE(readAppItem(&back) && back.name + back.detail == a.name + a.detail);
  a.name = "表示";
  ASSERT_TRUE(a.updRecord() && readAppItem(&back));
  EXPECT_EQ(back.name, "表示");
  EXPECT_EQ(one("select count(*)||memo from atable where id>4"), "1it's") << "updated, not added";
  missing.id = 999, missing.name = "keep";
  EXPECT_FALSE(readAppItem(&missing) || missing.name != "keep") << "a missing row changes nothing";
  extItem g, r;
  g.name = "画像", g.detail = "jpg,png", g.na = 3, g.atab[0] = 3, g.atab[1] = 1, g.atab[2] = 0x01020304;
  ASSERT_TRUE(g.addRecord());
  std::string q = "select quote(atab)||'/'||na from etable where id=" + std::to_string(g.id);
  EXPECT_EQ(one(q), "X'030000000100000004030201'/3") << "32-bit little-endian ids";
  g.na = 0;
  EXPECT_EQ(g.updRecord() ? one(q) : "failed", "NULL/0");
  r.id = g.id, r.na = 9;
  EXPECT_TRUE(readExtItem(&r) && r.na == 0) << r.na;
  EXPECT_TRUE(extItem::DelRecord(g.id) && appItem::DelRecord(a.id));
  EXPECT_EQ(one("select (select count(*) from atable)||'/'||count(*) from etable"), "4/3");
}

// Counts above 40 or below 0, blobs shorter than the count says, NULL
// texts: a database made by another tool need not forbid them.
TEST_F(Db, OddRowsReadSafely) {
  run("drop table atable; drop table etable; create table atable (id integer primary key, name text, cmd text, memo "
      "text); create table etable (id integer primary key, name text, elist text, memo text, na integer, atab blob)");
  run("insert into atable values (60,NULL,NULL,NULL)");
  const struct { int na; std::string blob; int readNa, lastId; } rows[] = {{1000, "X'0100000002'", 1, 1},
      {-3, "X'01000000'", 0, 0}, {3, "NULL", 0, 0}, {2, "X'0500000006000000'", 2, 6},
      {45, kIds45, 40, 4}};  // the count cuts, not the blob
  for (int i = 0; i < 5; i++)
    run("insert into etable values (" + std::to_string(50 + i) + ",NULL,NULL,NULL," + std::to_string(rows[i].na) + "," +
        rows[i].blob + ")");
  GetAllItem();
  ASSERT_EQ(elist.size(), 5u);
  for (int i = 0; i < 5; i++) {
    SCOPED_TRACE(testing::Message() << "na " << rows[i].na << " blob " << rows[i].blob.substr(0, 20));
    extItem e;
    EXPECT_TRUE((e.id = 50 + i, readExtItem(&e)));
    const extItem* all = &e;  // and the same row as GetAllItem read it
    for (extItem* x : elist) all = x->id == e.id ? x : all;
    EXPECT_NE(all, &e);
    for (const extItem* x : {(const extItem*)&e, all}) {
      EXPECT_EQ(x->na, rows[i].readNa);
      EXPECT_EQ(x->na > 0 ? x->atab[x->na - 1] : 0, rows[i].lastId);
      EXPECT_EQ(x->name, "");
    }
  }
  EXPECT_TRUE(findAppItem(60) && (findAppItem(60)->name + findAppItem(60)->detail).empty());
}

// Every statement counts: a table that cannot be read, or a database another program holds, is told.
TEST_F(Db, ListsLoadWholeOrTellWhy) {
  koSQLite other(dbName);
  ASSERT_EQ(other.open(nullptr), 0);
  db->busyTimeout(50);
  const struct { const char* sql; bool loaded; const char* told; } rows[] = {
      {"", true, MSG_DB_READ_FAILED}, {"BEGIN EXCLUSIVE", false, MSG_DB_BUSY},
      {"ROLLBACK; alter table atable rename to gone", false, MSG_DB_READ_FAILED},
      {"alter table gone rename to atable; alter table etable rename to gone", false, MSG_DB_READ_FAILED}};
  for (auto& r : rows) {
    SCOPED_TRACE(r.sql);
    ASSERT_EQ(other.exec(r.sql, nullptr, nullptr, nullptr), 0);
    EraseItem();
    EXPECT_EQ(GetAllItem(), r.loaded);
    EXPECT_STREQ(DbFailureText(), r.told);
  }
}

TEST_F(Db, DecisionOfALaunch) {
  // Groups without applications (9, 11, 12, 20), one whose second id is
  // gone, one with an empty element, one with more ids than a group holds.
  run("insert into etable values (9,'also text','jpg,txt','',0,NULL), (11,'it''s','','',0,NULL),"
      "(12,'','','',0,NULL), (20,'空','zip','',0,NULL), (21,'欠','jp','',3,X'010000006300000002000000'),"
      "(22,'和','表,,ソフト','',1,X'03000000'), (23,'多','many','',45," + kIds45 + ")");
  const char *memo = "メモ帳", *word = "ワードパッド", *exp = "エクスプローラー", *cmd = "コマンドプロンプト";
  const std::string longName(199, 'n');
  // folder: the folder group's name for a folder, null for a file.
  const struct { const char *folder, *ext; int group, count; const char *first = "", *last = ""; } rows[] = {
      {nullptr, "TXT", 1, 2, memo, word}, {nullptr, "txt", 1, 2, memo, word},  // the lowest row id wins
      {nullptr, "rtf", 2, 2, word, memo},  // the group's order, not names
      {nullptr, "exe", 0, 0}, {nullptr, "jpg", 9, 0}, {nullptr, "zip", 20, 0}, {nullptr, "jp", 21, 2, memo, word},
      {nullptr, "ソフト", 22, 1, exp, exp}, {nullptr, "ソ", 0, 0},
      {nullptr, "", 22, 1, exp, exp}, {nullptr, nullptr, 22, 1, exp, exp},  // not the empty lists of 3, 11, 12
      {nullptr, "many", 23, 40, memo, cmd},  // the first 40 only
      {"_folder", "", 0, 0}, {"和", "", 22, 1, exp, exp}, {"none", "", 0, 0},
      // Names are bound: quotes neither break nor widen the query; a name
      // that does not convert is not the empty one.
      {"x' or '1'='1", "", 0, 0}, {"it's", "", 11, 0}, {longName.c_str(), "", 0, 0}, {"\x81", "", 0, 0},
      {"_Folder", "txt", 3, 2, exp, cmd}};
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.ext ? r.ext : "(null)") + " " + (r.folder ? r.folder : "file"));
    strcpy(folderGroup, r.folder ? r.folder : "_Folder");
    int n = GoDecide(r.folder != nullptr, r.ext);
    EXPECT_EQ(goGroup, r.group);
    EXPECT_TRUE(n == r.count && nCmd == r.count) << n << " " << nCmd;
    EXPECT_EQ(n > 0 && n <= MAX_CANDIDATES ? menus[0] + "/" + menus[n - 1] : "/", std::string(r.first) + "/" + r.last);
  }
  EXPECT_EQ(GoDecide(false, "txt"), 2);
  EXPECT_EQ(cmdLine[0], "\"%SystemRoot%\\notepad.exe\"  \"%1\"");
  // Patterns: a path pattern before a name pattern before an extension, the earlier group within a kind.
  run("insert into etable values (30,'名前','README*,*.tar.gz','',1,X'02000000'),"
      "(31,'写真','D:\\写真\\*,jpeg','',1,X'03000000'), (32,'後','readme*,d:\\写真\\*','',1,X'01000000')");
  strcpy(folderGroup, "_Folder");
  const struct { bool folder; const char *path, *name, *ext; int group; const char* match; } patterns[] = {
      {false, "C:\\a\\README.md", "README.md", "md", 30, "README*"},  // not テキスト's md
      {false, "C:\\a\\x.TAR.GZ", "x.TAR.GZ", "GZ", 30, "*.tar.gz"},
      {false, "D:\\写真\\2024\\README.txt", "README.txt", "txt", 31, "D:\\写真\\*"},
      {false, "d:\\写真\\a.jpeg", "a.jpeg", "jpeg", 31, "D:\\写真\\*"}, {false, "C:\\b\\a.JPEG", "a.JPEG", "JPEG", 31, "JPEG"},
      {false, nullptr, nullptr, "md", 1, "md"},  // a path code page 932 cannot hold: its extension alone
      {true, "D:\\写真\\sub", nullptr, "", 31, "D:\\写真\\*"}, {true, "C:\\other", nullptr, "", 3, ""}};
  for (const auto& r : patterns) {
    SCOPED_TRACE(r.path ? r.path : "(null)");
    GoDecide(r.folder, r.ext, r.path, r.name);
    EXPECT_EQ(goGroup, r.group);
    EXPECT_EQ(goMatch, r.match);
  }
  // A database another program holds is no "no group" (that would hand
  // the file to the shell).
  koSQLite other(dbName);
  ASSERT_TRUE(other.open(nullptr) == 0 && other.exec("BEGIN EXCLUSIVE", nullptr, nullptr, nullptr) == 0);
  db->busyTimeout(50);
  for (bool folder : {false, true}) EXPECT_EQ(GoDecide(folder, "txt"), -1) << folder;
  other.rollback();
  EXPECT_EQ(GoDecide(false, "txt"), 2);
}

TEST_F(Db, FailedCommitIsNotReportedAsStored) {
  // A second connection reading holds a shared lock: COMMIT gets BUSY.
  koSQLite other(dbName);
  koStatement reading;
  ASSERT_TRUE(other.open(nullptr) == 0 && (reading = other.statement("select * from atable")) && reading->row());
  appItem a;
  a.name = "lost?";
  EXPECT_FALSE(a.addRecord());
  reading.reset();
  // Rolled back, so the next write stores only itself.
  EXPECT_TRUE(a.addRecord());
  EXPECT_EQ(one("select count(*) from atable where name='lost?'"), "1");
}

TEST_F(Db, ParameterStoreAndSettings) {
  int twelve = 12, v = 20, two = 2;
  float f = 2.25f;
  // Short or empty values give the default, never stray bytes; a second
  // put updates, even of an empty value.
  const struct { const char* key; const void* data; int size; } puts[] = {
      {"n", &twelve, 4}, {"n", &v, 4}, {"two", &two, 4}, {"short", "\1\2", 2}, {"empty", "", 0}, {"f", &f, 4}};
  for (const auto& p : puts) ASSERT_TRUE(db->putBlobIx(p.key, 0, p.data, p.size)) << p.key;
  const struct { const char* key; int ix, def, min, max, want; } ints[] = {
      {"nothing", 0, 42, 0, 0, 42}, {"n", 0, 9, 6, 16, 16}, {"n", 1, 9, 6, 16, 9}, {"two", 0, 9, 6, 16, 6},
      {"two", 0, 9, 16, 6, 6},  // the maximum wins
      {"short", 0, 77, 0, 0, 77}, {"empty", 0, 5, 0, 0, 5}};
  for (const auto& r : ints)
    EXPECT_EQ(r.min || r.max ? db->getIntIx(r.key, r.ix, r.def, r.min, r.max) : db->getIntIx(r.key, r.ix, r.def), r.want)
        << r.key << " " << r.ix << " " << r.min << " " << r.max;
  EXPECT_EQ(db->getParamSize("nothing", 0), 0);
  EXPECT_FLOAT_EQ(db->getFloatIx("short", 0, 1.5f), 1.5f);
  EXPECT_TRUE(db->getBoolIx("short", 0, false));
  EXPECT_FLOAT_EQ(db->getFloatIx("f", 0, 0, 3.0f, 4.0f), 3.0f);
  EXPECT_TRUE(db->putBlobIx("empty", 0, &v, 4) && db->getIntIx("empty", 0, 5) == 20);
  EXPECT_EQ(one("select group_concat(key) from params"), "n,two,short,empty,f");
  // Text is cut inside the buffer at a whole character, and terminated.
  char buf[16];
  std::string s;
  db->putBlobIx("t", 0, "表示ソフトです", 15);
  for (int max : {4, 5}) {
    EXPECT_EQ(db->getTextIx("t", 0, (char*)memset(buf, 'Z', sizeof buf), "", max), 15);
    EXPECT_STREQ(buf, max == 4 ? "表" : "表示");
  }
  EXPECT_TRUE(db->getTextIx("t", 0, s, "d") == 15 && s == "表示ソフトです") << s;
  EXPECT_TRUE(db->getTextIx("none", 0, s, "d") == 2 && s == "d") << s;
  // A quote in a key is just a character; no fixed statement buffer.
  for (std::string key : {std::string("it's"), std::string("x') ; drop table params; --"), std::string(300, 'k')})
    EXPECT_TRUE(db->putBlobIx(key.c_str(), 0, &two, 4) && db->getIntIx(key.c_str(), 0, 0) == 2) << key;
  // Nor after a lead byte: 82 27 is one character in code page 932.
  db->delParams("\x82' or 1=1 --", 0);
  EXPECT_EQ(db->getIntIx("it's", 0, 0), 2) << "another key's row went with it";
  db->putBlobIx("n", 1, &v, 4);
  EXPECT_TRUE(db->delParams("n", 0));
  EXPECT_EQ(db->getParamSize("n", 0) * 10 + db->getParamSize("n", 1), 4);
  EXPECT_TRUE(db->delParams("n", -1) && db->getParamSize("n", 1) == 0);
  EXPECT_TRUE(db->delParams(nullptr, 5));
  EXPECT_EQ(one("select count(*) from params"), "0");
  // The program's settings on it.
  LoadParams();
  EXPECT_EQ(std::to_string(dialogFont) + folderGroup, "9_Folder");
  dialogFont = 12, strcpy(folderGroup, "フォルダー");
  ASSERT_TRUE(SaveParams());
  EXPECT_EQ(one("select group_concat(hex(data)) from params where key in ('FolderGroup','DailogFontSize')"),
            "0C000000,83748348838B835F815B00")
      << "Shift-JIS bytes and the terminator";
  dialogFont = 0, folderGroup[0] = 0;
  LoadParams();
  EXPECT_EQ(std::to_string(dialogFont) + folderGroup, "12フォルダー");
  // A font size from an older or damaged file stays one the dialogs can use.
  const struct { int stored, loaded; } sizes[] = {{0, OPT_FONT_MIN}, {-5, OPT_FONT_MIN}, {2147483647, OPT_FONT_MAX}, {14, 14}};
  for (const auto& c : sizes) EXPECT_EQ((db->putBlobIx("DailogFontSize", 0, &c.stored, 4), LoadParams(), dialogFont), c.loaded) << c.stored;
  // A stored name longer than the buffer is cut inside it.
  db->putBlobIx("FolderGroup", 0, std::string(500, 'g').c_str(), 501);
  LoadParams();
  EXPECT_EQ(strlen(folderGroup), sizeof folderGroup - 1);
}

TEST(StrComp, SplitsAndMatchesLikeEveryLaunch) {
  // joined: what asmStr gives back; matches: extensions and whether they match.
  const struct { const char* list; int count; const char* joined; std::vector<std::pair<const char*, bool>> matches; } rows[] = {
      {".JPG,jpeg, png,", 3, "JPG,jpeg, png", {{"jpg", true}, {"JPEG", true}, {"png", false}}},  // blanks stay
      {"..txt", 1, ".txt", {{"txt", false}, {".TXT", true}}}, {"txt", 1, "txt", {{nullptr, false}}},
      {",exe", 2, ",exe", {{"", true}}}, {"txt,.,doc", 3, "txt,,doc", {{"", true}}},  // an empty element matches no extension
      {"txt,.", 1, "txt", {{"", false}}}, {"", 0, "", {{"", false}}}, {".", 0, "", {{"txt", false}}},
      {"*", 1, "*", {{"txt", false}}},  // no wildcards
      // Trail bytes 5C (表, ソ) and 43 (the full-width comma ，) are no
      // separators; characters compare whole.
      {"表,ソフト,txt", 3, "表,ソフト,txt", {{"表", true}, {"ソフト", true}, {"ソ", false}}}, {"a，b,c", 2, "a，b,c", {{"A，B", true}}},
      // IBM extended kanji (栁 FA E5, 髙 FB FC, 纊 FA 5C), whole too.
      {"txt,\xFA\xE5", 2, "txt,\xFA\xE5", {{"\xFA\xE5", true}}}, {"\xFB\xFC\xFA\x5C,a", 2, "\xFB\xFC\xFA\x5C,a", {{"\xFB\xFC\xFA\x5C", true}, {"\xFB\xFC", false}}}};
  for (const auto& r : rows) {
    SCOPED_TRACE(r.list);
    strComp s;
    s.set("txt,,表");  // replaced by the row's list
    s.set(r.list);
    char joined[1000] = "stale";
    s.asmStr(joined);
    EXPECT_EQ(s.count, r.count);
    EXPECT_STREQ(joined, r.joined);
    for (const auto& m : r.matches) EXPECT_EQ(s.comp(m.first) != nullptr, m.second) << (m.first ? m.first : "(null)");
  }
  strComp a, b;
  a.set("jpg,png"), b.set("gif,PNG");
  EXPECT_STREQ(a.comp(&b), "png");
  EXPECT_EQ((b.set("gif"), a.comp(&b)), nullptr);
  // Whatever the editor stores is matched to its last element (150 of
  // them, 999 bytes of one-byte ones); longer lists are cut inside the
  // buffer, between characters.
  std::string many, full, kana;
  for (int i = 0; i < 150; i++) many += "e" + std::to_string(i) + ",";
  for (int i = 0; i < 499; i++) full += "x,";
  for (int i = 0; i < 600; i++) kana += "あ";
  const struct { std::string list; const char* ext; bool match; int count; size_t first; } overlong[] = {
      {many, "e149", true, 150, 2}, {full + "y", "y", true, 500, 1}, {std::string(5000, 'x') + ",txt", "txt", false, 1, 999},
      {kana, "あ", false, 1, 998}};
  for (const auto& r : overlong) {
    a.set(r.list.c_str());
    EXPECT_TRUE((a.comp(r.ext) != nullptr) == r.match && a.count == r.count && strlen(a.items[0]) == r.first) << r.ext;
  }
}

TEST(Records, CopiesAndLookups) {
  extItem g, t, c;
  g.id = 7, g.name = "画像", g.na = 3, g.atab[2] = 13, t.atab[3] = -1;
  t.import(&g);
  EXPECT_EQ(t.na * 100 + t.atab[2], 313);
  EXPECT_EQ(t.atab[3], -1) << "entries beyond na keep their values";
  std::unique_ptr<extItem> d(g.dup());
  EXPECT_EQ(d->name + std::to_string(d->id), "画像7");
  g.na = 1000;  // a broken count never reads past atab (checked first: a copy past it would end the run)
  ASSERT_EQ(g.count(), 40);
  EXPECT_EQ((c.import(&g), c.na), 40);
  EXPECT_EQ((g.na = -5, g.count()), 0);
  appItem* a = new appItem();
  extItem* e = new extItem();
  a->name = "Editor", a->id = 3, e->name = "テキスト";
  alist.push_back(a), elist.push_back(e);
  const struct { const void *got, *want; } finds[] = {{findAppItem("Editor"), a}, {findAppItem("editor"), nullptr},
      {findAppItem((const char*)nullptr), nullptr}, {findAppItem(3), a}, {findAppItem(4), nullptr},
      {findExtItem("テキスト"), e}};
  for (const auto& f : finds) EXPECT_EQ(f.got, f.want) << &f - finds;
  EraseItem();
  EXPECT_TRUE(alist.empty() && elist.empty());
}

TEST_F(Db, RegistrationsRoundTripIntoAnEmptyDatabase) {
  ASSERT_EQ(import(kFile), "");
  std::string first = exported();
  EXPECT_NE(first.find(u8R"({"name":"表計算ソフト","command":"\"%SystemRoot%\\表\\能.exe\"  \"%1\"","memo":"ソ\\能"})"),
            std::string::npos) << first;
  // As the program sees it: the first group listing xls wins, the folder group and remembered choice hold.
  EXPECT_EQ(searchExtItem("XLS"), 1);
  EXPECT_STREQ(folderGroup, "表");
  std::vector<Remembered> remembered;
  ASSERT_TRUE(LoadRemembered(remembered) && remembered.size() == 1);
  EXPECT_EQ(RememberedApp(remembered, "ソ能"), 2);
  // Into another database, emptied first: the same registrations again.
  open();
  ASSERT_EQ(import(R"({"format":"runmate-registrations","version":1,"applications":[],"groups":[],"folderGroup":"","remembered":[]})"), "");
  EXPECT_NE(exported().find("\"remembered\": []"), std::string::npos);
  ASSERT_EQ(import(first), "");
  EXPECT_EQ(exported(), first);
}

TEST_F(Db, RegistrationsRefusalsNameTheLineOrTheItem) {
  const std::string head = R"({"format":"runmate-registrations","version":1,)";
  const std::string apps = R"("applications":[{"name":"A","command":"a","memo":""}],)";
  const std::string tail = R"("folderGroup":"","remembered":[]})";
  const struct { std::string json, message; } rows[] = {
      {"{\n  \"format\": \"runmate-registrations\",\n  \"version\" 1}", "JSON として読めません（3 行 13 文字目）"},
      {u8"\uFEFF{\"a\":\"表表\" x}", "（1 行 11 文字目）"},  // columns count characters, not bytes
      {"{\"a\":\"\x95\x5c\"}", "UTF-8 ではない文字があります（1 行 7 文字目）"},
      {u8R"({"format":"other","version":1})", "登録のファイルではありません"},
      {u8R"({"format":"runmate-registrations","version":2})", "版（\"version\"）には対応していません"},
      {head + u8R"("applications":[{"name":"A","command":"a"}],"groups":[],)" + tail,
       "applications の 1 番目「A」に \"memo\" がありません"},
      {head + u8R"("applications":[{"name":"A","command":1,"memo":""}],"groups":[],)" + tail, "\"command\" が文字列ではありません"},
      {head + u8R"("applications":[{"name":"A","comand":"a","memo":""}],"groups":[],)" + tail, "\"comand\" は知らない項目です"},
      {head + u8R"("applications":[{"name":"A","command":"a","memo":"","name":"B"}],"groups":[],)" + tail,
       "同じ項目 \"name\" が二度あります"},
      {head + u8R"("applications":[{"name":"A","command":"a","memo":""},{"name":"A","command":"b","memo":""}],"groups":[],)" + tail,
       "applications の 2 番目「A」と同じ名前のアプリケーションが前にもあります"},
      {head + u8R"("applications":[{"name":"","command":"a","memo":""}],"groups":[],)" + tail, "\"name\" が空です"},
      {head + u8R"("applications":[{"name":"A","command":"한","memo":""}],"groups":[],)" + tail,
       "\"command\" に、このプログラムが扱えない文字"},
      {head + u8R"("applications":[{"name":"A","command":"a\u0000","memo":""}],"groups":[],)" + tail, "扱えない文字"},
      {head + u8R"("applications":[{"name":")" + std::string(201, 'n') + u8R"(","command":"a","memo":""}],"groups":[],)" + tail,
       "\"name\" が長すぎます（Shift-JIS で 200 バイトまで）"},
      {head + apps + u8R"("groups":[{"name":"G","extensions":["txt"],"applications":["B"],"memo":""}],)" + tail,
       "groups の 1 番目「G」の \"applications\" にある「B」は、このファイルの applications にありません"},
      {head + apps + u8R"("groups":[{"name":"G","extensions":["a,b"],"applications":[],"memo":""}],)" + tail, "コンマがあります"},
      {head + apps + u8R"("groups":[{"name":"G","extensions":"txt","applications":[],"memo":""}],)" + tail,
       "\"extensions\" が配列ではありません"},
      {head + apps + u8R"("groups":[],"folderGroup":"","remembered":[{"match":"md","application":"C"}]})",
       "remembered の 1 番目「md」のアプリケーション「C」は、このファイルの applications にありません"},
      {head + apps + u8R"("groups":[],"folderGroup":""})", "ファイルに \"remembered\" がありません"},
  };
  std::string before = exported();
  for (const auto& r : rows) {
    SCOPED_TRACE(r.json);
    std::string error = import(r.json);
    EXPECT_NE(error.find(r.message), std::string::npos) << error;
  }
  EXPECT_EQ(exported(), before);
}

TEST(SQLite, OpenCloseFailedOpensAndAJapaneseFolder) {
  std::string dir = MakeTempDir("open"), jp = dir + SEP "表示ソフト", file = jp + SEP "exec.db";
  koSQLite db((dir + "/t.db").c_str());
  EXPECT_EQ(db.close(), 0) << "closing a closed connection";
  ASSERT_EQ(db.open(nullptr), SQLITE_OK) << "null opens the stored name";
  sqlite3* first = db.dbHandle;
  EXPECT_TRUE(db.open("elsewhere.db") == 0 && db.dbHandle == first) << "an open connection is kept";
  EXPECT_TRUE(db.close() == 0 && !db.dbHandle);
  // A failed open leaves no dead handle that a later open calls success.
  for (int i = 0; i < 2; i++) EXPECT_NE(db.open((dir + "/no/such/folder/x.db").c_str()), SQLITE_OK) << i;
  // Read-write without create leaves no stray empty file behind.
  EXPECT_NE(db.open((dir + "/absent.db").c_str(), SQLITE_OPEN_READWRITE), SQLITE_OK);
  EXPECT_FALSE(FileExists(dir + "/absent.db"));
  // Our file names are Shift-JIS; they must reach SQLite as UTF-8.
#ifdef _WIN32
  ASSERT_TRUE(CreateDirectoryA(jp.c_str(), nullptr));
  std::string made = file;
#else
  char u8[300];  // natively the file system speaks UTF-8
  SJIStoUTF8(file.c_str(), u8, sizeof u8);
  std::string made = u8;
  ASSERT_EQ(mkdir(made.substr(0, made.size() - 8).c_str(), 0700), 0);
#endif
  koSQLite japanese(file.c_str());
  EXPECT_TRUE(japanese.open(nullptr) == SQLITE_OK && japanese.exec("create table t(a)", nullptr, nullptr, nullptr) == 0);
  japanese.close();
  EXPECT_TRUE(FileExists(made));
}

// A query's rows as our side reads them: columns joined by |, rows ended by ;, NULL as ~.
static std::string All(koSQLite& db, const char* sql) {
  koStatement st = db.statement(sql);
  std::string r;
  for (int c = 0; st && (c || st->row()); c = (c + 1) % sqlite3_column_count(st->stmt)) {
    const char* text = st->columnText(c);
    r += (text ? text : "~") + std::string(c + 1 < sqlite3_column_count(st->stmt) ? "|" : ";");
  }
  return r;
}

TEST(SQLite, TextStatementsAndTransactions) {
  koSQLite db(":memory:");
  EXPECT_STREQ(db.toUTF8(""), "");
  EXPECT_STREQ(db.toUTF8("あ"), "\xE3\x81\x82");
  EXPECT_EQ(db.toUTF8(nullptr), nullptr);
  // Invalid UTF-8 gives no Shift-JIS text, and never the previous one.
  const char* r = db.toSJIS("\xFF\xFE\xC0");
  EXPECT_TRUE(r && strcmp(r, "\xE3\x81\x82")) << "the previous text";
  ASSERT_EQ(db.open(nullptr), SQLITE_OK);
  ASSERT_EQ(db.exec("create table t(a text)", nullptr, nullptr, nullptr), SQLITE_OK);
  koSQLiteStmt* ins = db.prepare8("insert into t values(?)");
  ASSERT_NE(ins, nullptr);
  EXPECT_EQ(ins->bindText(0, "表示ソフト", -1), SQLITE_OK);
  EXPECT_TRUE(ins->run() && sqlite3_reset(ins->stmt) == SQLITE_OK);
  EXPECT_EQ(ins->bindText(0, nullptr, -1), SQLITE_OK) << "SQL NULL, not the previous text";
  EXPECT_TRUE(ins->run());
  delete ins;
  EXPECT_EQ(db.exec("insert into t values('漢字')", nullptr, nullptr, nullptr), SQLITE_OK);
  EXPECT_EQ(All(db, "select a, hex(a) from t order by rowid"),
            "表示ソフト|E8A1A8E7A4BAE382BDE38395E38388;~|;漢字|E6BCA2E5AD97;")
      << "UTF-8 in the file";
  koSQLiteStmt* named = db.prepare8("select :first, :second");  // left to the connection (the sanitizers watch)
  ASSERT_NE(named, nullptr);
  EXPECT_STREQ(named->paramName(1), ":second");
  EXPECT_EQ(named->paramName(5), nullptr);
  EXPECT_STREQ(named->columnName(1), ":second");
  EXPECT_EQ(db.prepare8("select nonsense from"), nullptr);
  EXPECT_NE(db.errorCode, 0);
  EXPECT_TRUE(db.isComplete("select '表';") && !db.isComplete("select '表"));
  db.exec("delete from t", nullptr, nullptr, nullptr);
  EXPECT_TRUE(db.begin() == 0 && db.exec("insert into t values(1)", nullptr, nullptr, nullptr) == 0 && db.rollback() == 0);
  EXPECT_TRUE(db.begin() == 0 && db.exec("insert into t values(2)", nullptr, nullptr, nullptr) == 0 && db.commit() == 0);
  EXPECT_EQ(db.rollback(), SQLITE_OK) << "nothing open: nothing to do";
  EXPECT_EQ(All(db, "select a from t"), "2;");
}

TEST(QFormat, AlwaysAClosedLiteral) {
  char out[1000];
  EXPECT_STREQ((koDataBase::QFormat(nullptr, out), out), "NULL");
  EXPECT_STREQ((koDataBase::QFormat("表'", out), out), "'表'''");
  std::string kanji;
  for (int i = 0; i < 600; i++) kanji += "表";
  // Cut inside the 1,000-byte buffer, never inside a doubled quote or a
  // double-byte character; still valid SQL.
  const struct { std::string in; size_t length; } rows[] = {{std::string(997, 'a'), 999}, {std::string(998, 'a'), 999},
      {std::string(2000, 'a'), 999}, {std::string(600, '\''), 998}, {kanji, 998}};
  koSQLite db(":memory:");
  ASSERT_EQ(db.open(nullptr), SQLITE_OK);
  for (const auto& r : rows) {
    SCOPED_TRACE(r.in.substr(0, 4) + " " + std::to_string(r.in.size()));
    koDataBase::QFormat(r.in.c_str(), out);
    EXPECT_EQ(std::to_string(strlen(out)) + out[strlen(out) - 1], std::to_string(r.length) + "'") << "closed";
    EXPECT_TRUE(db.statement(db.toUTF8((std::string("select ") + out).c_str())) != nullptr);
  }
}
