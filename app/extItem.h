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
  void asmStr(char* out);
};

// An extension list as it is stored: every comma-separated element without
// the blanks around it (space, tab, full-width space), empty ones and
// repeats (as the launch compares them) dropped.
std::string TidyExtensions(const std::string& typed);

#endif
