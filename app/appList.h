// The list of registered applications: add, edit, delete.
#ifndef APP_LIST_H
#define APP_LIST_H
#include <vector>
class koWin;
class extItem;
// True when any application was stored or deleted while it was open.
bool AppList(koWin* parent);
// Every group that has the application among its members, in list order.
std::vector<extItem*> AppUsers(int appId);
#endif
