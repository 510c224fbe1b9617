#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "extItem.h"

TEST(StrComp, SplitsLikeEveryLaunch) {
  strComp s;
  s.set(".JPG,jpeg, png,");
  ASSERT_EQ(s.count, 3);
  EXPECT_STREQ(s.items[0], "JPG");
  EXPECT_STREQ(s.items[2], " png");
  EXPECT_TRUE(s.comp("jpg"));
  EXPECT_TRUE(s.comp("JPEG"));
  EXPECT_FALSE(s.comp("png")) << "blanks are not trimmed";

  s.set("..txt");
  EXPECT_EQ(s.count, 1);
  EXPECT_FALSE(s.comp("txt"));
  EXPECT_TRUE(s.comp(".TXT"));

  s.set(",exe");
  EXPECT_EQ(s.count, 2);
  EXPECT_TRUE(s.comp("")) << "an empty element matches no extension";
  s.set("txt,.,doc");
  EXPECT_EQ(s.count, 3);
  EXPECT_TRUE(s.comp(""));
  s.set("txt,.");
  EXPECT_EQ(s.count, 1);
  EXPECT_FALSE(s.comp(""));

  for (const char* none : {"", "."}) {
    s.set(none);
    EXPECT_EQ(s.count, 0);
    EXPECT_FALSE(s.comp(""));
    EXPECT_FALSE(s.comp("txt"));
  }
  s.set("*");
  EXPECT_FALSE(s.comp("txt")) << "no wildcards";
  s.set("a,b");
  s.set("c");
  EXPECT_FALSE(s.comp("a")) << "set replaces the earlier list";
  EXPECT_FALSE(s.comp((const char*)nullptr));
}

TEST(StrComp, JapaneseExtensionsCompareAsCharacters) {
  strComp s;
  // 表 ends in 0x5C, ソ too; a comma never hides in a trail byte here, but
  // the multibyte search must step over them whole.
  s.set("表,ソフト,txt");
  ASSERT_EQ(s.count, 3);
  EXPECT_TRUE(s.comp("表"));
  EXPECT_TRUE(s.comp("ソフト"));
  EXPECT_FALSE(s.comp("ソ"));
  // 0x82 0x2C is no character, but 0x81 0x43 (full-width comma) is one
  // and must not be taken as a separator.
  s.set("a，b,c");
  ASSERT_EQ(s.count, 2);
  EXPECT_STREQ(s.items[0], "a，b");
  EXPECT_TRUE(s.comp("A，B"));

  char out[1000];
  s.set(".txt,.doc");
  s.asmStr(out);
  EXPECT_STREQ(out, "txt,doc");
  s.set("");
  s.asmStr(out);
  EXPECT_STREQ(out, "");

  strComp a, b;
  a.set("jpg,png");
  b.set("gif,PNG");
  EXPECT_STREQ(a.comp(&b), "png");
  b.set("gif");
  EXPECT_EQ(a.comp(&b), nullptr);
}

TEST(StrComp, OverlongListsStayInsideTheBuffers) {
  strComp s;
  std::string many;
  for (int i = 0; i < 150; i++) many += "e" + std::to_string(i) + ",";
  s.set(many.c_str());
  EXPECT_EQ(s.count, 100);
  EXPECT_TRUE(s.comp("e99"));
  EXPECT_FALSE(s.comp("e100"));
  std::string longList(5000, 'x');
  longList += ",txt";
  s.set(longList.c_str());
  EXPECT_EQ(s.count, 1);
  EXPECT_EQ(strlen(s.items[0]), 999u);
  // Cut at a character boundary, never half a double-byte character.
  std::string kana;
  for (int i = 0; i < 600; i++) kana += "あ";
  s.set(kana.c_str());
  EXPECT_EQ(strlen(s.items[0]) % 2, 0u);
}

TEST(Records, CopiesAndLookups) {
  extItem g;
  g.id = 7;
  g.name = "画像";
  g.na = 3;
  g.atab[0] = 11;
  g.atab[1] = 12;
  g.atab[2] = 13;
  extItem t;
  for (int i = 0; i < 40; i++) t.atab[i] = -1;
  t.import(&g);
  EXPECT_EQ(t.na, 3);
  EXPECT_EQ(t.atab[2], 13);
  EXPECT_EQ(t.atab[3], -1) << "entries beyond na keep their values";
  EXPECT_EQ(t.kind, 'e');
  extItem* d = g.dup();
  EXPECT_EQ(d->id, 7);
  EXPECT_EQ(d->name, "画像");
  delete d;

  g.na = 1000;  // a broken count never reads past atab
  extItem c;
  c.import(&g);
  EXPECT_EQ(c.na, 40);
  g.na = -5;
  EXPECT_EQ(g.count(), 0);

  appItem* a = new appItem();
  a->name = "Editor";
  a->id = 3;
  alist.push_back(a);
  extItem* e = new extItem();
  e->name = "テキスト";
  elist.push_back(e);
  EXPECT_EQ(findAppItem("Editor"), a);
  EXPECT_EQ(findAppItem("editor"), nullptr);
  EXPECT_EQ(findAppItem(3), a);
  EXPECT_EQ(findAppItem(4), nullptr);
  EXPECT_EQ(findExtItem("テキスト"), e);
  EXPECT_EQ(findAppItem((const char*)nullptr), nullptr);
  appItem* ad = a->dup();
  EXPECT_EQ(ad->kind, 'a');
  EXPECT_EQ(ad->id, 3);
  delete ad;
  EraseItem();
  EXPECT_TRUE(alist.empty());
  EXPECT_TRUE(elist.empty());
}
