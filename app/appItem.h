// Records of applications and extension groups, and the global lists that
// own them while the management dialogs run.
#ifndef APP_ITEM_H
#define APP_ITEM_H
#include <list>
#include <string>
#include "koObject.h"

class xItem : public koObject {
 public:
  std::string name;
  std::string memo;
  std::string detail;  // command template, or extension list
  char kind;           // 'a' application, 'e' extension group
  int id;              // row id; 0 while not stored

  explicit xItem(char kind);
  void init();
  void import(const xItem* source);
};

// One bound for each value: the editor's input limit and what is stored.
const int kAppNameMax = 200;
const int kAppCommandMax = 1000;
const int kAppMemoMax = 5000;

class appItem : public xItem {
 public:
  appItem();
  appItem* dup() const;
  // Database writers; each is one transaction.
  bool addRecord();
  bool updRecord();
  bool addRecordSub();
  bool updRecordSub();
  static bool DelRecord(int id);
};

class extItem;

extern std::list<appItem*> alist;
extern std::list<extItem*> elist;

appItem* findAppItem(const char* name);
appItem* findAppItem(int id);
extItem* findExtItem(const char* name);
void EraseItem();

#endif
