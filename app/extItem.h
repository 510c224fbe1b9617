// Extension groups and the splitting and matching of extension lists.
#ifndef EXT_ITEM_H
#define EXT_ITEM_H
#include <string>
#include "appItem.h"

enum { EXT_MAX_APPS = 40 };

class extItem : public xItem {
 public:
  int na;                  // valid entries of atab
  int atab[EXT_MAX_APPS];  // application ids in menu order

  extItem();
  void init();
  void import(const extItem* source);
  extItem* dup() const;
  // na kept within 0..40; every reader goes through this.
  int count() const;
  bool addRecord();
  bool updRecord();
  bool addRecordSub();
  bool updRecordSub();
  static bool DelRecord(int id);
};

// What an element of a list is matched against: a file's extension, its
// name (an element with * or ? and no backslash), or its whole path (an
// element with a backslash). Patterns match whole, case aside, '*' also
// across folders.
enum ElementKind { BY_EXTENSION = 1, BY_NAME = 2, BY_PATH = 3 };
ElementKind KindOf(const char* element);

class strComp : public koObject {
 public:
  // Every list the buffer holds can be matched whole: one-byte elements and
  // their commas fill it with BUF_SIZE / 2 elements.
  enum { BUF_SIZE = 1000, MAX_ITEMS = BUF_SIZE / 2 };
  int count;
  char* items[MAX_ITEMS];
  char buf[BUF_SIZE];

  strComp();
  strComp(const strComp&) = delete;  // items point into buf
  strComp& operator=(const strComp&) = delete;
  void set(const char* list);
  const char* comp(const char* ext);
  const char* comp(strComp* other);
  // The element that matches best, kind at least minKind: a path pattern
  // (against path) before a name pattern (against name) before the
  // extension ext; each may be null, so a folder passes no ext. Null for
  // none; kind tells which it was.
  const char* match(const char* path, const char* name, const char* ext, ElementKind minKind, ElementKind* kind);
  void asmStr(char* out);
};

// An extension list as it is stored: every comma-separated element without
// the blanks around it (space, tab, full-width space), empty ones, those of
// only dots and repeats (as the launch compares them) dropped.
std::string TidyExtensions(const std::string& typed);

#endif
