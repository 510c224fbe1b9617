// Start-up's database check under Wine: the real message boxes, read and answered.
#include "ko_test.h"
#include "dbsub.h"

namespace {
// DbOpen's result and its one box as "caption: text" ("" with none; a second shows as "left box").
std::string openWithBox(const std::string& folder, const char* module, bool& ok) {
  Script s;
  std::string seen;
  s.add([&] {
    HWND box = MessageBoxOf();
    char caption[128] = "";
    if (!box || !GetWindowTextA(box, caption, sizeof caption)) return false;
    HICON icon = (HICON)SendDlgItemMessageA(box, 0x440, STM_GETICON, 0, 0);  // the box's icon control
    seen = std::string(caption) + (icon == LoadIconA(nullptr, IDI_ERROR) ? " (error)" : " (not error)") + ": " + ItemText(box, 0xFFFF);
    return Click(box, IDOK), true;
  });
  s.run([&] { ok = DbOpen(folder.c_str(), module); });
  return TermDb(), seen + s.logged();
}
}  // namespace

TEST(StartupCheck, MessagesAndTheFileLeftAlone) {
  std::string dir = MakeTempDir("表示ソフト"), file = dir + "\\exec.db";  // trail byte 5C in 表 and ソ
  const char *const wrong = "このソフト用のデータベースではありません", *const locked = MSG_DB_OPEN_FAILED;
  const struct { const char *prepare, *module; std::string box, alt; } rows[] = {
      {"none", "Runmate", "Runmate (error): データベースが見つかりません\n\n" + file + "\n\nexec.db をこのプログラムと同じフォルダーに置いてください。", ""},
      {"broken", "Runmate", "Runmate (error): " + std::string(wrong), ""},
      {"copy", "runmate", "runmate (error): " + std::string(wrong), ""},  // the name check is case-sensitive
      {"copy", "Runmate", "", ""},
      // Held open without sharing; SQLite opens lazily: the first read may fail, which the check reports.
      {"locked", "Runmate", "Runmate (error): " + std::string(locked), "Runmate (error): " + std::string(wrong)}};
  for (auto& r : rows) {
    SCOPED_TRACE(std::string(r.prepare) + " " + r.module);
    std::string prepare = r.prepare;
    if (FILE* f = prepare == "broken" ? fopen(file.c_str(), "wb") : nullptr) fputs("broken", f), fclose(f);
    ASSERT_TRUE(prepare == "none" || prepare == "broken" || CopyFileTo(KO_TEST_EXEC_DB, file));
    HANDLE h = prepare == "locked" ? CreateFileA(file.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr)
                                   : INVALID_HANDLE_VALUE;
    bool ok = false;
    std::string seen = openWithBox(dir, r.module, ok);
    if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    EXPECT_TRUE(seen == r.box || (!r.alt.empty() && seen == r.alt)) << seen;
    EXPECT_EQ(ok, r.box.empty());
    EXPECT_TRUE(prepare != "none" || !FileExists(file)) << "no empty file made";
    EXPECT_TRUE(prepare != "broken" || ReadWhole(file) == "broken") << "left as it was";
    EXPECT_TRUE(prepare != "copy" || dbName == file) << dbName;
  }
}
