// Start-up's database check under Wine: the real message boxes, read and
// answered by a script.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string>
#include "dbsub.h"
#include "ko_script.h"
#include "ko_test.h"

namespace {
// DbOpen's result and its one box as "caption: text" ("" with none).
std::string openWithBox(const std::string& folder, const char* module, bool& ok) {
  Script s;
  std::string seen;
  s.add([&] {
    HWND box = MessageBoxOf();
    if (!box) return false;
    char caption[128] = "";
    GetWindowTextA(box, caption, sizeof caption);
    seen = std::string(caption) + ": " + ItemText(box, 0xFFFF);
    Click(box, IDOK);
    return true;
  });
  s.run([&] { ok = DbOpen(folder.c_str(), module); });
  TermDb();
  return seen + s.logged();  // a second box shows as "left box"
}

void writeFile(const std::string& path, const char* text) {
  FILE* f = fopen(path.c_str(), "wb");
  fputs(text, f);
  fclose(f);
}
}  // namespace

TEST(StartupCheck, MessagesAndTheFileLeftAlone) {
  // A Japanese folder: trail byte 5C in 表 and ソ.
  std::string dir = MakeTempDir("表示ソフト"), file = dir + "\\exec.db";
  struct Row {
    const char* prepare;  // "none", "broken" or "copy"
    const char* module;
    std::string box;
  };
  const Row rows[] = {{"none", "Runmate", "Runmate: データベースが見つかりません"},
                      {"broken", "Runmate", "Runmate: このソフト用のデータベースではありません"},
                      {"copy", "Other", "Other: このソフト用のデータベースではありません"},
                      {"copy", "Runmate", ""}};
  for (const Row& r : rows) {
    SCOPED_TRACE(std::string(r.prepare) + " " + r.module);
    std::string prepare = r.prepare;
    if (prepare == "broken") writeFile(file, "broken");
    if (prepare == "copy") {
      ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, file));
    }
    bool ok = false;
    EXPECT_EQ(openWithBox(dir, r.module, ok), r.box);
    EXPECT_EQ(ok, r.box.empty());
    if (prepare == "none") {
      EXPECT_FALSE(FileExists(file)) << "no empty file made";
    } else if (prepare == "broken") {
      EXPECT_EQ(ReadWhole(file), "broken") << "left as it was";
    }
  }
  EXPECT_EQ(std::string(dbName), file);
}

TEST(StartupCheck, LockedFileGivesTheOpenMessage) {
  std::string dir = MakeTempDir("lock");
  ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "\\exec.db"));
  // Held open without sharing: SQLite cannot open it.
  HANDLE h = CreateFileA((dir + "\\exec.db").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                         nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  bool ok = true;
  std::string seen = openWithBox(dir, "Runmate", ok);
  CloseHandle(h);
  EXPECT_FALSE(ok);
  // SQLite opens lazily: the first read fails, which the check reports.
  EXPECT_TRUE(seen == "Runmate: データベースのオーブンに失敗しました" ||
              seen == "Runmate: このソフト用のデータベースではありません")
      << seen;
}
