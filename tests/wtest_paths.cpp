#include "ko_test.h"
#include <stdio.h>
#include <string.h>
#include <set>
#include "koFind.h"
#include "koPathname.h"

namespace {
// The parts as "node|drive|dir|name|ext|path", or "123" for a refused name.
std::string Parts(koPathname& p, int rc) {
  std::string all = std::string(p.node) + "|" + p.drive + "|" + p.dir + "|" + p.name + "|" + p.ext + "|" + p.path;
  return rc == 0 ? all : std::to_string(rc) + (all == "|||||" ? "" : " with leftovers");
}
void Touch(const std::string& file) { fclose(fopen(file.c_str(), "wb")); }
// Restores the process's current folder after a test that moves it.
struct CurrentDir {
  char saved[MAX_PATH];
  CurrentDir() { GetCurrentDirectoryA(sizeof saved, saved); }
  ~CurrentDir() { SetCurrentDirectoryA(saved); }
};
}  // namespace
TEST(PathSplit, PartsOfAbsoluteNames) {
  const std::string n253(253, 'n'), e255(255, 'e');
  const struct { std::string input, parts; } cases[] = {
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
    SCOPED_TRACE(Hex(c.input)); koPathname p("C:\\keep\\me.txt");
    EXPECT_EQ(Parts(p, p.storeName(c.input.c_str())), c.parts);
  }
  koPathname p("C:\\表\\ソ\\能.txt"); char front[300] = "junk"; p.getFilePos(front);
  EXPECT_STREQ(front, "C:\\表\\ソ\\"); EXPECT_STREQ(p.filePos, "能.txt");
}
TEST(PathSplit, PartsOfAssembledNames) {
  const std::string d200 = "\\" + std::string(200, 'd') + "\\", d258 = "\\" + std::string(257, 'd'),
                    s260 = "\\\\" + std::string(258, 's'), n54(54, 'n'), n60(60, 'n');
  // parts null: fits with 260 bytes.
  const struct { std::string node; const char* drive; std::string dir; const char *name, *ext, *parts; } cases[] = {
      {"\\\\srv\\", nullptr, "\\share", "a", "txt", "\\\\srv||\\share\\|a|txt|\\\\srv\\share\\a.txt"},
      {"", "C:", "\\表", "能", "", "|C:|\\表\\|能||C:\\表\\能"},
      {"", "C:", "\\d\\", nullptr, "ext", "|C:|\\d\\|.ext||C:\\d\\.ext"},
      // Bounded like a stored name, the period included: 2 + 202 + 54 + 1 + 1.
      {"", "C:", d200, n54.c_str(), "x", nullptr},
      {"", "C:", d200, n54.c_str(), "xy", "123"},
      {"", "C:", d200, n60.c_str(), nullptr, "123"},
      {"", "C:", d258, nullptr, nullptr, "123"},  // gains its backslash
      {s260, nullptr, "", nullptr, nullptr, nullptr},
      {s260 + "s", nullptr, "", nullptr, nullptr, "123"},
      {s260, "C:", "", nullptr, nullptr, "123"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(&c - cases); koPathname p("C:\\keep\\me.txt");
    int rc = p.make(c.node.c_str(), c.drive, c.dir.c_str(), c.name, c.ext);
    EXPECT_EQ(Parts(p, rc), c.parts ? c.parts : Parts(p, 0));
    EXPECT_EQ(strlen(p.path), c.parts ? strlen(p.path) : 260u);
  }
  // Its own parts and copies stay valid when the source changes.
  koPathname p("C:\\dir\\.profile"); EXPECT_EQ(p.make(p.node, p.drive, "\\other\\", p.name, p.ext), 0);
  koPathname copy(p), assigned; assigned = p; p.storeName("D:\\x\\y.z");
  for (koPathname* c : {&copy, &assigned}) EXPECT_EQ(Parts(*c, 0), "|C:|\\other\\|.profile||C:\\other\\.profile");
}
TEST(PathSplit, RelativeNamesTakeTheCurrentFolder) {
  CurrentDir keep;
  std::string tmp = MakeTempDir("pa"), jp = tmp + "\\一覧表";  // its last byte is 0x5C
  ASSERT_TRUE(CreateDirectoryA(jp.c_str(), nullptr)); ASSERT_TRUE(SetCurrentDirectoryA(tmp.c_str()));
  char cwd[MAX_PATH]; GetCurrentDirectoryA(sizeof cwd, cwd);
  std::string here = cwd, drive = here.substr(0, 2), lower = drive;
  lower[0] = (char)tolower((unsigned char)lower[0]);
  const struct { std::string folder, input, path; } cases[] = {
      {here, "a.txt", here + "\\a.txt"},
      {here, lower + "c.txt", lower + here.substr(2) + "\\c.txt"},  // drive-relative
      {here, "\\x\\y.txt", drive + "\\x\\y.txt"},                    // rooted on the current drive
      {here, "/x/y.txt", drive + "\\x\\y.txt"},
      {jp, "ソ.txt", jp + "\\ソ.txt"},
      {drive + "\\", "a.txt", drive + "\\a.txt"},  // no second backslash at the root
      {here, std::string(250, 'r'), ""},           // fits alone, not behind the folder
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Hex(c.input)); ASSERT_TRUE(SetCurrentDirectoryA(c.folder.c_str())); koPathname p;
    int rc = p.storeName(c.input.c_str()); EXPECT_EQ(rc, c.path.empty() ? 123 : 0);
    EXPECT_EQ(std::string(p.path), c.path) << Hex(p.path);
  }
}
TEST(PathFile, RealFilesAndFolders) {
  std::string tmp = MakeTempDir("pa"), file = tmp + "\\能書き.TXT", to = tmp + "\\ソ.txt"; Touch(file);
  const struct { std::string path; bool exists; } cases[] = {
      {file, true}, {tmp, true}, {tmp + "\\", false}, {tmp + "\\*.txt", true}, {tmp + "\\no.txt", false}, {"", false}};
  for (const auto& c : cases) EXPECT_EQ(koPathname::IsExist(c.path.c_str()), c.exists) << c.path;
  EXPECT_FALSE(koPathname::IsExist(nullptr)); EXPECT_TRUE(koPathname(tmp.c_str()).isDirectory());
  koPathname p(file.c_str()), missing((tmp + "\\none.exe").c_str());
  EXPECT_FALSE(p.isDirectory() || missing.isDirectory()); WIN32_FIND_DATAA record;
  EXPECT_EQ(p.getStatus(&record), 0); EXPECT_STREQ(record.cFileName, "能書き.TXT");
  // The record is cached until it is asked for again.
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY)); EXPECT_FALSE(p.isReadOnly());
  EXPECT_EQ(p.getStatus(nullptr), 0); EXPECT_TRUE(p.isReadOnly());
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);
  EXPECT_EQ(missing.getStatus(nullptr), ERROR_FILE_NOT_FOUND);
  const struct { const char* name; bool yes; } exes[] = {{"C:\\APP.EXE", true}, {"C:\\Run.Bat", true}, {"C:\\x.com", true},
      {"C:\\a.exe.bak", false}, {"C:\\exe", false}, {"C:\\a.exes", false}, {"C:\\d.exe\\x", false}};
  for (const auto& e : exes) EXPECT_EQ(koPathname(e.name).isExecutable(), e.yes) << e.name;
  // Renamed, again from the gone name, back; removed, again when already missing.
  const struct { int rc; bool file, to; } steps[] = {
      {0, false, true}, {ERROR_FILE_NOT_FOUND, false, true}, {0, true, false}, {0, false, false}, {0, false, false}};
  for (const auto& s : steps) {
    int i = (int)(&s - steps); SCOPED_TRACE(i);
    EXPECT_EQ(i < 2 ? p.rename(to.c_str(), i ? 0 : MOVEFILE_REPLACE_EXISTING)
                    : i == 2 ? koPathname::Rename(to.c_str(), file.c_str(), 0) : p.remove(), s.rc);
    EXPECT_EQ(FileExists(file), s.file); EXPECT_EQ(FileExists(to), s.to);
  }
}
TEST(Find, ListsEveryEntryWithJapaneseNames) {
  std::string tmp = MakeTempDir("pa") + "\\能";  // its last byte is 0x5C, with no backslash after it
  for (const char* d : {"", "\\sub"}) ASSERT_TRUE(CreateDirectoryA((tmp + d).c_str(), nullptr));
  for (const char* n : {"表.txt", "ソフト能力.dat", "a b.txt"}) Touch(tmp + "\\" + n);
  koFind find;
  for (const std::string& folder : {tmp, tmp + "\\"}) {
    SCOPED_TRACE(folder); EXPECT_EQ(find.open(folder.c_str(), 0xFF), 0); std::set<std::string> files, dirs;
    for (char name[300]; find.read(name);)
      (find.getData()->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY ? dirs : files).insert(name);
    EXPECT_EQ(files, (std::set<std::string>{"表.txt", "ソフト能力.dat", "a b.txt"}));
    EXPECT_EQ(dirs, (std::set<std::string>{".", "..", "sub"}));
  }
}
TEST(Find, ClosedSearchAndFailures) {
  koFind find; char name[300] = "junk"; EXPECT_EQ(find.getName(name), nullptr); EXPECT_STREQ(name, "");
  EXPECT_FALSE(find.read(name)); std::string tmp = MakeTempDir("pa");
  // Closed, or failed (a folder without room for "\*.*" before any search): nothing left to read.
  const struct { std::string folder; int rc; } cases[] = {{"", 0}, {tmp + "\\missing", -1},
      {"C:\\" + std::string(292, 'x'), -1}, {"C:\\" + std::string(293, 'x'), ERROR_INVALID_NAME}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.folder.size()); EXPECT_EQ(find.open(tmp.c_str(), 0xFF), 0);
    int rc = c.folder.empty() ? (find.close(), 0) : find.open(c.folder.c_str(), 0xFF);
    EXPECT_EQ(c.rc < 0 ? rc != 0 && rc != ERROR_INVALID_NAME : rc == c.rc, true) << rc;
    EXPECT_EQ(find.getData(), nullptr); EXPECT_FALSE(find.read(name));
  }
  EXPECT_EQ(find.open(nullptr, 0xFF), ERROR_INVALID_NAME);
}
