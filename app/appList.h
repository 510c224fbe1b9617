// The list of registered applications: add, edit, delete.
#ifndef APP_LIST_H
#define APP_LIST_H
class koWin;
class extItem;
// True when any application was stored or deleted while it was open.
bool AppList(koWin* parent);
// The first stored group that has the application among its members, or null.
extItem* AppUser(int appId);
#endif
