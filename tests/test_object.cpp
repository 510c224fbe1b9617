#include <gtest/gtest.h>
#include <stdio.h>
#include <string.h>
#include <algorithm>
#include <string>
#include "koObject.h"
#include "ko_test.h"

namespace {
struct Named : koObject {
  const char* className() override { return "koPathname"; }
};
}  // namespace

TEST(Build, LiteralsAreShiftJis) {
  // 表 is 95 5C in Shift-JIS; the compiler must not pass UTF-8 through.
  EXPECT_EQ(Hex("表\\"), "95 5C 5C ");
  EXPECT_EQ(strlen("エラーが発生しました"), 20u);
  EXPECT_GT((int)(char)0x95, 0) << "text bytes must be unsigned";
}

TEST(ErrorString, TableAndUnknownCodes) {
  char buf[29];
  const struct { int code; const char* text; } rows[] = {{-1, "エラーが発生しました"}, {123, "無効な名前"},
      {0x4022, "タイムアウト"}, {23, "CRC エラー"}, {14, "<<error: 14>>"}, {-9999, "<<error: -9999>>"}};
  for (const auto& r : rows) {
    EXPECT_STREQ(koObject::ErrorString(r.code, buf), r.text) << r.code;
    EXPECT_STREQ(buf, r.text) << r.code;
  }
  size_t longest = 0;  // fits the documented 29 bytes
  for (int code = -2; code < 0x4100; code++) longest = std::max(longest, strlen(koObject::ErrorString(code, nullptr)));
  EXPECT_LE(longest, 28u);
}

TEST(ViewError, RecordsAndTracesByLevel) {
  // Traced when the level is above the object's own level (-1: the global
  // one), and never for code 0.
  const struct { int objectLevel, globalLevel, code, level; bool traced; } rows[] = {{-1, 3, 0, 9, false},
      {-1, 3, 123, 5, true}, {-1, 3, 5, 3, false}, {0, 3, 5, 1, true}, {-1, 7, 5, 7, false}, {-1, 7, 5, 8, true}};
  for (const auto& r : rows) {
    SCOPED_TRACE(testing::Message() << r.objectLevel << " " << r.globalLevel << " " << r.code << " " << r.level);
    Named o;
    o.viewLevel = r.objectLevel;
    koObject::ViewErrorLevel(r.globalLevel);
    EXPECT_EQ(o.viewErrorLevel(), r.objectLevel >= 0 ? r.objectLevel : r.globalLevel);
    char expect[200];
    const char* text = koObject::ErrorString(r.code, nullptr);
    snprintf(expect, sizeof expect, "<<koPathname[%x]::error %s>>\n", (unsigned)(size_t)&o, text);
    ClearTrace();
    EXPECT_EQ(o.viewError(r.code, nullptr, r.level), r.code);
    EXPECT_EQ(o.errorCode, r.code);
    EXPECT_EQ(TraceLog(), r.traced ? expect : "");
    snprintf(expect, sizeof expect, "<<::error %s>>\n", text);
    ClearTrace();
    EXPECT_EQ(koObject::ViewError(r.code, nullptr, r.level), r.code);
    EXPECT_EQ(TraceLog(), r.traced && r.objectLevel < 0 ? expect : "") << "the class-wide form";
    EXPECT_EQ(o.resetViewError(), -1);
  }
  EXPECT_EQ(koObject::ResetViewError(), 3);
  EXPECT_EQ(koObject::ViewErrorLevel(), 3);
}
