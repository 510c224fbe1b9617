// The launch under Wine: a stand-in application records the command line
// it was started with.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string.h>
#include <string>
#include "dbsub.h"
#include "gosub.h"
#include "ko_test.h"

namespace {
// Waits for the stand-in's record.
std::string waitFor(const std::string& path, int ms = 20000) {
  std::string got = WaitForFile(path, ms);
  return got.empty() ? "<nothing recorded>" : got;
}

class Launch : public ::testing::Test {
 protected:
  std::string dir, recorder, record;
  void SetUp() override {
    dir = MakeTempDir("launch");
    ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "\\exec.db"));
    ASSERT_TRUE(DbOpen(dir.c_str(), "Runmate"));
    strcpy(folderGroup, "_Folder");
    recorder = std::string(KO_TEST_BIN_DIR) + "/recorder.exe";
    for (char& c : recorder)
      if (c == '/') c = '\\';
    record = dir + "\\record.txt";
    SetEnvironmentVariableA("KO_RECORD", record.c_str());
    // The stand-in replaces Notepad and Explorer; WordPad stays second.
    std::string tmpl = "\"" + recorder + "\"  \"%1\"";
    appItem a;
    a.id = 1;
    readAppItem(&a);
    a.detail = tmpl;
    ASSERT_TRUE(a.updRecord());
    a.id = 3;
    readAppItem(&a);
    a.detail = tmpl;
    ASSERT_TRUE(a.updRecord());
    // A group with the stand-in alone.
    extItem g;
    g.name = "記録";
    g.detail = "rec,記録";
    g.na = 1;
    g.atab[0] = 1;
    ASSERT_TRUE(g.addRecord());
  }
  void TearDown() override { TermDb(); }
  void setSrc(const std::string& p) {
    ASSERT_LT(p.size(), sizeof srcFile);
    strcpy(srcFile, p.c_str());
  }
};
}  // namespace

TEST_F(Launch, OneCandidateGetsThePathExactly) {
  std::string sub = dir + "\\My 表示 ソフト";
  ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
  std::string file = sub + "\\報告 書.記録";
  fclose(fopen(file.c_str(), "wb"));
  setSrc(file);
  ASSERT_EQ(GoCheck(), 1);
  EXPECT_STREQ(xExt, "記録");
  GoExec(0);
  EXPECT_EQ(waitFor(record), "\"" + recorder + "\"  \"" + file + "\"");
}

TEST_F(Launch, SeveralCandidatesAndOutOfRange) {
  setSrc(dir + "\\まだ無い.TXT");  // missing files go by their extension
  ASSERT_EQ(GoCheck(), 2);
  EXPECT_EQ(menus[0], "メモ帳");
  EXPECT_EQ(menus[1], "ワードパッド");
  GoExec(40);  // nothing happens
  GoExec(-1);
  GoExec(0);
  std::string got = waitFor(record);
  EXPECT_NE(got.find("まだ無い.TXT"), std::string::npos) << got;
}

TEST_F(Launch, FoldersUseTheFolderGroup) {
  std::string sub = dir + "\\フォルダ.rec";  // an extension does not count for folders
  ASSERT_TRUE(CreateDirectoryA(sub.c_str(), nullptr));
  setSrc(sub);
  ASSERT_EQ(GoCheck(), 2);
  EXPECT_EQ(menus[0], "エクスプローラー");
  GoExec(0);
  EXPECT_EQ(waitFor(record), "\"" + recorder + "\"  \"" + sub + "\"");
  // Given with its final backslash it is still a folder.
  setSrc(sub + "\\");
  EXPECT_EQ(GoCheck(), 2);
  EXPECT_EQ(menus[0], "エクスプローラー");
}

TEST_F(Launch, NoGroupGoesToTheShell) {
  // An .exe matches no group; the shell's "open" runs it.
  setSrc(recorder);
  ASSERT_EQ(GoCheck(), 0);
  GoExec0();
  std::string got = waitFor(record);
  EXPECT_NE(got.find("recorder.exe"), std::string::npos) << got;
}

TEST_F(Launch, OddPathsDoNotCrash) {
  std::string longPath = "C:\\" + std::string(280, 'a') + ".rec";
  ASSERT_LT(longPath.size(), sizeof srcFile);
  setSrc(longPath);
  EXPECT_EQ(GoCheck(), 0) << "too long to split: no extension";
  setSrc("");
  EXPECT_EQ(GoCheck(), 0);
  setSrc("C:\\a\\表");
  EXPECT_EQ(GoCheck(), 0);
  setSrc("noext");
  EXPECT_EQ(GoCheck(), 0);
}

TEST_F(Launch, DecisionTimeOnTheShippedDatabase) {
  setSrc(dir + "\\a.txt");
  LARGE_INTEGER f, t0, t1;
  QueryPerformanceFrequency(&f);
  QueryPerformanceCounter(&t0);
  const int rounds = 200;
  for (int i = 0; i < rounds; i++) GoCheck();
  QueryPerformanceCounter(&t1);
  double us = (double)(t1.QuadPart - t0.QuadPart) * 1e6 / (double)f.QuadPart / rounds;
  printf("GoCheck under Wine: %.1f us per decision\n", us);
  EXPECT_LT(us, 20000.0);
}
