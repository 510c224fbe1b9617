// Registrations as JSON: export, the import check and the store, on copies of the tests' exec.db.
#include <gtest/gtest.h>
#include <string.h>
#include "dbsub.h"
#include "ko_test.h"
#include "registrations.h"
#include "remember.h"

namespace {
class Reg : public ::testing::Test {
 protected:
  void open() {
    TermDb();
    std::string dir = MakeTempDir("reg") + SEP;
    ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "exec.db"));
    ASSERT_TRUE(DbOpen(dir.c_str(), "Runmate"));
    LoadParams();
  }
  void SetUp() override { open(); }
  void TearDown() override { TermDb(), strcpy(folderGroup, "_Folder"); }
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

TEST_F(Reg, RoundTripIntoAnEmptyDatabase) {
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

TEST_F(Reg, RefusalsNameTheLineOrTheItem) {
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
