#include "koMenu.h"
#include "koUtl1.h"

koMenu::koMenu(HMENU menu, bool own) : hMenu(menu), owned(own) {}

koMenu::~koMenu() {
  if (owned && hMenu) DestroyMenu(hMenu);
  if (owned) hMenu = nullptr;
  // Submenu objects never destroy handles: their menus go with the parent.
  for (koMenu* sub : submenus) delete sub;
  submenus.clear();
}

const char* koMenu::className() { return "koMenu"; }

koMenu* koMenu::appendSub(const char* text) {
  HMENU sub = CreateMenu();
  if (!sub) return nullptr;
  AppendMenuW(hMenu, MF_POPUP, (UINT_PTR)sub, koWideOf(text).c_str());
  koMenu* object = new koMenu(sub, false);
  submenus.push_front(object);
  return object;
}

koPopupMenu::koPopupMenu() : koMenu(CreatePopupMenu(), true) {}
const char* koPopupMenu::className() { return "koPopupMenu"; }
