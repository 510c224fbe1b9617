#include <gtest/gtest.h>
#include <string.h>
#include "koObject.h"
#include "ko_test.h"

TEST(Build, LiteralsAreShiftJis) {
  // 表 is 95 5C in Shift-JIS; the compiler must not pass UTF-8 through.
  EXPECT_EQ(strlen("表\\"), 3u);
  EXPECT_EQ((unsigned char)"表"[0], 0x95);
  EXPECT_EQ((unsigned char)"表"[1], 0x5C);
  EXPECT_EQ(strlen("エラーが発生しました"), 20u);
  char c = (char)0x95;
  EXPECT_GT((int)c, 0) << "text bytes must be unsigned";
}

TEST(ErrorString, TableAndUnknownCodes) {
  char buf[29];
  EXPECT_STREQ(koObject::ErrorString(-1, nullptr), "エラーが発生しました");
  EXPECT_STREQ(koObject::ErrorString(123, buf), "無効な名前");
  EXPECT_STREQ(buf, "無効な名前");
  EXPECT_STREQ(koObject::ErrorString(0x4022, nullptr), "タイムアウト");
  EXPECT_STREQ(koObject::ErrorString(23, nullptr), "CRC エラー");
  const char* first = koObject::ErrorString(14, nullptr);
  EXPECT_STREQ(first, "<<error: 14>>");
  koObject::ErrorString(-9999, nullptr);
  EXPECT_STREQ(first, "<<error: -9999>>") << "the static buffer is reused";
  // The longest message fits the documented 29 bytes.
  size_t longest = 0;
  for (int code = -2; code < 0x4100; code++)
    longest = std::max(longest, strlen(koObject::ErrorString(code, nullptr)));
  EXPECT_LE(longest, 28u);
}

namespace {
struct Named : koObject {
  const char* className() override { return "koPathname"; }
};
}  // namespace

TEST(ViewError, RecordsAndTracesByLevel) {
  koObject::ResetViewError();
  Named o;
  EXPECT_EQ(o.viewErrorLevel(), 3);
  ClearTrace();
  EXPECT_EQ(o.viewError(0, "x", 9), 0);
  EXPECT_EQ(o.errorCode, 0);
  EXPECT_EQ(TraceLog(), "");

  EXPECT_EQ(o.viewError(123, nullptr, 5), 123);
  EXPECT_EQ(o.errorCode, 123);
  char expect[200];
  snprintf(expect, sizeof expect, "<<koPathname[%x]::error 無効な名前>>\n", (unsigned)(size_t)&o);
  EXPECT_EQ(TraceLog(), expect);

  ClearTrace();
  o.viewError(5, "m", 3);  // not strictly above the level
  EXPECT_EQ(TraceLog(), "");
  o.viewLevel = 0;
  o.viewError(5, "m", 1);
  EXPECT_NE(TraceLog(), "");
  EXPECT_EQ(o.resetViewError(), -1);

  koObject::ViewErrorLevel(7);
  EXPECT_EQ(o.viewErrorLevel(), 7);
  ClearTrace();
  EXPECT_EQ(koObject::ViewError(2, nullptr, 8), 2);
  EXPECT_EQ(TraceLog(), "<<::error ファイルが見つからない>>\n");
  ClearTrace();
  EXPECT_EQ(koObject::ViewError(0, "x", 99), 0);
  EXPECT_EQ(TraceLog(), "");
  EXPECT_EQ(koObject::ResetViewError(), 3);
  EXPECT_EQ(koObject::ViewErrorLevel(), 3);
}
