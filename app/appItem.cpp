#include "appItem.h"
#include <string.h>
#include "extItem.h"

std::list<appItem*> alist;
std::list<extItem*> elist;

xItem::xItem(char k) : kind(k), id(0) {}

void xItem::init() {
  id = 0;
  name.clear();
  memo.clear();
  detail.clear();
}

void xItem::import(const xItem* source) {
  if (!source || source == this) return;
  id = source->id;
  name = source->name;
  detail = source->detail;
  memo = source->memo;
}

appItem::appItem() : xItem('a') { init(); }

appItem* appItem::dup() const {
  appItem* copy = new appItem();
  copy->import(this);
  return copy;
}

appItem* findAppItem(const char* name) {
  if (!name) return nullptr;
  for (appItem* a : alist)
    if (a->name == name) return a;
  return nullptr;
}

appItem* findAppItem(int id) {
  for (appItem* a : alist)
    if (a->id == id) return a;
  return nullptr;
}

extItem* findExtItem(const char* name) {
  if (!name) return nullptr;
  for (extItem* e : elist)
    if (e->name == name) return e;
  return nullptr;
}

void EraseItem() {
  for (appItem* a : alist) delete a;
  alist.clear();
  for (extItem* e : elist) delete e;
  elist.clear();
}
