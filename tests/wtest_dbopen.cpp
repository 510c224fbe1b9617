// Start-up's database check under Wine: the real message boxes, answered
// from a thread timer that reads their text.
#include <gtest/gtest.h>
#include <windows.h>
#include <stdio.h>
#include <string>
#include <vector>
#include "dbsub.h"
#include "ko_test.h"

namespace {
std::vector<std::string> seen;  // caption: text of every box closed

BOOL CALLBACK findBox(HWND w, LPARAM) {
  char cls[32];
  GetClassNameA(w, cls, sizeof cls);
  if (strcmp(cls, "#32770") != 0 || !IsWindowVisible(w)) return TRUE;
  char caption[128] = "", text[512] = "";
  GetWindowTextA(w, caption, sizeof caption);
  GetDlgItemTextA(w, 65535, text, sizeof text);
  seen.push_back(std::string(caption) + ": " + text);
  PostMessageA(w, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), (LPARAM)GetDlgItem(w, IDOK));
  return FALSE;
}

void CALLBACK closeBoxes(HWND, UINT, UINT_PTR, DWORD) {
  EnumThreadWindows(GetCurrentThreadId(), findBox, 0);
}

bool openWithBoxes(const std::string& folder, const char* module) {
  seen.clear();
  UINT_PTR t = SetTimer(nullptr, 0, 100, closeBoxes);
  bool ok = DbOpen(folder.c_str(), module);
  KillTimer(nullptr, t);
  TermDb();
  return ok;
}
}  // namespace

TEST(StartupCheck, MessagesAndTheFileLeftAlone) {
  std::string dir = MakeTempDir("表示ソフト");
  EXPECT_FALSE(openWithBoxes(dir, "Runmate"));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], "Runmate: データベースが見つかりません");
  EXPECT_FALSE(FileExists(dir + "\\exec.db")) << "no empty file made";

  FILE* f = fopen((dir + "\\exec.db").c_str(), "wb");
  fputs("broken", f);
  fclose(f);
  EXPECT_FALSE(openWithBoxes(dir, "Runmate"));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], "Runmate: このソフト用のデータベースではありません");
  f = fopen((dir + "\\exec.db").c_str(), "rb");
  char buf[16] = "";
  fgets(buf, sizeof buf, f);
  fclose(f);
  EXPECT_STREQ(buf, "broken") << "a broken file is left as it was";

  ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "\\exec.db"));
  EXPECT_FALSE(openWithBoxes(dir, "Other"));
  ASSERT_EQ(seen.size(), 1u);
  EXPECT_EQ(seen[0], "Other: このソフト用のデータベースではありません");

  // A Japanese folder (trail byte 5C in 表 and ソ) opens fine.
  EXPECT_TRUE(openWithBoxes(dir, "Runmate"));
  EXPECT_TRUE(seen.empty());
  EXPECT_EQ(std::string(dbName), dir + "\\exec.db");
}

TEST(StartupCheck, LockedFileGivesTheOpenMessage) {
  std::string dir = MakeTempDir("lock");
  ASSERT_TRUE(CopyFileTo(KO_TEST_EXEC_DB, dir + "\\exec.db"));
  // Held open without sharing: SQLite cannot open it.
  HANDLE h = CreateFileA((dir + "\\exec.db").c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                         OPEN_EXISTING, 0, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE);
  bool ok = openWithBoxes(dir, "Runmate");
  CloseHandle(h);
  EXPECT_FALSE(ok);
  ASSERT_EQ(seen.size(), 1u);
  // SQLite opens lazily: the first read fails, which the check reports.
  EXPECT_TRUE(seen[0] == "Runmate: データベースのオーブンに失敗しました" ||
              seen[0] == "Runmate: このソフト用のデータベースではありません")
      << seen[0];
}
