#include <windows.h>
#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "koAutoBuffer.h"
#include "koModule.h"
#include "koSyncObject.h"
#include "ko_script.h"
#include "ko_test.h"

namespace {
// The enumerated name lives only during the call: keep a copy.
std::string firstName;
BOOL CALLBACK FirstName(HMODULE, LPCSTR, LPSTR name, LONG_PTR out) {
  if (IS_INTRESOURCE(name)) {
    *(LPSTR*)out = name;
  } else {
    firstName = name;
    *(LPSTR*)out = (LPSTR)firstName.c_str();
  }
  return FALSE;
}
}  // namespace

TEST(Module, LoadResourceCopiesIntoTheBuffer) {
  koModule m;
  ASSERT_EQ(m.load("comdlg32.dll"), 0);
  LPSTR name = nullptr;
  EnumResourceNamesA(m.handle(), (LPCSTR)RT_DIALOG, FirstName, (LONG_PTR)&name);
  ASSERT_NE(name, nullptr) << "comdlg32 holds dialog templates";
  HRSRC info = FindResourceA(m.handle(), name, (LPCSTR)RT_DIALOG);
  DWORD size = SizeofResource(m.handle(), info);
  const void* original = LockResource(LoadResource(m.handle(), info));

  unsigned char area[16];
  koAutoBuffer buffer(area, sizeof area);
  ASSERT_TRUE(m.loadResource(buffer, name, (LPCSTR)RT_DIALOG));
  EXPECT_EQ(buffer.used, (int)size);
  EXPECT_EQ(memcmp(buffer.get(0), original, size), 0);
  EXPECT_FALSE(m.loadResource(buffer, "KO_NO_SUCH_TEMPLATE", (LPCSTR)RT_DIALOG));
}

TEST(Module, MessageBoxUsesTheTitleAsCaption) {
  koModule m("C:\\Tools\\tool.exe");
  const struct {
    const char* text;
    const char* caption;
    const char* expect;
  } cases[] = {{"情報です", nullptr, "tool"}, {"x", "見出し", "見出し"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expect);
    std::string caption;
    Script s;
    s.add([&] {
      HWND box = MessageBoxOf();
      if (!box) return false;
      char text[200] = "";
      GetWindowTextA(box, text, sizeof text);
      caption = text;
      return true;
    });
    s.answer(IDOK);
    EXPECT_TRUE(s.run([&] { EXPECT_EQ(m.msgBox(c.text, MB_ICONINFORMATION, c.caption), IDOK); }));
    EXPECT_EQ(caption, c.expect);
    EXPECT_EQ(s.logged(), std::string("box ") + c.text + "\n");
  }
}

TEST(AutoBuffer, ExternalAreaWhileItFitsThenHeap) {
  unsigned char area[1024], other[8];
  koAutoBuffer b(area, sizeof area);
  EXPECT_EQ(b.get(100), area);
  unsigned char* big = b.get(2000);
  ASSERT_NE(big, area);
  memset(big, 7, 2000);  // really that large
  const struct {
    int size;
    unsigned char* at;
  } steps[] = {{1500, big}, {500, area}, {1800, big}};  // the heap array is reused
  for (const auto& s : steps) {
    SCOPED_TRACE(s.size);
    EXPECT_EQ(b.get(s.size), s.at);
    EXPECT_EQ(b.used, s.size);
  }
  b.clear(true);
  EXPECT_EQ(b.get(0), area);
  b.get(3000);
  b.put(other, sizeof other);
  EXPECT_EQ(b.get(0), other);
  EXPECT_EQ(b.used, 8);
  koAutoBuffer empty;
  EXPECT_EQ(empty.get(0), nullptr);
  EXPECT_NE(empty.get(10), nullptr);
}


TEST(SyncObject, LongNamesAreCutToTheBuffer) {
  std::string longName(300, 'n');
  koSyncObject named(longName.c_str());
  EXPECT_EQ(strlen(named.syncName), 299u);
}
