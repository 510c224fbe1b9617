#include <gtest/gtest.h>
#include <windows.h>
#include <algorithm>
#include <set>
#include <string>
#include "koFind.h"
#include "koPathname.h"
#include "ko_test.h"

namespace {
struct Parts {
  const char* input;
  const char* node;
  const char* drive;
  const char* dir;
  const char* name;
  const char* ext;
  const char* path;
};

void ExpectParts(koPathname& p, const Parts& e) {
  SCOPED_TRACE(Hex(e.input));
  EXPECT_EQ(p.errorCode, 0);
  EXPECT_STREQ(p.node, e.node);
  EXPECT_STREQ(p.drive, e.drive);
  EXPECT_STREQ(p.dir, e.dir) << Hex(p.dir);
  EXPECT_STREQ(p.name, e.name) << Hex(p.name);
  EXPECT_STREQ(p.ext, e.ext) << Hex(p.ext);
  EXPECT_STREQ(p.path, e.path);
}

void ExpectEmpty(koPathname& p) {
  for (const char* part : {p.path, p.node, p.drive, p.dir, p.name, p.ext, p.filePos})
    EXPECT_STREQ(part, "");
}

void Touch(const std::string& file) {
  HANDLE h = CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
  ASSERT_NE(h, INVALID_HANDLE_VALUE) << Hex(file);
  CloseHandle(h);
}

// Restores the process's current folder after a test that moves it.
struct CurrentDir {
  char saved[MAX_PATH];
  CurrentDir() { GetCurrentDirectoryA(sizeof saved, saved); }
  ~CurrentDir() { SetCurrentDirectoryA(saved); }
};
}  // namespace

TEST(PathSplit, AbsoluteAndUncForms) {
  const Parts cases[] = {
      {"C:\\Tools\\app.exe", "", "C:", "\\Tools\\", "app", "exe", "C:\\Tools\\app.exe"},
      {"\\\\srv\\share\\a.txt", "\\\\srv", "", "\\share\\", "a", "txt", "\\\\srv\\share\\a.txt"},
      {"\\\\srv\\", "\\\\srv", "", "\\", "", "", "\\\\srv\\"},
      {"C:\\dir\\.profile", "", "C:", "\\dir\\", ".profile", "", "C:\\dir\\.profile"},
      {"C:\\dir\\", "", "C:", "\\dir\\", "", "", "C:\\dir\\"},
      {"C:\\", "", "C:", "\\", "", "", "C:\\"},
      {"C:\\Program Files\\My App\\run me.exe", "", "C:", "\\Program Files\\My App\\", "run me",
       "exe", "C:\\Program Files\\My App\\run me.exe"},
      {"C:\\my.dir\\file", "", "C:", "\\my.dir\\", "file", "", "C:\\my.dir\\file"},
      {"C:\\a\\b.tar.gz", "", "C:", "\\a\\", "b.tar", "gz", "C:\\a\\b.tar.gz"},
      {"D:/data/sub/x.txt", "", "D:", "\\data\\sub\\", "x", "txt", "D:\\data\\sub\\x.txt"},
  };
  for (const Parts& c : cases) {
    koPathname p(c.input);
    ExpectParts(p, c);
  }
}

TEST(PathSplit, TrailByte5CIsNoSeparator) {
  // 表, ソ and 能 end in 0x5C: only the real backslashes split.
  const Parts cases[] = {
      {"C:\\表\\ソ\\能.txt", "", "C:", "\\表\\ソ\\", "能", "txt", "C:\\表\\ソ\\能.txt"},
      {"C:\\データ\\一覧表", "", "C:", "\\データ\\", "一覧表", "", "C:\\データ\\一覧表"},
      {"C:\\ソフト\\能力.表", "", "C:", "\\ソフト\\", "能力", "表", "C:\\ソフト\\能力.表"},
      {"\\\\表\\共有\\ソ.txt", "\\\\表", "", "\\共有\\", "ソ", "txt", "\\\\表\\共有\\ソ.txt"},
  };
  for (const Parts& c : cases) {
    koPathname p(c.input);
    ExpectParts(p, c);
  }
  koPathname p("C:\\表\\ソ\\能.txt");
  char front[300];
  p.getFilePos(front);
  EXPECT_STREQ(front, "C:\\表\\ソ\\");
}

TEST(PathSplit, FilePosAndEmptyInput) {
  char front[300] = "junk";
  koPathname p("C:\\Tools\\app.exe");
  p.getFilePos(front);
  EXPECT_STREQ(front, "C:\\Tools\\");
  EXPECT_STREQ(p.filePos, "app.exe");

  EXPECT_EQ(p.storeName(nullptr), 0);
  ExpectEmpty(p);
  p.getFilePos(front);
  EXPECT_STREQ(front, "");
  EXPECT_EQ(p.storeName(""), 0);
  ExpectEmpty(p);
  koPathname none;
  ExpectEmpty(none);
}

TEST(PathSplit, OwnPartsAndCopiesStayValid) {
  koPathname p("C:\\dir\\.profile");
  EXPECT_EQ(p.storeName(p.path), 0);
  EXPECT_STREQ(p.path, "C:\\dir\\.profile");
  EXPECT_EQ(p.make(p.node, p.drive, "\\other\\", p.name, p.ext), 0);
  EXPECT_STREQ(p.path, "C:\\other\\.profile");

  koPathname copy(p);
  koPathname assigned;
  assigned = p;
  p.storeName("D:\\x\\y.z");
  for (koPathname* c : {&copy, &assigned}) {
    EXPECT_STREQ(c->path, "C:\\other\\.profile");
    EXPECT_STREQ(c->dir, "\\other\\");
    EXPECT_STREQ(c->name, ".profile");
    const char* self = (const char*)c;
    EXPECT_TRUE(c->name >= self && c->name < self + sizeof *c) << "points into the copy";
  }
}

TEST(PathSplit, RelativeNamesTakeTheCurrentFolder) {
  CurrentDir keep;
  std::string tmp = MakeTempDir("pa");
  ASSERT_TRUE(SetCurrentDirectoryA(tmp.c_str()));
  char cwd[MAX_PATH];
  GetCurrentDirectoryA(sizeof cwd, cwd);
  std::string drive(cwd, 2), below = std::string(cwd + 2) + "\\";

  koPathname p("a.txt");
  EXPECT_STREQ(p.drive, drive.c_str());
  EXPECT_STREQ(p.dir, below.c_str());
  EXPECT_STREQ(p.name, "a");
  EXPECT_STREQ(p.path, (std::string(cwd) + "\\a.txt").c_str());

  // A drive letter in either case, with a drive-relative name.
  std::string lower = drive;
  lower[0] = (char)tolower((unsigned char)lower[0]);
  EXPECT_EQ(p.storeName((lower + "c.txt").c_str()), 0);
  EXPECT_STREQ(p.drive, lower.c_str());
  EXPECT_STREQ(p.dir, below.c_str());
  // Rooted on the current drive, with either separator.
  p.storeName("\\x\\y.txt");
  EXPECT_STREQ(p.path, (drive + "\\x\\y.txt").c_str());
  p.storeName("/x/y.txt");
  EXPECT_STREQ(p.path, (drive + "\\x\\y.txt").c_str());

  // A current folder whose last character ends in 0x5C.
  std::string jp = tmp + "\\一覧表";
  ASSERT_TRUE(CreateDirectoryA(jp.c_str(), nullptr));
  ASSERT_TRUE(SetCurrentDirectoryA(jp.c_str()));
  p.storeName("ソ.txt");
  EXPECT_STREQ(p.path, (jp + "\\ソ.txt").c_str()) << Hex(p.path);

  // The root of a drive gets no second backslash.
  ASSERT_TRUE(SetCurrentDirectoryA((drive + "\\").c_str()));
  p.storeName("a.txt");
  EXPECT_STREQ(p.dir, "\\");
  EXPECT_STREQ(p.path, (drive + "\\a.txt").c_str());
}

TEST(PathSplit, OverlongAndMalformedFailCleanly) {
  koObject::ResetViewError();
  koPathname p("C:\\keep\\me.txt");
  std::string at260 = "C:\\" + std::string(253, 'n') + ".txt";
  ASSERT_EQ(at260.size(), 260u);
  EXPECT_EQ(p.storeName(at260.c_str()), 0);
  EXPECT_STREQ(p.path, at260.c_str());
  EXPECT_STREQ(p.ext, "txt");

  // The extension may take nearly all of the path.
  std::string longExt = "C:\\a." + std::string(255, 'e');
  EXPECT_EQ(p.storeName(longExt.c_str()), 0);
  EXPECT_STREQ(p.ext, std::string(255, 'e').c_str());
  EXPECT_STREQ(p.name, "a");

  ClearTrace();
  std::string at261 = at260 + "x";
  EXPECT_EQ(p.storeName(at261.c_str()), 123);
  EXPECT_EQ(p.errorCode, 123);
  ExpectEmpty(p);
  EXPECT_NE(TraceLog().find("::store 無効な名前>>"), std::string::npos) << TraceLog();

  p.storeName("C:\\keep\\me.txt");
  EXPECT_EQ(p.storeName("\\\\server"), 123);
  ExpectEmpty(p);

  // The current folder in front of a name that fits alone.
  CurrentDir keep;
  ASSERT_TRUE(SetCurrentDirectoryA(MakeTempDir("pa").c_str()));
  std::string rel(250, 'r');
  EXPECT_EQ(p.storeName(rel.c_str()), 123);
  ExpectEmpty(p);

  // Assembly from parts is bounded the same way, the period included.
  std::string dir = "\\" + std::string(200, 'd') + "\\";
  std::string name(60, 'n');
  EXPECT_EQ(p.make(nullptr, "C:", dir.c_str(), name.c_str(), nullptr), 123);
  ExpectEmpty(p);
  std::string name54(54, 'n');  // 2 + 202 + 54 = 258
  EXPECT_EQ(p.make("", "C:", dir.c_str(), name54.c_str(), "x"), 0);
  EXPECT_EQ(strlen(p.path), 260u);
  EXPECT_EQ(p.make("", "C:", dir.c_str(), name54.c_str(), "xy"), 123);
  std::string bare = "\\" + std::string(257, 'd');  // gains its backslash
  EXPECT_EQ(p.make(nullptr, "C:", bare.c_str(), nullptr, nullptr), 123);
}

TEST(PathMake, BuildsFromParts) {
  koPathname p;
  EXPECT_EQ(p.make("\\\\srv\\", nullptr, "\\share", "a", "txt"), 0);
  EXPECT_STREQ(p.path, "\\\\srv\\share\\a.txt");
  EXPECT_STREQ(p.node, "\\\\srv");
  EXPECT_STREQ(p.dir, "\\share\\");
  EXPECT_EQ(p.make(nullptr, "C:", "\\表", "能", ""), 0);
  EXPECT_STREQ(p.path, "C:\\表\\能");
  EXPECT_EQ(p.make(nullptr, "C:", "\\d\\", nullptr, "ext"), 0);
  EXPECT_STREQ(p.name, ".ext");
  EXPECT_STREQ(p.ext, "");
}

TEST(PathFile, ExistenceAndAttributes) {
  std::string tmp = MakeTempDir("pa");
  std::string file = tmp + "\\能書き.TXT";
  Touch(file);
  EXPECT_TRUE(koPathname::IsExist(file.c_str()));
  EXPECT_TRUE(koPathname::IsExist(tmp.c_str()));
  EXPECT_FALSE(koPathname::IsExist((tmp + "\\").c_str()));
  EXPECT_TRUE(koPathname::IsExist((tmp + "\\*.txt").c_str()));
  EXPECT_FALSE(koPathname::IsExist((tmp + "\\missing.txt").c_str()));
  EXPECT_FALSE(koPathname::IsExist(nullptr));

  koPathname folder(tmp.c_str());
  EXPECT_TRUE(folder.isDirectory());
  EXPECT_TRUE(folder.statusValid);
  koPathname p(file.c_str());
  EXPECT_FALSE(p.isDirectory());
  EXPECT_FALSE(p.isReadOnly());
  WIN32_FIND_DATAA record;
  EXPECT_EQ(p.getStatus(&record), 0);
  EXPECT_STREQ(record.cFileName, "能書き.TXT");

  // The record is cached until the path changes hands.
  ASSERT_TRUE(SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_READONLY));
  EXPECT_FALSE(p.isReadOnly());
  EXPECT_EQ(p.getStatus(nullptr), 0);
  EXPECT_TRUE(p.isReadOnly());
  SetFileAttributesA(file.c_str(), FILE_ATTRIBUTE_NORMAL);

  koPathname missing((tmp + "\\none.exe").c_str());
  EXPECT_FALSE(missing.isDirectory());
  EXPECT_FALSE(missing.statusValid);
  EXPECT_EQ(missing.getStatus(nullptr), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(missing.errorCode, ERROR_FILE_NOT_FOUND);
  EXPECT_TRUE(missing.isExecutable()) << "the file itself is not consulted";
}

TEST(PathFile, ExecutableExtensions) {
  for (const char* yes : {"C:\\APP.EXE", "C:\\Run.Bat", "C:\\x.com"})
    EXPECT_TRUE(koPathname(yes).isExecutable()) << yes;
  for (const char* no : {"C:\\a.exe.bak", "C:\\exe", "C:\\a.exes", "C:\\dir.exe\\x"})
    EXPECT_FALSE(koPathname(no).isExecutable()) << no;
  EXPECT_TRUE(koPathname().setupDirectory());
}

TEST(PathFile, RemoveAndRename) {
  std::string tmp = MakeTempDir("pa");
  std::string from = tmp + "\\表.txt", to = tmp + "\\ソ.txt";
  Touch(from);
  koPathname p(from.c_str());
  EXPECT_TRUE(p.isArchive() || !p.isDirectory());
  EXPECT_EQ(p.rename(to.c_str(), MOVEFILE_REPLACE_EXISTING), 0);
  EXPECT_FALSE(p.statusValid);
  EXPECT_FALSE(FileExists(from));
  EXPECT_TRUE(koPathname::IsExist(to.c_str()));
  EXPECT_EQ(p.rename(to.c_str(), 0), ERROR_FILE_NOT_FOUND);
  EXPECT_EQ(p.errorCode, ERROR_FILE_NOT_FOUND);

  EXPECT_EQ(koPathname::Rename(to.c_str(), from.c_str(), 0), 0);
  EXPECT_EQ(p.remove(), 0);
  EXPECT_FALSE(koPathname::IsExist(from.c_str()));
  EXPECT_EQ(p.remove(), 0) << "a missing file is already removed";
  EXPECT_EQ(koPathname::Remove((tmp + "\\none").c_str()), 0);
}

TEST(Find, ListsEveryEntryWithJapaneseNames) {
  // The folder's own name ends in 0x5C, with no backslash after it.
  std::string tmp = MakeTempDir("pa") + "\\能";
  ASSERT_TRUE(CreateDirectoryA(tmp.c_str(), nullptr));
  std::set<std::string> expect = {".", "..", "表.txt", "ソフト能力.dat", "a b.txt"};
  for (const std::string& n : expect)
    if (n[0] != '.') Touch(tmp + "\\" + n);
  ASSERT_TRUE(CreateDirectoryA((tmp + "\\sub").c_str(), nullptr));
  expect.insert("sub");

  koFind find;
  EXPECT_EQ(find.open(tmp.c_str(), 0xFF), 0);
  EXPECT_TRUE(find.pending);
  std::set<std::string> seen;
  char name[300];
  bool sawDir = false;
  while (find.read(name)) {
    seen.insert(name);
    EXPECT_STREQ(find.getName(nullptr), name);
    if (std::string(name) == "sub")
      sawDir = (find.getData()->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
  }
  EXPECT_EQ(seen, expect);
  EXPECT_TRUE(sawDir);
  EXPECT_EQ(find.errorCode, ERROR_NO_MORE_FILES);

  // With its backslash the folder lists the same.
  EXPECT_EQ(find.open((tmp + "\\").c_str(), 0xFF), 0);
  int count = 0;
  while (find.read(nullptr)) count++;
  EXPECT_EQ(count, (int)expect.size());
}

TEST(Find, ClosedSearchAndFailures) {
  koFind find;
  char name[300] = "junk";
  EXPECT_EQ(find.getName(name), nullptr);
  EXPECT_STREQ(name, "");
  EXPECT_EQ(find.getData(), nullptr);
  EXPECT_FALSE(find.findNext());
  EXPECT_FALSE(find.read(name));

  std::string tmp = MakeTempDir("pa");
  EXPECT_EQ(find.open(tmp.c_str(), 0xFF), 0);
  ASSERT_NE(find.getData(), nullptr);
  EXPECT_NE(find.findData.dwFileAttributes, 0u);
  find.close();
  EXPECT_EQ(find.searchHandle, INVALID_HANDLE_VALUE);
  EXPECT_EQ(find.findData.dwFileAttributes, 0u);
  EXPECT_FALSE(find.read(name)) << "nothing is pending after close";

  int rc = find.findFirst((tmp + "\\missing\\*.*").c_str(), 0xFF);
  EXPECT_TRUE(rc == ERROR_PATH_NOT_FOUND || rc == ERROR_FILE_NOT_FOUND) << rc;
  EXPECT_EQ(find.errorCode, rc);
  EXPECT_EQ(find.open((tmp + "\\missing").c_str(), 0xFF), rc);
  EXPECT_FALSE(find.pending);

  // An overlong folder fails before any search, and leaves nothing open.
  EXPECT_EQ(find.open(tmp.c_str(), 0xFF), 0);
  EXPECT_EQ(find.open(std::string(296, 'x').c_str(), 0xFF), 123);
  EXPECT_EQ(find.getData(), nullptr);
  EXPECT_FALSE(find.pending);
  EXPECT_EQ(find.open(nullptr, 0xFF), 123);
}
