#include <gtest/gtest.h>
#include <string.h>
#include <string>
#include "extItem.h"

TEST(StrComp, SplitsAndMatchesLikeEveryLaunch) {
  // joined: what asmStr gives back.
  const struct { const char* list; int count; const char *joined, *ext; bool match; } rows[] = {
      {".JPG,jpeg, png,", 3, "JPG,jpeg, png", "jpg", true}, {".JPG,jpeg, png,", 3, "JPG,jpeg, png", "JPEG", true},
      {".JPG,jpeg, png,", 3, "JPG,jpeg, png", "png", false},  // blanks are not trimmed
      {"..txt", 1, ".txt", "txt", false}, {"..txt", 1, ".txt", ".TXT", true},
      {",exe", 2, ",exe", "", true},  // an empty element matches no extension
      {"txt,.,doc", 3, "txt,,doc", "", true}, {"txt,.", 1, "txt", "", false}, {"", 0, "", "", false},
      {".", 0, "", "txt", false}, {"*", 1, "*", "txt", false},  // no wildcards
      {"txt", 1, "txt", nullptr, false},
      // Trail bytes 5C (表, ソ) and 43 (the full-width comma ，) are no
      // separators; characters compare whole.
      {"表,ソフト,txt", 3, "表,ソフト,txt", "表", true}, {"表,ソフト,txt", 3, "表,ソフト,txt", "ソフト", true},
      {"表,ソフト,txt", 3, "表,ソフト,txt", "ソ", false}, {"a，b,c", 2, "a，b,c", "A，B", true}};
  for (const auto& r : rows) {
    SCOPED_TRACE(std::string(r.list) + " / " + (r.ext ? r.ext : "(null)"));
    strComp s;
    s.set("txt,,表");  // replaced by the row's list
    s.set(r.list);
    char joined[1000] = "stale";
    s.asmStr(joined);
    EXPECT_EQ(s.count, r.count);
    EXPECT_STREQ(joined, r.joined);
    EXPECT_EQ(s.comp(r.ext) != nullptr, r.match);
  }
  strComp a, b;
  a.set("jpg,png");
  b.set("gif,PNG");
  EXPECT_STREQ(a.comp(&b), "png");
  b.set("gif");
  EXPECT_EQ(a.comp(&b), nullptr);
}

TEST(StrComp, OverlongListsStayInsideTheBuffers) {
  // Whatever the editor stores is matched to its last element.
  std::string many, full, kana;
  for (int i = 0; i < 150; i++) many += "e" + std::to_string(i) + ",";
  for (int i = 0; i < 499; i++) full += "x,";
  for (int i = 0; i < 600; i++) kana += "あ";
  strComp s;
  s.set(many.c_str());
  EXPECT_TRUE(s.comp("e149"));
  s.set((full + "y").c_str());
  EXPECT_TRUE(s.comp("y")) << "999 bytes of one-byte elements";
  s.set((std::string(5000, 'x') + ",txt").c_str());
  EXPECT_EQ(s.count, 1);
  EXPECT_EQ(strlen(s.items[0]), 999u);
  s.set(kana.c_str());
  EXPECT_EQ(strlen(s.items[0]), 998u) << "cut between characters";
}

TEST(Records, CopiesAndLookups) {
  extItem g, t, c;
  g.id = 7;
  g.name = "画像";
  g.na = 3;
  g.atab[2] = 13;
  t.atab[3] = -1;
  t.import(&g);
  EXPECT_EQ(t.na * 100 + t.atab[2], 313);
  EXPECT_EQ(t.atab[3], -1) << "entries beyond na keep their values";
  extItem* d = g.dup();
  EXPECT_EQ(d->name + std::to_string(d->id), "画像7");
  delete d;
  g.na = 1000;  // a broken count never reads past atab
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
  const struct { const void *got, *want; } finds[] = {{findAppItem("Editor"), a}, {findAppItem("editor"), nullptr},
      {findAppItem((const char*)nullptr), nullptr}, {findAppItem(3), a}, {findAppItem(4), nullptr},
      {findExtItem("テキスト"), e}};
  for (const auto& f : finds) EXPECT_EQ(f.got, f.want) << &f - finds;
  EraseItem();
  EXPECT_TRUE(alist.empty() && elist.empty());
}
