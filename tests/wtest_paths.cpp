#include <gtest/gtest.h>
#include <windows.h>
#include <string>
#include "koPathname.h"
#include "ko_test.h"

namespace {
// The parts as "node|drive|dir|name|ext|path", or "123" for a refused name.
std::string Parts(koPathname& p, int rc) {
  std::string all = std::string(p.node) + "|" + p.drive + "|" + p.dir + "|" + p.name + "|" + p.ext + "|" + p.path;
  return rc == 0 ? all : std::to_string(rc) + (all == "|||||" ? "" : " with leftovers");
}

// Restores the process's current folder after a test that moves it.
struct CurrentDir {
  char saved[MAX_PATH];
  CurrentDir() { GetCurrentDirectoryA(sizeof saved, saved); }
  ~CurrentDir() { SetCurrentDirectoryA(saved); }
};
}  // namespace

TEST(PathSplit, PartsOfAbsoluteNames) {
  const std::string n253(253, 'n'), e255(255, 'e');
  const struct {
    std::string input, parts;
  } cases[] = {
      {"C:\\Tools\\app.exe", "|C:|\\Tools\\|app|exe|C:\\Tools\\app.exe"},
      {"\\\\srv\\share\\a.txt", "\\\\srv||\\share\\|a|txt|\\\\srv\\share\\a.txt"},
      {"\\\\srv\\", "\\\\srv||\\|||\\\\srv\\"},
      {"C:\\dir\\.profile", "|C:|\\dir\\|.profile||C:\\dir\\.profile"},
      {"C:\\", "|C:|\\|||C:\\"},
      {"C:\\Program Files\\run me.exe", "|C:|\\Program Files\\|run me|exe|C:\\Program Files\\run me.exe"},
      {"C:\\my.dir\\file", "|C:|\\my.dir\\|file||C:\\my.dir\\file"},
      {"C:\\a\\b.tar.gz", "|C:|\\a\\|b.tar|gz|C:\\a\\b.tar.gz"},
      {"D:/data/sub/x.txt", "|D:|\\data\\sub\\|x|txt|D:\\data\\sub\\x.txt"},
      // 表, ソ and 能 end in 0x5C: only the real backslashes split.
      {"C:\\表\\ソ\\能.txt", "|C:|\\表\\ソ\\|能|txt|C:\\表\\ソ\\能.txt"},
      {"C:\\データ\\一覧表", "|C:|\\データ\\|一覧表||C:\\データ\\一覧表"},
      {"C:\\ソフト\\能力.表", "|C:|\\ソフト\\|能力|表|C:\\ソフト\\能力.表"},
      {"\\\\表\\共有\\ソ.txt", "\\\\表||\\共有\\|ソ|txt|\\\\表\\共有\\ソ.txt"},
      // The bound: 260 bytes fit, the extension may take nearly all of them.
      {"C:\\" + n253 + ".txt", "|C:|\\|" + n253 + "|txt|C:\\" + n253 + ".txt"},
      {"C:\\a." + e255, "|C:|\\|a|" + e255 + "|C:\\a." + e255},
      {"C:\\" + n253 + ".txtx", "123"},
      {"\\\\server", "123"},
      {"\\\\\\", "123"},  // no server name
      {"", "|||||"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Hex(c.input));
    koPathname p("C:\\keep\\me.txt");
    EXPECT_EQ(Parts(p, p.storeName(c.input.c_str())), c.parts);
  }
  koPathname p("C:\\表\\ソ\\能.txt");
  char front[300] = "junk";
  p.getFilePos(front);
  EXPECT_STREQ(front, "C:\\表\\ソ\\");
  EXPECT_STREQ(p.filePos, "能.txt");
}

TEST(PathSplit, RelativeNamesTakeTheCurrentFolder) {
  CurrentDir keep;
  std::string tmp = MakeTempDir("pa"), jp = tmp + "\\一覧表";  // its last byte is 0x5C
  ASSERT_TRUE(CreateDirectoryA(jp.c_str(), nullptr));
  ASSERT_TRUE(SetCurrentDirectoryA(tmp.c_str()));
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(sizeof cwd, cwd);
  std::string here = cwd, drive = here.substr(0, 2), lower = drive;
  lower[0] = (char)tolower((unsigned char)lower[0]);
  const struct {
    std::string folder, input, path;
  } cases[] = {
      {here, "a.txt", here + "\\a.txt"},
      {here, lower + "c.txt", lower + here.substr(2) + "\\c.txt"},  // drive-relative
      {here, "\\x\\y.txt", drive + "\\x\\y.txt"},                    // rooted on the current drive
      {here, "/x/y.txt", drive + "\\x\\y.txt"},
      {jp, "ソ.txt", jp + "\\ソ.txt"},
      {drive + "\\", "a.txt", drive + "\\a.txt"},  // no second backslash at the root
      {here, std::string(250, 'r'), ""},           // fits alone, not behind the folder
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Hex(c.input));
    ASSERT_TRUE(SetCurrentDirectoryA(c.folder.c_str()));
    koPathname p;
    int rc = p.storeName(c.input.c_str());
    EXPECT_EQ(rc, c.path.empty() ? 123 : 0);
    EXPECT_EQ(std::string(p.path), c.path) << Hex(p.path);
  }
}
